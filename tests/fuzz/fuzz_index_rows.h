#pragma once
// Which rows of the child index the fuzz targets' dictionary check reads.
#include "unit/decoder/dictionary_check.h"

namespace fuzz_support {

// Every row in the replays, which run once over the corpus; under the
// fuzzing engine, which checks hundreds of inputs a second, only the rows of
// the literal entries.
#ifdef QDX_FUZZING_ENGINE
const codec_testing::IndexRows CHECKED_ROWS = codec_testing::IndexRows::LITERAL_ROWS;
#else
const codec_testing::IndexRows CHECKED_ROWS = codec_testing::IndexRows::EVERY_ROW;
#endif

}  // namespace fuzz_support
