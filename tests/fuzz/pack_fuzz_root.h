#pragma once
// A private scratch root for the pack fuzz targets: the launcher's temporary
// folder, an install folder and a canary tree of "user data" beside them,
// with the checks every input must pass.
#include <stddef.h>
#include <stdint.h>

#include <string>

namespace fuzz_support {

struct PackFuzzRoot {
    std::string root;
    std::string temp;
    std::string install;
    std::string canary;
    std::string pack;
};

// Made once per process; TMPDIR (or TMP) points at its temp folder.
const PackFuzzRoot& PackRoot();

// Writes the pack and empties the install folder.
void PreparePackRun(const uint8_t* data, size_t size);

// Aborts unless the temporary folder is empty, the canary is intact, nothing
// else appeared in the root, and the install folder holds no link.
void CheckNothingOutside();

}  // namespace fuzz_support
