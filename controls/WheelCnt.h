#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

// The pitch wheel (springs back to the centre) or the modulation wheel of the
// keyboard panel. Both send straight to the device; the modulation wheel also
// into the host's MIDI.
class WheelCnt : public juce::Component,
                 public juce::ChangeBroadcaster
{
public:
    WheelCnt (MidiCntrState* engine, int unused1, int unused2, int initialValue, bool spring);

    void setValue (int v, bool send);
    void setScale (float zoom);
    void setDesignBounds (float x, float y, float w, float h);

    int getValue() const noexcept   { return (int) value; }

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;

private:
    MidiCntrState* engine;
    float zoom = 1.0f;
    float value = -1.0f;   // nothing shown yet, so the first setValue always stores
    static constexpr float framesPerUnit = 34.0f / 127.0f;
    int frame = 0;
    float minimum = 0.0f, maximum = 127.0f;
    bool spring;
    float designX = 0, designY = 0, designW = 31, designH = 112;
    juce::Image sprite;
    int dragStartY = 0, dragStartValue = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WheelCnt)
};
