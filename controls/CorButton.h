#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The zoom handle in the editor's corner: shows the zoom percentage and, when
// its right part is dragged, reports the size the user pulls the editor to.
class CorButton : public juce::Component,
                  public juce::ChangeBroadcaster
{
public:
    enum Code { dragStarted = 320, dragging = 321, dragEnded = 322 };
    static constexpr int armed = 99, idle = 97;
    static constexpr int handleStart = 39;   // only the part right of this drags

    CorButton();

    int changeCode = 0;
    int reportedWidth = 0, reportedHeight = 0;
    int baseWidth = 0, baseHeight = 0;   // written by the owner on every resize
    int percent = 100;                   // written by the owner after a zoom

    void paint (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    int downX = 0, downY = 0;
    int lastWidth = 0, lastHeight = 0;
    int dx = 0, dy = 0;
    int state = idle;
    juce::Image image;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorButton)
};
