#include "librarian/Plugin_Bank.h"
#include "controls/KitFonts.h"
#include "controls/UiSeam.h"
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/VantorAudioProcessor.h"

namespace
{
struct ButtonSpec { const char* text; int id; const char* help; };

const ButtonSpec buttonSpecs[] =
{
    { "LOAD",        Plugin_Bank::loadId,       "Load preset or preset bank from files." },
    { "SAVE",        Plugin_Bank::saveId,       "Save th current preset or preset bank." },
    { "APPLY",       Plugin_Bank::applyId,      "Apply the current preset from the preset bank." },
    { "RENAME",      Plugin_Bank::renameId,     "Rename the current preset." },
    { "SET CURRENT", Plugin_Bank::setCurrentId, "Import current preset to the preset bank." },
    { "DONE",        Plugin_Bank::doneId,       "" },
};

constexpr int numSlots = VantorAudioProcessor::numPrograms;
// Far above a bank chunk: anything this large is not one and is not read.
constexpr juce::int64 largestChunkFile = 1 << 20;

int recordCategory (const Bank_Program& bank, int slot)
{
    const auto bytes = bank.programBytes (slot);
    return (int) bytes.size() > ProgramRecord::category ? bytes[(size_t) ProgramRecord::category] : 0;
}
}

Plugin_Bank::Plugin_Bank (VantorAudioProcessor& p)
    : processor (p), list (p, "presets")
{
    list.addListener (this);
    list.rowHeight = 34;
    list.numberHeight = 14.0f;
    list.nameHeight = 15.0f;
    list.categoryHeight = 12.0f;
    list.setRows (numSlots);
    addAndMakeVisible (list);

    for (auto& spec : buttonSpecs)
    {
        auto* b = buttons.add (new LibBut (spec.text, spec.id, 12.0f));
        b->helpText = spec.help;
        addChildComponent (b);
        b->addListener (this);
    }

    setSize (500, 600);
    updateButtons();

    helpLine.setFont (kitFont (15.0f));
    helpLine.setJustificationType (juce::Justification::centredLeft);
    helpLine.setEditable (false);
    helpLine.setColour (juce::Label::textColourId, juce::Colour (0xffcebdbd));
    addAndMakeVisible (helpLine);
    resized();
}

Plugin_Bank::~Plugin_Bank()
{
    list.removeListener (this);
}

LibBut& Plugin_Bank::getButton (int id)
{
    for (auto* b : buttons)
        if (b->getId() == id)
            return *b;

    jassertfalse;
    return *buttons.getLast();
}

juce::String Plugin_Bank::presetFileName (const juce::String& presetName)
{
    // No separators, and no leading dots that would make "..", "." or a hidden file.
    auto legal = juce::File::createLegalFileName (presetName.trimEnd())
                     .trimCharactersAtStart (". ").trimEnd();
    return legal.isEmpty() ? juce::String ("Untitled") : legal;
}

//==============================================================================
void Plugin_Bank::updateButtons()
{
    const auto show = [this] (int id, bool visible)
    {
        auto& b = getButton (id);
        if (b.isVisible() != visible)
            b.setVisible (visible);
    };

    show (loadId, true);
    show (setCurrentId, true);
    show (doneId, true);
    show (saveId, list.getNumRows() > 0);
    show (renameId, list.hasSelection());
    show (applyId, false);
}

void Plugin_Bank::close()
{
    requestedClose = closeCode;
    sendChangeMessage();
}

void Plugin_Bank::showMenu (const juce::PopupMenu& menu, LibBut& at, std::function<void (int)> apply)
{
    juce::Component::SafePointer<Plugin_Bank> self (this);
    UiSeam::showMenu (menu, &at, [self, apply] (int id)
    {
        if (self != nullptr && id > 0)
            apply (id);
    });
}

