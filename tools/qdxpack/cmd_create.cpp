// qdxpack create DIR PACK: a pack of a folder tree, as the launcher reads it.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "encoder/encoder.h"
#include "pack_tool.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

const char CREATE_HELP[] =
    "Packs the folder tree DIR into PACK, the file that the launcher unpacks:\n"
    "one folder row for every folder below DIR (empty ones too, each after its\n"
    "parent), one file row for every file, each file compressed. Names are\n"
    "stored relative to DIR, sorted bytewise, so the same tree always gives the\n"
    "same bytes.\n"
    "\n"
    "Anything the launcher would not unpack is refused before PACK is written:\n"
    "names it rejects (devices such as CON, colons, a trailing dot or space,\n"
    "control characters), names too long for its folders, links, and files of\n"
    "4 GiB or more. A warning is given when DIR has no Installer.exe at its top.\n"
    "PACK is replaced only once the new pack is complete. On a terminal a\n"
    "progress line shows the files and bytes done. --fast compresses with the\n"
    "greedy parse: quicker, a few percent larger.\n";

namespace {

struct TreeEntry {
    std::string storedName;  // "\dir\file", backslashes
    std::string path;        // where it is on this system
    bool folder;
    uint64_t size;
};

// Gathers every folder and file below folder into entries; reports each thing
// that cannot go into a pack and counts it in *refused.
void WalkTree(const std::string& folder, const std::string& storedPrefix, std::vector<TreeEntry>* entries,
              int* refused)
{
    std::string pattern = folder + PATH_SEPARATOR + "*.*";
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(pattern.c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE || listing == nullptr) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            ReportFileError(folder.c_str(), "cannot be listed");
            ++*refused;
        }
        return;
    }
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + PATH_SEPARATOR + name;
        std::string stored = storedPrefix + "\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            ReportFileError(path.c_str(), "is a link; the launcher unpacks only plain files and folders");
            ++*refused;
            continue;
        }
        const char* problem = nullptr;
        if (name.find('\\') != std::string::npos) problem = "has a backslash in its name";
        else problem = PackNameProblem(stored.c_str());
        if (problem == nullptr && stored.size() > static_cast<size_t>(MAX_CREATE_NAME_LENGTH)) {
            problem = "has a relative path too long for the launcher's folders (more than 179 bytes)";
        }
        if (problem != nullptr) {
            char text[200];
            snprintf(text, sizeof text, "cannot be packed: its name %s", problem);
            ReportFileError(path.c_str(), text);
            ++*refused;
            continue;
        }
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        uint64_t size = 0;
        if (!isFolder) {
            std::error_code error;
            size = fs::file_size(path, error);
            if (error) {
                ReportFileError(path.c_str(), "cannot be read");
                ++*refused;
                continue;
            }
            if (size > MAX_UNCOMPRESSED_SIZE) {
                ReportFileError(path.c_str(), "is 4 GiB or larger, more than a pack can hold");
                ++*refused;
                continue;
            }
        }
        entries->push_back({stored, path, isFolder, size});
        if (isFolder) WalkTree(path, stored, entries, refused);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}

void PutUint32(FILE* out, uint32_t value)
{
    unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                              static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    fwrite(bytes, 1, 4, out);
}

struct FileRow {
    const TreeEntry* entry;
    uint32_t offset;
    uint32_t size;
};

void WriteTables(FILE* out, const std::vector<const TreeEntry*>& folders, const std::vector<FileRow>& files)
{
    PutUint32(out, static_cast<uint32_t>(folders.size()));
    for (const TreeEntry* folder : folders) {
        PutUint32(out, static_cast<uint32_t>(folder->storedName.size()));
        fwrite(folder->storedName.data(), 1, folder->storedName.size(), out);
        PutUint32(out, 0);
        PutUint32(out, 0);
    }
    PutUint32(out, static_cast<uint32_t>(files.size()));
    for (const FileRow& row : files) {
        PutUint32(out, static_cast<uint32_t>(row.entry->storedName.size()));
        fwrite(row.entry->storedName.data(), 1, row.entry->storedName.size(), out);
        PutUint32(out, row.offset);
        PutUint32(out, row.size);
    }
}

bool HasInstaller(const std::vector<const TreeEntry*>& files)
{
    for (const TreeEntry* file : files) {
        std::string lower = file->storedName;
        for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        if (lower == "\\installer.exe") return true;
    }
    return false;
}

