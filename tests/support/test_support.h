#pragma once
// Helpers shared by the test programs, natively and under Wine: scratch
// folders, file bytes, tree snapshots, packs built from rows, and running a
// program with a private temporary folder.
#include <stdint.h>

#include <map>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

// A snapshot of a folder tree; see SnapshotTree.
using Tree = std::map<std::string, std::string>;

// Two small compressed files the packs of the tests store: "A", and the
// six bytes "ababba".
const Bytes STORED_A = {0x01, 0x00, 0x00, 0x00, 0x20, 0x80};
const Bytes STORED_ABABBA = {0x06, 0x00, 0x00, 0x00, 0x30, 0x98, 0xAA};

// The launcher program's file name in this build.
#ifdef _WIN32
const char LAUNCHER_NAME[] = "setup.exe";
#else
const char LAUNCHER_NAME[] = "setup";
#endif

// A fresh, empty folder of its own below the system's temporary folder,
// removed with everything in it when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }
    // path + separator + relative (relative may use '/' as separator).
    std::string operator/(const std::string& relative) const;

private:
    std::string path_;
};

std::string Join(const std::string& folder, const std::string& relative);
void WriteBytes(const std::string& path, const Bytes& bytes);
void WriteText(const std::string& path, const std::string& text);
Bytes ReadBytes(const std::string& path);
bool Exists(const std::string& path);
void MakeFolders(const std::string& path);
Bytes TextBytes(const std::string& text);

// Every entry below root: relative path with '/' separators, mapped to
// "<dir>" for folders and to the file's bytes (as a string) for files.
Tree SnapshotTree(const std::string& root);

// Names directly in folder.
std::vector<std::string> ListNames(const std::string& folder);

// Points the platform's temporary folder (GetTempPathA) at folder for this
// process and the programs it starts: TMP and TEMP on Windows, TMPDIR elsewhere.
void SetTempFolder(const std::string& folder);
// The temporary folder the test program started with (scratch folders live
// there), and putting it back after SetTempFolder.
const std::string& OriginalTempFolder();
void RestoreTempFolder();
// Sets an environment variable for this process and its children.
void SetEnvironment(const std::string& name, const std::string& value);

// Little-endian 32-bit value appended to bytes.
void PutUint32(Bytes& bytes, uint32_t value);

// A pack assembled from rows, for tests of the reader.
struct PackRow {
    std::string name;
    uint32_t offset;
    uint32_t size;
};
struct PackImage {
    std::vector<PackRow> folders;
    std::vector<PackRow> files;
    Bytes data;
    Bytes Build() const;
    // Adds a folder row with zero offset and size.
    void Folder(const std::string& name);
    // Appends stored bytes to the data area and a file row pointing at them.
    void File(const std::string& name, const Bytes& stored);
};

// Runs program with arguments in workingFolder, waits at most timeoutSeconds
// and returns its exit code; -1 when it crashed or ran out of time (then it
// is killed); NOT_STARTED when it could not be started at all.
const int NOT_STARTED = -2;
// When outputPath is given, the program's standard output and error go there.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingFolder, int timeoutSeconds, const std::string& outputPath = "");

// Makes link a symbolic link to the folder target, as another program on
// the machine could. Under Wine, whose own link call makes nothing, a POSIX
// link is made by the host's ln, which Wine reports as a reparse point.
// Returns whether a link that the platform reports as one now exists.
bool PlantFolderLink(const std::string& link, const std::string& target);

// Path of the running test program.
std::string SelfPath();

}  // namespace testing_support
