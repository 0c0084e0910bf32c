#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The oscillator-shape icon of a section panel: a 32x17 picture of the shape
// given by its index and width, redrawn by renderShape.
class ShapeClass : public juce::Component
{
public:
    ShapeClass (juce::Component* owner, int y);

    int widthValue = 0;   // the shape's modulation value, 0..127
    int shapeIndex = 0;

    void setScale (float zoom);
    void renderShape();

    const juce::Image& getShapePicture() const noexcept   { return shape; }

    // On a known plain colour the icon paints as one opaque picture.
    void setBackdrop (juce::Colour);

    void paint (juce::Graphics&) override;

private:
    juce::Image background;
    float zoom = 1.0f;
    int designX = 214, designY;
    juce::Image shape;
    int shownIndex = -1, shownWidth = 0;   // of the shape picture; -1 while none is drawn
    juce::Colour backdrop;

    void showShape (int index, int width);
    static void drawShape (juce::Graphics&, int index, int width);
    void paintLayers (juce::Graphics&) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ShapeClass)
};
