#include "decoder/code_step.h"

#include "decoder/dictionary.h"

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
    int32_t length = 0;
    int32_t node = code;
    // The tree keeps every path within MAX_STRING_LENGTH entries; the bound
    // only makes the buffer writes provably stay inside it.
    while (node != NO_ENTRY && length < MAX_STRING_LENGTH) {
        if (node >= LITERAL_COUNT && node != d.recencyTail) {
            RecencyUnlink(node);
            RecencyInsert(node, d.recencyTail);
        }
        length += 1;
        stringBuffer[MAX_STRING_LENGTH - length] = d.byteValue[node];
        node = d.parent[node];
    }
    return length;
}

int32_t TakeCode(CodeStep* step, int32_t code, int32_t* stringBuffer)
{
    const int32_t length = ReadOutString(code, stringBuffer);
    AddExtensions(stringBuffer + (MAX_STRING_LENGTH - length), length, step->prevCode, step->prevLen);
    step->prevCode = code;
    step->prevLen = length;
    return length;
}
