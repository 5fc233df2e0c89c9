#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "decoder/code_step.h"
#include "decoder/dictionary.h"
#include "codec_test_support.h"
#include "dictionary_check.h"

namespace {

using codec_testing::CheckDictionary;

std::vector<int32_t> RecencyList()
{
    std::vector<int32_t> list;
    for (int32_t n = dictionary.recencyHead; n != NO_ENTRY && list.size() <= 4096; n = dictionary.recencyNext[n]) {
        list.push_back(n);
    }
    return list;
}

std::string StringOf(int32_t entry)
{
    std::string s;
    for (int32_t n = entry; n != NO_ENTRY && s.size() <= 200; n = dictionary.parent[n]) {
        s.insert(s.begin(), static_cast<char>(dictionary.byteValue[n]));
    }
    return s;
}

std::vector<int32_t> Slots(const std::string& text)
{
    return std::vector<int32_t>(text.begin(), text.end());
}

TEST(DictionaryReset, LeavesOnlyChildlessLiterals)
{
    ResetDictionary();
    // Dirty it, then reset again: nothing of the first use may survive.
    CodeStep step;
    ResetCodeStep(&step);
    int32_t buffer[MAX_STRING_LENGTH];
    for (int32_t code : {97, 98, 256, 257, 99}) TakeCode(&step, code, buffer);
    ASSERT_GT(dictionary.entryCount, 256);
    ResetDictionary();
    EXPECT_EQ(dictionary.entryCount, 256);
    EXPECT_EQ(dictionary.recencyHead, NO_ENTRY);
    EXPECT_EQ(dictionary.recencyTail, NO_ENTRY);
    for (int32_t p = 0; p < 256; ++p) {
        EXPECT_EQ(dictionary.byteValue[p], p);
        EXPECT_EQ(dictionary.parent[p], NO_ENTRY);
        for (int32_t b : {0, 97, 98, 255}) EXPECT_EQ(FindChild(p, b), NO_ENTRY) << p << "," << b;
    }
    EXPECT_EQ(CheckDictionary(), "");
}

// The decoder's steps for the codes 97, 98, 256, 257 (a, b, ab, ba).
struct Added {
    int32_t entry;
    int32_t parent;
    char byte;
};
struct ExampleStep {
    int32_t code;
    const char* string;
    std::vector<Added> added;
    std::vector<int32_t> recency;
};

TEST(DictionaryWorkedExample, EntriesAndRecencyAfterEachCode)
{
    const std::vector<ExampleStep> steps = {
        {97, "a", {}, {}},
        {98, "b", {{256, 97, 'b'}}, {256}},
        {256, "ab", {{257, 98, 'a'}, {258, 98, 'b'}}, {256, 257, 258}},
        {257, "ba", {{259, 256, 'b'}, {260, 256, 'a'}}, {259, 260, 256, 258, 257}},
    };
    ResetDictionary();
    CodeStep step;
    ResetCodeStep(&step);
    int32_t buffer[MAX_STRING_LENGTH];
    int32_t expectedCount = 256;
    for (const ExampleStep& s : steps) {
        SCOPED_TRACE("code " + std::to_string(s.code));
        const int32_t length = TakeCode(&step, s.code, buffer);
        const std::string decoded(buffer + MAX_STRING_LENGTH - length, buffer + MAX_STRING_LENGTH);
        EXPECT_EQ(decoded, s.string);
        expectedCount += static_cast<int32_t>(s.added.size());
        EXPECT_EQ(dictionary.entryCount, expectedCount);
        for (const Added& a : s.added) {
            EXPECT_EQ(dictionary.parent[a.entry], a.parent) << "entry " << a.entry;
            EXPECT_EQ(dictionary.byteValue[a.entry], static_cast<uint8_t>(a.byte)) << "entry " << a.entry;
            EXPECT_EQ(FindChild(a.parent, a.byte), a.entry);
        }
        EXPECT_EQ(RecencyList(), s.recency);
        EXPECT_EQ(step.prevCode, s.code);
        EXPECT_EQ(step.prevLen, length);
        EXPECT_EQ(CheckDictionary(), "");
    }
    EXPECT_EQ(StringOf(259), "abb");
    EXPECT_EQ(StringOf(260), "aba");
}

// The decoder and encoder run TakeCode's own fused step, which writes the
// string front to back from the recorded lengths and reads the child index.
// It must leave the dictionary exactly as ReadOutString followed by
// AddExtensions leaves it, through growth, the full table and reuse. The
// fused way runs as the decoder does, without child numbers, the other with
// them, as the encoder has them: FindChild must answer the same.
// A hash of FindChild for every entry in use and every byte.
uint32_t ChildIndexAnswers()
{
    uint32_t hash = 2166136261u;
    for (int32_t p = 0; p < dictionary.entryCount; ++p) {
        for (int32_t b = 0; b < LITERAL_COUNT; ++b) {
            hash = (hash ^ static_cast<uint32_t>(FindChild(p, b))) * 16777619u;
        }
    }
    return hash;
}

// A hash of every field of the entries in use and of the list ends; the
// entries above entryCount hold whatever an earlier test left there. The
// children follow from the parents and bytes; ChildIndexAnswers hashes
// what the index itself says.
uint32_t FingerprintInUse()
{
    const Dictionary& d = dictionary;
    uint32_t hash = 2166136261u;
    auto mix = [&hash](int32_t value) { hash = (hash ^ static_cast<uint32_t>(value)) * 16777619u; };
    mix(d.entryCount);
    mix(d.recencyHead);
    mix(d.recencyTail);
    for (int32_t n = 0; n < d.entryCount; ++n) {
        for (int32_t field : {d.parent[n], d.byteValue[n] + 0}) mix(field);
        if (n >= LITERAL_COUNT) {
            for (int32_t field : {d.recencyPrev[n], d.recencyNext[n]}) mix(field);
        }
    }
    return hash;
}

struct FusedStepCase {
    const char* name;
    uint32_t seed;
    int steps;
    uint32_t codeRange;  // codes drawn below min(entryCount, codeRange)
};

TEST(FusedStep, LeavesTheDictionaryAsReadOutThenAddExtensions)
{
    const FusedStepCase cases[] = {
        {"any_entry", 9001u, 12000, DICTIONARY_SIZE},
        {"short_strings_mostly", 31337u, 12000, 600},
        {"literals_and_early_entries", 4711u, 8000, 300},
    };
    for (const FusedStepCase& c : cases) {
        printf("fused step %s seed %u\n", c.name, c.seed);
        std::vector<std::string> strings[2];
        std::vector<uint32_t> fingerprints[2];
        uint32_t childAnswers[2] = {0, 0};
        Dictionary after[2];
        for (int way = 0; way < 2; ++way) {
            std::mt19937 generator(c.seed);
            dictionaryIndex.keepChildNumbers = way == 1;
            ResetDictionary();
            CodeStep step;
            ResetCodeStep(&step);
            int32_t buffer[MAX_STRING_LENGTH];
            for (int i = 0; i < c.steps; ++i) {
                const uint32_t range = std::min(static_cast<uint32_t>(dictionary.entryCount), c.codeRange);
                const int32_t code = static_cast<int32_t>(generator() % range);
                int32_t length;
                if (way == 0) {
                    length = TakeCode(&step, code, buffer);
                } else {
                    length = ReadOutString(code, buffer);
                    AddExtensions(buffer + MAX_STRING_LENGTH - length, length, step.prevCode, step.prevLen);
                    step.prevCode = code;
                    step.prevLen = length;
                }
                strings[way].emplace_back(buffer + MAX_STRING_LENGTH - length, buffer + MAX_STRING_LENGTH);
                if (i % 101 == 0) fingerprints[way].push_back(FingerprintInUse());
                if (i % 404 == 0) fingerprints[way].push_back(ChildIndexAnswers());
            }
            if (c.codeRange == DICTIONARY_SIZE) {
                EXPECT_EQ(dictionary.entryCount, DICTIONARY_SIZE) << "never reused";
            }
            EXPECT_EQ(CheckDictionary(), "") << c.name;
            childAnswers[way] = ChildIndexAnswers();
            memcpy(&after[way], &dictionary, sizeof dictionary);
        }
        EXPECT_EQ(strings[0], strings[1]) << c.name;
        EXPECT_EQ(fingerprints[0], fingerprints[1]) << c.name;
        EXPECT_EQ(childAnswers[0], childAnswers[1]) << c.name;
        EXPECT_EQ(memcmp(&after[0], &after[1], sizeof after[0]), 0) << c.name;
    }
    dictionaryIndex.keepChildNumbers = false;
    ResetDictionary();
}

// AddExtensions of the string `string` after the literal x, whose string is
// taken to be prevLen bytes long; `existing` children of x are made first.
struct ExtensionCase {
    const char* name;
    int32_t prevLen;
    const char* string;
    const char* existing;
    const char* added;  // bytes of the new children, in the order they are made
};

const ExtensionCase EXTENSION_CASES[] = {
    {"prev_len_97_adds_every_byte", 97, "abc", "", "abc"},
    {"prev_len_99_examines_only_the_first_byte", 99, "abc", "", "a"},
    {"prev_len_100_adds_nothing", 100, "abc", "", ""},
    {"bound_counts_positions_that_add_nothing", 98, "aab", "", "a"},
    {"repeated_byte_is_added_once", 1, "aa", "", "a"},
    {"existing_extension_is_skipped", 1, "ab", "a", "b"},
    {"all_existing_adds_nothing", 1, "ba", "ab", ""},
};

class AddExtensionsTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(AddExtensionsTest, AddsOnlyMissingExtensionsWithinTheBound)
{
    const ExtensionCase& c = GetParam();
    const int32_t x = 'x';
    ResetDictionary();
    const std::vector<int32_t> existing = Slots(c.existing);
    if (!existing.empty()) AddExtensions(existing.data(), static_cast<int32_t>(existing.size()), x, 1);
    const std::vector<int32_t> before = RecencyList();
    const int32_t firstNew = dictionary.entryCount;

