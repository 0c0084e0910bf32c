#include "LibClass.h"

#include "controls/UiSeam.h"
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/ParDes.h"
#include "engine/SettingsFiles.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/LibraryRecords.h"

namespace
{
struct ButtonSpec
{
    const char* text;
    int id;
    const char* tooltip;
};

const ButtonSpec buttonSpecs[] = {
    { "LOAD",        LibClass::loadId,       "Load Library or Bank Files" },
    { "SAVE",        LibClass::saveId,       "Save Library File" },
    { "CLEAR ALL",   LibClass::clearId,      "Remove all items from Library" },
    { "APPLY",       LibClass::applyId,      "Apply selected program and set as the current program" },
    { "RENAME",      LibClass::renameId,     "Rename selected program in the Library" },
    { "DELETE",      LibClass::deleteId,     "Delete selected program from the Library" },
    { "ADD CURRENT", LibClass::addCurrentId, "Add the current program to the Library" },
    { "DONE",        LibClass::doneId,       "" },
};

int shownCategory (int category)
{
    return category >= 0 && category <= 25 ? category : 0;
}
}

LibClass::LibClass (VantorAudioProcessor& p)
    : processor (p)
{
    origin.file = defaultLibraryFile();

    addChildComponent (list);
    list.addListener (this);
    list.rowHeight = 34;
    list.numberFontHeight = 14;
    list.nameFontHeight = 15;
    list.categoryFontHeight = 12;
    list.textColours = { 0xffaaaaaa, 0xffcccccc, 0xffbbbbbb };
    list.selectedTextColours = { 0xffeeeeee, 0xffffffff, 0xffffffff };
    list.backgroundColour = 0xff373535;
    list.setVisible (true);

    addAndMakeVisible (categoryLabel);

    for (const auto& spec : buttonSpecs)
    {
        auto* b = buttons.add (new LibBut (spec.text, spec.id, 12.0f));
        b->helpText = spec.tooltip;
        addAndMakeVisible (b);
        b->addListener (this);
    }
    getButton (applyId).setVisible (false);

    setSize (500, 600);
    updateButtons();

    addAndMakeVisible (selector);
    selector.addListener (this);
    selector.layoutButtons();
    selector.setBounds (400, 140, 440, 380);
    categoryLabel.setBounds (400, 16, 200, 20);

    helpLine.setFont (juce::Font ("Arial", 15.0f, juce::Font::plain));
    helpLine.setJustificationType (juce::Justification::centredLeft);
    helpLine.setEditable (false);
    helpLine.setColour (juce::Label::textColourId, juce::Colour (0xffcebdbd));
    helpLine.setSize (400, 24);
    addAndMakeVisible (helpLine);
}

LibClass::~LibClass()
{
    const auto stored = storeDefaultLibrary();
    if (stored == LibraryFile::StoreResult::failed)
        processor.getEngine().setLibraryNotice ("The library could not be stored in " + defaultLibraryFile().getFullPathName()
                                                + " when the editor last closed: the changes made to it then are lost.");
    else if (stored == LibraryFile::StoreResult::busy && ! LibraryFile::keepUnstored (list.records(), origin))
        processor.getEngine().setLibraryNotice ("The library was not stored when the editor last closed: another program kept "
                                                + defaultLibraryFile().getParentDirectory().getFullPathName()
                                                + " locked too long. The changes made to it then are lost.");
    list.removeListener (this);
    selector.removeListener (this);
    if (textBox != nullptr)
        textBox->removeListener (this);
}

LibBut& LibClass::getButton (int id)
{
    for (auto* b : buttons)
        if (b->getId() == id)
            return *b;
    return *buttons.getLast();
}

//==============================================================================
juce::File LibClass::defaultLibraryFile()
{
    return FileMan::settingsFolder().getChildFile ("p12Lib.p12l");
}

