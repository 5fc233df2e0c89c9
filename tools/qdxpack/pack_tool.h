#ifndef QDX_TOOLS_QDXPACK_PACK_TOOL_H
#define QDX_TOOLS_QDXPACK_PACK_TOOL_H
// What the pack commands share: the tables of a pack as read by the
// launcher's own reader, scratch files, and the progress line.
#include <cstdint>
#include <cstdio>
#include <string>

#include "pack/pack_reader.h"

// Room left in every stored name for the folder the launcher puts in front
// of it (its temporary folder and "latmp<N>.tmp"): the staged path must stay
// within 259 bytes, so create refuses names longer than this.
const int MAX_CREATE_NAME_LENGTH = MAX_NAME_LENGTH - 80;

// A pack's two tables and the facts about the file around them.
struct PackTables {
    PackEntryList folders;
    PackEntryList files;
    int64_t packLength;
    int64_t dataStart;
};

// Opens path and reads both tables with the launcher's reader. Returns the
// open stream, or null after reporting "qdxpack: PATH: problem".
FILE* OpenPackTables(const char* path, PackTables* tables);

// Where a file row's stored entry lies; 0 with *problem set when it lies
// (partly) outside the pack or starts past what the launcher can seek to.
int LocateEntry(const PackTables& tables, const PackEntry& row, int64_t* position, const char** problem);

// A file for intermediate bytes, removed when the object goes.
class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    // Opens a fresh scratch file for writing and reading; null on failure.
    FILE* Open();
    const std::string& path() const { return path_; }
    void Close();

private:
    std::string path_;
    FILE* stream_;
};

// A one-line progress display on stderr, shown only when stderr is a terminal.
class Progress {
public:
    Progress(const char* verb, uint64_t totalFiles, uint64_t totalBytes);
    ~Progress();
    void Advance(uint64_t bytes);
    void Finish();

private:
    bool shown_;
    const char* verb_;
    uint64_t totalFiles_;
    uint64_t totalBytes_;
    uint64_t files_;
    uint64_t bytes_;
};

// True when stderr is an interactive terminal.
bool StderrIsTerminal();

// Human-readable ratio of stored to uncompressed bytes, e.g. "41.2%".
std::string FormatRatio(uint64_t stored, uint64_t uncompressed);

#endif
