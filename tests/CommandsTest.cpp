#include <gtest/gtest.h>

#include "editor/AppBar.h"
#include "editor/AskPanel.h"
#include "editor/BankComp.h"
#include "editor/WriteSnd.h"
#include "controls/ProgBar.h"
#include "controls/StsLabel.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/ParDes.h"
#include "support/EditorTestRig.h"
#include "support/TestFolder.h"

namespace
{
// Whether an item or a sub-menu title reads the text.
bool contains (const juce::PopupMenu& menu, const juce::String& text)
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().text == text || (it.getItem().subMenu != nullptr && contains (*it.getItem().subMenu, text)))
            return true;
    return false;
}

ByteArray slot (MidiCntrState& e, int bank, int program)
{
    const juce::ScopedLock sl (e.getProgramLock());
    return e.deviceBank (bank).programBytes (program);
}

// A program record no factory bank holds, named "Marked <seed>".
ByteArray marked (int seed)
{
    ByteArray r (ProgramRecord::size);
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (juce::uint8) ((i * 7 + (size_t) seed) % 100);
    const auto name = ("Marked " + juce::String (seed)).paddedRight (' ', 16);
    for (int i = 0; i < 16; ++i)
        r[(size_t) (ProgramRecord::nameOffset + i)] = (juce::uint8) name[i];
    r[(size_t) ProgramRecord::category] = 3;
    return r;
}

void answer (MainComp& main, bool goAhead)
{
    ASSERT_NE (main.getQuestion(), nullptr);
    main.getQuestion()->answer (goAhead);
    EXPECT_EQ (main.getQuestion(), nullptr);
}

struct CommandsThreads : public ::testing::Test
{
    EditorTestRig rig;
    MainComp& main = rig.open();
    MidiCntrState& e = rig.engine();
};
}

//==============================================================================
TEST_F (CommandsThreads, MenusReadAsTheyShouldForTheCurrentState)
{
    struct Case { const char* what; int bank; std::function<juce::PopupMenu()> build; std::vector<juce::String> present, absent; };
    const Case cases[] =
    {
        { "edit", 0, [&] { return main.buildEditMenu(); },
          { "Paste ", "Voice Parameters ", "OSCILLATORS            [1] ", "ARP / SLIDERS            [9] " }, {} },
        { "bank midi on a factory bank", 4, [&] { return main.buildBankMidiMenu(); },
          { "Transmit Program Factory Bank 1 to:", "Receive Program Bank ", "Factory Bank 4", "Receive All User Banks",
            "Transmit All Factory Banks" }, {} },
        { "presets on a factory bank", 5, [&] { return main.buildPresetsMenu(); },
          { "Load Factory Presets to", "User Bank 4" }, { "Initialize User Program Bank 6" } },
        { "presets on a user bank", 1, [&] { return main.buildPresetsMenu(); },
          { "Initialize User Program Bank 2" }, {} },
        { "bank file", 0, [&] { return main.buildBankFileMenu(); },
          { "Load Program Bank To Bank U1", "Save Program Bank U4" }, {} },
        { "channel", 0, [&] { return main.buildChannelMenu(); }, { "Channel 1", "Channel 16" }, { "Channel 17" } },
        { "category", 0, [&] { return main.buildCategoryMenu(); }, { ParDes::categoryName (0), ParDes::categoryName (25) }, {} },
    };

    for (auto& c : cases)
    {
        e.splitProgramIndex (c.bank * 99);
        const auto menu = c.build();
        for (auto& t : c.present) EXPECT_TRUE (contains (menu, t)) << c.what << ": " << t;
        for (auto& t : c.absent)  EXPECT_FALSE (contains (menu, t)) << c.what << ": " << t;
    }
}

