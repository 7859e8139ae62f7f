#include "TarnSceneSink.h"

CTarnSceneSink *CTarnSceneSink::s_pInstalled = nullptr;

CTarnSceneSink::~CTarnSceneSink()
{
    if (s_pInstalled == this)
        s_pInstalled = nullptr;
}

void CTarnSceneSink::install(CTarnSceneSink *pSink)
{
    s_pInstalled = pSink;
}

CTarnSceneSink *CTarnSceneSink::installed()
{
    return s_pInstalled;
}
