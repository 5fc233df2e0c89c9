#pragma once
// Checks the dictionary's structural invariants, for tests and fuzz targets.
#include <cstdint>
#include <string>

namespace codec_testing {

// Which rows of the child index CheckDictionary reads slot by slot.
enum class IndexRows {
    EVERY_ROW,      // the rows of all entries in use: up to 4096 x 256 slots
    LITERAL_ROWS,   // only the rows of the 256 literal entries
};

// Empty when the process-wide dictionary is consistent: literal entries
// intact, entries 256..entryCount-1 each once in a well-linked recency list
// and each in its parent's child index slot for its byte, a child count that
// matches the children of every entry with a live row, no string over
// MAX_STRING_LENGTH, every string entry less recent than a string-entry
// parent, a childless recencyHead. Those checks take time proportional to
// the entries. Then every used slot of the rows named by `rows` must name an
// entry in use whose parent and byte match the slot. Otherwise the first
// violation found.
std::string CheckDictionary(IndexRows rows = IndexRows::EVERY_ROW);

// True when the index names any child of entry p (reads its 256 slots).
bool HasChildren(int32_t p);

}  // namespace codec_testing
