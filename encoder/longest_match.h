#ifndef QDX_ENCODER_LONGEST_MATCH_H
#define QDX_ENCODER_LONGEST_MATCH_H

#include <cstddef>
#include <cstdint>

#include "decoder/code_step.h"

// The entry for the longest string at the front of input (available bytes,
// at least 1) that the next code can name: an entry in use whose index fits
// step's current width (below 256 + widthThreshold), or the literal of the
// first byte. Never longer than MAX_STRING_LENGTH or available. The whole
// trie path is walked, since an entry too new for the width may lie above
// one with a small, reused number. *matchLength receives the length.
int32_t FindLongestNameableMatch(const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength);

// Greedy codes the look-ahead parse follows after each candidate string.
const int LOOK_AHEAD_CODES = 2;

// The entry the look-ahead parse chooses at the front of input: among the
// strings there that the next code can name (those FindLongestNameableMatch
// considers), the one after which LOOK_AHEAD_CODES greedy matches reach
// furthest, judged on the dictionary as it stands; on a tie the longer one.
// input holds `available` bytes, at least 1; the later matches are looked
// for only within them. *matchLength receives the length.
int32_t FindFurthestReachingMatch(const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength);

#endif
