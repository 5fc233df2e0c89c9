// Writes the seed corpus of the fuzz targets: make_fuzz_corpus FOLDER writes
// FOLDER/decoder/* (compressed files, sound and damaged) and
// FOLDER/round_trip/* (plain inputs). Deterministic: the same files every
// run, from the fixed seeds printed below.
#include <stdint.h>
#include <stdio.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "encoder/encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

bool Write(const fs::path& path, const Bytes& bytes)
{
    FILE* file = fopen(path.string().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

Bytes Read(const fs::path& path)
{
    Bytes bytes;
    FILE* file = fopen(path.string().c_str(), "rb");
    if (file == nullptr) return bytes;
    int c;
    while ((c = getc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    fclose(file);
    return bytes;
}

Bytes Text(const char* text)
{
    return Bytes(text, text + std::char_traits<char>::length(text));
}

Bytes Random(size_t size, uint32_t seed)
{
    printf("random input of %zu bytes, seed %u\n", size, seed);
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(generator() >> 24);
    return bytes;
}

Bytes Words(size_t size, uint32_t seed)
{
    printf("text input of %zu bytes, seed %u\n", size, seed);
    static const char* const WORDS[] = {"setup ", "pack ", "folder ", "the ", "installer ", "waits ", "and ", "ends.\n"};
    std::mt19937 generator(seed);
    Bytes text;
    while (text.size() < size) {
        const char* word = WORDS[generator() % 8];
        text.insert(text.end(), word, word + std::char_traits<char>::length(word));
    }
    text.resize(size);
    return text;
}

Bytes Counting(size_t count)
{
    Bytes bytes;
    for (uint32_t i = 0; i < count; ++i) {
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>((i * 2654435761u) >> (8 * b) & (b < 2 ? 0xFF : 0x0F)));
    }
    return bytes;
}

Bytes Hex(const char* text)
{
    Bytes bytes;
    std::string digits;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != ' ') digits += *p;
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_fuzz_corpus FOLDER\n");
        return 2;
    }
    const fs::path root(argv[1]);
    const fs::path plainFolder = root / "round_trip";
    const fs::path packedFolder = root / "decoder";
    fs::create_directories(plainFolder);
    fs::create_directories(packedFolder);

    Bytes everyByte;
    for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<uint8_t>(i));
    Bytes blocks;
    const Bytes block = Random(90, 4711u);
    for (int i = 0; i < 30; ++i) {
        blocks.insert(blocks.end(), block.begin(), block.end());
        blocks[blocks.size() - 1 - static_cast<size_t>(i)] ^= 0x5A;
    }
    const std::vector<std::pair<std::string, Bytes>> plain = {
        {"empty", Bytes()},
        {"one_byte", Text("A")},
        {"ababba", Text("ababba")},
        {"run_300", Bytes(300, 'z')},
        {"run_zero_3000", Bytes(3000, 0)},
        {"every_byte", everyByte},
        {"text_3000", Words(3000, 11u)},
        {"random_512", Random(512, 12345u)},
        {"random_6000", Random(6000, 54321u)},
        {"repeated_blocks", blocks},
        {"counting_words", Counting(1500)},
    };

    int files = 0;
    for (const auto& item : plain) {
        const fs::path plainPath = plainFolder / item.first;
        const fs::path packedPath = packedFolder / (item.first + ".qz");
        if (!Write(plainPath, item.second) || !CompressFile(plainPath.string().c_str(), packedPath.string().c_str())) {
            fprintf(stderr, "make_fuzz_corpus: %s: cannot write\n", item.first.c_str());
            return 1;
        }
        files += 2;
        // Each compressed file also cut in half and with its first flag set.
        const Bytes packed = Read(packedPath);
        if (packed.size() > 5) {
            Write(packedFolder / (item.first + ".cut.qz"), Bytes(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2)));
            Bytes flipped = packed;
            flipped[4] ^= 0x80;
            Write(packedFolder / (item.first + ".flag.qz"), flipped);
            files += 2;
        }
    }

    const std::vector<std::pair<std::string, Bytes>> vectors = {
        {"vector_empty", Hex("00 00 00 00")},
        {"vector_A", Hex("01 00 00 00 20 80")},
        {"vector_ababba", Hex("06 00 00 00 30 98 AA")},
        {"vector_ababba_size5", Hex("05 00 00 00 30 98 AA")},
        {"vector_ababba_size7", Hex("07 00 00 00 30 98 AA")},
        {"vector_length_only", Hex("FF FF FF FF")},
        {"vector_short_0", Bytes()},
        {"vector_short_1", Hex("01")},
        {"vector_short_3", Hex("01 00 00")},
        {"vector_index_first", Hex("02 00 00 00 80 00")},
    };
    for (const auto& item : vectors) {
        Write(packedFolder / (item.first + ".qz"), item.second);
        ++files;
    }
    printf("%d corpus files written under %s\n", files, root.string().c_str());
    return 0;
}
