// libFuzzer's entry of one target program: fuzz_NAME is built with TELLVANE_FUZZ_TARGET naming its
// function. The replaying test suite calls the functions itself and has no entry.
#ifndef TELLVANE_FUZZ_REPLAY
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return tellvane::fuzz::TELLVANE_FUZZ_TARGET(data, size);
}
#endif
