#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include "editor/KeyPlayClass.h"

class MidiCntrState;
class OctaveKeyClass;
class WheelCnt;
class VelIndClass;
class PianoPad;

// The strip below the editor page from which the user plays the synthesizer:
// key bed, wheels, velocity bar, start-octave selector and the computer-keyboard
// player. Dragged up and down by its top strip; a finished drag is broadcast.
class KeyBrd : public juce::Component,
               public juce::ChangeListener,
               public KeyPlayListener,
               public juce::ChangeBroadcaster
{
public:
    explicit KeyBrd (MidiCntrState* engine);
    ~KeyBrd() override;

    void setZoom (float zoom, int y, int width, int height);
    float getZoom() const noexcept                       { return zoom; }

    void setStatusText (const juce::String& text);
    const juce::String& getStatusText() const noexcept   { return statusText; }
    void setModWheel (int v);
    void setPitchWheel (int v);
    int getModWheel() const;
    int getPitchWheel() const;

    PianoPad& keyBed() noexcept                          { return *pad; }
    KeyPlayClass& player() noexcept                      { return *keyPlayer; }

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseMove (const juce::MouseEvent&) override;

    void changeListenerCallback (juce::ChangeBroadcaster*) override {}
    void keyPlayMouseDown (int x, int y) override;
    void keyPlayMouseUp (int x, int y) override;
    void keyPlayMouseDrag (int x, int y) override;

private:
    juce::Rectangle<int> statusArea() const;
    void dragTo (int pointerY);

    MidiCntrState* engine;
    float zoom = 1.0f;
    std::unique_ptr<OctaveKeyClass> octave;
    std::unique_ptr<WheelCnt> modWheel, pitchWheel;
    juce::String statusText { "OFF-LINE" };
    std::unique_ptr<KeyPlayClass> keyPlayer;
    std::unique_ptr<VelIndClass> velocity;
    std::unique_ptr<PianoPad> pad;
    juce::Image wheelWell;
    int downY = 0;
    bool dragging = false;
    juce::Image topBar;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyBrd)
};
