// qdxpack check PACK: everything the launcher would meet, checked ahead.
#include <cstring>
#include <set>
#include <string>

#include "commands.h"
#include "decoder/decoder.h"
#include "pack_tool.h"

const char CHECK_HELP[] =
    "Checks PACK as the launcher would read it: both tables, every name (the\n"
    "launcher skips names that could leave its folder or that Windows treats\n"
    "specially), that each folder comes after its parent and each file's folder\n"
    "is in the table, that every entry lies inside the pack, and it decodes\n"
    "every entry completely. Prints each problem with the row's name; exits 0\n"
    "only when the pack is sound.\n";

namespace {

std::string ParentOf(const std::string& name)
{
    size_t cut = name.find_last_of('\\');
    return cut == 0 || cut == std::string::npos ? std::string() : name.substr(0, cut);
}

std::string Folded(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return folded;
}

struct Checker {
    const char* packPath;
    int problems;

    void Problem(const char* kind, const char* name, const char* description)
    {
        fprintf(stderr, "qdxpack: %s: %s row '%s': %s\n", packPath, kind, name, description);
        ++problems;
    }

    // The checks every row's name gets; returns true when the name is usable.
    // folders holds the folder rows so far as they are spelt, foldedFolders
    // the same names in lower case.
    bool CheckName(const char* kind, const PackEntry& row, const std::set<std::string>& folders,
                   const std::set<std::string>& foldedFolders, std::set<std::string>* seen)
    {
        const char* problem = PackNameProblem(row.name);
        if (problem != nullptr) {
            Problem(kind, row.name, problem);
            return false;
        }
        if (strlen(row.name) > static_cast<size_t>(MAX_CREATE_NAME_LENGTH)) {
            Problem(kind, row.name, "is longer than 179 bytes and may not fit below the launcher's folders");
        }
        if (!seen->insert(Folded(row.name)).second) {
            Problem(kind, row.name, "the same name (ignoring case) stands in an earlier row");
        }
        std::string parent = ParentOf(row.name);
        // Windows would find a folder spelt in other letters, a file system
        // that tells case apart would not: a pack sound for one only is not
        // sound.
        if (!parent.empty() && folders.count(parent) == 0) {
            Problem(kind, row.name,
                    foldedFolders.count(Folded(parent)) != 0
                        ? "its folder stands in the folder table before it only in other letter case"
                        : "its folder is not in the folder table before it");
        }
        return true;
    }

    // Decodes one stored entry completely, from a copy of exactly its bytes.
    void CheckEntry(FILE* pack, const PackEntry& row, int64_t position)
    {
        ScratchFile source;
        ScratchFile output;
        FILE* copy = source.Open();
        FILE* decoded = output.Open();
        if (copy == nullptr || decoded == nullptr) {
            Problem("file", row.name, "no scratch file to decode into");
            return;
        }
        // The copy is written through its own stream, by path.
        source.Close();
        if (!CopyStoredEntry(source.path().c_str(), pack, static_cast<int32_t>(position), row.size)) {
            Problem("file", row.name, "cannot copy the stored entry to a scratch file");
            return;
        }
        copy = fopen(source.path().c_str(), "rb");
        if (copy == nullptr) {
            Problem("file", row.name, "cannot read back the stored entry");
            return;
        }
        int decodedWhole = DecompressStream(copy, decoded);
        fclose(copy);
        if (!decodedWhole) {
            char text[200];
            FormatDecodeFailure(&lastDecodeFailure, text, sizeof text);
            Problem("file", row.name, text);
            return;
        }
        fflush(decoded);
        long produced = ftell(decoded);
        if (produced >= 0 && static_cast<uint64_t>(produced) != lastDecodeFailure.uncompressedSize) {
            char text[160];
            snprintf(text, sizeof text, "decodes to %ld bytes although its length field says %lu", produced,
                     static_cast<unsigned long>(lastDecodeFailure.uncompressedSize));
            Problem("file", row.name, text);
        }
    }
};

}  // namespace

int RunCheck(const char* command, int operandCount, char** operands)
{
    if (!HasOperands(command, operandCount, 1)) return EXIT_USAGE;
    Checker checker = {operands[0], 0};
    PackTables tables;
    FILE* pack = OpenPackTables(checker.packPath, &tables);
    if (pack == nullptr) return EXIT_FAILED;

    std::set<std::string> folders;
    std::set<std::string> foldedFolders;
    std::set<std::string> seen;
    for (const PackEntry* row = tables.folders.head; row != nullptr; row = row->next) {
        if (checker.CheckName("folder", *row, folders, foldedFolders, &seen)) {
            folders.insert(row->name);
            foldedFolders.insert(Folded(row->name));
        }
    }
    bool hasInstaller = false;
    for (const PackEntry* row = tables.files.head; row != nullptr; row = row->next) {
        if (!checker.CheckName("file", *row, folders, foldedFolders, &seen)) continue;
        if (Folded(row->name) == "\\installer.exe") hasInstaller = true;
        int64_t position = 0;
        const char* problem = nullptr;
        if (!LocateEntry(tables, *row, &position, &problem)) {
            checker.Problem("file", row->name, problem);
            continue;
        }
        checker.CheckEntry(pack, *row, position);
    }
    fclose(pack);
    if (!hasInstaller) {
        fprintf(stderr, "qdxpack: warning: %s has no \\Installer.exe; the launcher will start nothing\n",
                checker.packPath);
    }
    if (checker.problems > 0) {
        fprintf(stderr, "qdxpack: %s: %d %s\n", checker.packPath, checker.problems,
                checker.problems == 1 ? "problem" : "problems");
        return EXIT_FAILED;
    }
    printf("%s: sound: %d folders, %d files\n", checker.packPath, tables.folders.count, tables.files.count);
    return EXIT_SUCCEEDED;
}