void LibClass::loadDefaultLibrary()
{
    const auto file = defaultLibraryFile();
    auto contents = LibraryFile::load (file, origin);

    juce::StringArray notices;
    notices.add (processor.getEngine().takeLibraryNotice());

    if (file.isDirectory())
        notices.add (file.getFullPathName() + " is a folder, not a library file: no library was loaded, and none can be stored there.");

    // Changes an earlier close could not store (another program held the folder).
    const int taken = file.isDirectory() ? 0 : LibraryFile::takeUnstored (contents.records, origin);

    if (origin.existed || taken > 0)
    {
        if ((contents.kind == LibraryFile::Contents::Kind::library || taken > 0) && contents.numRecords() > 0)
            list.replaceRecords (std::move (contents.records));

        list.rebuildList (0);
        storedChange = list.getChangeCount();

        if (contents.problem.isNotEmpty())
            notices.add (file.getFileName() + ": " + contents.problem);
    }

    // One try: opening the page does not wait for a holder that may hang; the page's close stores them otherwise.
    if (taken > 0 && LibraryFile::store (list.records(), origin, SettingsFiles::FolderLock::noWait) == LibraryFile::StoreResult::busy)
    {
        storedChange = list.getChangeCount() - 1;
        notices.add ("Library changes made when an editor closed earlier are not stored yet: another program holds "
                     + file.getParentDirectory().getFullPathName() + ". They are kept, and stored when this page closes.");
    }

    notices.removeEmptyStrings();
    if (! notices.isEmpty())
        showNotice (notices.joinIntoString (" "));
}

LibraryFile::StoreResult LibClass::storeDefaultLibrary()
{
    // Only this page's own changes are written; a library it never touched
    // stays as it is on disk, whoever else wrote it.
    if (list.getChangeCount() == storedChange)
        return LibraryFile::StoreResult::nothingWritten;

    const auto result = LibraryFile::store (list.records(), origin);

    if (result != LibraryFile::StoreResult::failed && result != LibraryFile::StoreResult::busy)
        storedChange = list.getChangeCount();

    return result;
}

//==============================================================================
juce::PopupMenu LibClass::buildLoadMenu() const
{
    auto& engine = processor.getEngine();
    juce::PopupMenu menu;
    menu.addItem (libraryFileItem, "From Library File");
    menu.addItem (programBankFileItem, "From Program Bank File");
    menu.addSeparator();
    for (int b = 0; b < 4; ++b)
        menu.addItem (deviceBankItem + b, engine.deviceBank (b).getName());
    menu.addSeparator();
    for (int b = 4; b < 8; ++b)
        menu.addItem (deviceBankItem + b, engine.deviceBank (b).getName());
    menu.addSeparator();
    menu.addItem (presetBankItem, "Import from FX Preset Bank");
    return menu;
}

void LibClass::showLoadMenu()
{
    juce::Component::SafePointer<LibClass> self (this);
    UiSeam::showMenu (buildLoadMenu(), &getButton (loadId), [self] (int id)
    {
        if (self != nullptr)
            self->applyLoadChoice (id);
    });
}

void LibClass::applyLoadChoice (int id)
{
    if (id < 1)
        return;

    auto& engine = processor.getEngine();

    if (id >= deviceBankItem && id < deviceBankItem + ProgramRecord::numDeviceBanks)
        importFrom (engine.deviceBank (id - deviceBankItem));
    else if (id == presetBankItem)
        importFrom (engine.presetBank());
    else if (id == libraryFileItem)
        loadLibraryFile();
    else if (id == programBankFileItem)
        loadProgramBankFile();

    updateButtons();
}

void LibClass::importFrom (const Bank_Program& bank)
{
    ByteArray bytes;
    {
        // The MIDI input thread may be storing a dump into this bank.
        const juce::ScopedLock sl (processor.getEngine().getProgramLock());
        const auto& records = bank.records();
        bytes.assign (records.begin(), records.begin() + (std::ptrdiff_t) ProgramRecord::bankSize);
    }

    list.importRecords (bytes, 0);
    importEnding();
}

void LibClass::loadLibraryFile()
{
    FileMan spec;
    spec.dialogSpec (FileMan::openLibrary);
    juce::Component::SafePointer<LibClass> self (this);

    UiSeam::chooseFile (false, spec.getTitle(), {}, spec.getPatterns().joinIntoString (";"), [self] (juce::File chosen)
    {
        if (self == nullptr)
            return;
        if (chosen == juce::File())
            self->list.clearStaging();
        else
            self->importFile (chosen);
        self->updateButtons();
    });
}

void LibClass::loadProgramBankFile()
{
    FileMan spec;
    spec.dialogSpec (FileMan::openProgramBank);
    juce::Component::SafePointer<LibClass> self (this);
    list.clearStaging();

    UiSeam::chooseFile (false, spec.getTitle(), {}, spec.getPatterns().joinIntoString (";"), [self] (juce::File chosen)
    {
        if (self == nullptr || chosen == juce::File())
            return;
        self->importFile (chosen);
        self->updateButtons();
    });
}

