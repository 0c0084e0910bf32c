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

    const int userBank = ProgramRecord::isUserBank (bank) ? bank : 0;
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
    // (Never zero: an empty area must not divide by it.)
    scale = juce::jlimit (0.1f, 1.0f, juce::jmin ((float) width / (float) (fullWidth - spareLeft),
                                                  (float) height / (float) minHeight));
    const int w = (int) ((float) width / scale), h = (int) ((float) height / scale);   // laid out at full size
    const int left = juce::jlimit (0, spareLeft, fullWidth - w);
    const int g = gridHeightFor (h);

    // The bank buttons end no lower than the grid, so the keyboard panel under
    // the dialog never takes their clicks: first up beside the display, then closer.
    constexpr int buttonHeight = 18, displayTop = 18;
    int top = 80, step = 36;
    const int foot = 74 + g;
    if (top + 3 * step + buttonHeight > foot)
    {
        top = juce::jmax (displayTop, foot - 3 * step - buttonHeight);
        step = juce::jmax (buttonHeight + 2, juce::jmin (step, (foot - top - buttonHeight) / 3));
    }

    for (int i = 0; i < (int) bankButtons.size(); ++i)
        bankButtons[(size_t) i]->setTopLeft (102 - left, top + step * i);
    lcd->setBounds (202 - left, displayTop, 217, 46);
    lcd->setVisible (true);
    grid->setBounds (202 - left, 74, 350, g);
    grid->setVisible (true);
    cancelButton->setTopLeft (582 - left, 74 + g - 54);
    writeButton->setTopLeft (582 - left, 74 + g - 18);
    if (renameBox != nullptr)
        renameBox->setTopLeftPosition (lcd->getX() + 72, lcd->getY() + 10);

    const auto shrink = juce::AffineTransform::scale (scale);
    for (auto* child : getChildren())
        child->setTransform (shrink);

    setBounds (0, y, width, height);
}

void WriteSnd::showBank (int userBank)
{
    if (ProgramRecord::isUserBank (userBank))
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
        renameBox->setTransform (juce::AffineTransform::scale (scale));
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
