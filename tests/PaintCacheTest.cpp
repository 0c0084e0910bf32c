#include <gtest/gtest.h>
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "controls/KitLookAndFeel.h"
#include "controls/PaintCache.h"
#include "controls/ShapeClass.h"
#include "controls/StsBut.h"
#include "controls/StsCont.h"
#include "editor/GroupClass.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

namespace
{
const juce::Colour ground (0xFF1A1B1E);

juce::Image canvas (int w = 160, int h = 80)
{
    juce::Image image (juce::Image::RGB, w, h, true);
    juce::Graphics (image).fillAll (ground);
    return image;
}

// The largest difference of any colour channel between two same-sized pictures.
int largestDifference (const juce::Image& a, const juce::Image& b)
{
    int worst = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            worst = juce::jmax (worst, std::abs (p.getRed() - q.getRed()), std::abs (p.getGreen() - q.getGreen()),
                                std::abs (p.getBlue() - q.getBlue()));
        }
    return worst;
}

// Blending a kept picture rounds once more than drawing in place: a level or two, never more.
constexpr int roundingLevels = 2;
}

TEST (PaintCache, KeptTextLooksAsTextDrawnInPlace)
{
    struct Case { const char* text; juce::Rectangle<int> area; juce::Justification justification; float height; bool ellipses; };
    const Case cases[] = {
        { "Osc 1 Pitch",                   { 10, 20, 70, 40 },  juce::Justification::centred,     12.0f, false },
        { "FM Amt",                        { 3, 7, 60, 20 },    juce::Justification::left,        8.76f, false },
        { "A much too long label here",    { 5, 5, 50, 14 },    juce::Justification::centredLeft, 12.0f, true },
        { "A much too long label here",    { 5, 5, 50, 14 },    juce::Justification::right,       12.0f, false },
        { "Tall",                          { 40, 30, 30, 4 },   juce::Justification::centred,     16.0f, false },
        { "Jig",                           { -6, 60, 30, 30 },  juce::Justification::centred,     11.0f, false },
    };

    for (const auto& c : cases)
    {
        const auto font = kitFont (c.height);
        auto direct = canvas();
        {
            juce::Graphics g (direct);
            g.setFont (font);
            g.setColour (juce::Colours::white);
            g.drawText (c.text, c.area, c.justification, c.ellipses);
        }

        // First drawn and kept, then blitted from the store.
        for (int pass = 0; pass < 2; ++pass)
        {
            auto kept = canvas();
            juce::Graphics g (kept);
            PaintCache::drawText (g, c.text, c.area, c.justification, font, juce::Colours::white, c.ellipses);
            EXPECT_LE (largestDifference (direct, kept), roundingLevels) << c.text << " pass " << pass;
        }
    }
}

TEST (PaintCache, StretchedArtworkLooksAsArtworkDrawnInPlace)
{
    struct Case { const char* name; juce::Rectangle<int> dest, source; float opacity; };
    const Case cases[] = {
        { Artwork::scrollBar,   { 0, 10, 150, 14 }, { 5, 0, 2, 14 },    1.0f },   // a column stretched wide
        { Artwork::lcdBack,     { 3, 2, 120, 31 },  { 0, 0, 240, 62 },   1.0f },   // shrunk
        { Artwork::modelNumber, { 20, 5, 47, 23 },  { 0, 0, 113, 56 },   0.61f },  // shrunk, see-through
        { Artwork::led,         { 7, 9, 20, 12 },   { 20, 0, 20, 12 },   1.0f },   // same size: a plain blit
    };

    for (const auto& c : cases)
    {
        const auto image = Artwork::get (c.name);
        ASSERT_TRUE (image.isValid()) << c.name;
        const auto draw = [&] (bool kept)
        {
            auto out = canvas();
            juce::Graphics g (out);
            g.setOpacity (c.opacity);
            if (kept)
                PaintCache::drawImage (g, image, c.dest.getX(), c.dest.getY(), c.dest.getWidth(), c.dest.getHeight(),
                                       c.source.getX(), c.source.getY(), c.source.getWidth(), c.source.getHeight());
            else
                g.drawImage (image, c.dest.getX(), c.dest.getY(), c.dest.getWidth(), c.dest.getHeight(),
                             c.source.getX(), c.source.getY(), c.source.getWidth(), c.source.getHeight());
            return out;
        };

        const auto direct = draw (false);
        EXPECT_LE (largestDifference (direct, draw (true)), roundingLevels) << c.name;
        EXPECT_LE (largestDifference (direct, draw (true)), roundingLevels) << c.name << " again";
    }
}

