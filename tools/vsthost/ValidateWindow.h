// The editor in a real window: the host owns an X window and hands its id to
// effEditOpen, as hosts on Linux do. For the checks that open the editor.
#pragma once

#include "Validate.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vsthost::validation
{
// Whether DISPLAY names a display: the checks that need a window run only then.
bool displaySet();

struct XSession
{
    Display* display = nullptr;

    // Per host window, the last window the server reported reparented into it
    // (as hosts that select SubstructureNotify on their window see it).
    std::map<::Window, ::Window> lastReparentedInto;

    bool open();
    ~XSession();

    ::Window createParent (int width, int height);
    void destroy (::Window window);
    void pump();

    // The number of child windows, and the size of the first.
    int children (::Window window, int* width = nullptr, int* height = nullptr);

    // Idles the editor until the condition holds or the time is up. A step waits
    // this way for what it needs, never for a count of rounds a slow machine runs out of.
    bool idleUntil (AEffect* e, const std::function<bool()>& condition, std::chrono::milliseconds limit = patience);

    // For what must not happen: idles while the condition holds, for at least the time
    // and at least the rounds given (a slow machine idles no less); false once it fails.
    bool idleWhile (AEffect* e, const std::function<bool()>& condition, std::chrono::milliseconds time, int rounds);

    // Idles for the time given: for what the editor does a while after an event.
    void idleFor (AEffect* e, std::chrono::milliseconds time);
    void idle (AEffect* e, int rounds);

    // Waits until what look() returns stays the same for a moment (a few idle rounds
    // and at least the time given): painted and still, or a count nothing drives any more.
    template <typename Look>
    bool holdsStill (AEffect* e, Look look, std::chrono::milliseconds time = std::chrono::milliseconds (150), int rounds = 5)
    {
        const auto start = std::chrono::steady_clock::now();
        bool still = false;
        while (! still && std::chrono::steady_clock::now() - start < patience)
        {
            const auto first = look();
            still = idleWhile (e, [&] { return look() == first; }, time, rounds);
        }
        lastSeconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
        return still;
    }

    // How long the last wait took, for the message of a check that failed: "after 20.0 s (1234 idle rounds)".
    std::string waited() const;

    // Generous: a sanitizer build on a loaded machine, as the test support's waits.
    static constexpr std::chrono::milliseconds patience { 20000 };

private:
    double lastSeconds = 0;
    int lastRounds = 0;
};

bool editorRect (AEffect* e, int& width, int& height);

// Opens the editor into the window and checks it arrives there at its size.
std::string openEditor (XSession& x, AEffect* e, ::Window parent);
std::string closeEditor (XSession& x, AEffect* e, ::Window parent);

// As a host opens it: a new window of the editor's size, the editor opened into
// it; what went wrong is added to p under what. Returns the new window.
::Window openInNewParent (XSession& x, AEffect* e, Problems& p, const std::string& what);

// The check's body, failing also when it caused X errors on any connection.
std::function<std::string()> withXErrors (XSession& x, std::function<std::string()> body);

// The editor's own window inside the host's.
::Window editorWindow (XSession& x, ::Window parent);

// The mean brightness (0 to 255) of the section tabs, -1 when they cannot be read.
// Light grey while the page shows; dark under a covering overlay (the first
// opening's splash, the about panel, a question, a transfer's progress); the host
// window's white before the first paint. They lie where every size shows them.
double tabBrightness (XSession& x, ::Window editor);
bool pageShows (XSession& x, ::Window editor);
bool pageCovered (XSession& x, ::Window editor);

// Waits until the page shows: a click or drag meant for the page is swallowed by
// the splash (two seconds on an instance's first opening) or lost before the paint.
std::string waitForPage (XSession& x, AEffect* e, ::Window parent);

// Pointer events as the X server would deliver them to the editor's window. The
// clicks and drags first put the real pointer where they press, as a user's hand
// does: the toolkit asks the server where the pointer is now and then.
void sendButton (XSession& x, ::Window w, bool press, int px, int py, unsigned button);
void sendMotion (XSession& x, ::Window w, int px, int py);
void sendKey (XSession& x, ::Window w, bool press, KeySym key, unsigned modifiers = 0);
void drag (XSession& x, AEffect* e, ::Window w, int fromX, int fromY, int toX, int toY);
void rightClick (XSession& x, AEffect* e, ::Window w, int px, int py);
void click (XSession& x, AEffect* e, ::Window w, int px, int py);

// The pixels of a rectangle of a window as the screen shows them, row by row;
// empty when the window is not viewable or the rectangle leaves it.
std::vector<uint32_t> grabPixels (XSession& x, ::Window w, int left, int top, int width, int height);

// The share of pixels that differ between two grabs of one rectangle; 1 when they cannot be compared.
double pixelDifference (const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);

// The top-level windows on the screen that are mapped.
std::set<::Window> shownTopLevels (XSession& x);

// The one shown top-level window that is not in the set, or 0.
::Window newTopLevel (XSession& x, const std::set<::Window>& before);

// Puts the real pointer where sent events say it is: the editor's toolkit asks the
// server where the pointer is to decide whether a button press is still over its button.
void pointTo (XSession& x, ::Window w, int px, int py);
} // namespace vsthost::validation
