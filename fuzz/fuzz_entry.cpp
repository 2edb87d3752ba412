// libFuzzer entry of one reader; TW_FUZZ_FEED names the feed_* function (see CMakeLists.txt).
#include "fuzz/reader_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TW_FUZZ_FEED(data, size);
    return 0;
}
