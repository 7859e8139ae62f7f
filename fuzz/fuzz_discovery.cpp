// libFuzzer target: one discovery datagram.
#include "FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    FuzzHarness::fuzzDiscovery(pData, nSize);
    return 0;
}
