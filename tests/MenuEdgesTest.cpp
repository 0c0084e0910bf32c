#include <gtest/gtest.h>
#include "editor/AppBar.h"
#include "editor/AskPanel.h"
#include "controls/StsLabel.h"
#include "support/EditorTestRig.h"
#include "support/SynthMessages.h"
#include "support/TestFolder.h"

// The main component's menus at their edges: the first and last items, ids
// just past them, and the slot each one names.
namespace
{
ByteArray slot (MidiCntrState& e, int bank, int program)
{
    const juce::ScopedLock sl (e.getProgramLock());
    return e.deviceBank (bank).programBytes (program);
}

bool hasItem (const juce::PopupMenu& menu, const juce::String& text)
{
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        if (it.getItem().text == text)
            return true;
    return false;
}

struct MenuEdgesThreads : public ::testing::Test
{
    EditorTestRig rig;
    MainComp& main = rig.open();
    MidiCntrState& e = rig.engine();
};
}

TEST_F (MenuEdgesThreads, ProgramMenuItemsSelectTheirSlotAndTellTheSynthesizer)
{
    e.setMidiChannel (3);
    const struct { int id; int startBank, startProgram; int bank, program; bool sends; } cases[] =
    {
        { 100000 + 3, 1, 41, 3, 41, true },    // a bank keeps the program
        { 100000 + 7, 0, 98, 7, 98, true },
        { 100000 + 0, 7, 0,  0, 0,  true },
        { 1000 + 98,  5, 3,  5, 98, true },    // a program keeps the bank
        { 1000 + 0,   6, 50, 6, 0,  true },
        { 1000 + 99,  2, 4,  2, 4,  false },   // past the bank
        { 100000 + 8, 2, 4,  2, 4,  false },   // no such bank
        { 999,        2, 4,  2, 4,  false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        e.selectProgram (c.startBank * 99 + c.startProgram, false, false);
        rig.synth.waitUntilIdle();
        rig.synth.clearReceived();

        main.applyProgramMenu (c.id);
        EXPECT_EQ (e.getCurrentBank(), c.bank);
        EXPECT_EQ (e.getCurrentProgram(), c.program);
        EXPECT_EQ (e.editBuffer(), slot (e, c.bank, c.program));
        if (c.sends)
        {
            ASSERT_TRUE (rig.synth.waitForReceived (2));
            EXPECT_EQ (channelMessages (rig.synth), (std::vector<ByteArray> { { 0xB2, 32, (juce::uint8) c.bank },
                                                                               { 0xC2, (juce::uint8) c.program } }));
        }
        else
        {
            EXPECT_TRUE (channelMessages (rig.synth).empty());
        }
    }

    // The menu lists the current bank's programs after the eight banks.
    e.selectProgram (5 * 99 + 2, false, false);
    const auto menu = main.buildProgramMenu();
    std::vector<juce::String> texts;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (! it.getItem().isSeparator)
            texts.push_back (it.getItem().text);
    ASSERT_EQ (texts.size(), 8u + 99u);
    EXPECT_EQ (texts[0], "User Bank 1");
    EXPECT_EQ (texts[7], "Factory Bank 4");
    const juce::ScopedLock sl (e.getProgramLock());
    EXPECT_EQ (texts[8], e.deviceBank (5).programName (0));
    EXPECT_EQ (texts[8 + 98], e.deviceBank (5).programName (98));
}

TEST_F (MenuEdgesThreads, ChannelAndPresetsMenusStopAtTheirLastItems)
{
    auto& label = rig.page().getAppBar().getChannelLabel();
    for (int id : { 1, 16, 0, 17, -1 })
    {
        const int before = e.getMidiChannel();
        const auto text = label.getText();
        main.applyChannelMenu (id);
        const bool valid = id >= 1 && id <= 16;
        EXPECT_EQ (e.getMidiChannel(), valid ? id : before) << id;
        EXPECT_EQ (label.getText(), valid ? "Chan: " + juce::String (id) : text) << id;
    }

    // "Initialize" only for a user bank, naming it.
    for (int bank = 0; bank < 8; ++bank)
    {
        e.splitProgramIndex (bank * 99 + 4);
        const auto menu = main.buildPresetsMenu();
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ (hasItem (menu, "Initialize User Program Bank " + juce::String (n)), bank < 4 && n == bank + 1) << bank << " " << n;
        for (int n = 1; n <= 4; ++n)
            EXPECT_TRUE (hasItem (menu, "User Bank " + juce::String (n)));
    }
}

TEST_F (MenuEdgesThreads, FactoryPresetsGoIntoTheUserBankOfTheirNumber)
{
    for (int n = 0; n < 4; ++n)
    {
        SCOPED_TRACE (n);
        {
            const juce::ScopedLock sl (e.getProgramLock());
            for (int b = 0; b < 4; ++b)
                e.deviceBank (b).initialise (false);
        }
        main.applyPresetsMenu (100 + n);
        ASSERT_NE (main.getQuestion(), nullptr);
        main.getQuestion()->answer (true);

        Bank_Program factory ("F");
        factory.loadFactoryBank (n);
        const juce::ScopedLock sl (e.getProgramLock());
        for (int b = 0; b < 4; ++b)
            EXPECT_EQ (e.deviceBank (b).records() == factory.records(), b == n) << b;
    }
}

TEST_F (MenuEdgesThreads, SendMenuLoadsTheHostsCurrentPreset)
{
    for (int preset : { 5, 0, 98 })
    {
        rig.processor->setCurrentProgram (preset);
        e.setValue (8, 77);
        e.setValue (520, 3);
        main.applySendMenu (2);
        const juce::ScopedLock sl (e.getProgramLock());
        EXPECT_EQ (e.presetBank().editBufferBytes(), e.presetBank().programBytes (preset)) << preset;
    }
}

TEST_F (MenuEdgesThreads, GridSaveWritesTheClickedSlotAndGridLoadFillsTheClickedSlot)
{
    ui::MenuRecorder seams;
    const TestFolder folder ("grid-files");
    const struct { int fromBank, fromProgram, toBank, toProgram; } cases[] = { { 6, 98, 0, 0 }, { 0, 0, 3, 98 }, { 4, 12, 2, 13 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String::formatted ("%d/%d to %d/%d", c.fromBank, c.fromProgram, c.toBank, c.toProgram));
        const auto file = folder.file().getChildFile ("slot" + juce::String (c.fromBank) + "-" + juce::String (c.fromProgram));
        main.applyGridProgramMenu (3, c.fromBank, c.fromProgram);
        EXPECT_TRUE (seams.lastChooserSaves);
        seams.chooseFile (file);
        EXPECT_TRUE (file.withFileExtension (".p12p").existsAsFile());

        const auto neighbour = slot (e, c.toBank, c.toProgram == 0 ? 1 : c.toProgram - 1);
        main.applyGridProgramMenu (4, c.toBank, c.toProgram);
        seams.chooseFile (file.withFileExtension (".p12p"));
        EXPECT_EQ (slot (e, c.toBank, c.toProgram), slot (e, c.fromBank, c.fromProgram));
        EXPECT_EQ (slot (e, c.toBank, c.toProgram == 0 ? 1 : c.toProgram - 1), neighbour);
    }
}
