#pragma once
// Stream facts that need 64-bit offsets, which the two platforms spell differently.
#include <stdint.h>
#include <stdio.h>

// The length of the file behind an open stream, or -1 when it cannot be
// told. The stream's position is left where it was.
int64_t StreamLength(FILE* stream);

// The stream's position as a 64-bit number, or -1.
int64_t StreamPosition(FILE* stream);
