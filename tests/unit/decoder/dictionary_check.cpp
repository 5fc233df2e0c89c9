#include "dictionary_check.h"

#include <vector>

#include "decoder/dictionary.h"

namespace codec_testing {

namespace {

std::string Problem(const char* what, int entry)
{
    return std::string(what) + " (entry " + std::to_string(entry) + ")";
}

}  // namespace

std::string CheckDictionary()
{
    const Dictionary& d = dictionary;
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

    // Child lists: every string entry once, under its own parent, bytes distinct.
    std::vector<int> seen(DICTIONARY_SIZE, 0);
    int children = 0;
    for (int p = 0; p < d.entryCount; ++p) {
        std::vector<bool> bytes(256, false);
        int before = NO_ENTRY;
        for (int c = d.firstChild[p]; c != NO_ENTRY; c = d.nextSibling[c]) {
            if (c < LITERAL_COUNT || c >= d.entryCount) return Problem("child list holds an entry not in use", c);
            if (seen[c]++ > 0) return Problem("entry stands in two child lists or twice", c);
            if (d.parent[c] != p) return Problem("child's parent differs from the list's owner", c);
            if (d.prevSibling[c] != before) return Problem("prevSibling does not match", c);
            if (bytes[d.byteValue[c]]) return Problem("two children with one byte", c);
            bytes[d.byteValue[c]] = true;
            if (FindChild(p, d.byteValue[c]) != c) return Problem("child index misses a listed child", c);
            before = c;
            ++children;
        }
        // The index must answer what the list walk answers for every byte.
        for (int b = 0; b < LITERAL_COUNT; ++b) {
            if (!bytes[b] && FindChild(p, b) != NO_ENTRY) return Problem("child index names a child the list lacks", p);
        }
    }
    if (children != stringEntries) return Problem("child lists miss string entries", children);

    for (int n = LITERAL_COUNT; n < d.entryCount; ++n) {
        int length = 1;
        for (int a = d.parent[n]; a != NO_ENTRY; a = d.parent[a]) {
            if (++length > MAX_STRING_LENGTH) return Problem("string longer than MAX_STRING_LENGTH", n);
        }
        const int p = d.parent[n];
        if (p >= LITERAL_COUNT && place[n] >= place[p]) {
            return Problem("string entry not less recent than its parent", n);
        }
    }
    if (d.recencyHead != NO_ENTRY && d.firstChild[d.recencyHead] != NO_ENTRY) {
        return Problem("recencyHead has children", d.recencyHead);
    }
    return std::string();
}

}  // namespace codec_testing
