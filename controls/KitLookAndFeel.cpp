#include "controls/KitLookAndFeel.h"
#include "controls/KitFonts.h"
#include "controls/PaintCache.h"

KitLookAndFeel::KitLookAndFeel()
{
    setColour (juce::PopupMenu::backgroundColourId, juce::Colour (0xff000000));
    setColour (juce::PopupMenu::textColourId, juce::Colour (0xffffffff));
    setColour (juce::PopupMenu::headerTextColourId, juce::Colour (0xffffffff));
    setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0xff808080));
    setColour (juce::PopupMenu::highlightedTextColourId, juce::Colour (0xffffffff));
}

bool KitLookAndFeel::isMappedName (const juce::String& typefaceName)
{
    return typefaceName.equalsIgnoreCase ("Arial")
        || typefaceName == juce::Font::getDefaultSansSerifFontName()
        || typefaceName.equalsIgnoreCase ("Liberation Sans");
}

juce::Typeface::Ptr KitLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    if (isMappedName (font.getTypefaceName()))
        return kitTypeface (font.isBold());

    return LookAndFeel_V2::getTypefaceForFont (font);
}

juce::Font KitLookAndFeel::getPopupMenuFont()
{
    return kitFont (15.0f);
}

juce::Font KitLookAndFeel::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return kitFont (juce::jmin (15.0f, (float) buttonHeight * 0.6f));
}

juce::Font KitLookAndFeel::getLabelFont (juce::Label& label)
{
    const auto& font = label.getFont();
    return isMappedName (font.getTypefaceName()) ? kitFont (font.getHeight(), font.getStyleFlags()) : font;
}

void KitLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& colour,
                                           bool over, bool down)
{
    const int w = button.getWidth(), h = button.getHeight();

    // Everything the glass depends on.
    const auto flags = (juce::uint64) ((over ? 1 : 0) | (down ? 2 : 0) | (button.isEnabled() ? 4 : 0)
                                       | (button.hasKeyboardFocus (true) ? 8 : 0) | (button.isConnectedOnLeft() ? 16 : 0) | (button.isConnectedOnRight() ? 32 : 0)
                                       | (button.isConnectedOnTop() ? 64 : 0) | (button.isConnectedOnBottom() ? 128 : 0));
    PaintCache::Key key;
    key.kind = 0x62747567;   // button
    key.number1 = ((juce::uint64) colour.getARGB() << 32) | flags;

    g.setOpacity (1.0f);
    PaintCache::drawPicture (g, key, { 0, 0, w, h }, false, [&] (juce::Graphics& pg)
    {
        LookAndFeel_V2::drawButtonBackground (pg, button, colour, over, down);
    });
}

juce::Font KitLookAndFeel::getComboBoxFont (juce::ComboBox& box)
{
    return kitFont (juce::jmin (15.0f, (float) box.getHeight() * 0.85f));
}

namespace
{
struct SharedKitLook : public juce::DeletedAtShutdown
{
    ~SharedKitLook() override { clearSingletonInstance(); }

    KitLookAndFeel look;

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (SharedKitLook)
};

JUCE_IMPLEMENT_SINGLETON (SharedKitLook)
}

KitLookAndFeel& KitLookAndFeel::shared()
{
    return SharedKitLook::getInstance()->look;
}

KitDefaultLook::Installed::Installed()
    : previous (&juce::LookAndFeel::getDefaultLookAndFeel())
{
    juce::LookAndFeel::setDefaultLookAndFeel (&look);
    juce::Typeface::clearTypefaceCache();   // "Arial" may have been looked up before
}

KitDefaultLook::Installed::~Installed()
{
    juce::LookAndFeel::setDefaultLookAndFeel (previous.get());
    juce::Typeface::clearTypefaceCache();
}