void LibClass::importFile (const juce::File& file)
{
    list.clearStaging();

    // A library may be large; a program bank file larger than any real one is refused unread.
    if (file.getSize() > FileMan::largestProgramFile
        && SettingsFiles::readFileStart (file, (size_t) LibraryFile::tagSize) != LibraryFile::header())
    {
        showNotice (file.getFileName() + ": The file is too large for a program bank file and was not read.");
        return;
    }

    // A library file, or a program bank file with every program it holds;
    // anything else is refused with the reason.
    const auto contents = LibraryFile::read (file);

    if (! contents.accepted())
    {
        showNotice (file.getFileName() + ": " + contents.problem);
        return;
    }

    list.importRecords (contents.records, 0);

    if (list.numStaged() == 0)
        showNotice ("No programs found in " + file.getFileName() + ".");
    else if (contents.problem.isNotEmpty())
        showNotice (file.getFileName() + ": " + contents.problem, noticeThenImport);
    else
        importEnding();
}

void LibClass::importEnding()
{
    if (list.numStaged() == 0)
    {
        showNotice ("No programs found.");
        return;
    }

    if (list.numRecords() > 0)
    {
        askQuestion ("Append Programs?", "YES", "NO", "CANCEL", importQuestion, 5);
    }
    else
    {
        list.commitImport (false);
        updateButtons();
    }
}

void LibClass::saveLibraryAs (std::function<void (bool)> then)
{
    juce::Component::SafePointer<LibClass> self (this);
    const auto start = FileMan::settingsFolder().getChildFile ("Untitled");

    UiSeam::chooseSaveFile (FileMan::saveLibrary, start, askReplace(), [self, then] (juce::File chosen)
    {
        if (self == nullptr)
            return;

        bool saved = false;

        if (chosen != juce::File())
        {
            saved = self->list.saveToFile (chosen);

            if (! saved)
                self->showNotice ("The library could not be written to " + chosen.getFullPathName() + ".");
        }

        self->updateButtons();

        if (then)
            then (saved);
    });
}

void LibClass::clearAll()
{
    if (list.numRecords() > 0)
        askQuestion ("Save Current Library?", "YES", "NO", "CANCEL", clearQuestion, 6);
    else
        list.clearRecords();

    updateButtons();
}

void LibClass::applySelected()
{
    if (list.getRowCount() < 1 || ! list.hasSelectedRecord())
        return;

    const auto record = ProgramRecord::get (list.records(), list.getSelectedRecord());
    juce::MemoryBlock chunk;
    VantorAudioProcessor::writeProgramChunk (record, chunk);
    {
        const MidiCntrState::OwnChange ours;   // the host's entry point, our change
        processor.setCurrentProgramStateInformation (chunk.getData(), (int) chunk.getSize());
    }
    processor.tellHostProgramsChanged();
    updateButtons();
}

void LibClass::askRename()
{
    if (list.getRowCount() < 1 || ! list.hasSelectedRecord())
        return;

    // Offered without its padding: typing after the blanks would be cut away at 16.
    const int k = list.getSelectedRecord();
    const auto name = ProgramRecord::name (list.records(), k).trimEnd();
    const int category = list.records()[(size_t) k * ProgramRecord::size + ProgramRecord::category];
    askText ("Rename " + name + ":", name, shownCategory (category), renameEntry);
}

void LibClass::askDelete()
{
    if (list.getRowCount() < 1 || ! list.hasSelectedRecord())
        return;

    askQuestion ("Delete " + ProgramRecord::name (list.records(), list.getSelectedRecord()) + " ?",
                 "OK", {}, "CANCEL", deleteQuestion, 0);
    updateButtons();
}

ByteArray LibClass::editBuffer (juce::String* name) const
{
    auto& engine = processor.getEngine();
    const juce::ScopedLock sl (engine.getProgramLock());
    if (name != nullptr)
        *name = engine.presetBank().editBufferName().trimEnd();
    return engine.presetBank().editBufferBytes();
}

void LibClass::askAddCurrent()
{
    juce::String name;
    const auto bytes = editBuffer (&name);
    const int category = bytes.size() > (size_t) ProgramRecord::category ? bytes[(size_t) ProgramRecord::category] : 0;

    if (bytes.size() == (size_t) ProgramRecord::size && list.contains (bytes.data()))
    {
        askQuestion (name + " Program already exists in the library.", {}, "OK", {}, noticeCommand, 0);
        return;
    }

    askText ("Program name:", name, shownCategory (category), nameEntry);
}

