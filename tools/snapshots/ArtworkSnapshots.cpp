#include "Snapshots.h"
#include "controls/Artwork.h"

namespace
{
// Pictures laid out on the panel colour, enlarged so their pixels can be judged.
class ArtworkSheet : public juce::Component
{
public:
    struct Item { const char* name; juce::Rectangle<int> source; };

    ArtworkSheet (std::vector<Item> itemsToShow, float scaleToUse, int columnsToUse)
        : items (std::move (itemsToShow)), scale (scaleToUse), columns (columnsToUse)
    {
        int x = 8, y = 8, rowHeight = 0, column = 0;
        for (auto& item : items)
        {
            if (item.source.isEmpty())
                item.source = Artwork::get (item.name).getBounds();
            const auto size = (item.source.getWidth() * scale) + 0.5f;
            const int w = (int) size, h = (int) (item.source.getHeight() * scale + 0.5f);
            if (column == columns)
            {
                x = 8; y += rowHeight + 8; rowHeight = 0; column = 0;
            }
            places.push_back ({ x, y, w, h });
            x += w + 8;
            rowHeight = juce::jmax (rowHeight, h);
            ++column;
            width = juce::jmax (width, x);
        }
        setSize (width, y + rowHeight + 8);
    }

    void paint (juce::Graphics& g) override
    {
        g.fillAll (juce::Colour (0xff1b1d20));
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        for (size_t i = 0; i < items.size(); ++i)
        {
            const auto& s = items[i].source;
            const auto& p = places[i];
            g.drawImage (Artwork::get (items[i].name), p.getX(), p.getY(), p.getWidth(), p.getHeight(),
                         s.getX(), s.getY(), s.getWidth(), s.getHeight());
        }
    }

private:
    std::vector<Item> items;
    std::vector<juce::Rectangle<int>> places;
    float scale;
    int columns, width = 0;
};

std::unique_ptr<juce::Component> sheet (std::vector<ArtworkSheet::Item> items, float scale, int columns)
{
    return std::make_unique<ArtworkSheet> (std::move (items), scale, columns);
}
}

using namespace Artwork;

VANTOR_SNAPSHOT ("artwork-knobs", 0, 0, [] {
    std::vector<ArtworkSheet::Item> items { { knobBack0, {} }, { knobBack1, {} }, { knobBack2, {} } };
    for (int n : { 0, 7, 15, 30, 45, 60 })
        items.push_back ({ knobStrip, { knobFrameX (n), 0, 56, 56 } });
    for (int n : { 0, 27, 54 })
        items.push_back ({ globalKnobStrip, { 58 * n, 0, 56, 56 } });
    return sheet (items, 3.0f, 6);
})

VANTOR_SNAPSHOT ("artwork-small", 0, 0, [] {
    return sheet ({ { led, {} }, { switchLed, {} }, { checkOn, {} }, { checkOff, {} }, { checkPressed, {} },
                    { dropArrow, {} }, { gridThumb, {} }, { numberBox, {} }, { shapeBack, {} }, { closeBox, {} },
                    { windowTools, {} }, { cornerHandle, {} }, { listThumb, {} }, { dropFrame, {} },
                    { categoryButton, {} }, { libButtonEnd, {} } }, 4.0f, 6);
})

VANTOR_SNAPSHOT ("artwork-medium", 0, 0, [] {
    return sheet ({ { lcdBack, {} }, { dropBar, {} }, { envBack, {} }, { envOverlay, {} }, { scrollBar, {} },
                    { libButton, {} }, { keyboardBar, {} }, { touchStrip, {} }, { xyPad, {} },
                    { whiteKeyUp, {} }, { whiteKeyDown, {} }, { blackKeyUp, {} }, { blackKeyDown, {} },
                    { wheelWell, {} }, { wheelStrip, { 0, 0, 55, 200 } }, { wheelStrip, { 54 * 17, 0, 55, 200 } },
                    { wheelStrip, { 54 * 34, 0, 55, 200 } } }, 2.0f, 4);
})

VANTOR_SNAPSHOT ("artwork-keys", 0, 0, [] {
    return sheet ({ { miniKeys, {} }, { zoneKeys, {} } }, 3.0f, 1);
})

VANTOR_SNAPSHOT ("artwork-large", 0, 0, [] {
    return sheet ({ { splash, {} }, { aboutLower, {} }, { modelWord, {} }, { modelNumber, {} } }, 1.0f, 2);
})
