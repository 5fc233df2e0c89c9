#include <algorithm>
#include <cstdio>
#include <random>
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

// Gives every string in strings, and each of its prefixes, an entry,
// numbered in order from 256; returns the next free number.
int32_t AddStrings(const std::vector<std::string>& strings)
{
    int32_t next = LITERAL_COUNT;
    for (const std::string& text : strings) {
        int32_t node = static_cast<uint8_t>(text[0]);
        for (size_t i = 1; i < text.size(); ++i) {
            const int32_t b = static_cast<uint8_t>(text[i]);
            if (!HasChild(node, b)) {
                AddChild(node, next, b);
                next += 1;
            }
            node = FindChild(node, b);
        }
    }
    return next;
}

// The entry of the first length bytes of text, NO_ENTRY if there is none.
int32_t EntryOf(const std::string& text, int32_t length)
{
    int32_t node = static_cast<uint8_t>(text[0]);
    for (int32_t i = 1; i < length && node != NO_ENTRY; ++i) {
        node = FindChild(node, static_cast<uint8_t>(text[static_cast<size_t>(i)]));
    }
    return node;
}

struct PlanCase {
    const char* why;
    std::vector<std::string> strings;  // the dictionary's strings
    const char* input;
    size_t available;  // 0: the whole input
    int32_t codeWidth;
    int32_t planned;   // length of the first code the plan writes
    int32_t greedy;    // length FindLongestNameableMatch takes
};

TEST(PlannedMatch, TakesTheFirstCodeOfTheCheapestCoding)
{
    // Bits: a literal 9, an index code 13 at width 12; a code that takes
    // the whole longest match at its place (marked *) 2.75 + 0.5 per byte
    // less.
    const PlanCase cases[] = {
        {"ab+cdefgh* (20.25) beats abc*+d*+e*+f*+g*+h* (37.5)", {"abc", "cdefgh"}, "abcdefgh", 0, 12, 2, 3},
        {"literal a+bcdefg* (16.25) beats ab*+c*+d*+e*+f*+g* (38)", {"ab", "bcdefg"}, "abcdefg", 0, 12, 1, 2},
        {"g+fe*+adc* and gf*+e+adc* (27 each): the longer", {"gf", "ea", "fe", "adc"}, "gfeadc", 0, 12, 2, 2},
        {"abc*+d*+e* (20.25) beats ab+cde* (21.75), though not in bits alone", {"abc", "cde"}, "abcde", 0, 12, 3, 3},
        {"a longer whole match counts more: ab+cdefg*+h* (26.5) beats abc+defg*+h* (27)", {"abcd", "defg", "cdefg"},
         "abcdefgh", 0, 12, 2, 4},
        {"the plan ends with the input: abcd*+e* (14) beats ab+cde* (21.75)", {"abcd", "cdefgh"}, "abcdefgh", 5, 12, 4, 4},
        {"the whole input: ab+cdefgh* (20.25) beats abcd*+e*+f*+g*+h* (31.25)", {"abcd", "cdefgh"}, "abcdefgh", 0, 12, 2, 4},
        {"ab is 261, which width 1 cannot name: the literal", {"cdefgh", "abc"}, "abcdefgh", 0, 1, 1, 1},
        {"the same at width 12: ab+cdefgh* (20.25)", {"cdefgh", "abc"}, "abcdefgh", 0, 12, 2, 3},
        {"literal a+bcdefgh* (15.75) beats ab+cdefgh* (20.25)", {"cdefgh", "abc", "bcdefgh"}, "abcdefgh", 0, 12, 1, 3},
        {"nothing but literals", {"xy"}, "abc", 0, 12, 1, 1},
        {"one long string", {"abcdefgh"}, "abcdefgh", 0, 12, 8, 8},
    };
    static ParsePlan plan;
    for (const PlanCase& c : cases) {
        dictionaryIndex.keepChildNumbers = true;
        ResetDictionary();
        dictionary.entryCount = AddStrings(c.strings);
        const std::string input = c.input;
        const size_t available = c.available != 0 ? c.available : input.size();
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(input.data());
        CodeStep step;
        ResetCodeStep(&step);
        step.codeWidth = c.codeWidth;
        step.widthThreshold = 1 << c.codeWidth;
        ResetParsePlan(&plan);
        int32_t length = -1;
        const int32_t entry = FindPlannedMatch(&plan, step, bytes, available, &length);
        EXPECT_EQ(length, c.planned) << c.why;
        EXPECT_EQ(entry, EntryOf(input, c.planned)) << c.why;
        int32_t greedyLength = -1;
        FindLongestNameableMatch(step, bytes, available, &greedyLength);
        EXPECT_EQ(greedyLength, c.greedy) << c.why;
    }
    ResetDictionary();
}

