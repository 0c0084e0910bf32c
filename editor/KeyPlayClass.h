#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <functional>

class MidiCntrState;

// Owners use the player strip as a handle to drag themselves.
class KeyPlayListener
{
public:
    virtual ~KeyPlayListener() = default;
    virtual void keyPlayMouseDown (int x, int y) = 0;
    virtual void keyPlayMouseUp (int x, int y) = 0;
    virtual void keyPlayMouseDrag (int x, int y) = 0;
};

// Plays the synthesizer from the computer keyboard: z s x d c v g b h n j m
// play an octave from a movable base note, o/p move the octave, u/i the
// velocity, space silences everything.
class KeyPlayClass : public juce::Component,
                     private juce::Timer
{
public:
    static constexpr int keyboardPanelOwner = 100, libraryOwner = 101;

    KeyPlayClass (MidiCntrState* engine, int ownerId);
    ~KeyPlayClass() override;

    void addListener (KeyPlayListener*);

    void setStatusText (const juce::String& text);
    const juce::String& getStatusText() const noexcept   { return statusText; }

    static juce::String noteName (int note);

    int getBaseNote() const noexcept                     { return baseNote; }
    int getVelocity() const noexcept                     { return velocity; }
    bool isNoteHeld (int note) const noexcept            { return juce::isPositiveAndBelow (note, 128) && held[(size_t) note] != 0; }

    // Whether a key (upper-case letter code) is down; tests replace it.
    std::function<bool (int keyCode)> isKeyDown;

    juce::Colour backgroundColour { 0x000A0A0A }, textColour { juce::Colours::white };
    float fontHeight = 12.0f;

    bool keyPressed (const juce::KeyPress&) override;
    bool keyStateChanged (bool isKeyDown) override;
    void focusLost (FocusChangeType) override;
    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

    // Stops every note this player started (the owner calls it when it goes away).
    void releaseAll();

private:
    bool handleKey (int c);
    void playNote (int semitone);
    void noteOff (int note);
    void timerCallback() override;

    MidiCntrState* engine;
    const int ownerId;
    juce::ListenerList<KeyPlayListener> listeners;
    int velocity = 100, baseNote = 36;
    juce::String statusText;
    // Per note, the channel (1-16) it was started on, 0 when it does not sound:
    // its note-off goes there even after "Chan" changed.
    std::array<juce::uint8, 128> held {};
    // The note each letter started, so its release stops that note even after
    // the octave moved (-1: none).
    std::array<int, 12> letterNote;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyPlayClass)
};
