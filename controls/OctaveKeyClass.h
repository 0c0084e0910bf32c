#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

// The start-octave selector of the keyboard panel: a picture of all 128 notes
// with the 65 playable ones left bright.
class OctaveKeyClass : public juce::Component,
                       public juce::ChangeBroadcaster
{
public:
    explicit OctaveKeyClass (MidiCntrState* engine);

    static int noteToPixel (int note) noexcept;
    static int pixelToNote (float x) noexcept;

    void setStartNote (int note);
    int getStartNote() const noexcept   { return startNote; }
    void setScale (float zoom, int width);

    static constexpr int span = 65;

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;

private:
    void pick (int x);

    MidiCntrState* engine;
    float zoom = 1.0f;
    int startNote = 0;
    juce::Image picture;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OctaveKeyClass)
};