juce::PopupMenu Plugin_Bank::buildLoadMenu() const
{
    juce::PopupMenu menu;
    menu.addItem (presetFileItem, "Load Single Preset File");
    menu.addItem (bankFileItem, "Load Preset Bank File");
    menu.addSeparator();
    menu.addItem (programBankItem, "Load Program Bank From File");

    auto& engine = processor.getEngine();
    const juce::ScopedLock sl (engine.getProgramLock());
    for (int i = 0; i < 8; ++i)
    {
        if (i % 4 == 0)
            menu.addSeparator();
        menu.addItem (deviceBankItem + i, "Load From " + engine.deviceBank (i).getName());
    }
    return menu;
}

void Plugin_Bank::applyLoadChoice (int id)
{
    if (id == presetFileItem || id == bankFileItem)
        loadChunkFile (id == bankFileItem);
    else if (id == programBankItem)
        loadProgramBankFile();
    else if (id >= deviceBankItem && id < deviceBankItem + 8)
    {
        list.copyBank (processor.getEngine().deviceBank (id - deviceBankItem), numSlots);
        presetsReplaced (numSlots);
    }

    list.repaint();
    updateButtons();
}

juce::PopupMenu Plugin_Bank::buildSaveMenu() const
{
    auto& engine = processor.getEngine();
    const int current = juce::jmax (0, engine.getCurrentPreset());

    juce::PopupMenu menu;
    menu.addItem (savePresetItem, "Save " + processor.getProgramName (current).trimEnd() + " Preset as");
    menu.addItem (saveBankItem, "Save Preset Bank as");
    return menu;
}

void Plugin_Bank::applySaveChoice (int id)
{
    if (id == savePresetItem)
        saveCurrentPreset();
    else if (id == saveBankItem)
        savePresetBank();
}

//==============================================================================
// The slots changed under the current program: the edit buffer follows (so the
// next host save does not write the old program back) and the host rereads the names.
void Plugin_Bank::presetsReplaced (int count)
{
    auto& engine = processor.getEngine();
    if (juce::jmax (0, engine.getCurrentPreset()) < count)
        engine.loadCurrentPreset();

    processor.tellHostProgramsChanged();
}

// Through the host's entry point, but our own choice: the host hears of it.
void Plugin_Bank::choosePreset (int slot)
{
    {
        const MidiCntrState::OwnChange ours;
        processor.setCurrentProgram (slot);
    }
    processor.tellHostProgramsChanged();
}

void Plugin_Bank::loadChunkFile (bool wholeBank)
{
    FileMan spec;
    spec.dialogSpec (wholeBank ? FileMan::openPresetBank : FileMan::openPreset);
    juce::Component::SafePointer<Plugin_Bank> self (this);

    UiSeam::chooseFile (false, spec.getTitle(), {}, spec.getPatterns().joinIntoString (";"),
                        [self, wholeBank] (juce::File chosen)
    {
        if (self == nullptr || chosen == juce::File() || ! self->chosenFileExists (chosen))
            return;

        const auto read = FileMan::readChosenFile (chosen, largestChunkFile);
        const juce::MemoryBlock data (read.bytes.data(), read.bytes.size());
        auto& proc = self->processor;

        if (read.refusal == FileMan::Refusal::notRegular)
        {
            self->showNotice (chosen.getFileName() + " is not a regular file: nothing was loaded.");
            return;
        }

        if (read.refusal == FileMan::Refusal::tooLarge)
        {
            self->showNotice (chosen.getFileName() + (wholeBank ? " is too large to be a preset bank file: nothing was loaded."
                                                                : " is too large to be a preset file: nothing was loaded."));
            return;
        }

        if (read.refusal != FileMan::Refusal::none
            || ! (wholeBank ? VantorAudioProcessor::isBankChunk (data.getData(), data.getSize())
                            : VantorAudioProcessor::isProgramChunk (data.getData(), data.getSize())))
        {
            self->showNotice (chosen.getFileName() + (wholeBank ? " is not a preset bank file." : " is not a preset file."));
            return;
        }

        // The host's entry points, for a change of ours: the host hears of it.
        const MidiCntrState::OwnChange ours;
        if (wholeBank)
        {
            proc.setStateInformation (data.getData(), (int) data.getSize());
            // A chunk without the edited program leaves the edit buffer behind.
            if (data.getSize() < (size_t) VantorAudioProcessor::bankChunkSize)
                proc.getEngine().loadCurrentPreset();
        }
        else
        {
            proc.setCurrentProgramStateInformation (data.getData(), (int) data.getSize());
        }

        proc.tellHostProgramsChanged();
        self->list.repaint();
        self->updateButtons();
    });
}