// Writes the pack into partPath: tables first (their size is known from the
// names), entries after them in table order. Returns true on success.
bool WritePack(const char* packName, const std::string& partPath, const std::vector<const TreeEntry*>& folders,
               const std::vector<const TreeEntry*>& files)
{
    FILE* out = fopen(partPath.c_str(), "wb");
    if (out == nullptr) {
        ReportFileError(packName, "cannot be created");
        return false;
    }
    uint64_t tableBytes = 8;
    uint64_t totalBytes = 0;
    for (const TreeEntry* folder : folders) tableBytes += 12 + folder->storedName.size();
    for (const TreeEntry* file : files) {
        tableBytes += 12 + file->storedName.size();
        totalBytes += file->size;
    }
    bool ok = fseek(out, static_cast<long>(tableBytes), SEEK_SET) == 0;
    std::vector<FileRow> rows;
    uint64_t offset = 0;
    Progress progress("create", files.size(), totalBytes);
    for (size_t i = 0; ok && i < files.size(); ++i) {
        const TreeEntry* file = files[i];
        if (tableBytes + offset > static_cast<uint64_t>(INT32_MAX)) {
            ReportFileError(packName, "would grow past 2 GiB before its last entry, more than the launcher can read");
            ok = false;
            break;
        }
        FILE* source = fopen(file->path.c_str(), "rb");
        if (source == nullptr) {
            ReportFileError(file->path.c_str(), "cannot be opened");
            ok = false;
            break;
        }
        uint64_t stored = 0;
        int compressed = CompressStream(source, out, &stored, fastParseRequested ? PARSE_GREEDY : PARSE_LOOKAHEAD);
        fclose(source);
        if (!compressed) {
            char problem[200];
            FormatCompressFailure(&lastCompressFailure, problem, sizeof problem);
            bool aboutOutput = lastCompressFailure.kind == COMPRESS_WRITE_FAILED;
            ReportFileError(aboutOutput ? packName : file->path.c_str(), problem);
            ok = false;
            break;
        }
        if (stored > 0xFFFFFFFFu) {
            ReportFileError(file->path.c_str(), "compresses to 4 GiB or more, more than a pack can hold");
            ok = false;
            break;
        }
        rows.push_back({file, static_cast<uint32_t>(offset), static_cast<uint32_t>(stored)});
        offset += stored;
        progress.Advance(file->size);
    }
    progress.Finish();
    if (ok) {
        ok = fseek(out, 0, SEEK_SET) == 0;
        WriteTables(out, folders, rows);
        ok = ok && ferror(out) == 0;
        if (!ok) ReportFileError(packName, "cannot be written");
    }
    if (fclose(out) != 0 && ok) {
        ReportFileError(packName, "cannot be written");
        ok = false;
    }
    return ok;
}

}  // namespace

int RunCreate(const char* command, int operandCount, char** operands)
{
    if (!HasOperands(command, operandCount, 2)) return EXIT_USAGE;
    std::string dir = operands[0];
    const char* pack = operands[1];
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == PATH_SEPARATOR)) dir.pop_back();

    DWORD attributes = GetFileAttributesA(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ReportFileError(dir.c_str(), "is not a folder");
        return EXIT_FAILED;
    }

    std::vector<TreeEntry> entries;
    int refused = 0;
    WalkTree(dir, "", &entries, &refused);
    std::error_code error;
    fs::path packPath = fs::weakly_canonical(fs::path(pack), error);
    std::vector<TreeEntry> kept;
    for (TreeEntry& entry : entries) {
        // An earlier pack inside DIR is not packed into the new one.
        if (!entry.folder && !error && fs::weakly_canonical(fs::path(entry.path), error) == packPath) continue;
        kept.push_back(std::move(entry));
    }
    if (refused > 0) {
        fprintf(stderr, "qdxpack: %s: not packed: %d %s the launcher would not unpack\n", dir.c_str(), refused,
                refused == 1 ? "entry" : "entries");
        return EXIT_FAILED;
    }
    std::sort(kept.begin(), kept.end(),
              [](const TreeEntry& a, const TreeEntry& b) { return a.storedName < b.storedName; });
    std::vector<const TreeEntry*> folders;
    std::vector<const TreeEntry*> files;
    for (const TreeEntry& entry : kept) (entry.folder ? folders : files).push_back(&entry);
    if (folders.size() > INT32_MAX || files.size() > INT32_MAX) {
        ReportFileError(dir.c_str(), "has more entries than a pack can count");
        return EXIT_FAILED;
    }
    if (!HasInstaller(files)) {
        fprintf(stderr, "qdxpack: warning: %s has no Installer.exe at its top; the launcher will start nothing\n",
                dir.c_str());
    }

    std::string partPath = std::string(pack) + ".part";
    if (!WritePack(pack, partPath, folders, files)) {
        fs::remove(partPath, error);
        return EXIT_FAILED;
    }
    fs::rename(partPath, pack, error);
    if (error) {
        ReportFileError(pack, "cannot be replaced with the new pack");
        fs::remove(partPath, error);
        return EXIT_FAILED;
    }
    return EXIT_SUCCEEDED;
}