TEST (PaintCache, PicturesAreDrawnOncePerKeyAndSizeAndTheStoreStaysBounded)
{
    PaintCache::clear();
    int drawn = 0;
    const auto paint = [&] (juce::uint64 number, juce::String text, juce::Rectangle<int> area)
    {
        auto out = canvas();
        juce::Graphics g (out);
        PaintCache::Key key;
        key.kind = 1;
        key.number1 = number;
        key.text1 = text;
        PaintCache::drawPicture (g, key, area, true, [&] (juce::Graphics& pg) { ++drawn; pg.fillAll (juce::Colours::red); });
        return out;
    };

    paint (1, "a", { 0, 0, 10, 10 });
    paint (1, "a", { 30, 30, 10, 10 });   // moved, same look
    EXPECT_EQ (drawn, 1);
    paint (2, "a", { 0, 0, 10, 10 });
    paint (1, "b", { 0, 0, 10, 10 });
    paint (1, "a", { 0, 0, 11, 10 });
    EXPECT_EQ (drawn, 4);
    EXPECT_EQ (paint (1, "a", { 30, 30, 10, 10 }).getPixelAt (35, 35), juce::Colours::red);
    EXPECT_EQ (PaintCache::numPictures(), 4);

    // Past its bound the store starts afresh rather than growing.
    paint (3, {}, { 0, 0, 2048, 1500 });
    paint (4, {}, { 0, 0, 2048, 1500 });
    EXPECT_EQ (PaintCache::numPictures(), 1);
    paint (1, "a", { 0, 0, 10, 10 });
    EXPECT_EQ (drawn, 7);
}

// A control on a known backdrop paints one opaque picture; it must look as the
// control drawn over that colour, for every kind and after every new value.
TEST (PaintCache, ControlOnABackdropLooksAsOnThePanel)
{
    struct Case { int kind, maximum, width, height; float zoom; };
    const Case cases[] = {
        { StsCont::knob, 127, 70, 64, 1.0f },     { StsCont::knob, 7, 70, 64, 0.73f },
        { StsCont::dropDown, 5, 70, 40, 1.0f },   { StsCont::ledSwitch, 1, 90, 20, 1.0f },
        { StsCont::threeWay, 2, 70, 20, 1.25f },  { StsCont::centredLed, 1, 60, 30, 1.0f },
    };
    ui::RecordingCable cable;

    for (const auto& c : cases)
        for (int value : { 0, 1, 2, c.maximum })
        {
            const auto paint = [&] (bool onBackdrop)
            {
                StsCont control (cable, 0);
                control.zoomFactor = c.zoom;
                control.setup (7, "Label", 0, 16, c.width, c.height, 0, c.maximum, c.kind, 1);
                control.setTopLeftScaled (0, 16);
                control.setValue (value, juce::String (value) + " st");
                control.setBackdrop (onBackdrop ? ground : juce::Colour());

                auto out = canvas (control.getWidth(), control.getHeight());
                juce::Graphics g (out);
                control.paintEntireComponent (g, false);
                return out;
            };

            EXPECT_LE (largestDifference (paint (false), paint (true)), roundingLevels)
                << "kind " << c.kind << " value " << value << " zoom " << c.zoom;
        }
}

