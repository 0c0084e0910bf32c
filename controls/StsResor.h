#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The shared knob artwork and knob painter, and the key bed pictures. Never
// shown; reach it through juce::SharedResourcePointer<StsResor> so every
// editor of the process shares one set of images.
class StsResor : public juce::Component
{
public:
    static constexpr int numKnobFrames = 61;
    static constexpr int numKnobStyles = 4;   // style 3 has no background

    StsResor();

    // Draws one knob in the calling control's coordinates: w is the control's
    // width, frame 0..60 and style 0..3 are clamped, z is its zoom factor.
    void drawKnob (juce::Graphics&, int controlWidth, int knobFrame, int knobStyle, float zoom) const;

    // Source x of a knob frame in the filmstrip (frame clamped to 0..60).
    static int knobFrameX (int knobFrame) noexcept;

    // Key bed pictures: white 25x152, black 16x100.
    const juce::Image& keyImage (bool black, bool down) const noexcept;

    juce::Image knobStrip;
    juce::Image knobBackground[3];

    // The parameter controls' drop-down pieces and LED, found once for all of them.
    juce::Image dropBar, dropArrow, dropFrame, led;

private:
    void drawKnobLayers (juce::Graphics&, int controlWidth, int knobFrame, int knobStyle, float zoom) const;

    juce::Image whiteUp, whiteDown, blackUp, blackDown;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsResor)
};
