#include "editor/WriteSnd.h"
#include "controls/TextEntry.h"
#include "editor/BankComp.h"
#include "engine/MidiCntrState.h"
#include "engine/ParDes.h"

namespace
{
juce::String paddedName (const juce::String& text)
{
    return text.substring (0, 16).paddedRight (' ', 16);
}
}

WriteSnd::WriteSnd (MidiCntrState& e, int bank, int program, const juce::String& programName, int category)
    : engine (e)
{
    setOpaque (true);

    const int userBank = juce::isPositiveAndBelow (bank, 4) ? bank : 0;
    const int slot = juce::jlimit (0, MidiCntrState::programsPerBank - 1, program);
    category = juce::jlimit (0, 25, category);
    name = paddedName (programName);

    for (int i = 0; i < 4; ++i)
    {
        bankButtons.push_back (std::make_unique<StsBut> ("BANK U" + juce::String (i + 1), 0, StsBut::functionButton));
        bankButtons.back()->addListener (this);
    }
    writeButton = std::make_unique<StsBut> ("WRITE", writeId, StsBut::dialogButton);
    cancelButton = std::make_unique<StsBut> ("CANCEL", cancelId, StsBut::dialogButton);

    grid = std::make_unique<StsGrid> (engine);
    grid->addListener (this);
    BankComp::setUpGrid (*grid);
    grid->fill (StsGrid::bankMode, userBank);
    addAndMakeVisible (*grid);

    lcd = std::make_unique<LCD_Comp>();
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        layerMode = engine.deviceBank (userBank).layerModeLabel (slot);
        arp = engine.deviceBank (userBank).arpMarker (slot);
    }
    lcd->setAll (userBank, slot, category, programName.substring (0, 16), ParDes::categoryName (category), layerMode, arp);
    addAndMakeVisible (*lcd);

    for (auto& b : bankButtons)
    {
        b->setBoundsAndStyle (0, 0, 70, 18, true);
        addAndMakeVisible (*b);
    }
    for (auto* b : { cancelButton.get(), writeButton.get() })
    {
        b->setBoundsAndStyle (0, 0, 70, 18, true);
        addAndMakeVisible (*b);
    }
}

WriteSnd::~WriteSnd()
{
    closeRename();
    grid->removeListener (this);
    for (auto& b : bankButtons)
        b->removeListener (this);
}

void WriteSnd::layout (int x, int y, int width, int height)
{
    juce::ignoreUnused (x);
    const int g = gridHeightFor (height);

    for (int i = 0; i < (int) bankButtons.size(); ++i)
        bankButtons[(size_t) i]->setTopLeft (102, 80 + 36 * i);
    lcd->setBounds (202, 18, 217, 46);
    lcd->setVisible (true);
    grid->setBounds (202, 74, 350, g);
    grid->setVisible (true);
    // In a narrow window the buttons move in over the grid's right end, so the dialog can still be answered.
    const int buttonX = juce::jlimit (0, 582, width - 78);
    cancelButton->setTopLeft (buttonX, 74 + g - 54);
    writeButton->setTopLeft (buttonX, 74 + g - 18);

    setBounds (0, y, width, height);
}

void WriteSnd::showBank (int userBank)
{
    if (juce::isPositiveAndBelow (userBank, 4))
    {
        grid->fill (StsGrid::bankMode, userBank);
        grid->repaint();
    }
}

void WriteSnd::showCategory (int category)
{
    if (juce::isPositiveAndBelow (category, 26))
    {
        grid->fill (StsGrid::categoryMode, category);
        grid->repaint();
    }
}

void WriteSnd::openRename (const juce::String& text)
{
    name = paddedName (text);

    // One box at a time: a second click on the name finds the open one.
    if (renameBox == nullptr)
    {
        renameBox = std::make_unique<RenameCnt> (lcd->getX() + 72, lcd->getY() + 10, text.trim());
        addAndMakeVisible (*renameBox);
        renameBox->getOkButton().addListener (this);
        renameBox->getCancelButton().addListener (this);
    }

    renameBox->toFront (false);
    TextEntry::focus (renameBox->getEditor(), true);
}

void WriteSnd::closeRename()
{
    if (renameBox == nullptr)
        return;
    renameBox->getOkButton().removeListener (this);
    renameBox->getCancelButton().removeListener (this);
    renameBox->setVisible (false);
    renameBox.reset();
}

void WriteSnd::setName (const juce::String& text)
{
    name = paddedName (text);
    lcd->setAll (lcd->getBank(), lcd->getProgram(), lcd->getCategory(), text.substring (0, 16),
                 lcd->getCategoryText(), layerMode, arp);
    lcd->repaint();
}

void WriteSnd::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xFF141414));
}

void WriteSnd::stsbutChanged (StsBut* source)
{
    if (renameBox != nullptr)
    {
        if (source == &renameBox->getOkButton())
        {
            const auto text = renameBox->getText();
            closeRename();
            setName (text);
            return;
        }
        if (source == &renameBox->getCancelButton())
        {
            closeRename();
            return;
        }
    }

    for (int i = 0; i < (int) bankButtons.size(); ++i)
        if (source == bankButtons[(size_t) i].get())
            showBank (i);
}

void WriteSnd::gridChanged (StsGrid* source)
{
    // Only user slots are offered; a row of another bank is never a target.
    if (source == grid.get() && juce::isPositiveAndBelow (source->getClickedBank(), 4)
         && Bank_Program::isValidProgram (source->getClickedProgram()))
        lcd->setBankProgram (source->getClickedBank(), source->getClickedProgram());
}
