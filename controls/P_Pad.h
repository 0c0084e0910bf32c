#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

// The X/Y pad of the SLIDERS section: up and down drive slider 1, left and
// right slider 2. The lines show the engine's values, whoever moved them.
class P_Pad : public juce::Component,
              public juce::ChangeBroadcaster
{
public:
    explicit P_Pad (MidiCntrState* engine);

    void setScale (float z)   { zoom = z; repaint(); }
    void setXY (int value1025, int value1026);

    void paint (juce::Graphics&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    MidiCntrState* engine;
    int vertical = 0, horizontal = 0;
    float zoom = 1.0f;
    juce::Image picture;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (P_Pad)
};
