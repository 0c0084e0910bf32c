// The main component's menus and program files.
#include "editor/MainComp.h"
#include "editor/AskPanel.h"
#include "editor/AppBar.h"
#include "editor/BankComp.h"
#include "editor/EditorPanel.h"
#include "editor/WriteSnd.h"
#include "controls/LCD_Comp.h"
#include "controls/StsLabel.h"
#include "controls/UiSeam.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"

namespace
{
const char* const bankNames[] = { "User Bank 1", "User Bank 2", "User Bank 3", "User Bank 4",
                                  "Factory Bank 1", "Factory Bank 2", "Factory Bank 3", "Factory Bank 4" };

struct VoiceSection { int id; const char* text; int section; };
const VoiceSection voiceSections[] =
{
    { 101, "OSCILLATORS            [1] ", 1 },
    { 102, "CHARACTER                [2] ", 2 },
    { 103, "VCA / LPF / HPF           [3] ", 3 },
    { 104, "HPF / FEEDBACK           [4] ", 4 },
    { 105, "VCA                           [5] ", 5 },
    { 106, "FEEDBACK  / DELAY      [6] ", 6 },
    { 107, "LFO                            [7] ", 7 },
    { 108, "MODS                        [8] ", 10 },
    { 109, "ARP / SLIDERS            [9] ", 11 },
};

// What a program file gave: its bytes, or why it gave none.
struct ProgramFileRead
{
    ByteArray bytes;
    juce::String refusal;
};

juce::String refusalText (const FileMan& reader, const juce::File& file, const juce::String& nothingFound)
{
    return (reader.wasTooLarge()    ? juce::String ("TOO LARGE, NOT READ: ")
            : reader.wasNotRegular() ? juce::String ("NOT A REGULAR FILE, NOT READ: ")
                                     : nothingFound) + file.getFileName();
}

// The record a single-program file holds.
ProgramFileRead readSingleProgram (const juce::File& file)
{
    FileMan reader;
    if (reader.loadSingleProgram (file))
        return { reader.getProgram()->getParams(), {} };
    return { {}, refusalText (reader, file, "NO PROGRAM IN ") };
}

// The whole program dumps a bank file holds.
ProgramFileRead readProgramDumps (const juce::File& file)
{
    FileMan reader;
    if (reader.loadProgramBank (file))
        return { reader.getFileData(), {} };
    return { {}, refusalText (reader, file, "NO PROGRAM BANK IN ") };
}

StsBut* functionButton (AppBar& bar, int id)
{
    for (int i = 0; i < bar.getNumFunctionButtons(); ++i)
        if (auto* b = bar.getFunctionButton (i); b != nullptr && b->getId() == id)
            return b;
    return nullptr;
}

juce::String fileSafe (const juce::String& name)
{
    const auto s = name.trim().removeCharacters ("\\/:*?\"<>|");
    return s.isEmpty() ? juce::String ("Program") : s;
}
}

//==============================================================================
juce::PopupMenu MainComp::buildEditMenu() const
{
    juce::String editName;
    {
        const juce::ScopedLock sl (engine().getProgramLock());
        editName = engine().presetBank().editBufferName();
    }

    juce::PopupMenu menu, voice;
    menu.addItem (1, "Copy Program: " + editName);
    menu.addItem (2, "Paste " + (clipboardFull ? clipboard->getName() : juce::String()));
    menu.addSeparator();
    for (auto& v : voiceSections)
        voice.addItem (v.id, v.text);
    menu.addSubMenu ("Voice Parameters ", voice);
    return menu;
}

void MainComp::applyEditMenu (int id)
{
    if (id == 1)
        copyProgram();
    else if (id == 2)
        pasteProgram (false, -1, -1);
    else
        for (auto& v : voiceSections)
            if (v.id == id)
                editorPanel->showSection (v.section);
}

void MainComp::showEditMenu()
{
    runMenu (buildEditMenu(), functionButton (editorPanel->getAppBar(), AppBar::editCommand),
             [] (MainComp& m, int id) { m.applyEditMenu (id); });
}

juce::PopupMenu MainComp::buildFileMenu() const
{
    juce::String editName;
    {
        const juce::ScopedLock sl (engine().getProgramLock());
        editName = engine().presetBank().editBufferName();
    }
    juce::PopupMenu menu;
    menu.addItem (1, "Load Single Program");
    menu.addItem (2, "Save " + editName);
    menu.addSeparator();
    menu.addItem (3, "About");
    return menu;
}

