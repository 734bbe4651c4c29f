#include "FuzzMain.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QuietUiServices();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzVerdict(FeedWebp(data, size));
}
