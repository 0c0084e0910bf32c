#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#if __has_include("controls/Artwork.h")
 #include "controls/Artwork.h"
 #define VANTOR_HAVE_ARTWORK 1
#endif

// The kit's pictures by file name. Until a picture exists in the embedded
// artwork, a plain panel of the stated size stands in for it (TEMPORARY
// STAND-IN, drawn here), so layout and hit-testing are already right.
namespace StandInArt
{
inline juce::Image standIn (int w, int h)
{
    juce::Image img (juce::Image::ARGB, juce::jmax (1, w), juce::jmax (1, h), true);
    juce::Graphics g (img);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF3A3D40), 0.0f, 0.0f,
                                             juce::Colour (0xFF1E2022), 0.0f, (float) h, false));
    g.fillAll();
    g.setColour (juce::Colour (0xFF5A5E62));
    g.drawRect (0, 0, w, h);
    return img;
}

inline juce::Image get (const char* name, int w, int h)
{
   #if VANTOR_HAVE_ARTWORK
    auto img = Artwork::get (name);
    if (img.isValid() && img.getWidth() >= w && img.getHeight() >= h)
        return img;
   #else
    juce::ignoreUnused (name);
   #endif
    return standIn (w, h);
}
}
