#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The 217x46 program display: bank/program, name, category, layer mode and arp
// marker. A click on one of its zones is broadcast; the owner reads getClickedZone().
class LCD_Comp : public juce::Component,
                 public juce::ChangeBroadcaster
{
public:
    enum Zone { noZone = 0, bankProgramZone = 1, nameZone = 2, categoryZone = 3 };

    LCD_Comp();

    void setAll (int bank, int program, int category, const juce::String& programName,
                 const juce::String& categoryText, const juce::String& layerModeLabel,
                 const juce::String& arpMarker);
    void setBankProgram (int bank, int program);
    void setField (int category, const juce::String& text);

    int getClickedZone() const noexcept           { return clickedZone; }
    int getBank() const noexcept                  { return bank; }
    int getProgram() const noexcept               { return program; }
    int getCategory() const noexcept              { return category; }
    const juce::String& getBankProgramText() const noexcept { return bankProgramText; }
    const juce::String& getProgramName() const noexcept     { return programName; }
    const juce::String& getCategoryText() const noexcept    { return categoryText; }

    // "U1 P 5", "F2 P 99"; empty when bank or program is out of range (no program).
    static juce::String bankProgramLine (int bank, int program);

    // The zone at a point in the display's pixels, or noZone.
    static int zoneAt (int x, int y) noexcept;

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    juce::String programName, bankProgramText, categoryText, arpMarker, layerModeLabel;
    int program = 0, bank = 0, category = 0;
    int clickedZone = noZone;
    juce::Image glass;   // 240x62, drawn scaled to 217x46 over black

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LCD_Comp)
};
