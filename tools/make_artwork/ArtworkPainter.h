#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The drawing behind every picture of controls/Artwork.h.
class ArtworkPainter
{
public:
    explicit ArtworkPainter (const juce::File& fontFolder);

    bool fontsLoaded() const noexcept { return regular != nullptr && bold != nullptr; }

    juce::Image draw (const juce::String& name, int width, int height) const;

private:
    juce::Font font (float height, bool isBold = false) const;

    juce::Typeface::Ptr regular, bold;
};
