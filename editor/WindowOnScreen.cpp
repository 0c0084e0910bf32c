#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "editor/WindowOnScreen.h"

#if JUCE_LINUX || JUCE_BSD
 #include <juce_events/native/juce_linux_EventLoopInternal.h>
#endif

#if JUCE_LINUX || JUCE_BSD
namespace
{
// Message thread only.
::Display* trappedDisplay = nullptr;
XErrorHandler previousHandler = nullptr;
int trapDepth = 0;
bool trapped = false;

// The handler is one per process, shared with the host, whose own threads may
// swap it at the same time (a toolkit's error traps do). While ours is in, every
// error is ignored: forwarding to the handler we replaced could hand a host's
// error to a fatal handler that the host's thread has already taken out again.
int onXError (::Display* display, XErrorEvent*)
{
    if (display == trappedDisplay)
        trapped = true;
    return 0;
}

::Display* ownDisplay()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    return windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;
}

// Message thread only; they live as long as the toolkit's connection, which
// closes with the last instance and may open again for the next.
::Window standIn = 0, standInHolder = 0;
::Display* standInDisplay = nullptr;

bool isInputOnlyWindow (::Display* display, ::Window window)
{
    XWindowAttributes attributes {};
    return window != 0 && juce::X11Symbols::getInstance()->xGetWindowAttributes (display, window, &attributes) != 0
        && attributes.c_class == InputOnly;
}

// An input-only window of ours, made on first use and again when it is gone (a
// host that destroyed its window in the moment the stand-in was in it took it
// along). It lives in a window that is never mapped: a host's embedding socket
// maps and sizes what entered it even after it has left, and on the root it
// would be an invisible window the size of the editor that swallows clicks
// and leaves what it covers unpainted.
::Window standInWindow (::Display* display)
{
    auto* x = juce::X11Symbols::getInstance();
    // A connection opened anew may give an old id to a window of its own: ours are the only input-only ones.
    if (standInDisplay != display || ! isInputOnlyWindow (display, standInHolder))
    {
        XSetWindowAttributes unmanaged {};
        unmanaged.override_redirect = True;
        standInHolder = x->xCreateWindow (display, x->xRootWindow (display, x->xDefaultScreen (display)), -10, -10, 1, 1, 0,
                                          CopyFromParent, InputOnly, nullptr, CWOverrideRedirect, &unmanaged);
        standIn = 0;
    }
    if (standInDisplay != display || ! isInputOnlyWindow (display, standIn))
    {
        standInDisplay = display;
        XSetWindowAttributes none {};
        standIn = x->xCreateWindow (display, standInHolder, 0, 0, 1, 1, 0, CopyFromParent, InputOnly, nullptr, 0, &none);
    }
    return standIn;
}

// The top-level window that holds the window: the highest one a window manager
// manages (it has WM_STATE), else the one just below the root; 0 when unknown.
::Window topLevelOf (::Display* display, ::Window window)
{
    auto* x = juce::X11Symbols::getInstance();
    const auto wmState = x->xInternAtom (display, "WM_STATE", True);
    ::Window managed = 0;
    for (auto current = window; current != 0;)
    {
        ::Window root = 0, parent = 0, *kids = nullptr;
        unsigned count = 0;
        if (x->xQueryTree (display, current, &root, &parent, &kids, &count) == 0)
            return 0;
        if (kids != nullptr)
            x->xFree (kids);

        if (wmState != None)
        {
            Atom type = None;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (x->xGetWindowProperty (display, current, wmState, 0, 0, False, AnyPropertyType, &type, &format, &items,
                                       &after, &data) == Success && type != None)
                managed = current;
            if (data != nullptr)
                x->xFree (data);
        }

        if (parent == 0 || parent == root)
            return managed != 0 ? managed : current;
        current = parent;
    }
    return 0;
}
}

void ignoringOwnXErrors (const std::function<void()>& call)
{
    auto* display = ownDisplay();
    if (display == nullptr || trapDepth > 0)
    {
        call();
        return;
    }

    auto* x = juce::X11Symbols::getInstance();
    const auto sync = [x, display]
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        x->xSync (display, False);
    };
    sync();   // earlier requests' errors go where they belong
    trappedDisplay = display;
    previousHandler = x->xSetErrorHandler (onXError);
    ++trapDepth;
    call();
    sync();   // this call's errors arrive while trapped
    --trapDepth;
    // Put back what was there, unless a host thread changed the handler
    // meanwhile: then theirs stays, or a trap of theirs would end with ours
    // (or the one they had taken out) left in for good.
    const auto current = x->xSetErrorHandler (previousHandler);
    if (current != onXError)
        x->xSetErrorHandler (current);
    trappedDisplay = nullptr;
}