void MainComp::applyFileMenu (int id)
{
    auto& e = engine();
    if (id == 1)
    {
        FileMan spec;
        spec.dialogSpec (FileMan::openProgram);
        juce::Component::SafePointer<MainComp> safe (this);
        UiSeam::chooseFile (false, spec.getTitle(), {}, spec.getPatterns().joinIntoString (";"), [safe] (juce::File file)
        {
            if (safe == nullptr || file == juce::File())
                return;
            const auto read = readSingleProgram (file);
            if (read.bytes.empty())
                safe->setStatusText (read.refusal);
            else
                safe->engine().putProgram (false, 0, 0, read.bytes);
        });
    }
    else if (id == 2)
    {
        juce::String name;
        ByteArray record;
        {
            const juce::ScopedLock sl (e.getProgramLock());
            name = e.presetBank().editBufferName();
            record = e.presetBank().editBufferBytes();
        }
        saveSingleProgram (DSI_Program::editBufferDump (record), name);
    }
    else if (id == 3)
    {
        if (! writeDialogShown)
            showAbout (! aboutShown, 0);
    }
}

void MainComp::showFileMenu()
{
    runMenu (buildFileMenu(), functionButton (editorPanel->getAppBar(), AppBar::fileCommand),
             [] (MainComp& m, int id) { m.applyFileMenu (id); });
}

juce::PopupMenu MainComp::buildSendMenu() const
{
    auto& e = engine();
    juce::String editName, presetName;
    {
        const juce::ScopedLock sl (e.getProgramLock());
        editName = e.presetBank().editBufferName();
        presetName = e.presetBank().programName (juce::jmax (0, e.getCurrentPreset()));
    }
    juce::PopupMenu menu;
    menu.addItem (1, "Current Preset: " + editName);
    menu.addItem (2, "FX Bank Preset: " + presetName);
    return menu;
}

void MainComp::applySendMenu (int id)
{
    auto& e = engine();
    if (id == 1)
    {
        // The synthesizer gets what the screen shows, addressed as the engine knows it.
        reloadEditBuffer();
        const auto record = e.editBuffer();
        if (e.ports().isOutputOpen())
            e.ports().sendSysEx (DSI_Program::editBufferDump (record, e.getDeviceId()));
        else
            setStatusText ("NO MIDI OUTPUT: NOTHING SENT");
    }
    else if (id == 2)
    {
        if (e.getCurrentPreset() < 0)
            e.setCurrentPreset (0);
        e.loadCurrentPreset();
    }
}

void MainComp::showSendMenu()
{
    runMenu (buildSendMenu(), functionButton (editorPanel->getAppBar(), AppBar::sendCommand),
             [] (MainComp& m, int id) { m.applySendMenu (id); });
}

juce::PopupMenu MainComp::buildChannelMenu() const
{
    juce::PopupMenu menu;
    for (int n = 1; n <= 16; ++n)
        menu.addItem (n, "Channel " + juce::String (n));
    return menu;
}

void MainComp::applyChannelMenu (int id)
{
    if (id < 1 || id > 16)
        return;
    engine().setMidiChannel (id);
    editorPanel->getAppBar().getChannelLabel().setText ("Chan: " + juce::String (id));
}

void MainComp::showChannelMenu()
{
    runMenu (buildChannelMenu(), &editorPanel->getAppBar().getChannelLabel(),
             [] (MainComp& m, int id) { m.applyChannelMenu (id); });
}

juce::PopupMenu MainComp::buildProgramMenu() const
{
    auto& e = engine();
    const int current = juce::jlimit (0, 7, e.getCurrentBank());
    juce::PopupMenu menu;
    for (int b = 0; b < MidiCntrState::numBanks; ++b)
        menu.addItem (100000 + b, e.deviceBank (b).getName(), true, b == e.getCurrentBank());
    menu.addSeparator();
    const juce::ScopedLock sl (e.getProgramLock());
    for (int p = 0; p < MidiCntrState::programsPerBank; ++p)
        menu.addItem (1000 + p, e.deviceBank (current).programName (p));
    return menu;
}

void MainComp::applyProgramMenu (int id)
{
    auto& e = engine();
    int bank = juce::jlimit (0, 7, e.getCurrentBank());
    int program = juce::jlimit (0, MidiCntrState::programsPerBank - 1, e.getCurrentProgram());

    if (id >= 100000 && id < 100000 + MidiCntrState::numBanks)
        bank = id - 100000;
    else if (id >= 1000 && id < 1000 + MidiCntrState::programsPerBank)
        program = id - 1000;
    else
        return;

    e.selectProgram (bank * MidiCntrState::programsPerBank + program, true, true);
}

