// Any bytes as a compressed file: the decoder must end without touching
// memory outside its tables, a 0 must leave no destination, a 1 at least the
// promised length, and the dictionary must stay consistent either way.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "decoder/decoder.h"
#include "fuzz_scratch.h"
#include "unit/decoder/dictionary_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace fuzz_support;
    static const std::string source = ScratchPath("decoder-in");
    static const std::string destination = ScratchPath("decoder-out");
    WriteWhole(source, data, size);

    const int result = DecompressFile(source.c_str(), destination.c_str());
    bool exists = false;
    const std::string output = ReadWhole(destination, &exists);
    if (result == 0) {
        if (exists) Fail("DecompressFile returned 0 and left a destination");
        if (lastDecodeFailure.kind == DECODE_NO_FAILURE) Fail("0 without a recorded failure");
    } else {
        if (result != 1 || !exists) Fail("DecompressFile returned 1 without a destination");
        const uint32_t promised = static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
                                  (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
        if (output.size() < promised) Fail("fewer bytes than the length field");
        if (output.size() >= static_cast<uint64_t>(promised) + MAX_STRING_LENGTH) Fail("more than one string past the length");
    }
    // Decoding starts, and so resets the dictionary, only after a whole length field.
    if (size >= 4 && !codec_testing::CheckDictionary().empty()) {
        Fail(codec_testing::CheckDictionary().c_str());
    }

    // The stream entry point on the same bytes must agree with the file one.
    FILE* in = fopen(source.c_str(), "rb");
    FILE* out = fopen(destination.c_str(), "wb");
    if (in == nullptr || out == nullptr) Fail("cannot reopen scratch files");
    const int streamResult = DecompressStream(in, out);
    fclose(in);
    fclose(out);
    bool streamExists = false;
    const std::string streamOutput = ReadWhole(destination, &streamExists);
    if (streamResult != result) Fail("DecompressStream and DecompressFile disagree");
    if (result == 1 && streamOutput != output) Fail("DecompressStream wrote other bytes");
    remove(destination.c_str());
    return 0;
}
