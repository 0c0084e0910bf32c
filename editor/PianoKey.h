#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;
class StsResor;

// One key of the on-screen keyboard; the overlay above the keys presses and
// releases it.
class PianoKey : public juce::Component,
                 public juce::ChangeBroadcaster,
                 private juce::Timer
{
public:
    PianoKey (MidiCntrState* engine, int index, int kind);
    ~PianoKey() override;

    static int velocityForClick (int kind, int y);   // -1: no note

    void press (int y);
    void release();

    bool isPressed() const noexcept          { return pressed; }
    int getSentNote() const noexcept         { return sentNote; }
    int getIndex() const noexcept            { return index; }
    int getKind() const noexcept             { return kind; }

    float upperLeft = 0.0f;   // left edge of the zone above the black keys
    float zoom = 1.0f;

    void paint (juce::Graphics&) override;

private:
    void timerCallback() override;

    MidiCntrState* engine;
    juce::SharedResourcePointer<StsResor> pictures;
    const int index, kind;
    bool shownPressed = false, pressed = false;
    int sentNote = -1, sentChannel = 1, velocity = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoKey)
};