void MainComp::showProgramMenu()
{
    runMenu (buildProgramMenu(), nullptr, [] (MainComp& m, int id) { m.applyProgramMenu (id); });
}

juce::PopupMenu MainComp::buildCategoryMenu() const
{
    juce::PopupMenu menu;
    for (int c = 0; c < 26; ++c)
        menu.addItem (c + 1, ParDes::categoryName (c));
    return menu;
}

void MainComp::applyCategoryMenu (int id, int target, int bank, int program)
{
    if (id < 1 || id > 26)
        return;
    const int c = id - 1;
    auto& e = engine();

    switch (target)
    {
        case bankPanelCategory:
            if (bankComp != nullptr)
            {
                bankComp->showCategory (c);
                bankComp->getGrid().repaint();
            }
            break;
        case editBufferCategory:
            processor->parameterChanged (ProgramRecord::category, c, true, true, true);
            {
                const auto record = e.editBuffer();
                const int shown = record.size() > (size_t) ProgramRecord::category ? record[(size_t) ProgramRecord::category] : 0;
                editorPanel->getLcd().setField (shown, ParDes::categoryName (shown));
            }
            break;
        case slotCategory:
            if (ProgramRecord::isSlot (bank, program))
            {
                {
                    const juce::ScopedLock sl (e.getProgramLock());
                    auto record = e.deviceBank (bank).programBytes (program);
                    if (record.size() > (size_t) ProgramRecord::category)
                    {
                        record[(size_t) ProgramRecord::category] = (juce::uint8) c;
                        e.deviceBank (bank).storeProgram (program, record);
                    }
                }
                refillBankGrid();
            }
            break;
        case writeLcdCategory:
            if (writeDialog != nullptr)
                writeDialog->getLcd().setField (c, ParDes::categoryName (c));
            break;
        case writeGridCategory:
            if (writeDialog != nullptr)
                writeDialog->showCategory (c);
            break;
        default:
            break;
    }
}

void MainComp::showCategoryMenu (int target, int bank, int program)
{
    runMenu (buildCategoryMenu(), nullptr,
             [target, bank, program] (MainComp& m, int id) { m.applyCategoryMenu (id, target, bank, program); });
}

juce::PopupMenu MainComp::buildGridProgramMenu (int bank, int program) const
{
    juce::PopupMenu menu;
    if (! ProgramRecord::isSlot (bank, program))
        return menu;

    juce::String name;
    {
        const juce::ScopedLock sl (engine().getProgramLock());
        name = engine().deviceBank (bank).programName (program);
    }
    menu.addItem (1, "Copy Program: " + name);
    menu.addItem (2, "Paste " + (clipboardFull ? clipboard->getName() : juce::String()));
    menu.addSeparator();
    menu.addItem (3, "Save " + name);
    menu.addItem (4, "Load Program ");
    return menu;
}

void MainComp::applyGridProgramMenu (int id, int bank, int program)
{
    if (! ProgramRecord::isSlot (bank, program))
        return;
    auto& e = engine();

    switch (id)
    {
        case 1: copyStoredProgram (bank, program); break;
        case 2: pasteProgram (true, bank, program); break;
        case 3:
        {
            juce::String name;
            ByteArray dump;
            {
                const juce::ScopedLock sl (e.getProgramLock());
                name = e.deviceBank (bank).programName (program);
                dump = e.deviceBank (bank).programDump (program);
            }
            saveSingleProgram (dump, name);
            break;
        }
        case 4:
        {
            FileMan spec;
            spec.dialogSpec (FileMan::openProgram);
            juce::Component::SafePointer<MainComp> safe (this);
            UiSeam::chooseFile (false, spec.getTitle(), {}, spec.getPatterns().joinIntoString (";"),
                                [safe, bank, program] (juce::File file)
            {
                if (safe == nullptr || file == juce::File())
                    return;
                const auto read = readSingleProgram (file);
                if (read.bytes.empty())
                {
                    safe->setStatusText (read.refusal);
                    return;
                }
                // putProgram stores under the program lock and posts the refresh.
                safe->engine().putProgram (true, bank, program, read.bytes);
                safe->refillBankGrid();
            });
            break;
        }
        default: break;
    }
}

