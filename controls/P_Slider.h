#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

// One of the two touch strips of the SLIDERS section: the vertical position is
// the strip's slider, the distance right of the strip its pressure. The values
// live in the engine; the strip only shows and sends them.
class P_Slider : public juce::Component,
                 public juce::ChangeBroadcaster
{
public:
    P_Slider (MidiCntrState* engine, int which);

    void setScale (float z)   { zoom = z; repaint(); }

    void setPositionPressure (int position, int pressure);   // sends
    void setDisplay (int position, int pressure);            // shows only

    int positionId() const noexcept;
    int latchId() const noexcept;

    // Square k (0 = bottom) of a column is lit above this value.
    static int litThreshold (int k) noexcept;

    void paint (juce::Graphics&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    MidiCntrState* engine;
    int which;
    float zoom = 1.0f;
    juce::Image picture;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (P_Slider)
};
