#include "controls/ShapeClass.h"
#include "controls/Artwork.h"
#include "controls/PaintCache.h"

namespace
{
// The wavy trace of the noise-like shapes, one y per picture column.
constexpr int waveRow[32] = { 9, 8, 7, 7, 8, 8, 9, 9, 8, 7, 6, 5, 5, 6, 7, 8,
                              9, 10, 11, 12, 13, 13, 12, 11, 10, 9, 9, 10, 10, 11, 11, 10 };
}

ShapeClass::ShapeClass (juce::Component*, int y)
    : background (Artwork::get (Artwork::shapeBack)), designY (y)
{
    showShape (-1, 0);   // black until a shape is asked for
    setBounds (designX, designY, 36, 21);
}

void ShapeClass::setScale (float z)
{
    zoom = z;
    setBounds ((int) ((float) designX * z), (int) ((float) designY * z), (int) (36 * z), (int) (21 * z));
}

// Every icon of every opening shows one of a few pictures: each is drawn once.
void ShapeClass::renderShape()
{
    showShape (shapeIndex, widthValue);
}

void ShapeClass::showShape (int index, int width)
{
    PaintCache::Key key;
    key.kind = 0x73687065;   // oscillator shape
    key.number1 = (juce::uint64) (juce::uint32) index | ((juce::uint64) (juce::uint32) width << 32);
    shape = PaintCache::picture (key, 32, 17, true, [=] (juce::Graphics& g) { drawShape (g, index, width); });
    shownIndex = index;
    shownWidth = width;
}

void ShapeClass::drawShape (juce::Graphics& g, int index, int width)
{
    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colour (0xFFE1E1E1));

    const float w = (float) width;
    auto line = [&g] (float x1, float y1, float x2, float y2) { g.drawLine (x1, y1, x2, y2, 2.0f); };

    switch (index)
    {
        case 0:
            line (0, 8, 32, 8);
            break;

        case 1:
        {
            const float f = w * 0.125f;
            line (0, 17, f, 0);
            line (f, 0, f, 17);
            line (f, 17, 32, 0);
            line (32, 0, 32, 17);
            break;
        }

        case 2:
        {
            const float f = w * 32.0f / 127.0f;
            line (0, 0, 0, 8);
            line (0, 0, f, 0);
            line (f, 0, f, 17);
            line (f, 17, 32, 17);
            line (32, 8, 32, 17);
            break;
        }

        case 3:
        {
            const float gw = w * 32.0f / 127.0f;
            const float h = (float) (int) ((32.0f - gw) / 2.0f + gw);
            line (0, 8, gw / 2, 0);
            line (gw / 2, 0, gw, 8);
            line (gw, 8, h, 17);
            line (h, 17, 32, 8);
            break;
        }

        default:
            if (index >= 4 && index <= 16)
            {
                for (int x = 0; x < 32; ++x)
                {
                    const float shift = x < 16 ? -w * 0.01f : w * 0.01f;
                    const int y = (int) ((float) waveRow[x] + shift);
                    g.fillRect (x, y, 1, 1);
                    g.fillRect (x, y + 1, 1, 1);
                }
            }
            else if (index >= 17 && index <= 19)
            {
                float left, right;
                if (width > 64)
                {
                    const float d = (w - 64.0f) * 0.125f;
                    left = 5.0f + d;
                    right = 13.0f - d;
                }
                else
                {
                    const float a = w * 0.0625f;
                    left = 9.0f - a;
                    right = 9.0f + a;
                }

                juce::Path p;
                p.startNewSubPath (0, 16);
                p.lineTo (0, left);
                p.lineTo (31, right);
                p.lineTo (31, 16);
                p.closeSubPath();
                g.fillPath (p);
            }
            break;
    }
}

void ShapeClass::setBackdrop (juce::Colour colour)
{
    if (colour == backdrop)
        return;

    backdrop = colour;
    setPaintingIsUnclipped (backdrop.isOpaque());   // its picture covers its bounds
    repaint();
}

void ShapeClass::paint (juce::Graphics& g)
{
    if (! backdrop.isOpaque())
    {
        paintLayers (g);
        return;
    }

    PaintCache::Key key;
    key.kind = 0x73686963;   // shape icon
    key.number1 = (juce::uint64) backdrop.getARGB() | ((juce::uint64) PaintCache::floatBits (zoom) << 32);
    key.number2 = (juce::uint64) (juce::uint32) shownIndex | ((juce::uint64) (juce::uint32) shownWidth << 32);

    PaintCache::drawPicture (g, key, getLocalBounds(), true, [this] (juce::Graphics& pg)
    {
        pg.fillAll (backdrop);
        paintLayers (pg);
    });
}

void ShapeClass::paintLayers (juce::Graphics& g) const
{
    g.setColour (juce::Colours::black);
    g.drawImage (background, 0, 0, (int) (36 * zoom), (int) (21 * zoom), 0, 0, 36, 21);
    g.drawImage (shape, 2, 2, (int) (32 * zoom), (int) (17 * zoom), 0, 0, 32, 17);
}
