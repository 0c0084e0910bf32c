#include "controls/RenameCnt.h"
#include "controls/KitFonts.h"
#include "controls/TextEntry.h"

RenameCnt::RenameCnt (int x, int y, const juce::String& initialText)
{
    setBounds (x, y, 180, 50);

    addAndMakeVisible (editor);
    editor.setBounds (0, 0, 180, 24);
    editor.setMultiLine (false);
    editor.setReadOnly (false);
    editor.setScrollbarsShown (false);
    editor.setCaretVisible (true);
    // The embedded face: a system lookup of a font by name can come back empty
    // in a host (no ascent: the line sits low and loses its descenders).
    editor.setFont (kitFont (14.0f));
    editor.setColour (juce::TextEditor::highlightColourId, juce::Colour (0x40FFFFFF));
    editor.setSelectAllWhenFocused (true);
    editor.setInputRestrictions (maxLength);
    editor.setText (initialText.substring (0, maxLength), false);
    // Return and Escape answer as the buttons do (the owner may delete us then).
    TextEntry::setUp (editor, [this] { ok.click(); }, [this] { cancel.click(); });

    addAndMakeVisible (cancel);
    cancel.setBoundsAndStyle (0, 26, 50, 18, true);
    addAndMakeVisible (ok);
    ok.setBoundsAndStyle (130, 26, 50, 18, true);
}

void RenameCnt::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xFF221414));
}