void LibClass::renameSelected()
{
    if (textBox == nullptr || ! list.hasSelectedRecord())
        return;

    const auto text = textBox->getText();
    if (text.isEmpty())
        return;

    const int k = list.getSelectedRecord();
    const int category = textBox->getCategory() >= 0
                             ? textBox->getCategory()
                             : list.records()[(size_t) k * ProgramRecord::size + ProgramRecord::category];
    list.renameRecord (k, text, category);
    categoryChosen (list.getFilterCategory());
    list.repaint();
    updateButtons();
}

void LibClass::deleteSelected()
{
    if (list.hasSelectedRecord())
        list.removeRecord (list.getSelectedRecord());
    updateButtons();
}

void LibClass::addCurrentProgram (const juce::String& text, int category)
{
    auto bytes = editBuffer (nullptr);
    bytes.resize ((size_t) ProgramRecord::size, 0);
    bytes[(size_t) ProgramRecord::category] = (juce::uint8) shownCategory (category);
    list.addRecord (text.isEmpty() ? juce::String ("Untitled") : text, juce::MemoryBlock (bytes.data(), bytes.size()));
    updateButtons();
}

void LibClass::updateButtons()
{
    const bool rows = list.getRowCount() > 0;
    const bool selected = rows && list.hasSelectedRecord();

    const std::pair<int, bool> wanted[] = {
        { loadId, true }, { addCurrentId, true }, { doneId, true }, { applyId, false },
        { saveId, rows }, { clearId, rows }, { renameId, selected }, { deleteId, selected },
    };

    for (auto [id, visible] : wanted)
    {
        auto& b = getButton (id);
        if (b.isVisible() != visible)
            b.setVisible (visible);
    }
}

//==============================================================================
void LibClass::askQuestion (const juce::String& message, const juce::String& ok, const juce::String& no,
                            const juce::String& cancel, int command, int value)
{
    showBox (false);
    textBox->setup (message.trimEnd(), {}, cancel, ok, no, -1, command, value);
}

void LibClass::askText (const juce::String& message, const juce::String& text, int category, int command)
{
    showBox (true);
    textBox->setup (message.trimEnd(), text, "CANCEL", "OK", {}, category, command, 0);
}

void LibClass::showNotice (const juce::String& message, int command)
{
    askQuestion (message, {}, "OK", {}, command, 0);
}

// A save's "replace this file?" in the page's own box.
UiSeam::ReplaceQuestion LibClass::askReplace()
{
    juce::Component::SafePointer<LibClass> self (this);
    // The box's one line has no room for the folder: the chooser just showed it.
    return [self] (juce::String question, juce::String, std::function<void (bool)> answer)
    {
        if (self == nullptr)
            return;
        self->askQuestion (question + " The file already exists.", "REPLACE", {}, "CANCEL", replaceQuestion, 0);
        self->pendingReplace = std::move (answer);
    };
}

void LibClass::answerReplace (bool replace)
{
    closeBox();
    // The save may show a notice in the box: take the answer out first.
    auto answer = std::move (pendingReplace);
    pendingReplace = nullptr;
    if (answer)
        answer (replace);
}

void LibClass::showBox (bool withEditor)
{
    if (textBox == nullptr)
    {
        textBox = std::make_unique<TextInputCont>();
        addChildComponent (*textBox);
        textBox->addListener (this);
    }

    pendingReplace = nullptr;

    textBox->getEditor().setVisible (withEditor);
    textBox->setBounds (getLocalBounds());
    textBox->setVisible (true);
    textBox->toFront (withEditor);
}

void LibClass::closeBox()
{
    if (textBox == nullptr)
        return;

    textBox->setVisible (false);
    textBox->setBounds (-100, -100, 50, 50);
}

void LibClass::okPressed (int command, int value)
{
    juce::Component::SafePointer<LibClass> self (this);

    switch (command)
    {
        case importQuestion:
            closeBox();
            if (value == 5)
                list.commitImport (true);
            else if (value == 6)
                // Replaced only once the old library is safely saved.
                saveLibraryAs ([self] (bool saved)
                {
                    if (self == nullptr || ! saved)
                        return;
                    self->list.commitImport (false);
                    self->updateButtons();
                });
            updateButtons();
            break;

        case clearQuestion:
            closeBox();
            if (value == 6)
                saveLibraryAs ([self] (bool saved)
                {
                    if (self == nullptr || ! saved)
                        return;
                    self->list.clearRecords();
                    self->list.rebuildList (0);
                    self->updateButtons();
                });
            updateButtons();
            break;

        case deleteQuestion:
            closeBox();
            deleteSelected();
            break;

        case renameEntry:
            renameSelected();
            closeBox();
            break;

        case nameEntry:
            addCurrentProgram (textBox->getText(), textBox->getCategory());
            closeBox();
            break;

        case noticeThenImport:
            closeBox();
            importEnding();
            break;

        case replaceQuestion:
            answerReplace (true);
            break;

        default:
            closeBox();
            break;
    }
}