void Plugin_Bank::loadProgramBankFile()
{
    FileMan spec;
    spec.dialogSpec (FileMan::openProgramBank);
    juce::Component::SafePointer<Plugin_Bank> self (this);

    UiSeam::chooseFile (false, spec.getTitle(), {}, spec.getPatterns().joinIntoString (";"), [self] (juce::File chosen)
    {
        if (self == nullptr || chosen == juce::File() || ! self->chosenFileExists (chosen))
            return;

        FileMan reader;
        if (! reader.loadProgramBank (chosen))
        {
            self->showNotice (reader.wasTooLarge()    ? chosen.getFileName() + " is too large to be a program bank file: nothing was loaded."
                              : reader.wasNotRegular() ? chosen.getFileName() + " is not a regular file: nothing was loaded."
                                                       : "No program found in " + chosen.getFileName() + ": the preset bank is unchanged.");
            return;
        }

        // Each dump goes to the slot its program number names, so a damaged one moves no other.
        Bank_Program scratch ("file");
        Bank_Program::SlotMarks filled {};
        const int n = scratch.loadFromBankFile (reader.getFileData(), &filled);
        if (n == 0)
        {
            self->showNotice ("No program found in " + chosen.getFileName() + ": the preset bank is unchanged.");
            return;
        }
        self->list.copySlots (scratch, filled);
        auto& engine = self->processor.getEngine();
        if (filled[(size_t) juce::jlimit (0, numSlots - 1, engine.getCurrentPreset())])
            engine.loadCurrentPreset();
        self->processor.tellHostProgramsChanged();
        const auto held = (int) (reader.getFileData().size() / ProgramRecord::programDumpSize);
        if (held != numSlots)
            self->showNotice ("Loaded " + juce::String (n) + " of " + juce::String (held) + " programs from "
                              + chosen.getFileName() + ".");
        self->list.repaint();
        self->updateButtons();
    });
}

// A folder, or a name that is gone, is said so rather than ignored.
bool Plugin_Bank::chosenFileExists (const juce::File& chosen)
{
    if (chosen.existsAsFile())
        return true;

    showNotice (chosen.getFileName() + (chosen.isDirectory() ? " is a folder, not a file: nothing was loaded."
                                                               : " does not exist: nothing was loaded."));
    return false;
}

void Plugin_Bank::saveCurrentPreset()
{
    auto& engine = processor.getEngine();
    if (engine.getCurrentPreset() < 0)
        engine.setCurrentPreset (0);

    saveChunk (false, presetFileName (processor.getProgramName (engine.getCurrentPreset())));
}

void Plugin_Bank::savePresetBank()
{
    saveChunk (true, "Prophet 12 Preset Bank");
}

void Plugin_Bank::saveChunk (bool wholeBank, const juce::String& proposedName)
{
    juce::Component::SafePointer<Plugin_Bank> self (this);

    UiSeam::chooseSaveFile (wholeBank ? FileMan::savePresetBank : FileMan::savePreset,
                            FileMan::settingsFolder().getChildFile (proposedName), askReplace(),
                            [self, wholeBank] (juce::File chosen)
    {
        if (self == nullptr || chosen == juce::File())
            return;

        juce::MemoryBlock block;
        if (wholeBank)
            self->processor.getStateInformation (block);
        else
            self->processor.getCurrentProgramStateInformation (block);

        const auto* begin = static_cast<const juce::uint8*> (block.getData());
        if (! MidiCntrState::writeWholeFile (ByteArray (begin, begin + block.getSize()), chosen))
            self->showNotice ("Could not write " + chosen.getFullPathName() + ".");
    });
}

