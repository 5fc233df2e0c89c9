#include "decoder/bit_reader.h"

BitReader bitReader;