void MainComp::showGridProgramMenu (int bank, int program)
{
    if (! ProgramRecord::isSlot (bank, program))
        return;
    runMenu (buildGridProgramMenu (bank, program), nullptr,
             [bank, program] (MainComp& m, int id) { m.applyGridProgramMenu (id, bank, program); });
}

juce::PopupMenu MainComp::buildBankFileMenu() const
{
    juce::PopupMenu menu;
    for (int n = 0; n < 4; ++n)
        menu.addItem (100 + n, "Load Program Bank To Bank " + ProgramRecord::bankLabel (n));
    menu.addSeparator();
    for (int n = 0; n < 4; ++n)
        menu.addItem (200 + n, "Save Program Bank " + ProgramRecord::bankLabel (n));
    return menu;
}

void MainComp::applyBankFileMenu (int id)
{
    if (id >= 100 && id <= 103)
        loadProgramBankFile (id - 100);
    else if (id >= 200 && id <= 203)
        saveProgramBankFile (id - 200);
}

void MainComp::showBankFileMenu()
{
    runMenu (buildBankFileMenu(), bankComp != nullptr ? &bankComp->getFileButton() : nullptr,
             [] (MainComp& m, int id) { m.applyBankFileMenu (id); });
}

juce::PopupMenu MainComp::buildBankMidiMenu() const
{
    auto& e = engine();
    juce::PopupMenu menu, receive, transmit;
    for (int b = 0; b < 8; ++b)
    {
        receive.addItem (b + 1, bankNames[b]);
        transmit.addItem (100 + b, bankNames[b]);
    }
    menu.addSubMenu ("Receive Program Bank ", receive);
    menu.addItem (200, "Receive All User Banks");
    menu.addItem (250, "Receive All Factory Banks");
    menu.addSeparator();
    menu.addSubMenu ("Transmit Program " + e.deviceBank (juce::jlimit (0, 7, e.getCurrentBank())).getName() + " to:", transmit);
    menu.addItem (300, "Transmit All User Banks");
    menu.addItem (350, "Transmit All Factory Banks");
    return menu;
}

void MainComp::applyBankMidiMenu (int id)
{
    if (id >= 1 && id <= 8)
        startTransfer (receiveOneBank, id - 1);
    else if (id == 200)
        startTransfer (receiveUserBanks, 0);
    else if (id == 250)
        startTransfer (receiveFactoryBanks, 4);
    else if (id >= 100 && id <= 107)
    {
        const int source = juce::jlimit (0, 7, engine().getCurrentBank()), dest = id - 100;
        ask ("Transmit " + juce::String (bankNames[source]) + " to the synthesizer?",
             "This overwrites the 99 programs of " + juce::String (bankNames[dest]) + " in the synthesizer.",
             "TRANSMIT", [this, dest] { startTransfer (sendOneBank, dest); });
    }
    else if (id == 300)
        ask ("Transmit all user banks?", "This overwrites the 396 programs of User Banks 1 to 4 in the synthesizer.",
             "TRANSMIT", [this] { startTransfer (sendUserBanks, 0); });
    else if (id == 350)
        ask ("Transmit all factory banks?", "This overwrites the 396 programs of Factory Banks 1 to 4 in the synthesizer.",
             "TRANSMIT", [this] { startTransfer (sendFactoryBanks, 4); });
}

void MainComp::showBankMidiMenu()
{
    runMenu (buildBankMidiMenu(), bankComp != nullptr ? &bankComp->getMidiButton() : nullptr,
             [] (MainComp& m, int id) { m.applyBankMidiMenu (id); });
}

juce::PopupMenu MainComp::buildPresetsMenu() const
{
    juce::PopupMenu menu, factory;
    for (int n = 0; n < 4; ++n)
        factory.addItem (100 + n, "User Bank " + juce::String (n + 1));
    menu.addSubMenu ("Load Factory Presets to", factory);
    const int current = engine().getCurrentBank();
    if (ProgramRecord::isUserBank (current))
    {
        menu.addSeparator();
        menu.addItem (99, "Initialize User Program Bank " + juce::String (current + 1));
    }
    return menu;
}

