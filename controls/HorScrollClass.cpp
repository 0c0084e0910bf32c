#include "controls/HorScrollClass.h"
#include "controls/Artwork.h"
#include "controls/PaintCache.h"

HorScrollClass::HorScrollClass()
    : bar (Artwork::get (Artwork::scrollBar))
{
    setSize (40, 14);
}

void HorScrollClass::setPosition (int p)
{
    if (p == position)
        return;

    p = juce::jlimit (0, juce::jmax (0, maximum), p);
    if (p == position)
        return;

    position = p;
    sendChangeMessage();   // posts nothing while no one listens
    repaint();
}

// A bar narrower than its thumb, or a maximum of 0, would give a step of 0 or
// less and a division by it: one pixel per position keeps it usable.
int HorScrollClass::step() const noexcept
{
    if (maximum <= 0)
        return 1;
    return juce::jmax (1, (getWidth() - thumbWidth - 28) / maximum);
}

int HorScrollClass::thumbLeft() const noexcept
{
    return step() * position + 14;
}

void HorScrollClass::paint (juce::Graphics& g)
{
    const int w = getWidth();
    const int tw = juce::jmax (0, w - 28);

    g.setColour (juce::Colours::black);

    if (tw <= 0)
    {
        PaintCache::drawImage (g, bar, 0, 0, w, 14, 5, 0, 2, 14);
        return;
    }

    // The track below covers the middle of the bar: only its ends need drawing.
    {
        const juce::Graphics::ScopedSaveState state (g);
        g.excludeClipRegion ({ 14, 0, tw, 14 });
        PaintCache::drawImage (g, bar, 0, 0, w, 14, 5, 0, 2, 14);
    }

    g.setColour (juce::Colour (0xFF808080));
    g.fillRect (14, 0, tw, 14);
    g.setColour (juce::Colour (0xFF616161));
    g.drawRect (14, 0, tw, 14, 1);

    const int thumbX = maximum > 0 ? (int) ((float) position * (float) (tw - thumbWidth) / (float) maximum) : 0;
    const int tx = 14 + thumbX;
    PaintCache::drawImage (g, bar, tx, 0, thumbWidth, 14, 5, 0, 2, 14);
    g.setColour (juce::Colour (0xFF808080));
    g.fillRect (tx, 0, 1, 14);
}

void HorScrollClass::mouseDown (const juce::MouseEvent& e)
{
    const int x = e.x, w = getWidth(), left = thumbLeft();

    if (x < 14)                         setPosition (position - 1);
    else if (x > w - 14)                setPosition (position + 1);
    else if (x < left)                  setPosition (position - pageStep);
    else if (x > left + thumbWidth)     setPosition (position + pageStep);
}

void HorScrollClass::mouseDrag (const juce::MouseEvent& e)
{
    setPosition ((int) ((float) (e.x - thumbWidth / 2 - 14) / (float) step()));
}
