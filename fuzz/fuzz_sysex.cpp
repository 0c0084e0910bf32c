// Any complete SysEx message from the device: dispatch, length checks, dump
// unpacking and the bank receive chain must hold up against every byte string.
#include "EngineChecks.h"

using namespace fuzzchecks;

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static Harness h;

    h.engine->handleSysEx (ByteArray (data, data + size));

    finishRun (h);
    return 0;
}
