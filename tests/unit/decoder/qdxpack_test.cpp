#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec_test_support.h"

namespace {

using codec_testing::Bytes;
using testing_support::ScratchFolder;

const int TIMEOUT_SECONDS = 120;

int Qdxpack(const ScratchFolder& scratch, const std::vector<std::string>& arguments)
{
    return testing_support::RunProgram(QDXPACK_PROGRAM, arguments, scratch.path(), TIMEOUT_SECONDS);
}

TEST(QdxpackCommands, CompressThenDecompressGivesTheFileBack)
{
    ScratchFolder scratch("qdxpack");
    const Bytes input = testing_support::ReadBytes(testing_support::SelfPath());
    testing_support::WriteBytes(scratch / "in.bin", input);
    ASSERT_EQ(Qdxpack(scratch, {"compress", scratch / "in.bin", scratch / "in.qz"}), 0);
    ASSERT_EQ(Qdxpack(scratch, {"decompress", scratch / "in.qz", scratch / "out.bin"}), 0);
    EXPECT_TRUE(testing_support::ReadBytes(scratch / "out.bin") == input);
}

struct ExitCase {
    const char* name;
    std::vector<std::string> arguments;
    int exitCode;
};

TEST(QdxpackCommands, ExitCodes)
{
    ScratchFolder scratch("qdxpack");
    testing_support::WriteBytes(scratch / "short.qz", Bytes{1, 0});
    testing_support::WriteBytes(scratch / "damaged.qz", codec_testing::Hex("06 00 00 00 B0 98 AA"));
    testing_support::WriteBytes(scratch / "plain.txt", testing_support::TextBytes("plain"));
    const std::vector<ExitCase> cases = {
        {"no_command", {}, 2},
        {"help_option", {"--help"}, 0},
        {"help_command", {"help", "decompress"}, 0},
        {"command_help_option", {"compress", "--help"}, 0},
        {"help_for_unknown_command", {"help", "frobnicate"}, 2},
        {"unknown_command", {"frobnicate"}, 2},
        {"unknown_option", {"compress", "--frobnicate", "a", "b"}, 2},
        {"fast_is_no_option_of_decompress", {"decompress", "--fast", "a", "b"}, 2},
        {"fast_compresses_greedily", {"compress", "--fast", scratch / "plain.txt", scratch / "fast.qz"}, 0},
        {"missing_operand", {"compress", scratch / "plain.txt"}, 2},
        {"extra_operand", {"decompress", "a", "b", "c"}, 2},
        {"same_file_twice", {"compress", scratch / "plain.txt", scratch / "plain.txt"}, 2},
        {"missing_input", {"compress", scratch / "absent", scratch / "x.qz"}, 1},
        {"short_input", {"decompress", scratch / "short.qz", scratch / "short.out"}, 1},
        {"damaged_input", {"decompress", scratch / "damaged.qz", scratch / "damaged.out"}, 1},
    };
    for (const ExitCase& c : cases) {
        EXPECT_EQ(Qdxpack(scratch, c.arguments), c.exitCode) << c.name;
    }
    EXPECT_FALSE(testing_support::Exists(scratch / "short.out"));
    EXPECT_FALSE(testing_support::Exists(scratch / "damaged.out"));
    EXPECT_FALSE(testing_support::Exists(scratch / "x.qz"));
    EXPECT_EQ(testing_support::ReadBytes(scratch / "plain.txt"), testing_support::TextBytes("plain"));
}

#ifndef _WIN32
// The shell is only at hand natively; under Wine the exit codes above suffice.
std::string StandardError(const ScratchFolder& scratch, const std::string& arguments)
{
    const std::string errors = scratch / "stderr.txt";
    const std::string command = std::string("'") + QDXPACK_PROGRAM + "' " + arguments + " 2>'" + errors + "'";
    EXPECT_NE(system(command.c_str()), 0);
    const Bytes text = testing_support::ReadBytes(errors);
    return std::string(text.begin(), text.end());
}

TEST(QdxpackMessages, DamagedInputIsNamedWithWhereDecodingStopped)
{
    ScratchFolder scratch("qdxpack");
    const std::string damaged = scratch / "damaged.qz";
    testing_support::WriteBytes(damaged, codec_testing::Hex("06 00 00 00 30 98 AE"));
    EXPECT_EQ(StandardError(scratch, "decompress '" + damaged + "' '" + (scratch / "out.bin") + "'"),
              "qdxpack: " + damaged + ": damaged: code 259 names no entry in use (entry count 259) at output offset 4\n");
    const std::string cut = scratch / "cut.qz";
    testing_support::WriteBytes(cut, codec_testing::Hex("06 00 00 00 30 98"));
    EXPECT_EQ(StandardError(scratch, "decompress '" + cut + "' '" + (scratch / "out.bin") + "'"),
              "qdxpack: " + cut + ": truncated: the code stream ends at output offset 1 of 6 (entry count 256)\n");
    EXPECT_FALSE(testing_support::Exists(scratch / "out.bin"));
}
#endif

}  // namespace
