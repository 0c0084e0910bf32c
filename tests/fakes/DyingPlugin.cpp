// A plug-in library that goes wrong in its teardown at the end of the process,
// as a sanitizer's exit report or a teardown that never ends would: for the
// tests of how the validation reports a group's process that dies after its
// last check. It has no entry point, and is linked never to be unloaded.
// VANTOR_DYING_PLUGIN picks how: "report" prints a report and exits with 1,
// "checker" prints that the leak checker itself failed and exits with 1,
// "hang" waits for ever. It also holds a thread-local of its own, which a
// library loaded with dlopen keeps in dynamic thread-local storage.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace
{
__attribute__ ((destructor)) void unloaded()
{
    const char* how = std::getenv ("VANTOR_DYING_PLUGIN");
    if (how == nullptr)
        return;
    if (std::strcmp (how, "report") == 0)
    {
        std::fprintf (stderr, "==1==ERROR: AddressSanitizer: heap-use-after-free on address 0x1\n"
                              "    #0 0x1 in unloaded DyingPlugin.cpp:21\n\n"
                              "SUMMARY: AddressSanitizer: heap-use-after-free DyingPlugin.cpp:21 in unloaded\n");
        _exit (1);
    }
    if (std::strcmp (how, "checker") == 0)
    {
        std::fprintf (stderr, "Tracer caught signal 11: addr=0x2918 pc=0x7fad88ce80f0 sp=0x7fad7f65dd10\n"
                              "==1==LeakSanitizer has encountered a fatal error.\n"
                              "==1==HINT: For debugging, try setting environment variable LSAN_OPTIONS=verbosity=1:log_threads=1\n");
        _exit (1);
    }
    if (std::strcmp (how, "hang") == 0)
        for (;;)
            pause();
}
}

extern "C" __attribute__ ((visibility ("default"))) int* dyingPluginThreadLocal()
{
    static thread_local int value = 0;
    return &value;
}
