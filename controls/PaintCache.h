#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <cstring>
#include <functional>

// Pictures drawn once and kept for the whole process, shared by every editor:
// texts, stretched artwork and composed knobs. Reopening the editor, or
// painting the same label at the same size again, is then one image blit.
// Message thread only. The store is bounded: past its size it starts afresh.
namespace PaintCache
{
// As Graphics::drawText (text, area, justification, useEllipses) in that font
// and colour. Moving a picture by whole pixels leaves its glyphs' anti-aliasing
// as it was, so the result matches drawing the text in place.
void drawText (juce::Graphics&, const juce::String& text, juce::Rectangle<int> area,
               juce::Justification, const juce::Font&, juce::Colour, bool useEllipses = false);

// As Graphics::drawImage (image, dx, dy, dw, dh, sx, sy, sw, sh, false) at the
// current opacity, resampled once per size. Only for images nobody draws into
// (the embedded artwork): the copy is keyed by the image's pixel data.
void drawImage (juce::Graphics&, const juce::Image&, int dx, int dy, int dw, int dh,
                int sx, int sy, int sw, int sh);

// A float's bits, for keys (a zoom factor is part of most pictures' looks).
inline juce::uint32 floatBits (float f) noexcept
{
    juce::uint32 bits;
    std::memcpy (&bits, &f, sizeof (bits));
    return bits;
}

// What a kept picture is drawn from: a kind tag, numbers and texts. Equal keys
// (and sizes) must mean equal pictures.
struct Key
{
    juce::uint32 kind = 0;
    juce::uint64 number1 = 0, number2 = 0;
    juce::String text1, text2;
};

// A picture kept under key: draw paints it in its own coordinates, which are
// the caller's shifted to area's top left, and it is blitted at area's top left
// at the current opacity. An opaque picture must fill all of area; it is kept
// without alpha and copied rather than blended.
void drawPicture (juce::Graphics&, const Key&, juce::Rectangle<int> area, bool opaque,
                  const std::function<void (juce::Graphics&)>& draw);

// The kept picture of that key and size itself, drawn by draw at its origin
// the first time (invalid for an empty size).
juce::Image picture (const Key&, int width, int height, bool opaque,
                     const std::function<void (juce::Graphics&)>& draw);

// Fills area with an opaque colour by copying a kept plain picture: for large
// areas of a colour whose channels differ, a copy is cheaper than a fill.
void fillOpaque (juce::Graphics&, juce::Rectangle<int> area, juce::Colour);

// Keeps these standard mouse cursors for the process: JUCE drops a cursor with
// its last user and reloads it from the cursor theme on the next opening.
void keepCursors (std::initializer_list<juce::MouseCursor::StandardCursorType>);

// Drops every picture (for tests, and for a store grown past its bound).
void clear();
int numPictures();
}
