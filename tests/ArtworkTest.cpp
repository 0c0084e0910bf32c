#include <gtest/gtest.h>
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "controls/KitLookAndFeel.h"

TEST (Artwork, EveryPictureIsEmbeddedAtItsSize)
{
    for (const auto& entry : Artwork::entries)
    {
        const auto image = Artwork::get (entry.name);
        ASSERT_TRUE (image.isValid()) << entry.name;
        EXPECT_EQ (image.getWidth(), entry.width) << entry.name;
        EXPECT_EQ (image.getHeight(), entry.height) << entry.name;
    }

    EXPECT_FALSE (Artwork::get ("no_such_picture.png").isValid());
    EXPECT_FALSE (Artwork::get (nullptr).isValid());
}

TEST (KitFont, ArialAndTheKitFontMeasureAlike)
{
    // tests/main makes KitLookAndFeel the default, as the editor root does for its tree.
    const juce::String text ("Osc 1 Shape Mod 127");

    for (int style : { (int) juce::Font::plain, (int) juce::Font::bold })
    {
        const auto kit = kitFont (14.0f, style);
        const juce::Font arial ("Arial", 14.0f, style);
        EXPECT_EQ (kit.getTypefaceName(), "Liberation Sans");
        EXPECT_FLOAT_EQ (kit.getStringWidthFloat (text), arial.getStringWidthFloat (text)) << style;
    }

    EXPECT_GT (kitFont (14.0f, juce::Font::bold).getStringWidthFloat (text), kitFont (14.0f).getStringWidthFloat (text));
}

TEST (KitFont, ArialIsTheEmbeddedFaceWhileAnEditorHoldsTheDefaultLook)
{
    auto& before = juce::LookAndFeel::getDefaultLookAndFeel();
    const auto arial = [] { return juce::Font ("Arial", 13.0f, juce::Font::plain).getTypefacePtr(); };

    juce::LookAndFeel_V4 plain;
    juce::LookAndFeel::setDefaultLookAndFeel (&plain);
    juce::Typeface::clearTypefaceCache();
    EXPECT_NE (arial(), kitTypeface (false));

    {
        auto first = std::make_unique<KitDefaultLook>();
        KitDefaultLook second;                       // two editors open
        EXPECT_EQ (arial(), kitTypeface (false));
        first.reset();                               // one closes: still mapped
        EXPECT_EQ (arial(), kitTypeface (false));
        EXPECT_EQ (juce::Font ("Arial", 13.0f, juce::Font::bold).getTypefacePtr(), kitTypeface (true));
    }

    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &plain);   // the last one out restores
    juce::LookAndFeel::setDefaultLookAndFeel (&before);
    juce::Typeface::clearTypefaceCache();
}
