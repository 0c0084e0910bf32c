#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The small split-note keyboard of the folded AB MODE panel: shades one side
// of the split note. A release inside it broadcasts a change.
class ZoneKeyClass : public juce::Component,
                     public juce::ChangeBroadcaster
{
public:
    ZoneKeyClass();

    float zoom = 1.0f;
    int noteCount = 127;
    int splitNote = 0;
    int shadeMode = 0;   // 0 shades right of the note, 1 left, other values nothing

    void paint (juce::Graphics&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    juce::Image picture;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZoneKeyClass)
};
