#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "editor/WindowOnScreen.h"

bool isWindowOnScreen (const juce::Component& component)
{
    if (! component.isShowing())
        return false;

   #if JUCE_LINUX || JUCE_BSD
    auto* peer = component.getPeer();
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    if (peer == nullptr || windowSystem == nullptr || windowSystem->getDisplay() == nullptr)
        return true;

    const auto window = (::Window) (juce::pointer_sized_uint) peer->getNativeHandle();
    if (window == 0)
        return true;

    XWindowAttributes attributes {};
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        if (juce::X11Symbols::getInstance()->xGetWindowAttributes (windowSystem->getDisplay(), window, &attributes) == 0)
            return false;
    }
    return attributes.map_state == IsViewable;
   #else
    return true;
   #endif
}