//==============================================================================
void Plugin_Bank::showEntryBox()
{
    if (textBox == nullptr)
    {
        textBox = std::make_unique<TextInputCont>();
        addChildComponent (*textBox);
        textBox->addListener (this);
    }

    pendingReplace = nullptr;
    textBox->setBounds (getLocalBounds());
    textBox->setVisible (true);
    textBox->toFront (true);
}

void Plugin_Bank::showNotice (const juce::String& message)
{
    showEntryBox();
    textBox->getEditor().setVisible (false);
    textBox->setup (message, {}, {}, "OK", {}, -1, noticeCommand, 0);
}

// A save's "replace this file?" in the page's own box.
UiSeam::ReplaceQuestion Plugin_Bank::askReplace()
{
    juce::Component::SafePointer<Plugin_Bank> self (this);
    // The box's one line has no room for the folder: the chooser just showed it.
    return [self] (juce::String question, juce::String, std::function<void (bool)> answer)
    {
        if (self == nullptr)
            return;
        self->showEntryBox();
        self->textBox->getEditor().setVisible (false);
        self->textBox->setup (question + " The file already exists.", {}, "CANCEL", "REPLACE", {}, -1, replaceCommand, 0);
        self->pendingReplace = std::move (answer);
    };
}

void Plugin_Bank::answerReplace (bool replace)
{
    hideBox (textBox.get());
    // The save may show a notice in the box: take the answer out first.
    auto answer = std::move (pendingReplace);
    pendingReplace = nullptr;
    if (answer)
        answer (replace);
}

void Plugin_Bank::hideBox (juce::Component* box)
{
    if (box == nullptr)
        return;

    box->setVisible (false);
    box->setBounds (-100, -100, 50, 50);
}

void Plugin_Bank::beginRename()
{
    if (! list.hasSelection())
        return;

    const int p = list.getSelectedSlot();
    juce::String name;
    int category = 0;
    {
        auto& engine = processor.getEngine();
        const juce::ScopedLock sl (engine.getProgramLock());
        name = engine.presetBank().programName (p);
        category = recordCategory (engine.presetBank(), p);
    }

    showEntryBox();
    textBox->getEditor().setVisible (true);
    textBox->setup ("Rename " + name.trimEnd() + ":", name.trimEnd(), "CANCEL", "OK", {}, category, renameId, p);
}

void Plugin_Bank::renamePreset (int p)
{
    if (textBox == nullptr || ! juce::isPositiveAndBelow (p, numSlots))
        return;

    const auto text = textBox->getText();
    const int category = textBox->getCategory();
    auto& engine = processor.getEngine();
    const bool current = p == juce::jmax (0, engine.getCurrentPreset());

    {
        const juce::ScopedLock sl (engine.getProgramLock());
        auto& bank = engine.presetBank();
        if (text.isNotEmpty())
            bank.renameProgram (p, text);

        if (category >= 0)
        {
            auto record = bank.programBlock (p);
            if (record.getSize() > (size_t) ProgramRecord::category)
            {
                record[ProgramRecord::category] = (char) category;
                bank.setProgramBytes (p, record);
            }
        }

        // The edit buffer is the current slot as the host will save it: give it the same name and category.
        if (current)
        {
            DSI_Program program;
            program.setParams (bank.editBufferBytes());
            if (text.isNotEmpty())
                program.setName (text);
            bank.setEditBuffer (program.getParams());
            if (category >= 0)
                bank.setEditBufferByte (ProgramRecord::category, (juce::uint8) category);
        }
    }

    if (current)
        engine.editBufferReplaced();

    processor.tellHostProgramsChanged();
    list.repaint();
    updateButtons();
}

void Plugin_Bank::showSetCurrent()
{
    if (nameBox == nullptr)
    {
        nameBox = std::make_unique<TextSetCurCont> (processor);
        addChildComponent (*nameBox);
        nameBox->addListener (this);
    }

    nameBox->getEditor().setVisible (true);
    nameBox->setBounds (getLocalBounds());
    nameBox->setVisible (true);
    nameBox->toFront (true);
    nameBox->prepare();
}

