// Turns a fuzz target into a plain program: every file named on the command
// line, and every file inside every folder named there, goes through
// LLVMFuzzerTestOneInput once. A failing input aborts inside the target.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes)
{
    FILE* file = fopen(path.string().c_str(), "rb");
    if (file == nullptr) return false;
    bytes->clear();
    uint8_t block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) bytes->insert(bytes->end(), block, block + got);
    fclose(file);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path named(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(named, error)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(named, error)) {
                if (entry.is_regular_file()) inputs.push_back(entry.path());
            }
        } else {
            inputs.push_back(named);
        }
        if (error) {
            fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        fprintf(stderr, "no inputs found\n");
        return 1;
    }
    std::vector<uint8_t> bytes;
    for (const auto& input : inputs) {
        if (!ReadFile(input, &bytes)) {
            fprintf(stderr, "%s: cannot read\n", input.string().c_str());
            return 1;
        }
        // A null pointer for an empty input, as libFuzzer may pass.
        LLVMFuzzerTestOneInput(bytes.empty() ? nullptr : bytes.data(), bytes.size());
    }
    printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
