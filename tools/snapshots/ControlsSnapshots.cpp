#include "Snapshots.h"
#include "controls/GroupImg.h"
#include "controls/LCD_Comp.h"
#include "controls/StsResor.h"

namespace
{
std::unique_ptr<juce::Component> lcd (int bank, int program, const char* name, const char* category,
                                      const char* layer, const char* arp)
{
    auto c = std::make_unique<LCD_Comp>();
    c->setAll (bank, program, 0, name, category, layer, arp);
    return c;
}

// A row of knobs of one style at several frames, drawn as a parameter control would.
class KnobRow : public juce::Component
{
public:
    explicit KnobRow (int styleToUse) : style (styleToUse) {}

    void paint (juce::Graphics& g) override
    {
        g.fillAll (juce::Colour (0xff141414));
        const int frames[] = { 0, 7, 15, 30, 45, 55, 60 };
        for (int i = 0; i < 7; ++i)
        {
            juce::Graphics::ScopedSaveState save (g);
            g.setOrigin (i * 80, 4);
            resources->drawKnob (g, 80, frames[i], style, 1.0f);
        }
    }

private:
    int style;
    juce::SharedResourcePointer<StsResor> resources;
};

// A panel with an overlay shown over its right half.
class OverlayDemo : public juce::Component
{
public:
    OverlayDemo() : overlay (juce::Colour (0x77000000))
    {
        addAndMakeVisible (lcd);
        lcd.setTopLeftPosition (10, 10);
        lcd.setAll (0, 4, 1, "Glass Keys", "Keys", "A | B", "(A)");
        addChildComponent (overlay);
        overlay.show (0);
    }

    void resized() override { overlay.setBounds (getWidth() / 2, 0, getWidth() / 2, getHeight()); }
    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xff2a2d30)); }

private:
    LCD_Comp lcd;
    GroupImg overlay;
};
}

VANTOR_SNAPSHOT ("lcd-empty", 0, 0, [] { return std::make_unique<LCD_Comp>(); })
VANTOR_SNAPSHOT ("lcd-user", 0, 0, [] { return lcd (0, 4, "Glass Keys", "Keys", "NOR", ""); })
VANTOR_SNAPSHOT ("lcd-factory-full", 0, 0, [] { return lcd (7, 98, "Wide Evolving Pad", "Evolution", "A | B", "(A)"); })
VANTOR_SNAPSHOT ("lcd-long-texts", 0, 0, [] { return lcd (3, 0, "WWWWWWWWWWWWWWWW", "- Not Assigned -", "A + B", "(A)"); })
VANTOR_SNAPSHOT ("lcd-no-program", 0, 0, [] { return lcd (-1, 0, "Basic Program", "", "", ""); })
VANTOR_SNAPSHOT ("knobs-style-0", 560, 72, [] { return std::make_unique<KnobRow> (0); })
VANTOR_SNAPSHOT ("knobs-style-1", 560, 72, [] { return std::make_unique<KnobRow> (1); })
VANTOR_SNAPSHOT ("knobs-style-2", 560, 72, [] { return std::make_unique<KnobRow> (2); })
VANTOR_SNAPSHOT ("knobs-style-3", 560, 72, [] { return std::make_unique<KnobRow> (3); })
VANTOR_SNAPSHOT ("group-overlay", 480, 66, [] { return std::make_unique<OverlayDemo>(); })
