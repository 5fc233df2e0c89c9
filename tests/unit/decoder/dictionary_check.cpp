#include "dictionary_check.h"

#include <vector>

#include "decoder/dictionary.h"

namespace codec_testing {

namespace {

std::string Problem(const char* what, int entry)
{
    return std::string(what) + " (entry " + std::to_string(entry) + ")";
}

// Every used slot of p's row must name a string entry in use that extends p
// by the slot's byte.
std::string CheckRow(int p)
{
    const Dictionary& d = dictionary;
    for (int b = 0; b < LITERAL_COUNT; ++b) {
        const int c = FindChild(p, b);
        if (c == NO_ENTRY) continue;
        if (c < LITERAL_COUNT || c >= d.entryCount) return Problem("child index names an entry not in use", p);
        if (d.parent[c] != p) return Problem("child index names an entry of another parent", c);
        if (d.byteValue[c] != b) return Problem("child index names an entry under another byte", c);
    }
    return std::string();
}

}  // namespace

bool HasChildren(int32_t p)
{
    for (int32_t b = 0; b < LITERAL_COUNT; ++b) {
        if (FindChild(p, b) != NO_ENTRY) return true;
    }
    return false;
}

std::string CheckDictionary(IndexRows rows)
{
    const Dictionary& d = dictionary;
    const DictionaryIndex& x = dictionaryIndex;
    if (d.entryCount < LITERAL_COUNT || d.entryCount > DICTIONARY_SIZE) {
        return Problem("entryCount out of range", d.entryCount);
    }
    for (int v = 0; v < LITERAL_COUNT; ++v) {
        if (d.parent[v] != NO_ENTRY || d.byteValue[v] != v) {
            return Problem("literal entry changed", v);
        }
    }
    const int stringEntries = d.entryCount - LITERAL_COUNT;

    // Recency list: exactly the string entries in use, linked both ways.
    std::vector<int> place(DICTIONARY_SIZE, -1);
    int count = 0;
    int previous = NO_ENTRY;
    for (int n = d.recencyHead; n != NO_ENTRY; n = d.recencyNext[n]) {
        if (n < LITERAL_COUNT || n >= d.entryCount) return Problem("recency list holds an entry not in use", n);
        if (place[n] >= 0) return Problem("recency list has a loop", n);
        if (d.recencyPrev[n] != previous) return Problem("recencyPrev does not match", n);
        place[n] = count++;
        previous = n;
    }
    if (previous != d.recencyTail) return Problem("recencyTail is not the last entry", d.recencyTail);
    if (count != stringEntries) return Problem("recency list length differs from string entries", count);

    // Children: every string entry in use stands in its parent's slot for its
    // byte. One slot holds one entry, so the bytes of one parent's children
    // are distinct and no entry is found under two parents.
    std::vector<int> children(DICTIONARY_SIZE, 0);
    for (int n = LITERAL_COUNT; n < d.entryCount; ++n) {
        const int p = d.parent[n];
        if (p < 0 || p >= d.entryCount) return Problem("parent not in use", n);
        if (FindChild(p, d.byteValue[n]) != n) return Problem("child index misses an entry under its parent", n);
        ++children[p];
    }
    for (int p = 0; p < d.entryCount; ++p) {
        if (x.childRowEpoch[p] == x.epoch && x.childCount[p] != children[p]) {
            return Problem("child count differs from the children", p);
        }
    }

    for (int n = LITERAL_COUNT; n < d.entryCount; ++n) {
        int length = 1;
        for (int a = d.parent[n]; a != NO_ENTRY; a = d.parent[a]) {
            if (++length > MAX_STRING_LENGTH) return Problem("string longer than MAX_STRING_LENGTH", n);
        }
        if (x.stringLength[n] != length) return Problem("recorded string length differs", n);
        const int p = d.parent[n];
        if (p >= LITERAL_COUNT && place[n] >= place[p]) {
            return Problem("string entry not less recent than its parent", n);
        }
    }
    if (d.recencyHead != NO_ENTRY && children[d.recencyHead] != 0) {
        return Problem("recencyHead has children", d.recencyHead);
    }

    // No slot names anything but such a child.
    const int scanned = rows == IndexRows::EVERY_ROW ? d.entryCount : LITERAL_COUNT;
    for (int p = 0; p < scanned; ++p) {
        const std::string problem = CheckRow(p);
        if (!problem.empty()) return problem;
    }
    return std::string();
}

}  // namespace codec_testing
