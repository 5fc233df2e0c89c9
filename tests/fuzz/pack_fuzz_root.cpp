#include "pack_fuzz_root.h"

#include <stdlib.h>

#include <filesystem>
#include <set>

#include "fuzz_scratch.h"

namespace fs = std::filesystem;

namespace fuzz_support {

namespace {

const char CANARY_TEXT[] = "user data that must survive";

PackFuzzRoot MakeRoot()
{
    PackFuzzRoot made;
    made.root = ScratchPath("pack-root");
    std::error_code error;
    fs::remove_all(made.root, error);
    made.temp = (fs::path(made.root) / "temp").string();
    made.install = (fs::path(made.root) / "install").string();
    made.canary = (fs::path(made.root) / "canary").string();
    made.pack = (fs::path(made.root) / "Pack.qdx").string();
    fs::create_directories(made.temp);
    fs::create_directories(made.install);
    fs::create_directories(fs::path(made.canary) / "x");
    WriteWhole((fs::path(made.canary) / "x" / "file").string(), reinterpret_cast<const uint8_t*>(CANARY_TEXT),
               sizeof CANARY_TEXT - 1);
#ifdef _WIN32
    _putenv_s("TMP", made.temp.c_str());
    _putenv_s("TEMP", made.temp.c_str());
#else
    setenv("TMPDIR", made.temp.c_str(), 1);
#endif
    return made;
}

}  // namespace

const PackFuzzRoot& PackRoot()
{
    static const PackFuzzRoot root = MakeRoot();
    return root;
}

void PreparePackRun(const uint8_t* data, size_t size)
{
    const PackFuzzRoot& root = PackRoot();
    WriteWhole(root.pack, data, size);
    std::error_code error;
    fs::remove_all(root.install, error);
    fs::create_directories(root.install, error);
    if (error) Fail("cannot empty the install folder");
}

void CheckNothingOutside()
{
    const PackFuzzRoot& root = PackRoot();
    std::error_code error;
    if (!fs::is_empty(root.temp, error) || error) Fail("something was left in the temporary folder");
    std::set<std::string> top;
    for (const auto& entry : fs::directory_iterator(root.root)) top.insert(entry.path().filename().string());
    if (top != std::set<std::string>{"temp", "install", "canary", "Pack.qdx"}) Fail("something appeared beside the folders");
    std::set<std::string> canary;
    for (const auto& entry : fs::recursive_directory_iterator(root.canary)) canary.insert(entry.path().string());
    if (canary.size() != 2) Fail("the canary tree changed");
    bool exists = false;
    if (ReadWhole((fs::path(root.canary) / "x" / "file").string(), &exists) != CANARY_TEXT) Fail("the canary changed");
    for (const auto& entry : fs::recursive_directory_iterator(root.install)) {
        if (entry.is_symlink()) Fail("a link appeared in the install folder");
    }
}

}  // namespace fuzz_support
