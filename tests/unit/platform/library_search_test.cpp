// A library planted beside the program loads by its bare name before the
// search is restricted, and never after.
#include "platform/library_search.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

TEST(RestrictLibrarySearch, APlantedLibraryBesideTheProgramIsNotLoaded)
{
    // The test program's folder is where a planted library would lie.
    std::string self = testing_support::SelfPath();
    std::string beside = self.substr(0, self.find_last_of('\\')) + "\\qdx_planted_copy.dll";
    fs::copy_file(QDX_PLANTED_LIBRARY, beside, fs::copy_options::overwrite_existing);

    // The working folder is elsewhere, so only the program's folder could supply it.
    fs::path before = fs::current_path();
    fs::current_path(fs::temp_directory_path());

    HMODULE control = LoadLibraryA("qdx_planted_copy.dll");
    ASSERT_NE(nullptr, control) << "the control load must find the library beside the program";
    FreeLibrary(control);

    EXPECT_EQ(1, RestrictLibrarySearch());
    EXPECT_EQ(nullptr, LoadLibraryA("qdx_planted_copy.dll"));
    // A library of the system folder still loads.
    HMODULE system = LoadLibraryA("version.dll");
    EXPECT_NE(nullptr, system);
    if (system != nullptr) FreeLibrary(system);

    fs::current_path(before);
    fs::remove(beside);
}
