#pragma once

#include "fuzz/support/FuzzReaders.h"

#include <cstdio>
#include <cstdlib>

// A reader that took an input and made something unsound is a finding like a crash.
inline int FuzzVerdict(FeedResult result)
{
    if (result == FeedResult::Unsound) {
        std::fputs("the reader accepted the input but made something unsound\n", stderr);
        std::abort();
    }
    return 0;
}
