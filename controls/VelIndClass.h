#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

// The note-velocity bar of the keyboard panel; the value is the engine's
// keyboard velocity.
class VelIndClass : public juce::Component
{
public:
    explicit VelIndClass (MidiCntrState* engine);

    void setVelocity (int v);
    int getVelocity() const noexcept   { return velocity; }
    void setScale (float z)            { zoom = z; repaint(); }

    int designX = 0, designY = 0, designW = 70, designH = 118;   // kept for the keyboard panel

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;

private:
    MidiCntrState* engine;
    bool dragging = false;
    float zoom = 1.0f;
    int velocity = -1;   // none yet: the keyboard's own
    juce::Image numberBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelIndClass)
};
