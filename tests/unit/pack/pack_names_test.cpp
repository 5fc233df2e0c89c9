// Which stored names the reader accepts.
#include "pack/pack_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    std::string name;
    bool accepted;
};

const NameCase NAME_CASES[] = {
    // Ordinary names, and names that only look unusual.
    {"\\a", true},
    {"\\Installer.exe", true},
    {"\\dir\\sub\\file.txt", true},
    {"\\.hidden", true},
    {"\\..more", true},
    {"\\a b", true},
    {"\\a.b.c", true},
    {"\\CONX", true},
    {"\\COM10", true},
    {"\\nulx.txt", true},
    {"\\LPT", true},
    {"\\\xC3\xA9t\xC3\xA9", true},
    {"\\" + std::string(258, 'n'), true},
    // Leaving the folder.
    {"\\..\\x", false},
    {"\\a\\..\\..\\x", false},
    {"\\..", false},
    {"\\.", false},
    {"\\a\\.\\b", false},
    {"C:\\x", false},
    {"\\C:x", false},
    {"\\\\server\\share\\x", false},
    {"\\a:stream", false},
    {"\\a/../x", false},
    {"\\a/b", false},
    // Names Windows resolves to devices, or trims.
    {"\\CON", false},
    {"\\con", false},
    {"\\nul.txt", false},
    {"\\COM1.log", false},
    {"\\lpt9", false},
    {"\\dir\\AUX", false},
    {"\\PRN .txt", false},
    {"\\a.", false},
    {"\\a ", false},
    {"\\dir.\\b", false},
    // Malformed.
    {"", false},
    {"x", false},
    {"a\\b", false},
    {"\\", false},
    {"\\a\\", false},
    {"\\a\\\\b", false},
    {"\\a\x01" "b", false},
    {"\\a\tb", false},
    {"\\a\x7F", false},
    {"\\a?b", false},
    {"\\a*", false},
    {"\\a<b", false},
    {"\\a|b", false},
    {"\\a\"b", false},
    {"\\" + std::string(259, 'n'), false},
};

TEST(PackNameProblem, AcceptsPlainNamesAndRefusesEverythingElse)
{
    for (const NameCase& c : NAME_CASES) {
        const char* problem = PackNameProblem(c.name.c_str());
        if (c.accepted) {
            EXPECT_EQ(nullptr, problem) << "refused: " << c.name << " (" << problem << ")";
        } else {
            EXPECT_NE(nullptr, problem) << "accepted: " << c.name;
        }
    }
}

}  // namespace
