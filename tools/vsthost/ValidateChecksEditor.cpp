// The editor in a real window: the host owns an X window and hands its id to
// effEditOpen, as hosts on Linux do.
#include "Validate.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace vsthost::validation
{
namespace
{
// Counts errors on every connection, the editor's own included: Xlib keeps one handler per process.
std::atomic<int> xErrors { 0 }, lastXError { 0 }, lastXRequest { 0 };

int onXError (Display*, XErrorEvent* event)
{
    ++xErrors;
    lastXError = event->error_code;
    lastXRequest = event->request_code;
    return 0;
}

struct XSession
{
    Display* display = nullptr;

    bool open()
    {
        XInitThreads();
        display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return false;
        XSetErrorHandler (onXError);

        // Without a window manager these atoms do not exist, and the editor's
        // toolkit looks them up only if they exist; a None answer ends in BadAtom.
        const char* names[] =
        {
            "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_STATE", "WM_TAKE_FOCUS", "WM_CHANGE_STATE", "WM_NAME",
            "_NET_WM_NAME", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_FULLSCREEN",
            "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_PING", "_NET_WM_WINDOW_TYPE",
            "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_PID", "_NET_WM_USER_TIME",
            "_NET_ACTIVE_WINDOW", "_NET_SUPPORTED", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_NET_WM_ICON",
            "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_FULLSCREEN",
            "_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE", "_NET_WM_CM_S0", "_MOTIF_WM_HINTS", "_WIN_HINTS",
            "KWM_WIN_DECORATION", "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE", "XdndAware", "_XEMBED", "_XEMBED_INFO",
            "UTF8_STRING", "CLIPBOARD", "TARGETS"
        };
        std::vector<Atom> atoms (sizeof (names) / sizeof (names[0]));
        XInternAtoms (display, const_cast<char**> (names), (int) atoms.size(), False, atoms.data());
        XSync (display, False);
        return true;
    }

    ~XSession()
    {
        if (display != nullptr)
            XCloseDisplay (display);
    }

    ::Window createParent (int width, int height)
    {
        const int screen = DefaultScreen (display);
        const auto window = XCreateSimpleWindow (display, RootWindow (display, screen), 0, 0, (unsigned) std::max (width, 1),
                                                 (unsigned) std::max (height, 1), 0, BlackPixel (display, screen),
                                                 WhitePixel (display, screen));
        XStoreName (display, window, "vsthost editor");
        XSelectInput (display, window, StructureNotifyMask | SubstructureNotifyMask);
        XMapWindow (display, window);
        XSync (display, False);
        return window;
    }

    void destroy (::Window window)
    {
        XDestroyWindow (display, window);
        XSync (display, False);
        pump();
    }

    void pump()
    {
        while (XPending (display) > 0)
        {
            XEvent event;
            XNextEvent (display, &event);
        }
    }

    // The number of child windows, and the size of the first.
    int children (::Window window, int* width = nullptr, int* height = nullptr)
    {
        XSync (display, False);
        ::Window root = 0, parent = 0, *kids = nullptr;
        unsigned count = 0;
        if (XQueryTree (display, window, &root, &parent, &kids, &count) == 0)
            return -1;
        if (count > 0 && width != nullptr && height != nullptr)
        {
            XWindowAttributes attributes {};
            if (XGetWindowAttributes (display, kids[0], &attributes) != 0)
            {
                *width = attributes.width;
                *height = attributes.height;
            }
        }
        if (kids != nullptr)
            XFree (kids);
        return (int) count;
    }

    // Idles the editor until the condition holds, for a bounded number of rounds.
    bool idleUntil (AEffect* e, const std::function<bool()>& condition, int rounds = 300)
    {
        for (int i = 0; i < rounds; ++i)
        {
            if (condition())
                return true;
            if (e != nullptr)
                dispatch (e, effEditIdle);
            pump();
            usleep (10000);
        }
        return condition();
    }

    void idle (AEffect* e, int rounds)
    {
        for (int i = 0; i < rounds; ++i)
        {
            dispatch (e, effEditIdle);
            pump();
            usleep (5000);
        }
    }
};

bool editorRect (AEffect* e, int& width, int& height)
{
    ERect* rect = nullptr;
    dispatch (e, effEditGetRect, 0, 0, &rect);
    if (rect == nullptr)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

// Opens the editor into the window and checks it arrives there at its size.
std::string openEditor (XSession& x, AEffect* e, ::Window parent)
{
    int width = 0, height = 0;
    if (! editorRect (e, width, height))
        return "no editor size";
    if (dispatch (e, effEditOpen, 0, 0, (void*) (uintptr_t) parent) == 0)
        return "effEditOpen answered 0";
    // The editor's toolkit installs its own handler, which would hide its errors.
    XSetErrorHandler (onXError);
    if (! x.idleUntil (e, [&] { return x.children (parent) > 0; }))
        return "no editor window appeared in the host's window";
    int childWidth = 0, childHeight = 0;
    x.children (parent, &childWidth, &childHeight);
    if (childWidth != width || childHeight != height)
        return fmt ("the editor window is %dx%d, effEditGetRect said %dx%d", childWidth, childHeight, width, height);
    return {};
}

std::string closeEditor (XSession& x, AEffect* e, ::Window parent)
{
    dispatch (e, effEditClose);
    if (! x.idleUntil (e, [&] { return x.children (parent) == 0; }))
        return "the editor window stayed in the host's window after effEditClose";
    return {};
}

void editorGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    r.check ("editor.rectHeadless", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w0 = 0, h0 = 0;
        for (int k = 0; k < 5; ++k)
        {
            int w = 0, h = 0;
            if (! editorRect (a, w, h))
            {
                p.add (fmt ("query %d: no size", k));
                continue;
            }
            if (w <= 0 || h <= 0 || w > 8192 || h > 8192)
                p.add (fmt ("size %dx%d", w, h));
            if (k == 0)
            {
                w0 = w;
                h0 = h;
                std::fprintf (stderr, "note: editor size %dx%d\n", w, h);
            }
            else if (w != w0 || h != h0)
                p.add (fmt ("size changed from %dx%d to %dx%d between queries", w0, h0, w, h));
        }
        return p.str();
    });

    const char* displayName = std::getenv ("DISPLAY");
    if (displayName == nullptr || *displayName == 0)
    {
        std::fprintf (stderr, "note: DISPLAY not set: the editor was not opened in a window\n");
        return;
    }

    XSession x;
    if (! x.open())
    {
        r.check ("editor.window", [&] { return fmt ("DISPLAY is %s but it cannot be opened", displayName); });
        return;
    }

    auto withXErrors = [&] (const std::function<std::string()>& body)
    {
        return [&x, body]() -> std::string
        {
            const int before = xErrors;
            Problems p;
            p.addAll (body(), "");
            x.pump();
            if (xErrors != before)
                p.add (fmt ("%d X errors (last: error code %d, request code %d)", xErrors - before, lastXError.load(),
                            lastXRequest.load()));
            return p.str();
        };
    };

    r.check ("editor.window", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        if (! editorRect (a, w, h))
            return "no editor size";
        auto parent = x.createParent (w, h);
        for (int cycle = 0; cycle < 6; ++cycle)
        {
            if (cycle >= 3)
            {
                // Later cycles get a new window each time, as hosts that rebuild their frames do.
                x.destroy (parent);
                parent = x.createParent (w, h);
            }
            if (auto reason = openEditor (x, a, parent); ! reason.empty())
            {
                p.add (fmt ("cycle %d: %s", cycle, reason.c_str()));
                dispatch (a, effEditClose);
                continue;
            }
            x.idle (a, 5);
            int w2 = 0, h2 = 0;
            if (! editorRect (a, w2, h2) || w2 != w || h2 != h)
                p.add (fmt ("cycle %d: the size reads %dx%d while open", cycle, w2, h2));
            p.addAll (closeEditor (x, a, parent), fmt ("cycle %d", cycle));
        }
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.parametersWhileOpen", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto parent = x.createParent (w, h);
        p.addAll (openEditor (x, a, parent), "");
        for (int i = 0; i < numParams; ++i)
        {
            a->setParameter (a, i, std::uniform_real_distribution<float> (0.0f, 1.0f) (rng));
            if (i % 50 == 0)
                x.idle (a, 1);
        }
        for (int prog : { 0, 50, 98 })
        {
            dispatch (a, effSetProgram, 0, prog);
            x.idle (a, 3);
        }
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.twoInstances", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto pa = x.createParent (w, h), pb = x.createParent (w, h);
        p.addAll (openEditor (x, a, pa), "first");
        p.addAll (openEditor (x, b, pb), "second");
        for (int k = 0; k < 10; ++k)
        {
            a->setParameter (a, k, 0.3f);
            b->setParameter (b, k, 0.7f);
            x.idle (a, 1);
            x.idle (b, 1);
        }
        p.addAll (closeEditor (x, a, pa), "first");
        x.idle (b, 3);
        p.addAll (closeEditor (x, b, pb), "second");
        x.destroy (pa);
        x.destroy (pb);
        return p.str();
    }));

    r.check ("editor.whileProcessing", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto parent = x.createParent (w, h);
        p.addAll (openEditor (x, a, parent), "");
        prepare (a, 48000.0, 256);
        resume (a);
        std::atomic<bool> done { false };
        std::string audioProblem;
        AEffect* e = a;
        const unsigned seed = rng();
        std::thread audio ([e, seed, &done, &audioProblem]
        {
            std::mt19937 local (seed);
            for (int b = 0; b < 1500; ++b)
            {
                e->setParameter (e, (int) (local() % numParams), std::uniform_real_distribution<float> (0.0f, 1.0f) (local));
                if (auto reason = runBlock (e, 256, local); ! reason.empty() && audioProblem.empty())
                    audioProblem = reason;
            }
            done = true;
        });
        while (! done)
            x.idle (a, 1);
        audio.join();
        suspend (a);
        p.addAll (audioProblem, "audio");
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.randomState", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        Bytes bank ((size_t) bankSize), prog ((size_t) programSize);
        for (auto& c : bank)
            c = (char) rng();
        for (auto& c : prog)
            c = (char) rng();
        std::memcpy (bank.data(), bankHeader.data(), bankHeader.size());
        std::memcpy (prog.data(), programHeader.data(), programHeader.size());
        setChunk (a, false, bank);
        dispatch (a, effSetProgram, 0, 17);
        setChunk (a, true, prog);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto parent = x.createParent (w, h);
        p.addAll (openEditor (x, a, parent), "");
        x.idle (a, 10);
        dispatch (a, effSetProgram, 0, 60);
        x.idle (a, 5);
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    // Some hosts close the plug-in without effEditClose; repeated because what goes wrong there may be a race.
    r.check ("editor.closeInstanceWithEditorOpen", withXErrors ([&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 4; ++cycle)
        {
            auto a = std::make_unique<Instance> (lib.entry);
            int w = 0, h = 0;
            editorRect (*a, w, h);
            const auto parent = x.createParent (w, h);
            p.addAll (openEditor (x, *a, parent), fmt ("cycle %d", cycle));
            x.idle (*a, 3);
            a.reset();
            if (! x.idleUntil (nullptr, [&] { return x.children (parent) == 0; }))
                p.add (fmt ("cycle %d: the editor window stayed in the host's window after effClose", cycle));
            x.destroy (parent);
        }
        return p.str();
    }));
}
} // namespace

const ValidationGroup editorChecks { "editor", 6, editorGroup };
} // namespace vsthost::validation
