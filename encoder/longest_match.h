#ifndef QDX_ENCODER_LONGEST_MATCH_H
#define QDX_ENCODER_LONGEST_MATCH_H

#include <cstddef>
#include <cstdint>

#include "decoder/code_step.h"
#include "decoder/dictionary.h"

// The entry for the longest string at the front of input (available bytes,
// at least 1) that the next code can name: an entry in use whose index fits
// step's current width (below 256 + widthThreshold), or the literal of the
// first byte. Never longer than MAX_STRING_LENGTH or available. The whole
// trie path is walked, since an entry too new for the width may lie above
// one with a small, reused number. *matchLength receives the length.
int32_t FindLongestNameableMatch(const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength);

// The look-ahead parse plans the bytes ahead as a whole: the cheapest coding
// in bits (a literal 9, an index code 1 + codeWidth) of the input up to a
// horizon, with the strings the dictionary holds now, and writes the first
// code of that plan. Bytes past the horizon are priced at PLAN_TAIL_COST
// each. Every code is planned anew, as each step's new entries may serve
// the codes right after it.
//
// Two rules weigh what the plan does to the dictionary. A code that takes
// the whole longest match at its place, of L bytes, is priced PLAN_GROWTH_BONUS
// + L * PLAN_GROWTH_PER_BYTE lower: the step after it adds that match and
// the byte the input goes on with, a string just seen, worth more the
// longer it is; after a shorter code that entry mostly exists already, and
// the step adds only strings the input did not show. And of first codes
// that cost the same the longest is taken, so that the next step's new
// entries come out longer. (On the benchmark programs the bonus is worth
// about 1.5% of the output.)
//
// The horizon lies PLAN_MIN_AHEAD to PLAN_MAX_AHEAD bytes ahead: once it is
// nearer than the minimum it moves to the maximum. Between moves the plan's
// costs are kept and worked out again only below a position whose longest
// match a step has changed.
const int32_t PLAN_MIN_AHEAD = 64;
const int32_t PLAN_MAX_AHEAD = 128;
// Costs are in sixteenths of a bit.
const int32_t BIT_COST = 16;
const int32_t PLAN_TAIL_COST = 60;     // 3.75 bits, near what a byte of a program costs
// 3.25 bits for a literal, 3.75 for 2 bytes, and so on. Pricing a literal
// at 5 bits or less, or a 2-byte code at 8.5 bits or less, loses one to two
// percent of the output.
const int32_t PLAN_GROWTH_BONUS = 44;
const int32_t PLAN_GROWTH_PER_BYTE = 8;
// A power of two above PLAN_MAX_AHEAD + MAX_STRING_LENGTH.
const int32_t PLAN_RING = 256;

// The plan of the look-ahead parse, by input position modulo PLAN_RING.
// For every position in [front, horizon): the longest trie match there
// (depth, its entry terminal), counting every string entry, nameable now or
// not, and at most MAX_STRING_LENGTH or to the end of the input; and for
// those in (front, dirty] a cost still to work out, for those in
// (dirty, horizon) the cheapest cost from there to the horizon.
struct ParsePlan {
    uint64_t front;                        // input position of the next code
    uint64_t horizon;
    uint64_t dirty;
    int32_t codeWidth;                     // the width the costs were worked out for
    int32_t depth[PLAN_RING];
    int32_t terminal[PLAN_RING];
    int32_t cost[PLAN_RING];
    int32_t stepParent;                    // prevCode of the step under way
    uint64_t rowBefore[CHILD_WORDS];       // its children before the step
    int32_t staleCount;                    // positions whose match a step may have changed
    int32_t stale[PLAN_RING];              // by distance from front
    int16_t endingAt[DICTIONARY_SIZE];     // positions in [front, horizon) whose match ends at the entry
    bool newChild[DICTIONARY_SIZE];        // scratch: entries a step gave a string
};

// An empty plan, for the start of a file.
void ResetParsePlan(ParsePlan* plan);

// The entry the look-ahead parse writes at the front of input: available
// bytes, at least 1, which are all the rest of the input or at least
// PLAN_MAX_AHEAD + MAX_STRING_LENGTH of it. The entry is one that
// FindLongestNameableMatch would accept, at most as long. *matchLength
// receives the length.
int32_t FindPlannedMatch(ParsePlan* plan, const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength);

// Around every TakeCodeInto of the look-ahead parse: NoteStepStart before
// it (step as it stands then), NoteStepEnd after it with the length of the
// code's string. A step adds children only to its prevCode, and an entry it
// reuses becomes one of them (the least recent entry is a leaf, and its
// ancestors are all more recent), so only matches that end at prevCode or
// at one of its new children can have changed.
void NoteStepStart(ParsePlan* plan, const CodeStep& step);
void NoteStepEnd(ParsePlan* plan, int32_t length);

#endif
