#pragma once
// Scratch files for the fuzz targets: one pair of names per process in the
// temporary folder, since the decoder and encoder work on files and streams.
#include <stddef.h>
#include <stdint.h>

#include <string>

namespace fuzz_support {

// A path in the temporary folder unique to this process and tag.
std::string ScratchPath(const char* tag);

// Writes size bytes to path; aborts on failure, which would hide every input.
void WriteWhole(const std::string& path, const uint8_t* data, size_t size);

// The bytes at path, or an empty string with *exists false.
std::string ReadWhole(const std::string& path, bool* exists);

// Prints what went wrong and aborts, so the fuzzer keeps the input.
[[noreturn]] void Fail(const char* what);

}  // namespace fuzz_support