TEST_F (CommandsThreads, MenuChoicesDoWhatTheySay)
{
    ui::MenuRecorder recorder;

    main.applyEditMenu (108);
    EXPECT_EQ (rig.page().getCurrentSection(), 10);

    main.applyChannelMenu (16);
    EXPECT_EQ (e.getMidiChannel(), 16);
    EXPECT_EQ (rig.page().getAppBar().getChannelLabel().getText(), "Chan: 16");

    main.applyProgramMenu (100000 + 6);
    main.applyProgramMenu (1000 + 41);
    EXPECT_EQ (e.getCurrentBank(), 6);
    EXPECT_EQ (e.getCurrentProgram(), 41);
    EXPECT_EQ (e.editBuffer(), slot (e, 6, 41));

    main.applyCategoryMenu (8, 88, 2, 10);
    EXPECT_EQ (slot (e, 2, 10)[(size_t) ProgramRecord::category], 7);
    main.applyCategoryMenu (5, 87, -1, -1);
    EXPECT_EQ (e.editBuffer()[(size_t) ProgramRecord::category], 4);
    EXPECT_EQ (rig.page().getLcd().getCategory(), 4);

    // SEND "Current Preset" gives the synthesizer the edit buffer as one dump.
    ASSERT_TRUE (rig.synth.waitUntilIdle());
    rig.synth.clearReceived();
    main.applySendMenu (1);
    ASSERT_TRUE (rig.synth.waitForReceived (1));
    EXPECT_EQ (rig.synth.received().back().message.getRawDataSize(), ProgramRecord::editBufferDumpSize);
    EXPECT_TRUE (rig.pumpUntil ([&] { return rig.synth.editBuffer() == e.editBuffer(); }));

    // A menu shown through the seam applies its answer; a dismissal does nothing.
    main.handleCommand (73);
    ASSERT_TRUE (recorder.menuPending());
    recorder.choose (0);
    main.handleCommand (73);
    recorder.choose (103);
    EXPECT_EQ (rig.page().getCurrentSection(), 3);
}

// A keyboard ignores what is addressed to the module: once it has shown itself,
// SEND addresses the edit buffer to it, as requests are.
TEST_F (CommandsThreads, SendReachesAKeyboardThatShowedItself)
{
    rig.synth.setDeviceId (ProgramRecord::keyboardDeviceId);
    rig.synth.setAddressedOnly (true);
    const auto shown = DSI_Program::programDump (marked (7), 0, 3, ProgramRecord::keyboardDeviceId);
    rig.synth.send (juce::MidiMessage (shown.data(), (int) shown.size()));
    // The dump also becomes the edit buffer, after the id is known: wait for both.
    ASSERT_TRUE (rig.pumpUntil ([&] { return e.getDeviceId() == ProgramRecord::keyboardDeviceId && e.editBuffer() == marked (7); }));

    e.putProgram (false, 0, 0, marked (8));
    main.applySendMenu (1);
    EXPECT_TRUE (rig.pumpUntil ([&] { return rig.synth.editBuffer() == marked (8); }));
}

TEST_F (CommandsThreads, ClipboardCopiesTheEditBufferAndPastesIntoSlots)
{
    ui::MenuRecorder recorder;

    const auto before = slot (e, 1, 5);
    main.pasteProgram (true, 1, 5);
    EXPECT_EQ (slot (e, 1, 5), before);

    e.putProgram (false, 0, 0, marked (1));
    main.copyProgram();
    e.putProgram (false, 0, 0, marked (2));
    main.copyProgram();
    EXPECT_TRUE (contains (main.buildEditMenu(), juce::String ("Paste ") + juce::String ("Marked 2").paddedRight (' ', 16)));

    // The grid menu names the clicked slot and copies the program stored there,
    // whatever the edit buffer holds (it follows only once the synthesizer answers).
    EXPECT_TRUE (contains (main.buildGridProgramMenu (3, 7), "Copy Program: " + e.deviceBank (3).programName (7)));
    main.applyGridProgramMenu (2, 3, 7);
    EXPECT_EQ (slot (e, 3, 7), marked (2));
    main.applyGridProgramMenu (2, 9, 7);   // no such bank
    main.applyGridProgramMenu (1, 9, 8);
    EXPECT_EQ (main.getClipboard()->getParams(), marked (2));

    e.putProgram (true, 5, 20, marked (3));
    for (const auto& [bank, program] : { std::pair { 5, 20 }, std::pair { 3, 7 }, std::pair { 0, 0 } })
    {
        const auto stored = slot (e, bank, program);
        main.applyGridProgramMenu (1, bank, program);
        EXPECT_EQ (main.getClipboard()->getParams(), stored);
        main.applyGridProgramMenu (2, 1, 40);
        EXPECT_EQ (slot (e, 1, 40), stored);
    }
    EXPECT_EQ (e.editBuffer(), marked (2));

    // EDIT's copy still takes the edit buffer.
    main.copyProgram();
    EXPECT_EQ (main.getClipboard()->getParams(), marked (2));
}