void MainComp::applyPresetsMenu (int id)
{
    auto& e = engine();
    if (id >= 100 && id <= 103)
    {
        const int n = id - 100;
        ask ("Load the factory presets into " + juce::String (bankNames[n]) + "?",
             "Factory Bank " + juce::String (n + 1) + " replaces the 99 programs of " + bankNames[n] + " in the plug-in.",
             "LOAD", [this, n]
             {
                 {
                     const juce::ScopedLock sl (engine().getProgramLock());
                     engine().deviceBank (n).loadFactoryBank (n);
                 }
                 refillBankGrid();
             });
    }
    else if (id == 99)
    {
        const int bank = e.getCurrentBank();
        if (! ProgramRecord::isUserBank (bank))
            return;
        ask ("Initialize " + juce::String (bankNames[bank]) + "?",
             "All 99 programs of " + juce::String (bankNames[bank]) + " in the plug-in become the Basic Program.",
             "INITIALIZE", [this, bank]
             {
                 {
                     const juce::ScopedLock sl (engine().getProgramLock());
                     engine().deviceBank (bank).initialise (false);
                 }
                 refillBankGrid();
             });
    }
}

void MainComp::showPresetsMenu()
{
    if (bankComp == nullptr || bankComp->getGridMode() != StsGrid::bankMode)
        return;
    runMenu (buildPresetsMenu(), &bankComp->getPresetsButton(), [] (MainComp& m, int id) { m.applyPresetsMenu (id); });
}

//==============================================================================
void MainComp::loadProgramBankFile (int bank)
{
    if (! ProgramRecord::isUserBank (bank))
        return;
    FileMan spec;
    spec.dialogSpec (FileMan::openProgramBank);
    juce::Component::SafePointer<MainComp> safe (this);
    UiSeam::chooseFile (false, spec.getTitle(), {}, spec.getPatterns().joinIntoString (";"), [safe, bank] (juce::File file)
    {
        if (safe == nullptr || file == juce::File())
            return;
        const auto read = readProgramDumps (file);
        if (read.bytes.empty())
        {
            safe->setStatusText (read.refusal);
            return;
        }
        int loaded = 0;
        {
            const juce::ScopedLock sl (safe->engine().getProgramLock());
            loaded = safe->engine().deviceBank (bank).loadFromBankFile (read.bytes);
        }
        const auto held = (int) (read.bytes.size() / ProgramRecord::programDumpSize);
        if (held != MidiCntrState::programsPerBank)
            safe->setStatusText ("LOADED " + juce::String (loaded) + " OF " + juce::String (held)
                                 + " PROGRAMS FROM " + file.getFileName());
        safe->refillBankGrid();
    });
}

// A save's "replace this file?" on the editor's question overlay.
UiSeam::ReplaceQuestion MainComp::askReplace()
{
    juce::Component::SafePointer<MainComp> safe (this);
    return [safe] (juce::String text, juce::String detail, std::function<void (bool)> answer)
    {
        if (safe != nullptr)
            safe->ask (text, detail, "REPLACE", [answer] { answer (true); });
    };
}

void MainComp::saveSingleProgram (const ByteArray& dump, const juce::String& name)
{
    const auto start = FileMan::settingsFolder().getChildFile (fileSafe (name) + ".p12p");
    juce::Component::SafePointer<MainComp> safe (this);
    UiSeam::chooseSaveFile (FileMan::saveProgram, start, askReplace(), [safe, dump] (juce::File file)
    {
        if (safe == nullptr || file == juce::File())
            return;
        const bool ok = MidiCntrState::writeWholeFile (dump, file);
        safe->setStatusText ((ok ? "SAVED " : "SAVE FAILED: ") + file.getFileName());
    });
}

void MainComp::saveProgramBankFile (int bank)
{
    if (! ProgramRecord::isUserBank (bank))
        return;
    auto& e = engine();

    // Program dumps addressed to their own slots: the file reloads slot by slot.
    ByteArray data;
    data.reserve ((size_t) ProgramRecord::programDumpSize * MidiCntrState::programsPerBank);
    {
        const juce::ScopedLock sl (e.getProgramLock());
        for (int p = 0; p < MidiCntrState::programsPerBank; ++p)
        {
            const auto dump = DSI_Program::programDump (e.deviceBank (bank).programBytes (p), bank, p, e.getDeviceId());
            data.insert (data.end(), dump.begin(), dump.end());
        }
    }

    const auto start = FileMan::settingsFolder().getChildFile ("Bank " + ProgramRecord::bankLabel (bank) + ".p12b");
    juce::Component::SafePointer<MainComp> safe (this);
    UiSeam::chooseSaveFile (FileMan::saveProgramBank, start, askReplace(), [safe, data] (juce::File file)
    {
        if (safe == nullptr || file == juce::File())
            return;
        const bool ok = MidiCntrState::writeWholeFile (data, file);
        safe->setStatusText ((ok ? "SAVED " : "SAVE FAILED: ") + file.getFileName());
    });
}
