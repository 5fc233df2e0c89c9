#include "fuzz_scratch.h"

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define QDX_PROCESS_ID _getpid
#else
#include <unistd.h>
#define QDX_PROCESS_ID getpid
#endif

namespace fuzz_support {

std::string ScratchPath(const char* tag)
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = ".";
    return (folder / ("qdxfuzz-" + std::to_string(QDX_PROCESS_ID()) + "-" + tag)).string();
}

void WriteWhole(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr || (size > 0 && fwrite(data, 1, size, file) != size) || fclose(file) != 0) {
        Fail("cannot write a scratch file");
    }
}

std::string ReadWhole(const std::string& path, bool* exists)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    *exists = file != nullptr;
    if (file == nullptr) return bytes;
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    fclose(file);
    return bytes;
}

void Fail(const char* what)
{
    fprintf(stderr, "fuzz target failed: %s\n", what);
    fflush(stderr);
    abort();
}

}  // namespace fuzz_support
