// Any bytes through the encoder and back: the decoder must give exactly the
// input, and the compressed file must say its length.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "decoder/decoder.h"
#include "encoder/encoder.h"
#include "fuzz_scratch.h"
#include "unit/decoder/dictionary_check.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace fuzz_support;
    static const std::string plain = ScratchPath("round-plain");
    static const std::string packed = ScratchPath("round-packed");
    static const std::string decoded = ScratchPath("round-decoded");
    WriteWhole(plain, data, size);

    if (CompressFile(plain.c_str(), packed.c_str()) != 1) Fail("CompressFile failed");
    if (!codec_testing::CheckDictionary().empty()) Fail("encoder left an inconsistent dictionary");
    bool exists = false;
    const std::string compressed = ReadWhole(packed, &exists);
    if (compressed.size() < 4) Fail("compressed file lacks its length field");
    const uint32_t field = static_cast<uint32_t>(static_cast<uint8_t>(compressed[0])) |
                           (static_cast<uint32_t>(static_cast<uint8_t>(compressed[1])) << 8) |
                           (static_cast<uint32_t>(static_cast<uint8_t>(compressed[2])) << 16) |
                           (static_cast<uint32_t>(static_cast<uint8_t>(compressed[3])) << 24);
    if (field != size) Fail("length field differs from the input size");

    if (DecompressFile(packed.c_str(), decoded.c_str()) != 1) Fail("decoder rejected the encoder's output");
    const std::string output = ReadWhole(decoded, &exists);
    if (output.size() != size || (size > 0 && output.compare(0, size, reinterpret_cast<const char*>(data), size) != 0)) {
        Fail("round trip changed the bytes");
    }
    remove(packed.c_str());
    remove(decoded.c_str());
    return 0;
}