void Plugin_Bank::nameAccepted (int slot)
{
    hideBox (nameBox.get());
    if (nameBox == nullptr || ! juce::isPositiveAndBelow (slot, numSlots))
        return;

    auto& engine = processor.getEngine();
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        DSI_Program program;
        program.setParams (engine.presetBank().editBufferBytes());
        program.setName (nameBox->getEditor().getText());
        const auto& bytes = program.getParams();
        engine.presetBank().setProgramBytes (slot, juce::MemoryBlock (bytes.data(), bytes.size()));
    }

    choosePreset (slot);
    list.repaint();
    updateButtons();
}

void Plugin_Bank::nameCancelled()
{
    hideBox (nameBox.get());
}

//==============================================================================
void Plugin_Bank::libButClicked (LibBut*, int id)
{
    switch (id)
    {
        case doneId:
        case TextSetCurCont::cancelId:   close(); break;
        case renameId:                   beginRename(); break;
        case applyId:
            if (list.hasSelection())
            {
                choosePreset (list.getSelectedSlot());
            }
            break;
        case saveId:                     showMenu (buildSaveMenu(), getButton (saveId), [this] (int c) { applySaveChoice (c); }); break;
        case loadId:                     showMenu (buildLoadMenu(), getButton (loadId), [this] (int c) { applyLoadChoice (c); }); break;
        case setCurrentId:               showSetCurrent(); break;
        default:                         break;
    }
}

void Plugin_Bank::libButEntered (LibBut* source, int)
{
    if (source != nullptr)
        helpLine.setText (source->helpText, juce::dontSendNotification);
}

void Plugin_Bank::libButExited (LibBut*, int)
{
    helpLine.setText ({}, juce::dontSendNotification);
}

void Plugin_Bank::okPressed (int commandId, int value)
{
    if (commandId == doneId)
    {
        close();
        return;
    }

    if (commandId == replaceCommand)
    {
        answerReplace (true);
        return;
    }

    hideBox (textBox.get());
    if (commandId == renameId)
        renamePreset (value);
}

void Plugin_Bank::noPressed (int commandId, int)
{
    if (commandId == doneId)
        close();
    else if (commandId == replaceCommand)
        answerReplace (false);
    else
        hideBox (textBox.get());
}

void Plugin_Bank::cancelPressed (int commandId, int)
{
    if (commandId == replaceCommand)
        answerReplace (false);
    else
        hideBox (textBox.get());
}

void Plugin_Bank::presetSelected (int, int)
{
    updateButtons();
    if (list.hasSelection())
    {
        choosePreset (list.getSelectedSlot());
    }
}

void Plugin_Bank::presetDoubleClicked (int, int)
{
    // As a click on DONE: its other listener (the window) closes too.
    auto& done = getButton (doneId);
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent e (source, juce::Point<float>(), juce::ModifierKeys(), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                              &done, &done, now, juce::Point<float>(), now, 1, false);
    done.mouseDown (e);
}

//==============================================================================
void Plugin_Bank::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff373535));
    g.setColour (juce::Colour (0xff0a0a0a));
    g.fillRect (0, 4, getWidth(), 2);
}

void Plugin_Bank::resized()
{
    const int w = getWidth(), h = getHeight();
    list.scrollBarX = 302;
    list.setBounds (20, 10, 334, list.rowHeight * 15);

    getButton (loadId).setTopLeft (w - 120, 10);
    getButton (saveId).setTopLeft (w - 120, 50);
    getButton (applyId).setTopLeft (-(w - 120), h - 90);
    getButton (renameId).setTopLeft (w - 120, h - 130);
    getButton (setCurrentId).setTopLeft (w - 120, h - 170);
    getButton (doneId).setTopLeft (w - 120, h - 40);
    updateButtons();
    helpLine.setBounds (400, h - 30, 400, 24);

    for (juce::Component* box : { (juce::Component*) textBox.get(), (juce::Component*) nameBox.get() })
        if (box != nullptr && box->isVisible())
            box->setBounds (getLocalBounds());
}
