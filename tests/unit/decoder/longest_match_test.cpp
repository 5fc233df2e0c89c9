#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "decoder/code_step.h"
#include "decoder/dictionary.h"
#include "encoder/longest_match.h"

namespace {

struct MatchCase {
    const char* input;
    size_t available;  // 0: the whole input
    int32_t codeWidth;
    int32_t entry;
    int32_t length;
};

// A trie as reuse can leave it: small numbers below big ones on one path.
//   300 ab, 257 abc, 3000 abcd, 258 abcde, 259 xy; 1000+L: z repeated L times.
void BuildTrie()
{
    dictionaryIndex.keepChildNumbers = true;  // as the encoder has them
    ResetDictionary();
    dictionary.entryCount = DICTIONARY_SIZE;
    AddChild('a', 300, 'b');
    AddChild(300, 257, 'c');
    AddChild(257, 3000, 'd');
    AddChild(3000, 258, 'e');
    AddChild('x', 259, 'y');
    int32_t previous = 'z';
    // One entry deeper than any real string, to show the walk stops at 100.
    for (int32_t length = 2; length <= MAX_STRING_LENGTH + 1; ++length) {
        AddChild(previous, 1000 + length, 'z');
        previous = 1000 + length;
    }
}

TEST(LongestNameableMatch, WalksPastEntriesTheWidthCannotName)
{
    const std::string zs(150, 'z');
    const MatchCase cases[] = {
        {"abcdef", 0, 1, 257, 3},   // 300 and 258 too wide at width 1; 257 lies below 300
        {"abcdef", 0, 2, 258, 5},   // 258 fits width 2, below 3000 which does not
        {"abcdef", 0, 12, 258, 5},  // the longest path there is
        {"abcdef", 2, 1, 'a', 1},   // only "ab" available, and 300 does not fit
        {"abzz", 0, 12, 300, 2},
        {"abc", 0, 1, 257, 3},      // ends with the input
        {"xyz", 0, 1, 'x', 1},      // 259 does not fit width 1 (limit 258)
        {"xyz", 0, 2, 259, 2},
        {"q", 0, 12, 'q', 1},       // no children: the literal
        {zs.c_str(), 0, 12, 1000 + MAX_STRING_LENGTH, MAX_STRING_LENGTH},
        {zs.c_str(), 37, 12, 1037, 37},
    };
    BuildTrie();
    for (const MatchCase& c : cases) {
        const std::string input = c.input;
        const size_t available = c.available != 0 ? c.available : input.size();
        CodeStep step;
        ResetCodeStep(&step);
        step.codeWidth = c.codeWidth;
        step.widthThreshold = 1 << c.codeWidth;
        int32_t length = -1;
        const int32_t entry = FindLongestNameableMatch(step, reinterpret_cast<const uint8_t*>(input.data()), available, &length);
        EXPECT_EQ(entry, c.entry) << input.substr(0, 8) << " width " << c.codeWidth << " available " << available;
        EXPECT_EQ(length, c.length) << input.substr(0, 8) << " width " << c.codeWidth << " available " << available;
    }
    ResetDictionary();
}

}  // namespace