    const std::vector<int32_t> string = Slots(c.string);
    AddExtensions(string.data(), static_cast<int32_t>(string.size()), x, c.prevLen);

    const std::string added = c.added;
    ASSERT_EQ(dictionary.entryCount, firstNew + static_cast<int32_t>(added.size()));
    std::vector<int32_t> expectedRecency = before;
    for (size_t i = 0; i < added.size(); ++i) {
        const int32_t n = firstNew + static_cast<int32_t>(i);
        EXPECT_EQ(dictionary.parent[n], x);
        EXPECT_EQ(dictionary.byteValue[n], static_cast<uint8_t>(added[i]));
        // Extensions of a literal go to the most recent end, in order.
        expectedRecency.push_back(n);
    }
    EXPECT_EQ(RecencyList(), expectedRecency);
    for (char b : std::string(c.string) + c.existing) {
        const bool shouldExist = added.find(b) != std::string::npos || std::string(c.existing).find(b) != std::string::npos;
        EXPECT_EQ(FindChild(x, b) != NO_ENTRY, shouldExist) << "byte " << b;
    }
    EXPECT_EQ(CheckDictionary(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, AddExtensionsTest, ::testing::ValuesIn(EXTENSION_CASES),
                         codec_testing::CaseName<ExtensionCase>);

TEST(AddExtensions, NothingAfterTheFirstCodeOfAFile)
{
    ResetDictionary();
    const std::vector<int32_t> string = Slots("abc");
    AddExtensions(string.data(), 3, NO_ENTRY, 0);
    EXPECT_EQ(dictionary.entryCount, 256);
    EXPECT_EQ(dictionary.recencyTail, NO_ENTRY);
}

// The width rule at its edges: string entries in use against the threshold.
struct WidthCase {
    int32_t entryCount;
    int32_t widthBefore;
    int32_t widthAfter;
};

TEST(WidthRule, GrowsOneBitWhenStringEntriesReachTheThreshold)
{
    const WidthCase cases[] = {
        {256, 1, 1},   {257, 1, 1},  {258, 1, 2},   {259, 1, 2},     {259, 2, 2},   {260, 2, 3},
        {4096, 1, 2},  {4096, 5, 6}, {2303, 11, 11}, {2304, 11, 12}, {4096, 11, 12}, {4096, 12, 12},
    };
    for (const WidthCase& c : cases) {
        ResetDictionary();
        dictionary.entryCount = c.entryCount;
        CodeStep step;
        ResetCodeStep(&step);
        step.codeWidth = c.widthBefore;
        step.widthThreshold = 1 << c.widthBefore;
        ApplyWidthRule(&step);
        EXPECT_EQ(step.codeWidth, c.widthAfter) << "entryCount " << c.entryCount << ", width " << c.widthBefore;
        EXPECT_EQ(step.widthThreshold, 1 << c.widthAfter);
    }
    ResetDictionary();
}

// Drives the dictionary with pseudo-random codes among the entries in use,
// as a decoder of some valid stream would, until it has been full for a while.
class FullDictionary : public ::testing::Test {
protected:
    void Fill(uint32_t seed, int stepsWhileFull)
    {
        printf("full dictionary seed %u\n", seed);
        std::mt19937 generator(seed);
        ResetDictionary();
        ResetCodeStep(&step);
        int full = 0;
        for (int i = 0; full < stepsWhileFull; ++i) {
            ASSERT_LT(i, 200000) << "dictionary never filled";
            ApplyWidthRule(&step);
            const int32_t code = static_cast<int32_t>(generator() % static_cast<uint32_t>(dictionary.entryCount));
            TakeCode(&step, code, buffer);
            if (dictionary.entryCount == DICTIONARY_SIZE) ++full;
            if (i % 64 == 0) {
                ASSERT_EQ(CheckDictionary(), "") << "after step " << i;
            }
        }
        ASSERT_EQ(CheckDictionary(), "");
    }

    // An entry in use, not the least recent one, lacking a child of some byte.
    int32_t PickParentWithMissingByte(int32_t* missing)
    {
        for (int32_t p = 300; p < DICTIONARY_SIZE; ++p) {
            if (p == dictionary.recencyHead) continue;
            for (int32_t b = 0; b < 256; ++b) {
                if (FindChild(p, b) == NO_ENTRY) {
                    *missing = b;
                    return p;
                }
            }
        }
        return NO_ENTRY;
    }

    CodeStep step;
    int32_t buffer[MAX_STRING_LENGTH];
};

TEST_F(FullDictionary, NewEntryTakesTheNumberOfTheLeastRecentLeaf)
{
    Fill(20240611u, 50);
    const int32_t head = dictionary.recencyHead;
    const int32_t oldParent = dictionary.parent[head];
    const uint8_t oldByte = dictionary.byteValue[head];
    ASSERT_FALSE(codec_testing::HasChildren(head)) << "least recent entry is not a leaf";
    ASSERT_EQ(FindChild(oldParent, oldByte), head);

    int32_t b = 0;
    const int32_t p = PickParentWithMissingByte(&b);
    ASSERT_NE(p, NO_ENTRY);
    const int32_t prevLen = static_cast<int32_t>(StringOf(p).size());
    ASSERT_LT(prevLen, MAX_STRING_LENGTH);
    const int32_t string[1] = {b};
    AddExtensions(string, 1, p, prevLen);

    EXPECT_EQ(dictionary.entryCount, DICTIONARY_SIZE);
    EXPECT_EQ(FindChild(oldParent, oldByte), NO_ENTRY);
    EXPECT_EQ(FindChild(p, b), head);
    EXPECT_EQ(dictionary.parent[head], p);
    EXPECT_NE(dictionary.recencyHead, head);
    EXPECT_EQ(CheckDictionary(), "");
}

TEST_F(FullDictionary, LeastRecentEntryIsNeverItsOwnChild)
{
    Fill(777u, 10);
    const int32_t head = dictionary.recencyHead;
    int32_t b = 0;
    while (b < 256 && FindChild(head, b) != NO_ENTRY) ++b;
    ASSERT_LT(b, 256);
    Dictionary before;
    memcpy(&before, &dictionary, sizeof before);
    static DictionaryIndex indexBefore;
    memcpy(&indexBefore, &dictionaryIndex, sizeof indexBefore);
    const int32_t string[2] = {b, (b + 1) % 256};
    AddExtensions(string, 2, head, static_cast<int32_t>(StringOf(head).size()));
    EXPECT_EQ(memcmp(&before, &dictionary, sizeof before), 0) << "a full dictionary changed for prevCode == recencyHead";
    EXPECT_EQ(memcmp(&indexBefore, &dictionaryIndex, sizeof indexBefore), 0) << "the child index changed for prevCode == recencyHead";
}

TEST_F(FullDictionary, ReuseKeepsTheTreeWhileWidthCatchesUpToTwelve)
{
    printf("reuse drive seed %u\n", 4242u);
    std::mt19937 generator(4242u);
    ResetDictionary();
    ResetCodeStep(&step);
    int reuses = 0;
    bool wasFull = false;
    for (int i = 0; i < 20000; ++i) {
        const int32_t widthBefore = step.codeWidth;
        ApplyWidthRule(&step);
        ASSERT_TRUE(step.codeWidth == widthBefore || step.codeWidth == widthBefore + 1);
        ASSERT_EQ(step.widthThreshold, 1 << step.codeWidth);
        if (wasFull) {
            // Once full, the width grows by exactly one per code up to 12.
            ASSERT_EQ(step.codeWidth, widthBefore < 12 ? widthBefore + 1 : 12) << "step " << i;
        }
        const int32_t code = static_cast<int32_t>(generator() % static_cast<uint32_t>(dictionary.entryCount));
        const int32_t length = ReadOutString(code, buffer);
        const int32_t head = dictionary.recencyHead;
        const bool full = dictionary.entryCount == DICTIONARY_SIZE;
        const int32_t headParent = full ? dictionary.parent[head] : NO_ENTRY;
        const uint8_t headByte = full ? dictionary.byteValue[head] : 0;
        if (full) {
            ASSERT_FALSE(codec_testing::HasChildren(head)) << "least recent entry has children";
        }
        AddExtensions(buffer + MAX_STRING_LENGTH - length, length, step.prevCode, step.prevLen);
        if (full && (dictionary.parent[head] != headParent || dictionary.byteValue[head] != headByte)) {
            ++reuses;
            ASSERT_NE(head, step.prevCode) << "reused entry was prevCode";
        }
        step.prevCode = code;
        step.prevLen = length;
        if (full) {
            ASSERT_EQ(dictionary.entryCount, DICTIONARY_SIZE);
        }
        wasFull = full;
        if (i % 97 == 0) {
            ASSERT_EQ(CheckDictionary(), "") << "after step " << i;
        }
    }
    EXPECT_EQ(step.codeWidth, 12);
    EXPECT_GT(reuses, 1000);
    EXPECT_EQ(CheckDictionary(), "");
}

// The check every decoder test leans on must see each kind of damage: one
// field of a full, well-used dictionary spoiled at a time, in both modes of
// the child numbers.
struct DamageCase {
    const char* name;
    const char* expected;  // the start of the problem it must report
    void (*spoil)(int32_t entry);
};

int32_t SomeByteWithoutChild(int32_t p)
{
    int32_t b = 0;
    while (b < LITERAL_COUNT && HasChild(p, b)) ++b;
    return b;
}

TEST(DictionaryCheck, ReportsEachKindOfDamage)
{
    const DamageCase cases[] = {
        {"stray child bit", "child bits differ",
         [](int32_t n) {
             const int32_t b = SomeByteWithoutChild(n);
             dictionaryIndex.childBits[n][b / 64] |= uint64_t(1) << (b % 64);
         }},
        {"child bit cleared", "child bits differ",
         [](int32_t n) { const int32_t b = dictionary.byteValue[n]; dictionaryIndex.childBits[dictionary.parent[n]][b / 64] &= ~(uint64_t(1) << (b % 64)); }},
        {"two children under one byte", "two children of one parent share a byte",
         [](int32_t n) {
             const int32_t other = n + 1;
             dictionary.parent[other] = dictionary.parent[n];
             dictionary.byteValue[other] = dictionary.byteValue[n];
         }},
        {"recency link broken", "recencyPrev does not match", [](int32_t n) { dictionary.recencyPrev[n] = n; }},
        {"length not recorded", "recorded string length differs",
         [](int32_t n) { dictionaryIndex.stringLength[n] = static_cast<uint8_t>(dictionaryIndex.stringLength[n] + 1); }},
        {"literal changed", "literal entry changed", [](int32_t) { dictionary.byteValue['q'] = 'r'; }},
    };
    for (int keep = 0; keep < 2; ++keep) {
        for (const DamageCase& c : cases) {
            dictionaryIndex.keepChildNumbers = keep == 1;
            std::mt19937 generator(2024u);
            ResetDictionary();
            CodeStep step;
            ResetCodeStep(&step);
            int32_t buffer[MAX_STRING_LENGTH];
            for (int i = 0; i < 20000; ++i) {
                TakeCode(&step, static_cast<int32_t>(generator() % static_cast<uint32_t>(dictionary.entryCount)), buffer);
            }
            ASSERT_EQ(dictionary.entryCount, DICTIONARY_SIZE);
            ASSERT_EQ(CheckDictionary(), "") << c.name;
            c.spoil(1000);
            const std::string problem = CheckDictionary();
            EXPECT_EQ(problem.compare(0, strlen(c.expected), c.expected), 0)
                << c.name << " (numbers kept " << keep << "): " << problem;
        }
    }
    // With the numbers kept, a wrong number in a parent's row shows too.
    dictionaryIndex.keepChildNumbers = true;
    ResetDictionary();
    CodeStep step;
    ResetCodeStep(&step);
    int32_t buffer[MAX_STRING_LENGTH];
    for (int i = 0; i < 5000; ++i) {
        TakeCode(&step, static_cast<int32_t>(i * 7919 % dictionary.entryCount), buffer);
    }
    const int32_t n = 300;
    dictionaryIndex.childRows[dictionary.parent[n]][dictionary.byteValue[n]] = 301;
    EXPECT_EQ(CheckDictionary().compare(0, 21, "child number not kept"), 0) << CheckDictionary();
    dictionaryIndex.keepChildNumbers = false;
    ResetDictionary();
}

}  // namespace