// The kept plain picture is copied in tiles: every area, however it meets the
// tiles and the clip, ends up exactly as filled.
TEST (PaintCache, OpaqueFillCoversAsAFill)
{
    struct Case { juce::Rectangle<int> area, clip; };
    const Case cases[] = {
        { { 0, 0, 1300, 700 },   { 0, 0, 1300, 700 } },    // more than one tile each way
        { { 3, 5, 512, 256 },    { 0, 0, 1300, 700 } },    // one tile, off the origin
        { { -40, -30, 900, 600 }, { 100, 90, 700, 500 } },  // starting outside, clipped
        { { 10, 10, 1, 1 },      { 0, 0, 1300, 700 } },
    };
    const juce::Colour colour (0xFF1A1B1E), other (0xFF405060);

    for (const auto& c : cases)
    {
        juce::Image filled (juce::Image::RGB, 1300, 700, true), copied (juce::Image::RGB, 1300, 700, true);
        for (auto* image : { &filled, &copied })
            juce::Graphics (*image).fillAll (other);
        {
            juce::Graphics g (filled);
            g.reduceClipRegion (c.clip);
            g.setColour (colour);
            g.fillRect (c.area);
        }
        {
            juce::Graphics g (copied);
            g.reduceClipRegion (c.clip);
            PaintCache::fillOpaque (g, c.area, colour);
        }
        EXPECT_EQ (largestDifference (filled, copied), 0) << c.area.toString() << " in " << c.clip.toString();
    }
}

// Glass buttons and shape icons on a backdrop paint one picture too: in every
// state a button can show, and for a fresh icon and drawn shapes at two zooms.
TEST (PaintCache, ButtonsAndShapeIconsOnABackdropLookAsOnThePanel)
{
    struct ButtonCase { int style; juce::Button::ButtonState state; bool on; };
    const ButtonCase buttons[] = {
        { StsBut::functionButton, juce::Button::buttonNormal, false }, { StsBut::functionButton, juce::Button::buttonOver, false },
        { StsBut::sectionTab,     juce::Button::buttonDown,   false }, { StsBut::sectionTab,     juce::Button::buttonNormal, true },
    };

    for (const auto& b : buttons)
    {
        const auto paint = [&] (bool onBackdrop)
        {
            StsBut button ("FEEDBACK", 5, b.style);
            button.setLookAndFeel (&KitLookAndFeel::shared());
            button.setBoundsAndStyle (0, 0, 59, 16, true);
            button.setBackdrop (onBackdrop ? ground : juce::Colour());
            button.getChildButton()->setToggleState (b.on, juce::dontSendNotification);
            button.getChildButton()->setState (b.state);
            EXPECT_EQ (button.isOpaque(), onBackdrop);

            auto out = canvas (59, 16);
            juce::Graphics g (out);
            button.paintEntireComponent (g, false);
            button.setLookAndFeel (nullptr);
            return out;
        };

        EXPECT_LE (largestDifference (paint (false), paint (true)), roundingLevels)
            << "style " << b.style << " state " << (int) b.state << " on " << b.on;
    }

    for (float zoom : { 1.0f, 0.73f })
        for (int shape : { -1, 0, 3, 10, 18 })
        {
            const auto paint = [&] (bool onBackdrop)
            {
                ShapeClass icon (nullptr, 30);
                icon.setScale (zoom);
                if (shape >= 0)
                {
                    icon.shapeIndex = shape;
                    icon.widthValue = 90;
                    icon.renderShape();
                }
                icon.setBackdrop (onBackdrop ? ground : juce::Colour());

                auto out = canvas (icon.getWidth(), icon.getHeight());
                juce::Graphics g (out);
                icon.paintEntireComponent (g, false);
                return out;
            };

            EXPECT_LE (largestDifference (paint (false), paint (true)), roundingLevels) << "shape " << shape << " zoom " << zoom;
        }
}

TEST (PaintCache, PanelsGiveABackdropOnlyWherePlainPanelLiesBeneath)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };

    for (int section : { 1, 3, 15 })
    {
        GroupClass panel (processor, section, 0);
        panel.setScale (1.0f);
        EXPECT_FALSE (panel.getControl (0)->getBackdrop().isOpaque()) << "not shown yet, section " << section;

        panel.setShown (true);
        for (int i = 0; i < panel.getNumControls(); ++i)
        {
            const auto& c = *panel.getControl (i);
            const bool plain = section != 15 && c.getY() >= 16;
            EXPECT_EQ (c.getBackdrop().isOpaque(), plain) << "section " << section << " control " << i;
        }
    }
}