// Bytes with repeats at many distances, runs and noise: steps that add
// children to matches ahead and reuse entries that end them.
std::vector<uint8_t> MixedInput(size_t size, uint32_t seed)
{
    static const char* const WORDS[] = {"setup ", "pack ", "packs ", "unpacks ", "the ", "then ", "folder ", "files\n"};
    std::mt19937 generator(seed);
    std::vector<uint8_t> out;
    while (out.size() < size) {
        const uint32_t kind = generator() % 8;
        if (kind < 5) {
            const char* word = WORDS[generator() % 8];
            out.insert(out.end(), word, word + std::char_traits<char>::length(word));
        } else if (kind == 5) {
            out.insert(out.end(), 1 + generator() % 150, static_cast<uint8_t>(generator() % 3));
        } else {
            for (uint32_t n = 1 + generator() % 40; n > 0; --n) out.push_back(static_cast<uint8_t>(generator()));
        }
    }
    out.resize(size);
    return out;
}

// The longest trie match at input, as the plan must keep it.
int32_t FreshDepth(const uint8_t* input, size_t available, int32_t* terminal)
{
    const size_t reach = available < static_cast<size_t>(MAX_STRING_LENGTH) ? available : MAX_STRING_LENGTH;
    int32_t node = input[0];
    size_t depth = 1;
    while (depth < reach && FindChild(node, input[depth]) != NO_ENTRY) {
        node = FindChild(node, input[depth]);
        depth += 1;
    }
    *terminal = node;
    return static_cast<int32_t>(depth);
}

int ChildCount(int32_t entry)
{
    int count = 0;
    for (int32_t b = 0; b < LITERAL_COUNT; ++b) {
        count += HasChild(entry, b) ? 1 : 0;
    }
    return count;
}

TEST(PlannedMatch, KeptMatchesAndCostsEqualFreshOnesThroughFillAndReuse)
{
    const std::vector<uint8_t> input = MixedInput(120000, 5u);
    dictionaryIndex.keepChildNumbers = true;
    ResetDictionary();
    CodeStep step;
    ResetCodeStep(&step);
    static ParsePlan plan;
    ResetParsePlan(&plan);
    size_t position = 0;
    int stepsWithStaleMatches = 0;
    int codes = 0;
    bool reused = false;
    while (position < input.size()) {
        ApplyWidthRule(&step);
        const uint8_t* here = input.data() + position;
        const size_t available = input.size() - position;
        int32_t length = 0;
        const int32_t code = FindPlannedMatch(&plan, step, here, available, &length);
        ASSERT_EQ(plan.front, position);
        ASSERT_GT(plan.horizon, position);
        ASSERT_LE(plan.horizon, position + static_cast<size_t>(PLAN_MAX_AHEAD));
        ASSERT_LT(code, LITERAL_COUNT + step.widthThreshold);
        ASSERT_EQ(code, EntryOf(std::string(here, here + length), length)) << "at " << position;

        // Every kept match as a fresh walk finds it, every cost as a fresh
        // plan to the same horizon works it out.
        const size_t span = static_cast<size_t>(plan.horizon - position);
        std::vector<int32_t> cost(span + MAX_STRING_LENGTH + 1);
        for (size_t j = span; j < cost.size(); ++j) {
            cost[j] = PLAN_TAIL_COST * static_cast<int32_t>(span + MAX_STRING_LENGTH - j);
        }
        for (size_t j = span; j-- > 0;) {
            const size_t slot = static_cast<size_t>((position + j) % PLAN_RING);
            int32_t terminal = NO_ENTRY;
            const int32_t depth = FreshDepth(here + j, available - j, &terminal);
            ASSERT_EQ(plan.depth[slot], depth) << "match at " << position + j << ", code at " << position;
            ASSERT_EQ(plan.terminal[slot], terminal) << "match at " << position + j;
            int32_t best = 9 * BIT_COST + cost[j + 1] - (depth == 1 ? PLAN_GROWTH_BONUS + PLAN_GROWTH_PER_BYTE : 0);
            for (int32_t l = 2; l <= depth; ++l) {
                const int32_t bonus = l == depth ? PLAN_GROWTH_BONUS + PLAN_GROWTH_PER_BYTE * l : 0;
                best = std::min(best, (1 + step.codeWidth) * BIT_COST + cost[j + static_cast<size_t>(l)] - bonus);
            }
            cost[j] = best;
            if (j > 0) {
                ASSERT_EQ(plan.cost[slot], best) << "cost at " << position + j << ", code at " << position;
            }
        }

        NoteStepStart(&plan, step);
        const int32_t parent = step.prevCode;
        const int childrenBefore = parent == NO_ENTRY ? 0 : ChildCount(parent);
        const bool full = dictionary.entryCount == DICTIONARY_SIZE;
        uint8_t decoded[MAX_STRING_LENGTH];
        ASSERT_EQ(TakeCodeInto(&step, code, decoded), length);
        // Once the table is full, every new child is a reused entry.
        reused = reused || (full && parent != NO_ENTRY && ChildCount(parent) > childrenBefore);
        NoteStepEnd(&plan, length);
        stepsWithStaleMatches += plan.staleCount > 0 ? 1 : 0;
        position += static_cast<size_t>(length);
        codes += 1;
    }
    EXPECT_EQ(dictionary.entryCount, DICTIONARY_SIZE);
    EXPECT_TRUE(reused);
    // The kept matches were put right, not merely never changed.
    EXPECT_GT(stepsWithStaleMatches, codes / 20);
    printf("%d codes, %d steps changed matches ahead\n", codes, stepsWithStaleMatches);
    ResetDictionary();
}

}  // namespace
