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

int onXError (::Display* display, XErrorEvent* event)
{
    if (display == trappedDisplay)
    {
        trapped = true;
        return 0;
    }
    return previousHandler != nullptr ? previousHandler (display, event) : 0;
}

::Display* ownDisplay()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    return windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;
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
    x->xSync (display, False);   // earlier requests' errors go where they belong
    trappedDisplay = display;
    previousHandler = x->xSetErrorHandler (onXError);
    ++trapDepth;
    call();
    x->xSync (display, False);   // this call's errors arrive while trapped
    --trapDepth;
    x->xSetErrorHandler (previousHandler);
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
