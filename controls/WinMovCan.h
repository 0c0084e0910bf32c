#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include "controls/ListenerInterfaces.h"

// The window buttons: minimise, full screen and close (the top bar's strip), or
// the close button alone (the library window). A click reports on release over
// the zone it was pressed in; a listener may delete the strip from its callback.
class WinMovCan : public juce::Component,
                  public ListenerSet<winToolListener>
{
public:
    static constexpr int minimiseCode = 120, fullScreenCode = 121, closeCode = 122;

    WinMovCan (bool threeButtons, bool threeButtonsToo);

    int zoneAt (int x) const noexcept;
    int getHoveredZone() const noexcept;

    void paint (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    bool isStrip() const noexcept       { return modeA && modeB; }
    bool isCloseOnly() const noexcept   { return ! modeA && ! modeB; }
    void report (int code);

    int releaseCode = 0, pressCode = 0;
    juce::Image picture;
    int fullScreenEnd = 37, minimiseEnd = 20;
    bool hoverMinimise = false, hoverFullScreen = false, hoverClose = false;
    bool modeA, modeB;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WinMovCan)
};
