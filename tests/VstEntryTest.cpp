// The built plug-in as a host loads it (dlopen, its entry, the dispatcher),
// each test in a process of its own: the plug-in brings its own toolkit, with
// its own threads and X connection, which the suite's process must not share.
#include <gtest/gtest.h>
#include "platform/pluginterfaces/vst2.x/aeffectx.h"

#include <dlfcn.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace
{
VstIntPtr VSTCALLBACK hostCallback (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode)
    {
        case audioMasterVersion:       return kVstVersion;
        case audioMasterGetSampleRate: return 44100;
        case audioMasterGetBlockSize:  return 512;
        default:                       return 0;
    }
}

struct LoadedPlugin
{
    void* library = dlopen (VANTOR_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    AEffect* e = nullptr;

    LoadedPlugin()
    {
        using Entry = AEffect* (*) (audioMasterCallback);
        if (library != nullptr)
            if (auto entry = (Entry) dlsym (library, "VSTPluginMain"))
                e = entry (hostCallback);
        if (e != nullptr)
            dispatch (effOpen);
    }

    ~LoadedPlugin()
    {
        if (e != nullptr)
            dispatch (effClose);
        if (library != nullptr)
            dlclose (library);
    }

    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr)
    {
        return e->dispatcher (e, opcode, index, value, ptr, 0.0f);
    }
};

// Runs in the test's own process: exits 0, or 1 with the problems on stderr.
[[noreturn]] void exitWith (const std::function<std::string()>& body)
{
    const auto problems = body();
    if (! problems.empty())
        std::fprintf (stderr, "%s\n", problems.c_str());
    std::fflush (nullptr);
    _exit (problems.empty() ? 0 : 1);
}

#define EXPECT_IN_OWN_PROCESS(body)                                    \
    GTEST_FLAG_SET (death_test_style, "threadsafe");                   \
    EXPECT_EXIT (exitWith (body), ::testing::ExitedWithCode (0), "")

//==============================================================================
enum class Buffers { none, nullChannels, leftOnly, real };

const char* describe (Buffers b)
{
    switch (b)
    {
        case Buffers::none:         return "no list";
        case Buffers::nullChannels: return "null channels";
        case Buffers::leftOnly:     return "the left channel only";
        case Buffers::real:         return "buffers";
    }
    return "?";
}

std::string nullBlockProblems()
{
    LoadedPlugin p;
    if (p.e == nullptr)
        return "the plug-in did not load";
    if (p.e->numInputs != 2 || p.e->numOutputs != 2)
        return "not two inputs and two outputs";
    p.dispatch (effSetSampleRate, 0, 0);
    p.dispatch (effSetBlockSize, 0, 512);
    p.dispatch (effMainsChanged, 0, 1);

    constexpr int size = 128;
    constexpr float hostsLeftovers = 0.5f;
    // Blocks the plug-in must pass over: nothing read through a missing
    // buffer, and silence, not the host's leftovers, in every output given.
    const struct { int frames; Buffers in, out; bool passesThrough; } cases[] = {
        { 0, Buffers::none, Buffers::none, false },
        { 0, Buffers::nullChannels, Buffers::nullChannels, false },
        { 0, Buffers::real, Buffers::real, false },
        { -5, Buffers::real, Buffers::real, false },
        { 64, Buffers::none, Buffers::none, false },
        { 64, Buffers::nullChannels, Buffers::nullChannels, false },
        { 64, Buffers::none, Buffers::real, false },
        { 64, Buffers::nullChannels, Buffers::real, false },
        { 64, Buffers::leftOnly, Buffers::real, false },
        { 64, Buffers::none, Buffers::leftOnly, false },
        { 64, Buffers::real, Buffers::none, false },
        { 64, Buffers::real, Buffers::nullChannels, false },
        { 64, Buffers::real, Buffers::real, true },
    };

    std::string problems;
    for (const auto& c : cases)
    {
        std::vector<float> in[2], out[2];
        float* inPointers[2] {};
        float* outPointers[2] {};
        for (int ch = 0; ch < 2; ++ch)
        {
            in[ch].assign (size, 0.0f);
            for (int i = 0; i < size; ++i)
                in[ch][(size_t) i] = 0.001f * (float) (i + 1) * (ch == 0 ? 1.0f : -1.0f);
            out[ch].assign (size, hostsLeftovers);
            if (c.in == Buffers::real || (c.in == Buffers::leftOnly && ch == 0))
                inPointers[ch] = in[ch].data();
            if (c.out == Buffers::real || (c.out == Buffers::leftOnly && ch == 0))
                outPointers[ch] = out[ch].data();
        }

        p.e->processReplacing (p.e, c.in == Buffers::none ? nullptr : inPointers,
                               c.out == Buffers::none ? nullptr : outPointers, c.frames);

        const auto what = std::to_string (c.frames) + " frames, inputs: " + describe (c.in) + ", outputs: " + describe (c.out);
        for (int ch = 0; ch < 2; ++ch)
        {
            if (outPointers[ch] == nullptr || c.out == Buffers::none)
                continue;
            for (int i = 0; i < size; ++i)
            {
                const auto expected = i >= c.frames ? hostsLeftovers
                                    : c.passesThrough ? in[ch][(size_t) i] : 0.0f;
                if (out[ch][(size_t) i] != expected)
                {
                    problems += what + ": output " + std::to_string (ch) + " frame " + std::to_string (i) + " holds "
                              + std::to_string (out[ch][(size_t) i]) + ", not " + std::to_string (expected) + "\n";
                    break;
                }
            }
        }
    }
    p.dispatch (effMainsChanged, 0, 0);
    return problems;
}