TEST_F (CommandsThreads, ProgramAndBankFilesRoundTripThroughTheChooser)
{
    ui::MenuRecorder recorder;
    TestFolder folder ("commands-files");

    auto status = [&] { return main.getKeyboardPanel().getStatusText(); };

    // Edit buffer saved, then loaded into a grid slot.
    e.putProgram (false, 0, 0, marked (4));
    main.applyFileMenu (2);
    EXPECT_TRUE (recorder.lastChooserSaves);
    const auto single = folder.file().getChildFile ("one");
    recorder.chooseFile (single);
    EXPECT_EQ (status(), "SAVED one.p12p");
    main.applyGridProgramMenu (4, 2, 30);
    recorder.chooseFile (single.withFileExtension (".p12p"));
    EXPECT_EQ (slot (e, 2, 30), marked (4));

    // A bank saved from U1 and loaded into U3 gives the same programs.
    {
        const juce::ScopedLock sl (e.getProgramLock());
        e.deviceBank (0).storeProgram (98, marked (5));
    }
    main.applyBankFileMenu (200);
    const auto bank = folder.file().getChildFile ("bank.p12b");
    recorder.chooseFile (bank);
    EXPECT_EQ (bank.getSize(), 99 * 1178);
    main.applyBankFileMenu (102);
    recorder.chooseFile (bank);
    EXPECT_EQ (e.deviceBank (2).records(), e.deviceBank (0).records());

    // Failures are said and change nothing.
    const auto before = e.deviceBank (3).records();
    const auto junk = folder.file().getChildFile ("junk.p12b");
    junk.replaceWithText ("not a bank at all, no dumps in here");
    main.applyBankFileMenu (103);
    recorder.chooseFile (junk);
    main.applyBankFileMenu (103);
    recorder.chooseFile ({});
    EXPECT_EQ (e.deviceBank (3).records(), before);

    main.applyBankFileMenu (201);
    recorder.chooseFile (junk.getChildFile ("x.p12b"));   // a file is no folder
    EXPECT_TRUE (status().startsWith ("SAVE FAILED"));
}

//==============================================================================
TEST_F (CommandsThreads, BankReceiveRunsToTheLastProgramAndCancelKeepsTheEditBuffer)
{
    // A device that answers at once can finish the bank before the menu returns:
    // the overlay still shows and closes.
    rig.synth.setAnswerDelayMs (0);
    main.applyBankMidiMenu (6);   // "Factory Bank 2"
    EXPECT_EQ (main.getTransferCode(), 0);
    ASSERT_NE (main.getProgressOverlay(), nullptr);
    ASSERT_TRUE (rig.pumpUntil ([&] { return main.getProgressOverlay() == nullptr; }));
    for (int p : { 0, 50, 98 })
        EXPECT_EQ (slot (e, 5, p), rig.synth.record (5, p)) << p;

    const auto edit = e.editBuffer();
    rig.synth.setAnswerDelayMs (30);
    main.applyBankMidiMenu (200);
    ASSERT_TRUE (rig.pumpUntil ([&] { return slot (e, 0, 2) == rig.synth.record (0, 2); }));
    main.stsbutChanged (&main.getProgressOverlay()->getCancelButton());
    EXPECT_EQ (main.getProgressOverlay(), nullptr);
    ASSERT_TRUE (rig.settle());
    EXPECT_EQ (e.editBuffer(), edit);
    // The chain has stopped: nothing more is asked for.
    const int asked = rig.synth.numReceived();
    ASSERT_TRUE (rig.settle());
    EXPECT_EQ (rig.synth.numReceived(), asked);
}