WindowState windowState (const juce::Component& component)
{
    auto* peer = component.getPeer();
    auto* display = ownDisplay();
    const auto window = peer != nullptr ? (::Window) (juce::pointer_sized_uint) peer->getNativeHandle() : 0;
    if (display == nullptr || window == 0)
        return component.isShowing() ? WindowState::onScreen : WindowState::hidden;

    XWindowAttributes attributes {};
    bool known = false;
    trapped = false;
    ignoringOwnXErrors ([&]
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        known = juce::X11Symbols::getInstance()->xGetWindowAttributes (display, window, &attributes) != 0;
    });

    if (! known || trapped)
        return WindowState::gone;
    return component.isShowing() && attributes.map_state == IsViewable ? WindowState::onScreen : WindowState::hidden;
}

void keepAboveOwner (juce::Component& window, const juce::Component& owner)
{
    auto* peer = window.getPeer();
    auto* ownerPeer = owner.getPeer();
    auto* display = ownDisplay();
    if (peer == nullptr || display == nullptr)
        return;

    const auto handle = (::Window) (juce::pointer_sized_uint) peer->getNativeHandle();
    const auto ownerHandle = ownerPeer != nullptr ? (::Window) (juce::pointer_sized_uint) ownerPeer->getNativeHandle() : 0;
    const auto title = window.getName().toStdString();

    ignoringOwnXErrors ([&]
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        auto* x = juce::X11Symbols::getInstance();

        // The toolkit sets WM_NAME only.
        const auto netName = x->xInternAtom (display, "_NET_WM_NAME", False);
        const auto utf8 = x->xInternAtom (display, "UTF8_STRING", False);
        x->xChangeProperty (display, handle, netName, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*> (title.data()), (int) title.size());

        if (const auto top = ownerHandle != 0 ? topLevelOf (display, ownerHandle) : (::Window) 0; top != 0 && top != handle)
            x->xChangeProperty (display, handle, XA_WM_TRANSIENT_FOR, XA_WINDOW, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*> (&top), 1);
    });
}
namespace
{
::Window hostWindowOf (::Display* display, ::Window window)
{
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (juce::X11Symbols::getInstance()->xQueryTree (display, window, &root, &parent, &children, &count) == 0)
        return 0;
    if (children != nullptr)
        juce::X11Symbols::getInstance()->xFree (children);
    return parent != root ? parent : 0;
}
}

void lendHostStandIn (const juce::Component& component)
{
    auto* peer = component.getPeer();
    auto* display = ownDisplay();
    if (peer == nullptr || display == nullptr)
        return;

    const auto window = (::Window) (juce::pointer_sized_uint) peer->getNativeHandle();
    ignoringOwnXErrors ([&]
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        auto* x = juce::X11Symbols::getInstance();
        const auto lent = standInWindow (display);
        // In and straight out again: the host hears of it, and its window never holds it.
        if (const auto host = hostWindowOf (display, window))
        {
            x->xReparentWindow (display, lent, host, 0, 0);
            x->xReparentWindow (display, lent, standInHolder, 0, 0);
        }
    });
}

void dispatchQueuedXEvents()
{
    auto* display = ownDisplay();
    if (display == nullptr)
        return;

    auto* x = juce::X11Symbols::getInstance();
    int queued = 0, connection = -1;
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        queued = x->xEventsQueued (display, QueuedAlready);
        connection = x->xConnectionNumber (display);
    }
    if (queued > 0)
        juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (connection);
}
#else
void lendHostStandIn (const juce::Component&) {}
void keepAboveOwner (juce::Component&, const juce::Component&) {}
void dispatchQueuedXEvents() {}
void ignoringOwnXErrors (const std::function<void()>& call)   { call(); }
WindowState windowState (const juce::Component& c)           { return c.isShowing() ? WindowState::onScreen : WindowState::hidden; }
#endif

void releaseOrphanedPresses (juce::ComponentPeer& peer)
{
    for (auto& source : juce::Desktop::getInstance().getMouseSources())
    {
        if (! source.isDragging() || source.getComponentUnderMouse() != nullptr)
            continue;

        // Outside the window: the release reaches no component, and the next press is a first one.
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys::currentModifiers.withoutMouseButtons();
        peer.handleMouseEvent (source.getType(), { -1.0f, -1.0f }, juce::ModifierKeys::currentModifiers,
                               source.getCurrentPressure(), source.getCurrentOrientation(), juce::Time::currentTimeMillis());
    }
}
