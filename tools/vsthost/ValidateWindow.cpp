#include "ValidateWindow.h"

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <vector>

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
} // namespace

bool displaySet()
{
    const char* name = std::getenv ("DISPLAY");
    return name != nullptr && *name != 0;
}

bool XSession::open()
{
    XInitThreads();
    // A virtual server just started may not take connections yet.
    const auto start = std::chrono::steady_clock::now();
    while ((display = XOpenDisplay (nullptr)) == nullptr && std::chrono::steady_clock::now() - start < patience)
        usleep (100000);
    if (display == nullptr)
        return false;
    XSetErrorHandler (onXError);

    // Without a window manager these atoms do not exist, and the editor's
    // toolkit looks them up only if they exist; a None answer ends in BadAtom.
    // With _NET_WM_STATE_ABOVE it also marks a window it keeps above all others.
    const char* names[] =
    {
        "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_STATE", "WM_TAKE_FOCUS", "WM_CHANGE_STATE", "WM_NAME",
        "_NET_WM_NAME", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_FULLSCREEN",
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

XSession::~XSession()
{
    if (display != nullptr)
        XCloseDisplay (display);
}

::Window XSession::createParent (int width, int height)
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

void XSession::destroy (::Window window)
{
    XDestroyWindow (display, window);
    XSync (display, False);
    pump();
}

void XSession::pump()
{
    while (XPending (display) > 0)
    {
        XEvent event;
        XNextEvent (display, &event);
        if (event.type == ReparentNotify && event.xreparent.event == event.xreparent.parent)
            lastReparentedInto[event.xreparent.parent] = event.xreparent.window;
    }
}

int XSession::children (::Window window, int* width, int* height)
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

bool XSession::idleUntil (AEffect* e, const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto start = std::chrono::steady_clock::now();
    const auto done = [&] (int rounds)
    {
        lastSeconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
        lastRounds = rounds;
    };
    for (int rounds = 0;; ++rounds)
    {
        if (condition())
        {
            done (rounds);
            return true;
        }
        if (std::chrono::steady_clock::now() - start > limit)
        {
            done (rounds);
            return false;
        }
        if (e != nullptr)
            dispatch (e, effEditIdle);
        pump();
        usleep (10000);
    }
}

bool XSession::idleWhile (AEffect* e, const std::function<bool()>& condition, std::chrono::milliseconds time, int rounds)
{
    const auto start = std::chrono::steady_clock::now();
    bool held = true;
    int looks = 0;
    idleUntil (e, [&]
    {
        held = condition();
        return ! held || (++looks > rounds && std::chrono::steady_clock::now() - start >= time);
    }, std::chrono::hours (1));
    return held;
}

void XSession::idleFor (AEffect* e, std::chrono::milliseconds time)
{
    idleUntil (e, [] { return false; }, time);
}

std::string XSession::waited() const
{
    return fmt ("after %.1f s (%d idle rounds)", lastSeconds, lastRounds);
}

void XSession::idle (AEffect* e, int rounds)
{
    for (int i = 0; i < rounds; ++i)
    {
        dispatch (e, effEditIdle);
        pump();
        usleep (5000);
    }
}

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

::Window openInNewParent (XSession& x, AEffect* e, Problems& p, const std::string& what)
{
    int w = 0, h = 0;
    editorRect (e, w, h);
    const auto parent = x.createParent (w, h);
    p.addAll (openEditor (x, e, parent), what);
    return parent;
}

std::string closeEditor (XSession& x, AEffect* e, ::Window parent)
{
    dispatch (e, effEditClose);
    if (! x.idleUntil (e, [&] { return x.children (parent) == 0; }))
        return "the editor window stayed in the host's window after effEditClose";
    return {};
}

std::function<std::string()> withXErrors (XSession& x, std::function<std::string()> body)
{
    return [&x, body = std::move (body)]() -> std::string
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
}
// The editor's own window inside the host's.
::Window editorWindow (XSession& x, ::Window parent)
{
    ::Window root = 0, up = 0, *kids = nullptr, found = 0;
    unsigned count = 0;
    if (XQueryTree (x.display, parent, &root, &up, &kids, &count) != 0 && count > 0)
        found = kids[0];
    if (kids != nullptr)
        XFree (kids);
    return found;
}

double tabBrightness (XSession& x, ::Window editor)
{
    // Six tabs from the top bar's start: the narrowest window still shows them.
    const auto pixels = grabPixels (x, editor, 267, 34, 6 * 59, 12);
    if (pixels.empty())
        return -1.0;
    double sum = 0;
    for (auto p : pixels)
        sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    return sum / (3.0 * (double) pixels.size());
}

bool pageShows (XSession& x, ::Window editor)
{
    const auto mean = tabBrightness (x, editor);
    return mean > 110.0 && mean < 220.0;
}

bool pageCovered (XSession& x, ::Window editor)
{
    const auto mean = tabBrightness (x, editor);
    return mean >= 0.0 && mean <= 110.0;
}

std::string waitForPage (XSession& x, AEffect* e, ::Window parent)
{
    if (! x.idleUntil (e, [&] { return pageShows (x, editorWindow (x, parent)); }))
        return fmt ("the page did not show %s: its tabs read %.0f of 255 (dark: covered, white: not painted)",
                    x.waited().c_str(), tabBrightness (x, editorWindow (x, parent)));
    return {};
}

namespace
{
// The fields button, motion and key events share, as the X server fills them.
template <typename Event>
void address (Event& ev, int type, XSession& x, ::Window w, int px, int py, unsigned state)
{
    ev.type = type;
    ev.display = x.display;
    ev.window = w;
    ev.root = DefaultRootWindow (x.display);
    ev.time = CurrentTime;
    ev.x = px;
    ev.y = py;
    ev.state = state;
    ev.same_screen = True;
}

void deliver (XSession& x, ::Window w, long mask, XEvent& ev)
{
    XSendEvent (x.display, w, True, mask, &ev);
    XFlush (x.display);
}
}

// Pointer events as the X server would deliver them to the editor's window.
void sendButton (XSession& x, ::Window w, bool press, int px, int py, unsigned button)
{
    XEvent ev {};
    address (ev.xbutton, press ? ButtonPress : ButtonRelease, x, w, px, py,
             press ? 0 : (button == Button1 ? Button1Mask : Button3Mask));
    ev.xbutton.button = button;
    deliver (x, w, press ? ButtonPressMask : ButtonReleaseMask, ev);
}

void sendMotion (XSession& x, ::Window w, int px, int py)
{
    XEvent ev {};
    address (ev.xmotion, MotionNotify, x, w, px, py, Button1Mask);
    deliver (x, w, PointerMotionMask | ButtonMotionMask | Button1MotionMask, ev);
}

void sendKey (XSession& x, ::Window w, bool press, KeySym key, unsigned modifiers)
{
    XEvent ev {};
    address (ev.xkey, press ? KeyPress : KeyRelease, x, w, 0, 0, modifiers);
    ev.xkey.keycode = XKeysymToKeycode (x.display, key);
    deliver (x, w, press ? KeyPressMask : KeyReleaseMask, ev);
}

void drag (XSession& x, AEffect* e, ::Window w, int fromX, int fromY, int toX, int toY)
{
    // Only before the press: a real motion would tell the toolkit that no button is down.
    pointTo (x, w, fromX, fromY);
    sendButton (x, w, true, fromX, fromY, Button1);
    x.idle (e, 2);
    for (int i = 1; i <= 6; ++i)
    {
        sendMotion (x, w, fromX + (toX - fromX) * i / 6, fromY + (toY - fromY) * i / 6);
        x.idle (e, 2);
    }
    sendButton (x, w, false, toX, toY, Button1);
    x.idle (e, 3);
}

void rightClick (XSession& x, AEffect* e, ::Window w, int px, int py)
{
    pointTo (x, w, px, py);
    sendButton (x, w, true, px, py, Button3);
    sendButton (x, w, false, px, py, Button3);
    x.idle (e, 1);
}

void click (XSession& x, AEffect* e, ::Window w, int px, int py)
{
    pointTo (x, w, px, py);
    sendButton (x, w, true, px, py, Button1);
    x.idle (e, 1);
    sendButton (x, w, false, px, py, Button1);
    x.idle (e, 2);
}


std::vector<uint32_t> grabPixels (XSession& x, ::Window w, int left, int top, int width, int height)
{
    XWindowAttributes attributes {};
    if (w == 0 || XGetWindowAttributes (x.display, w, &attributes) == 0 || attributes.map_state != IsViewable
        || left < 0 || top < 0 || width <= 0 || height <= 0
        || left + width > attributes.width || top + height > attributes.height)
        return {};

    XImage* image = XGetImage (x.display, w, left, top, (unsigned) width, (unsigned) height, AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    std::vector<uint32_t> pixels ((size_t) width * (size_t) height);
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
    for (int row = 0; row < height; ++row)
    {
        const auto* line = (const uint32_t*) (const void*) (image->data + (size_t) row * (size_t) image->bytes_per_line);
        for (int column = 0; column < width; ++column)
            pixels[(size_t) (row * width + column)] = (direct ? line[column] : (uint32_t) XGetPixel (image, column, row)) & 0xFFFFFFu;
    }
    XDestroyImage (image);
    return pixels;
}

double pixelDifference (const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.empty() || a.size() != b.size())
        return 1.0;
    size_t differ = 0;
    for (size_t i = 0; i < a.size(); ++i)
        differ += a[i] != b[i] ? 1 : 0;
    return (double) differ / (double) a.size();
}

std::set<::Window> shownTopLevels (XSession& x)
{
    std::set<::Window> shown;
    // Held while reading, so no window goes between the list and the question about it.
    XGrabServer (x.display);
    ::Window root = 0, parent = 0, *kids = nullptr;
    unsigned count = 0;
    if (XQueryTree (x.display, DefaultRootWindow (x.display), &root, &parent, &kids, &count) != 0)
        for (unsigned i = 0; i < count; ++i)
        {
            XWindowAttributes attributes {};
            if (XGetWindowAttributes (x.display, kids[i], &attributes) != 0 && attributes.map_state == IsViewable)
                shown.insert (kids[i]);
        }
    XUngrabServer (x.display);
    XSync (x.display, False);
    if (kids != nullptr)
        XFree (kids);
    return shown;
}

::Window newTopLevel (XSession& x, const std::set<::Window>& before)
{
    ::Window found = 0;
    for (auto w : shownTopLevels (x))
        if (before.count (w) == 0)
            found = w;
    return found;
}

void pointTo (XSession& x, ::Window w, int px, int py)
{
    const auto root = DefaultRootWindow (x.display);
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    if (XTranslateCoordinates (x.display, w, root, px, py, &rootX, &rootY, &child) != 0)
        XWarpPointer (x.display, None, root, 0, 0, 0, 0, rootX, rootY);
    XSync (x.display, False);
}
} // namespace vsthost::validation
