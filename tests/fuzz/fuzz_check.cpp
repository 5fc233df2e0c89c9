// Any bytes as a pack for `qdxpack check`: it must end with 0 or 1, never
// crash, and a pack it calls sound must unpack with the launcher's reader
// without a single skipped row or failed entry. What check prints about the
// pack goes to stderr like any other run's.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "fuzz_scratch.h"
#include "pack/pack_reader.h"
#include "pack_fuzz_root.h"
#include "qdxpack/commands.h"

namespace {

void CountProblem(void* context, const char*, const char*)
{
    ++*static_cast<int*>(context);
}

void CountDecodeFailure(void* context, const char*, const DecodeFailure*)
{
    ++*static_cast<int*>(context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace fuzz_support;
    const PackFuzzRoot& root = PackRoot();
    PreparePackRun(data, size);

    std::string packPath = root.pack;
    char* operands[] = {&packPath[0]};
    const int code = RunCheck("check", 1, operands);
    if (code != EXIT_SUCCEEDED && code != EXIT_FAILED) Fail("check gave an exit code other than 0 or 1");

    int problems = 0;
    ExtractReport report = {CountProblem, CountDecodeFailure, &problems};
    const int read = ExtractPack(root.pack.c_str(), root.install.c_str(), &report);
    CheckNothingOutside();
    if (code == EXIT_SUCCEEDED && (read != 1 || problems != 0)) Fail("check called a pack sound that does not unpack cleanly");
    return 0;
}
