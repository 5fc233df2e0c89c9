#pragma once
// Checks the dictionary's structural invariants, for tests and fuzz targets.
#include <string>

namespace codec_testing {

// Empty when the process-wide dictionary is consistent: literal entries
// intact, entries 256..entryCount-1 each once in its parent's child list and
// once in a well-linked recency list, distinct child bytes, a child index that
// gives what the child lists give, no string over
// MAX_STRING_LENGTH, every string entry less recent than a string-entry
// parent. Otherwise the first violation found.
std::string CheckDictionary();

}  // namespace codec_testing
