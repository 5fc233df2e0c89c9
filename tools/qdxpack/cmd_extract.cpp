// qdxpack extract PACK DIR: unpacks exactly as the launcher does.
#include <filesystem>
#include <string>

#include "commands.h"
#include "decoder/decoder.h"
#include "pack_tool.h"

namespace fs = std::filesystem;

const char EXTRACT_HELP[] =
    "Unpacks PACK into DIR with the launcher's own reader, through a staging\n"
    "folder in the temporary folder, so DIR holds exactly what the launcher\n"
    "would install. DIR is created if missing; existing files in it are\n"
    "replaced by the pack's. Rows the launcher skips and entries that do not\n"
    "decode are reported, and then the exit code is 1.\n";

namespace {

struct ExtractProblems {
    const char* packPath;
    int count;
};

void ReportProblem(void* context, const char* subject, const char* description)
{
    ExtractProblems* problems = static_cast<ExtractProblems*>(context);
    fprintf(stderr, "qdxpack: %s: %s: %s\n", problems->packPath, subject, description);
    ++problems->count;
}

void ReportDecodeFailure(void* context, const char* destination, const DecodeFailure* failure)
{
    char description[200];
    FormatDecodeFailure(failure, description, sizeof description);
    char text[260];
    snprintf(text, sizeof text, "does not decode, so it is not installed: %s", description);
    ReportProblem(context, destination, text);
}

}  // namespace

int RunExtract(const char* command, int operandCount, char** operands)
{
    if (!HasOperands(command, operandCount, 2)) return EXIT_USAGE;
    const char* packPath = operands[0];
    std::error_code error;
    fs::path dir = fs::absolute(fs::path(operands[1]), error);
    if (!error) fs::create_directories(dir, error);
    if (error || !fs::is_directory(dir, error)) {
        ReportFileError(operands[1], "cannot be made as a folder");
        return EXIT_FAILED;
    }
    FILE* probe = fopen(packPath, "rb");
    if (probe == nullptr) {
        ReportFileError(packPath, "cannot be opened");
        return EXIT_FAILED;
    }
    fclose(probe);

    ExtractProblems problems = {packPath, 0};
    ExtractReport report = {ReportProblem, ReportDecodeFailure, &problems};
    std::string folder = dir.string();
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    int read = ExtractPack(packPath, folder.c_str(), &report);
    if (!read && problems.count == 0) ReportProblem(&problems, packPath, "cannot be read");
    if (problems.count > 0) {
        fprintf(stderr, "qdxpack: %s: %d %s skipped or failed\n", packPath, problems.count,
                problems.count == 1 ? "entry" : "entries");
        return EXIT_FAILED;
    }
    return EXIT_SUCCEEDED;
}
