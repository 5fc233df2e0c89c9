#include "encoder/longest_match.h"

#include "decoder/dictionary.h"

namespace {

// The deepest entry below `limit` (256 + the width threshold) on the trie
// path along input (available >= 1), at most MAX_STRING_LENGTH bytes; the
// literal input[0] when no string entry qualifies. Its length goes to *length.
int32_t DeepestNameable(int32_t limit, const uint8_t* input, size_t available, int32_t* length)
{
    const size_t reach = available < static_cast<size_t>(MAX_STRING_LENGTH) ? available : MAX_STRING_LENGTH;
    int32_t node = input[0];
    int32_t best = node;
    int32_t bestLength = 1;
    for (size_t j = 1; j < reach; ++j) {
        node = FindChild(node, input[j]);
        if (node == NO_ENTRY) {
            break;
        }
        if (node < limit) {
            best = node;
            bestLength = static_cast<int32_t>(j + 1);
        }
    }
    *length = bestLength;
    return best;
}

// How far `codes` greedy matches reach from input, with the index limit
// `limit`, within available bytes.
size_t GreedyReach(int32_t limit, const uint8_t* input, size_t available, int codes)
{
    size_t reached = 0;
    for (int i = 0; i < codes && reached < available; ++i) {
        int32_t length = 0;
        DeepestNameable(limit, input + reached, available - reached, &length);
        reached += static_cast<size_t>(length);
    }
    return reached;
}

}  // namespace

int32_t FindLongestNameableMatch(const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength)
{
    return DeepestNameable(LITERAL_COUNT + step.widthThreshold, input, available, matchLength);
}

int32_t FindFurthestReachingMatch(const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength)
{
    const int32_t limit = LITERAL_COUNT + step.widthThreshold;
    // The codes after this one may be read one bit wider.
    const bool widens = dictionary.entryCount - LITERAL_COUNT >= step.widthThreshold;
    const int32_t laterLimit = LITERAL_COUNT + (widens ? 2 * step.widthThreshold : step.widthThreshold);
    const size_t reach = available < static_cast<size_t>(MAX_STRING_LENGTH) ? available : MAX_STRING_LENGTH;

    int32_t best = input[0];
    int32_t bestLength = 1;
    size_t bestReach = 1 + GreedyReach(laterLimit, input + 1, available - 1, LOOK_AHEAD_CODES);
    int32_t node = input[0];
    for (size_t j = 1; j < reach; ++j) {
        node = FindChild(node, input[j]);
        if (node == NO_ENTRY) {
            break;
        }
        if (node >= limit) {
            continue;
        }
        const size_t length = j + 1;
        const size_t reached = length + GreedyReach(laterLimit, input + length, available - length, LOOK_AHEAD_CODES);
        // On a tie the longer string: its entry is the parent of the next
        // step's new entries, which then come out longer.
        if (reached >= bestReach) {
            best = node;
            bestLength = static_cast<int32_t>(length);
            bestReach = reached;
        }
    }
    *matchLength = bestLength;
    return best;
}
