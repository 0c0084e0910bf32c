#include "controls/LCD_Comp.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "controls/PaintCache.h"
#include "engine/ProgramRecord.h"

LCD_Comp::LCD_Comp()
{
    setSize (217, 46);

    glass = Artwork::get (Artwork::lcdBack);
}

juce::String LCD_Comp::bankProgramLine (int bank, int program)
{
    // Bank -1 means no program: "U0 P 0" would name a slot that does not exist.
    if (bank < 0 || bank >= ProgramRecord::numDeviceBanks || program < 0 || program >= ProgramRecord::programsPerBank)
        return {};

    return ProgramRecord::slotLabel (bank, program);
}

void LCD_Comp::setAll (int newBank, int newProgram, int newCategory, const juce::String& newName,
                       const juce::String& newCategoryText, const juce::String& newLayerModeLabel,
                       const juce::String& newArpMarker)
{
    category = newCategory;
    programName = newName;
    categoryText = newCategoryText;
    layerModeLabel = newLayerModeLabel;
    arpMarker = newArpMarker;
    setBankProgram (newBank, newProgram);
}

void LCD_Comp::setBankProgram (int newBank, int newProgram)
{
    bank = newBank;
    program = newProgram;
    bankProgramText = bankProgramLine (bank, program);
    repaint();
}

void LCD_Comp::setField (int newCategory, const juce::String& text)
{
    category = newCategory;
    categoryText = text;
    repaint();
}

int LCD_Comp::zoneAt (int x, int y) noexcept
{
    // Order matters: the category area overlaps the bank/program line and wins.
    if (26 < y && y < 38 && 9 < x && x < 179)  return nameZone;
    if (5 < y && y < 18 && 76 < x && x < 184)  return categoryZone;
    if (4 < y && y < 18 && 9 < x && x < 113)   return bankProgramZone;
    return noZone;
}

void LCD_Comp::paint (juce::Graphics& g)
{
    // The display never zooms: the glass is scaled once per process, not per repaint.
    PaintCache::Key key;
    key.kind = 0x6c636467;   // display glass
    PaintCache::drawPicture (g, key, { 0, 0, 217, 46 }, true, [this] (juce::Graphics& pg)
    {
        pg.fillAll (juce::Colour (0xff000000));
        if (glass.isValid())
            pg.drawImage (glass, 0, 0, 217, 46, 0, 0, 240, 62);
    });

    const juce::Colour text (0xffdddddd);
    PaintCache::drawText (g, bankProgramText, { 9, 4, 104, 14 }, juce::Justification::left, kitFont (14.0f), text, true);
    PaintCache::drawText (g, programName, { 9, 26, 170, 12 }, juce::Justification::left, kitFont (16.0f), text, true);
    PaintCache::drawText (g, categoryText, { 76, 5, 131, 13 }, juce::Justification::right, kitFont (12.0f), text, true);
    PaintCache::drawText (g, layerModeLabel, { 156, 26, 30, 12 }, juce::Justification::centred, kitFont (12.0f), juce::Colour (0xffffc2a6), true);
    PaintCache::drawText (g, arpMarker, { 190, 26, 20, 12 }, juce::Justification::centred, kitFont (12.0f), juce::Colour (0xffff5e5e), true);
}

void LCD_Comp::mouseDown (const juce::MouseEvent& e)
{
    const int zone = zoneAt (e.x, e.y);
    if (zone == noZone)
        return;

    clickedZone = zone;
    sendChangeMessage();
}