TEST_F (CommandsThreads, TransmitsAskFirstShowProgressAndCanBeCancelled)
{
    e.transmitter().setPacing (0.0, 1.0);

    // Declined: nothing leaves.
    rig.synth.clearReceived();
    main.applyBankMidiMenu (300);
    EXPECT_EQ (main.getProgressOverlay(), nullptr);
    answer (main, false);
    ASSERT_TRUE (rig.settle());
    EXPECT_FALSE (e.isTransmitting());
    EXPECT_EQ (rig.synth.numReceived(), 0);

    // Current bank U2 to the synthesizer's F3: exactly its 99 programs arrive there.
    e.splitProgramIndex (99);
    main.applyBankMidiMenu (106);
    answer (main, true);
    EXPECT_EQ (main.getTransferCode(), 100);
    ASSERT_NE (main.getProgressOverlay(), nullptr);
    ASSERT_TRUE (rig.pumpUntil ([&] { return main.getProgressOverlay() == nullptr; }));
    ASSERT_TRUE (rig.synth.waitUntilIdle());
    for (int p = 0; p < 99; ++p)
        ASSERT_EQ (rig.synth.record (6, p), slot (e, 1, p)) << p;

    // A slow one is cancelled part-way.
    e.transmitter().setPacing (0.0, 40.0);
    rig.synth.clearReceived();
    main.applyBankMidiMenu (350);
    answer (main, true);
    ASSERT_TRUE (rig.pumpUntil ([&] { return main.getProgressOverlay() != nullptr && main.getProgressOverlay()->getValue() > 0; }));
    main.stsbutChanged (&main.getProgressOverlay()->getCancelButton());
    EXPECT_EQ (main.getProgressOverlay(), nullptr);
    ASSERT_TRUE (rig.pumpUntil ([&] { return ! e.isTransmitting(); }));
    ASSERT_TRUE (rig.synth.waitUntilIdle());
    EXPECT_LT (rig.synth.numReceived(), 396);
}

// Closing the editor leaves a transmit running; the next editor shows it and can stop it.
TEST_F (CommandsThreads, ReopenedEditorShowsARunningTransmitAndCanCancelIt)
{
    e.transmitter().setPacing (0.0, 40.0);
    main.applyBankMidiMenu (300);
    answer (main, true);
    ASSERT_TRUE (e.isTransmitting());

    rig.close();
    auto& reopened = rig.open();
    ASSERT_NE (reopened.getProgressOverlay(), nullptr);
    reopened.stsbutChanged (&reopened.getProgressOverlay()->getCancelButton());
    EXPECT_EQ (reopened.getProgressOverlay(), nullptr);
    EXPECT_TRUE (rig.pumpUntil ([&] { return ! e.isTransmitting(); }));
}

TEST_F (CommandsThreads, NothingStartsWithTheOutputClosed)
{
    e.selectOutputPort (0);

    for (auto [code, bank] : { std::pair { 0, 5 }, { 777, 0 }, { 100, 2 }, { 888, 0 } })
    {
        main.startTransfer (code, bank);
        EXPECT_EQ (main.getProgressOverlay(), nullptr) << code;
        EXPECT_EQ (main.getTransferCode(), -1) << code;
        EXPECT_FALSE (e.isBankReceiveRunning()) << code;
        EXPECT_EQ (main.getKeyboardPanel().getStatusText(), "NO MIDI OUTPUT: NOTHING SENT");
    }
}

TEST_F (CommandsThreads, BankOverwritesInThePluginAskAndFillTheChosenBank)
{
    e.splitProgramIndex (0);

    const auto u3 = e.deviceBank (2).records();
    main.applyPresetsMenu (102);
    answer (main, false);
    EXPECT_EQ (e.deviceBank (2).records(), u3);

    main.applyPresetsMenu (102);
    answer (main, true);
    Bank_Program factory3 ("F3");
    factory3.loadFactoryBank (2);
    EXPECT_EQ (e.deviceBank (2).records(), factory3.records());
    EXPECT_NE (e.deviceBank (0).records(), e.deviceBank (2).records());

    main.applyPresetsMenu (99);
    answer (main, true);
    EXPECT_EQ (e.deviceBank (0).programBytes (0), e.deviceBank (0).programBytes (98));
    EXPECT_EQ (e.deviceBank (0).programName (50).trim(), "Basic Program");
}