void LibClass::noPressed (int command, int value)
{
    if (command == replaceQuestion)
    {
        answerReplace (false);
        return;
    }

    closeBox();

    if (command == importQuestion && value == 5)
    {
        askQuestion ("Save the Current Library?", "YES", "NO", "CANCEL", importQuestion, 6);
    }
    else if (command == importQuestion && value == 6)
    {
        list.commitImport (false);
        updateButtons();
    }
    else if (command == clearQuestion && value == 6)
    {
        list.clearRecords();
        list.rebuildList (0);
        updateButtons();
    }
    else if (command == noticeThenImport)
    {
        importEnding();
    }
}

void LibClass::cancelPressed (int command, int)
{
    if (command == replaceQuestion)
        answerReplace (false);
    else
        closeBox();
}

//==============================================================================
void LibClass::libButClicked (LibBut*, int id)
{
    switch (id)
    {
        case loadId:        showLoadMenu(); break;
        case saveId:        saveLibraryAs(); break;
        case clearId:       clearAll(); break;
        case applyId:       applySelected(); break;
        case renameId:      askRename(); break;
        case deleteId:      askDelete(); break;
        case addCurrentId:  askAddCurrent(); break;
        default:            break;   // DONE: the window closes
    }
}

void LibClass::libButEntered (LibBut* source, int)
{
    if (source != nullptr)
        helpLine.setText (source->helpText, juce::dontSendNotification);
}

void LibClass::libButExited (LibBut*, int)
{
    helpLine.setText ({}, juce::dontSendNotification);
}

void LibClass::fileListChanged (int code, int)
{
    if (code == 202)
    {
        const auto& counts = list.getCounts();
        for (int c = 0; c < 26; ++c)
        {
            auto& label = selector.countLabel (c);
            label.text = counts[(size_t) c] > 0 ? juce::String (counts[(size_t) c]) : juce::String();
            label.repaint();
        }

        auto& size = selector.countLabel (CatContainer::listAll);
        size.text = "Size: " + juce::String (list.numRecords());
        size.repaint();

        // An import or a clear shows the whole library: the label names no category then.
        if (list.getFilterMode() != 1 && categoryLabel.text.isNotEmpty())
        {
            categoryLabel.text = {};
            categoryLabel.repaint();
        }
        repaint();
    }
    else if (code != 201)
    {
        return;
    }

    updateButtons();
    applySelected();
}

void LibClass::fileListDoubleClicked (int, int)
{
    // As if "DONE" were clicked: its listeners close the window.
    auto& done = getButton (doneId);
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent e (juce::Desktop::getInstance().getMainMouseSource(), {}, juce::ModifierKeys::leftButtonModifier,
                              juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                              &done, &done, now, {}, now, 1, false);
    done.mouseDown (e);
}

void LibClass::categoryChosen (int c)
{
    if (c >= 0 && c <= 25)
    {
        categoryLabel.text = ParDes::categoryName (c);
        categoryLabel.repaint();
        list.setFilterCategory (c);
        list.rebuildList (1);
    }
    else if (c == CatContainer::listAll)
    {
        categoryLabel.text = {};
        categoryLabel.repaint();
        list.rebuildList (0);
    }
}

//==============================================================================
void LibClass::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
    g.setColour (juce::Colour (0xff0a0a0a));
    g.fillRect (0, 4, getWidth(), 2);
}

void LibClass::resized()
{
    const int w = getWidth(), h = getHeight();

    list.listWidth = 302;
    list.setBounds (20, 10, 334, list.rowHeight * 15);

    const int x = w - 120;
    const std::pair<int, int> places[] = {
        { loadId, 10 }, { saveId, 50 }, { clearId, 90 }, { addCurrentId, h - 210 },
        { deleteId, h - 170 }, { renameId, h - 130 }, { doneId, h - 40 },
    };
    for (auto [id, y] : places)
        getButton (id).setTopLeft (x, y);
    getButton (applyId).setTopLeft (-x, h - 90);

    updateButtons();
    helpLine.setBounds (400, h - 30, 400, 24);

    if (isBoxShown())
        textBox->setBounds (getLocalBounds());
}

void LibClass::mouseDown (const juce::MouseEvent&)
{
    categoryChosen (list.getFilterCategory());
}
