// Any bytes as Pack.qdx: the launcher's reader must end without a crash,
// leave no staging folder, write nothing outside the install folder, and
// unpack only names the reader accepts.
#include <stddef.h>
#include <stdint.h>

#include <filesystem>

#include "fuzz_scratch.h"
#include "pack/pack_names.h"
#include "pack/pack_reader.h"
#include "pack_fuzz_root.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace fuzz_support;
    const PackFuzzRoot& root = PackRoot();
    PreparePackRun(data, size);

    const int result = ExtractPack(root.pack.c_str(), root.install.c_str());
    if (result != 0 && result != 1) Fail("ExtractPack gave neither 0 nor 1");
    if (result == 0 && !fs::is_empty(root.install)) Fail("an unreadable pack unpacked something");
    CheckNothingOutside();

    // Everything unpacked carries a name the reader accepts.
    for (const auto& entry : fs::recursive_directory_iterator(root.install)) {
        std::string stored = fs::relative(entry.path(), root.install).generic_string();
        for (char& c : stored) {
            if (c == '/') c = '\\';
        }
        stored.insert(stored.begin(), '\\');
        if (PackNameProblem(stored.c_str()) != nullptr) Fail("a name the reader refuses was unpacked");
    }
    return 0;
}
