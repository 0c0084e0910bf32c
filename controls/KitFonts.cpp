#include "controls/KitFonts.h"
#include "FontBinaryData.h"

namespace
{
// Made once per process (from any thread) and released with the framework at shutdown, so a
// plug-in unload leaves nothing behind.
class KitTypefaces : public juce::DeletedAtShutdown
{
public:
    KitTypefaces()
        : regular (juce::Typeface::createSystemTypefaceFor (FontBinaryData::LiberationSansRegular_ttf,
                                                            (size_t) FontBinaryData::LiberationSansRegular_ttfSize)),
          bold (juce::Typeface::createSystemTypefaceFor (FontBinaryData::LiberationSansBold_ttf,
                                                         (size_t) FontBinaryData::LiberationSansBold_ttfSize))
    {
    }

    ~KitTypefaces() override { clearSingletonInstance(); }

    juce::Typeface::Ptr regular, bold;

    JUCE_DECLARE_SINGLETON (KitTypefaces, false)
};

JUCE_IMPLEMENT_SINGLETON (KitTypefaces)
}

juce::Typeface::Ptr kitTypeface (bool bold)
{
    auto* faces = KitTypefaces::getInstance();
    return bold ? faces->bold : faces->regular;
}

juce::Font kitFont (float height, int styleFlags)
{
    return juce::Font (kitTypeface ((styleFlags & juce::Font::bold) != 0)).withHeight (height);
}
