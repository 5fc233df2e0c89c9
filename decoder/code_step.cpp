#include "decoder/code_step.h"

#include "decoder/dictionary.h"
#include "decoder/dictionary_update.h"

namespace {

// RecencyUnlink(node), then RecencyInsert(node, recencyTail), with both ends
// of the list held in the caller's locals. node is a string entry other than
// the tail, so it has a more recent neighbour.
inline void MoveToMostRecent(int32_t node, int32_t* recencyPrev, int32_t* recencyNext, int32_t& head, int32_t& tail)
{
    const int32_t less = recencyPrev[node];
    const int32_t more = recencyNext[node];
    if (less == NO_ENTRY) {
        head = more;
    } else {
        recencyNext[less] = more;
    }
    recencyPrev[more] = less;
    recencyPrev[node] = tail;
    recencyNext[node] = NO_ENTRY;
    recencyNext[tail] = node;
    tail = node;
}

}  // namespace

void ResetCodeStep(CodeStep* step)
{
    step->codeWidth = 1;
    step->widthThreshold = 2;
    step->prevCode = NO_ENTRY;
    step->prevLen = 0;
}

int32_t ReadOutString(int32_t code, int32_t* stringBuffer)
{
    Dictionary& d = dictionary;
    int32_t* const recencyPrev = d.recencyPrev;
    int32_t* const recencyNext = d.recencyNext;
    int32_t head = d.recencyHead;
    int32_t tail = d.recencyTail;
    int32_t length = 0;
    int32_t node = code;
    // The tree keeps every path within MAX_STRING_LENGTH entries; the bound
    // only makes the buffer writes provably stay inside it.
    while (node != NO_ENTRY && length < MAX_STRING_LENGTH) {
        if (node >= LITERAL_COUNT && node != tail) MoveToMostRecent(node, recencyPrev, recencyNext, head, tail);
        length += 1;
        stringBuffer[MAX_STRING_LENGTH - length] = d.byteValue[node];
        node = d.parent[node];
    }
    d.recencyHead = head;
    d.recencyTail = tail;
    return length;
}

int32_t TakeCodeInto(CodeStep* step, int32_t code, uint8_t* out)
{
    Dictionary& d = dictionary;
    int32_t* const recencyPrev = d.recencyPrev;
    int32_t* const recencyNext = d.recencyNext;
    int32_t head = d.recencyHead;
    int32_t tail = d.recencyTail;
    // The read-out of ReadOutString, writing the bytes from the last one
    // backwards to their places in out; the same moves in the same order.
    // No string is longer than MAX_STRING_LENGTH; the bound only makes the
    // writes provably stay inside out.
    const int32_t recorded = dictionaryIndex.stringLength[code];
    const int32_t length = recorded < MAX_STRING_LENGTH ? recorded : MAX_STRING_LENGTH;
    int32_t node = code;
    for (int32_t position = length - 1; position >= 0 && node != NO_ENTRY; --position) {
        if (node >= LITERAL_COUNT && node != tail) MoveToMostRecent(node, recencyPrev, recencyNext, head, tail);
        out[position] = d.byteValue[node];
        node = d.parent[node];
    }
    d.recencyHead = head;
    d.recencyTail = tail;
    AddExtensionsOf(out, length, step->prevCode, step->prevLen);
    step->prevCode = code;
    step->prevLen = length;
    return length;
}

int32_t TakeCode(CodeStep* step, int32_t code, int32_t* stringBuffer)
{
    uint8_t bytes[MAX_STRING_LENGTH];
    const int32_t length = TakeCodeInto(step, code, bytes);
    for (int32_t i = 0; i < length; ++i) {
        stringBuffer[MAX_STRING_LENGTH - length + i] = bytes[i];
    }
    return length;
}
