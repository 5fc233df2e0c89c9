#include "pack_tool.h"

#include <atomic>
#include <chrono>
#include <filesystem>

#include "commands.h"
#include "platform/streams.h"

namespace fs = std::filesystem;

FILE* OpenPackTables(const char* path, PackTables* tables)
{
    FILE* pack = fopen(path, "rb");
    if (pack == nullptr) {
        ReportFileError(path, "cannot be opened");
        return nullptr;
    }
    tables->packLength = StreamLength(pack);
    const char* problem = nullptr;
    if (tables->packLength < 0) problem = "cannot be measured";
    else if (!ReadPackTable(pack, tables->packLength, &tables->folders, &problem)) {
        problem = problem != nullptr ? problem : "damaged folder table";
    } else if (!ReadPackTable(pack, tables->packLength, &tables->files, &problem)) {
        problem = problem != nullptr ? problem : "damaged file table";
    }
    if (problem != nullptr) {
        char text[200];
        snprintf(text, sizeof text, "not a readable pack: %s", problem);
        ReportFileError(path, text);
        fclose(pack);
        return nullptr;
    }
    tables->dataStart = StreamPosition(pack);
    return pack;
}

int LocateEntry(const PackTables& tables, const PackEntry& row, int64_t* position, const char** problem)
{
    int64_t start = tables.dataStart + row.offset;
    if (start > INT32_MAX) {
        *problem = "stored entry starts beyond 2 GiB into the pack";
        return 0;
    }
    if (start + row.size > tables.packLength) {
        *problem = "stored entry reaches past the end of the pack";
        return 0;
    }
    *position = start;
    return 1;
}

namespace {
std::atomic<unsigned> scratchNumber{0};
}

ScratchFile::ScratchFile() : stream_(nullptr)
{
}

ScratchFile::~ScratchFile()
{
    Close();
    if (!path_.empty()) {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
}

FILE* ScratchFile::Open()
{
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error);
    if (error) return nullptr;
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = folder / ("qdxpack-" + std::to_string(stamp % 1000000007) + "-" +
                                       std::to_string(scratchNumber++) + ".tmp");
        if (fs::exists(candidate, error)) continue;
        stream_ = fopen(candidate.string().c_str(), "w+b");
        if (stream_ != nullptr) {
            path_ = candidate.string();
            return stream_;
        }
    }
    return nullptr;
}

void ScratchFile::Close()
{
    if (stream_ != nullptr) fclose(stream_);
    stream_ = nullptr;
}

Progress::Progress(const char* verb, uint64_t totalFiles, uint64_t totalBytes)
    : shown_(StderrIsTerminal()), verb_(verb), totalFiles_(totalFiles), totalBytes_(totalBytes), files_(0), bytes_(0)
{
}

Progress::~Progress()
{
    Finish();
}

void Progress::Advance(uint64_t bytes)
{
    ++files_;
    bytes_ += bytes;
    if (!shown_) return;
    fprintf(stderr, "\r%s: %llu/%llu files, %.1f/%.1f MB", verb_, static_cast<unsigned long long>(files_),
            static_cast<unsigned long long>(totalFiles_), bytes_ / 1e6, totalBytes_ / 1e6);
    fflush(stderr);
}

void Progress::Finish()
{
    if (shown_ && files_ > 0) fprintf(stderr, "\n");
    shown_ = false;
}

std::string FormatRatio(uint64_t stored, uint64_t uncompressed)
{
    if (uncompressed == 0) return "-";
    char text[32];
    snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(stored) / static_cast<double>(uncompressed));
    return text;
}
