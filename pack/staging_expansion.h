#pragma once
#include "pack/pack_reader.h"

// Walks sourceFolder depth first, re-creates each of its folders below
// destinationFolder (an existing folder) and decompresses each of its files
// into the same relative path there. The source is only read. A file whose
// decoding fails leaves no destination file and the walk goes on. Links
// found in the source are not followed. Failures go to report when given.
void ExpandStagingTree(const char* sourceFolder, const char* destinationFolder, const ExtractReport* report = nullptr);
