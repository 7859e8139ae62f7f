// libFuzzer target: the reply byte stream into a device worker's reassembler and reply handlers.
#include "FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    FuzzHarness::fuzzReplyStream(pData, nSize);
    return 0;
}