//==============================================================================
// Whether the window is an input-only one (what the editor lends).
bool isInputOnly (::Display* display, ::Window w)
{
    XWindowAttributes a {};
    return XGetWindowAttributes (display, w, &a) != 0 && a.c_class == InputOnly;
}

::Window parentOf (::Display* display, ::Window w)
{
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree (display, w, &root, &parent, &children, &count) == 0)
        return 0;
    if (children != nullptr)
        XFree (children);
    return parent;
}

int childCount (::Display* display, ::Window w)
{
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree (display, w, &root, &parent, &children, &count) == 0)
        return -1;
    if (children != nullptr)
        XFree (children);
    return (int) count;
}

int mapState (::Display* display, ::Window w)
{
    XWindowAttributes a {};
    return XGetWindowAttributes (display, w, &a) != 0 ? a.map_state : -1;
}

// Errors on the test's own connection; the plug-in's toolkit has its own.
::Display* testDisplay = nullptr;
int xErrors = 0;
int countXError (::Display* display, XErrorEvent*)
{
    if (display == testDisplay)
        ++xErrors;
    return 0;
}

// Drives the plug-in's message loop, as a host's idle calls do, until the
// condition holds; false when it still does not after a generous time.
bool idleUntil (LoadedPlugin& p, ::Display* display, const std::function<bool()>& condition)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds (60);
    while (! condition())
    {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        p.dispatch (effEditIdle);
        XSync (display, False);
        usleep (2000);
    }
    return true;
}

// The editor opened in a host's window lends that window a window of its own,
// one that outlives the editor, for hosts that move the last window put into
// theirs again later. An embedding socket maps and sizes what entered it,
// also once it has left: the lent window must never come into view.
std::string lentWindowProblems()
{
    auto* display = testDisplay = XOpenDisplay (nullptr);
    if (display == nullptr)
        return "no X display";
    // Xlib's own handler ends the process: a bare X server lacks atoms the
    // plug-in's toolkit asks for, and its release build puts in no handler.
    XSetErrorHandler (countXError);

    std::string problems;
    {
        LoadedPlugin p;
        if (p.e == nullptr)
            return "the plug-in did not load";

        ERect* rect = nullptr;
        p.dispatch (effEditGetRect, 0, 0, &rect);
        if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top)
            return "effEditGetRect gave no size";

        const auto root = DefaultRootWindow (display);
        const auto host = XCreateSimpleWindow (display, root, 0, 0, (unsigned) (rect->right - rect->left),
                                               (unsigned) (rect->bottom - rect->top), 0, 0, 0);
        XSelectInput (display, host, SubstructureNotifyMask);
        XMapWindow (display, host);
        XSync (display, False);

        if (p.dispatch (effEditOpen, 0, 0, (void*) (uintptr_t) host) == 0)
            return "effEditOpen answered 0";

        ::Window lent = 0;
        const auto seeLent = [&]
        {
            for (XEvent event; XPending (display) > 0;)
            {
                XNextEvent (display, &event);
                if (event.type == ReparentNotify && event.xreparent.parent == host
                    && isInputOnly (display, event.xreparent.window))
                    lent = event.xreparent.window;
            }
            return lent != 0;
        };
        if (! idleUntil (p, display, seeLent))
            problems += "the editor lent the host's window no window of its own\n";
        else
        {
            if (parentOf (display, lent) == host)
                problems += "the lent window stays in the host's window\n";

            XMapWindow (display, lent);
            XResizeWindow (display, lent, 400, 300);
            XSync (display, False);
            p.dispatch (effEditIdle);
            if (mapState (display, lent) == IsViewable)
                problems += "the lent window comes into view when the host maps it\n";
        }

        p.dispatch (effEditClose);
        if (! idleUntil (p, display, [&] { return childCount (display, host) == 0; }))
            problems += "the editor's window stayed in the host's window after effEditClose\n";
        XDestroyWindow (display, host);
        XSync (display, False);
        if (lent != 0)
        {
            if (mapState (display, lent) < 0)
                problems += "the lent window went with the host's window\n";
            else if (mapState (display, lent) == IsViewable)
                problems += "the lent window is in view once the host's window is gone\n";
        }
        if (xErrors > 0)
            problems += std::to_string (xErrors) + " X errors\n";
    }
    XCloseDisplay (display);
    return problems;
}
} // namespace

TEST (VstEntry, BlocksWithoutBuffersReadNothingAndLeaveSilence)
{
    EXPECT_IN_OWN_PROCESS (nullBlockProblems);
}

TEST (VstEntry, LentWindowNeverComesIntoView)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    EXPECT_IN_OWN_PROCESS (lentWindowProblems);
}
