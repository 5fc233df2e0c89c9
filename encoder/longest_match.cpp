#include "encoder/longest_match.h"

#include "decoder/dictionary.h"

int32_t FindLongestNameableMatch(const CodeStep& step, const uint8_t* input, size_t available, int32_t* matchLength)
{
    const int32_t limit = LITERAL_COUNT + step.widthThreshold;
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
    *matchLength = bestLength;
    return best;
}
