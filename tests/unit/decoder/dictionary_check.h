#pragma once
// Checks the dictionary's structural invariants, for tests and fuzz targets.
#include <cstdint>
#include <string>

namespace codec_testing {

// Empty when the process-wide dictionary is consistent: literal entries
// intact; entries 256..entryCount-1 each once in a well-linked recency list;
// the child bits of every entry in use exactly the bytes of its children, no
// two children of one parent sharing a byte, and, while child numbers are
// kept, each child's number in its parent's row; no string over
// MAX_STRING_LENGTH and every recorded length right; every string entry less
// recent than a string-entry parent; a childless recencyHead. Otherwise the
// first violation found. Takes time proportional to the entries.
std::string CheckDictionary();

// True when entry p has any child.
bool HasChildren(int32_t p);

}  // namespace codec_testing