// A bank file with programs missing loads the others into their own slots, one
// of several banks loads the first bank's programs, and either says how many it found.
TEST_F (CommandsThreads, BankFileWithProgramsMissingOrOverSaysHowManyItLoaded)
{
    ui::MenuRecorder recorder;
    TestFolder folder ("commands-bank-files");
    auto status = [&] { return main.getKeyboardPanel().getStatusText(); };

    const auto bankOf = [] (int bank, int seed)
    {
        ByteArray dumps;
        for (int p = 0; p < 99; ++p)
        {
            const auto dump = DSI_Program::programDump (marked (p + seed), bank, p);
            dumps.insert (dumps.end(), dump.begin(), dump.end());
        }
        return dumps;
    };
    const auto whole = bankOf (2, 0);   // saved from U3
    auto damagedFirst = whole;
    damagedFirst[ProgramRecord::programDumpSize - 1] = 0x00;
    auto twoBanks = whole;
    for (auto b : bankOf (3, 100))
        twoBanks.push_back (b);

    struct Case { const char* name; ByteArray bytes; const char* said; bool (*keeps) (int slot); };
    const Case cases[] =
    {
        { "whole.p12b",     whole,        "",                                                  [] (int) { return false; } },
        { "damaged.p12b",   damagedFirst, "LOADED 98 OF 98 PROGRAMS FROM damaged.p12b",       [] (int p) { return p == 0; } },
        { "half.p12b",      ByteArray (whole.begin(), whole.begin() + 49 * ProgramRecord::programDumpSize + 600),
                            "LOADED 49 OF 49 PROGRAMS FROM half.p12b",                          [] (int p) { return p >= 49; } },
        { "two banks.p12b", twoBanks,     "LOADED 99 OF 198 PROGRAMS FROM two banks.p12b",    [] (int) { return false; } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        {
            const juce::ScopedLock sl (e.getProgramLock());
            e.deviceBank (0).initialise (false);
        }
        const auto basic = slot (e, 0, 0);
        main.setStatusText ("");
        const auto file = folder.file().getChildFile (c.name);
        file.replaceWithData (c.bytes.data(), c.bytes.size());

        main.applyBankFileMenu (100);
        recorder.chooseFile (file);

        EXPECT_EQ (status(), c.said);
        for (int p : { 0, 1, 48, 49, 98 })
            EXPECT_EQ (slot (e, 0, p), c.keeps (p) ? basic : marked (p)) << p;
    }
}

// Program and bank files larger than any real one are refused unread, whichever menu chose them.
TEST_F (CommandsThreads, OversizeProgramFilesAreRefusedWithAMessage)
{
    ui::MenuRecorder recorder;
    TestFolder folder ("commands-oversize");
    auto status = [&] { return main.getKeyboardPanel().getStatusText(); };

    ByteArray huge;
    while ((juce::int64) huge.size() <= FileMan::largestProgramFile)
    {
        const auto dump = DSI_Program::programDump (marked (7), 0, (int) (huge.size() / ProgramRecord::programDumpSize) % 99);
        huge.insert (huge.end(), dump.begin(), dump.end());
    }
    const auto file = folder.file().getChildFile ("huge.syx");
    ASSERT_TRUE (file.replaceWithData (huge.data(), huge.size()));

    const struct { const char* what; std::function<void()> choose; } menus[] =
    {
        { "file menu",      [&] { main.applyFileMenu (1); } },
        { "grid menu",      [&] { main.applyGridProgramMenu (4, 1, 10); } },
        { "bank file menu", [&] { main.applyBankFileMenu (101); } },
    };

    for (const auto& m : menus)
    {
        SCOPED_TRACE (m.what);
        main.setStatusText ("");
        const auto edit = e.editBuffer();
        const auto bank = e.deviceBank (1).records();

        m.choose();
        recorder.chooseFile (file);

        EXPECT_EQ (status(), "TOO LARGE, NOT READ: huge.syx");
        EXPECT_EQ (e.editBuffer(), edit);
        EXPECT_EQ (e.deviceBank (1).records(), bank);
    }
}

// A name with a dot keeps all of it: the extension is appended unless the name ends with it.
TEST_F (CommandsThreads, SavedNamesWithADotKeepTheirEnd)
{
    ui::MenuRecorder recorder;
    TestFolder folder ("commands-dotted");

    const struct { const char* what; std::function<void()> save; const char* typed; const char* written; } cases[] =
    {
        { "file menu",      [&] { main.applyFileMenu (2); },              "Pad v1.2",      "Pad v1.2.p12p" },
        { "file menu",      [&] { main.applyFileMenu (2); },              "Pad v1.3",      "Pad v1.3.p12p" },
        { "grid menu",      [&] { main.applyGridProgramMenu (3, 0, 4); }, "Lead.p12p",     "Lead.p12p" },
        { "bank file menu", [&] { main.applyBankFileMenu (200); },        "Set 2024.1",    "Set 2024.1.p12b" },
        { "bank file menu", [&] { main.applyBankFileMenu (201); },        "Set 2024.10",   "Set 2024.10.p12b" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.typed);
        c.save();
        recorder.chooseFile (folder.file().getChildFile (c.typed));
        EXPECT_TRUE (folder.file().getChildFile (c.written).existsAsFile());
    }

    // Nothing else was written: in particular no "Pad v1.p12p" overwritten by the second save.
    EXPECT_EQ (folder.file().findChildFiles (juce::File::findFiles, false).size(), 5);
}
