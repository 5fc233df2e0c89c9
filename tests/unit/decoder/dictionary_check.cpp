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

bool HasChildren(int32_t p)
{
    for (const uint64_t word : dictionaryIndex.childBits[p]) {
        if (word != 0) return true;
    }
    return false;
}

std::string CheckDictionary()
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

    // Children: the bits of every entry in use are exactly the bytes of its
    // children, one bit for each, so no two children of one parent share a
    // byte and FindChild finds each child under its parent.
    std::vector<uint64_t> expected(static_cast<size_t>(d.entryCount) * CHILD_WORDS, 0);
    std::vector<int> children(DICTIONARY_SIZE, 0);
    for (int n = LITERAL_COUNT; n < d.entryCount; ++n) {
        const int p = d.parent[n];
        if (p < 0 || p >= d.entryCount) return Problem("parent not in use", n);
        const int b = d.byteValue[n];
        uint64_t& word = expected[static_cast<size_t>(p) * CHILD_WORDS + b / 64];
        const uint64_t bit = uint64_t(1) << (b % 64);
        if (word & bit) return Problem("two children of one parent share a byte", n);
        word |= bit;
        if (x.childNumbersKept && x.childRows[p][b] != n) return Problem("child number not kept", n);
        ++children[p];
    }
    for (int p = 0; p < d.entryCount; ++p) {
        for (int w = 0; w < CHILD_WORDS; ++w) {
            if (x.childBits[p][w] != expected[static_cast<size_t>(p) * CHILD_WORDS + w]) {
                return Problem("child bits differ from the children", p);
            }
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

    return std::string();
}

}  // namespace codec_testing
