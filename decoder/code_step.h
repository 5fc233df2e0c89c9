#ifndef QDX_DECODER_CODE_STEP_H
#define QDX_DECODER_CODE_STEP_H

#include <cstdint>

#include "decoder/dictionary.h"

// The part of every code that decoder and encoder must do identically, or
// their dictionaries drift apart: the width rule before the code, then the
// read-out of its string with the recency moves, then AddExtensions. Both
// sides call these functions, so they stay in step by construction.
struct CodeStep {
    int32_t codeWidth;       // value bits of an index code, 1 to 12
    int32_t widthThreshold;  // 2 to the power codeWidth
    int32_t prevCode;        // the code before, NO_ENTRY at the start of a file
    int32_t prevLen;         // length of prevCode's string, 0 at the start
};

// Start of a file: width 1, threshold 2, no previous code. Leaves the
// dictionary alone; ResetDictionary is the caller's.
void ResetCodeStep(CodeStep* step);

// The width rule, run before every code, literal or index: grows the width by
// at most one bit when the string entries have reached the threshold.
inline void ApplyWidthRule(CodeStep* step)
{
    if (dictionary.entryCount - LITERAL_COUNT >= step->widthThreshold) {
        step->widthThreshold *= 2;
        step->codeWidth += 1;
    }
}

// Writes code's string into stringBuffer (MAX_STRING_LENGTH slots) so that it
// ends at the last slot, and makes the string entries on its path the most
// recent ones, the entry nearest the root last. Returns the length. code must
// be an entry in use (below dictionary.entryCount).
int32_t ReadOutString(int32_t code, int32_t* stringBuffer);

// The whole dictionary step of one code: ReadOutString, then AddExtensions
// with the previous code, then code becomes the previous code. Returns the
// length; the string stands in the last that many slots of stringBuffer.
int32_t TakeCode(CodeStep* step, int32_t code, int32_t* stringBuffer);

// The same step, the one both decoder and encoder run: the string goes to
// out[0] to out[length - 1], first byte first (out has room for
// MAX_STRING_LENGTH bytes). Returns the length.
int32_t TakeCodeInto(CodeStep* step, int32_t code, uint8_t* out);

#endif
