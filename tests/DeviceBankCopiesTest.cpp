#include <gtest/gtest.h>
#include "librarian/LibClass.h"
#include "librarian/Plugin_Bank.h"
#include "librarian/StsFile.h"
#include "engine/DSI_Program.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"
#include "support/ScopedHome.h"

// Filling the preset bank or the library from a device bank copies that bank,
// every slot in its place.
namespace
{
// Every record of every device bank told apart from all others.
void markEveryBank (MidiCntrState& e)
{
    const juce::ScopedLock sl (e.getProgramLock());
    for (int b = 0; b < 8; ++b)
        for (int p = 0; p < 99; ++p)
        {
            ByteArray record ((size_t) ProgramRecord::size, (juce::uint8) (b * 13 + p % 7));
            record[0] = (juce::uint8) b;
            record[1] = (juce::uint8) p;
            e.deviceBank (b).storeProgram (p, record);
        }
}
}

TEST (DeviceBankCopies, ThePresetBankPageCopiesTheChosenBank)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    auto& e = processor.getEngine();
    markEveryBank (e);
    ui::MenuRecorder seams;
    Plugin_Bank page (processor);

    for (int b : { 0, 3, 4, 7, 5, 1 })
    {
        SCOPED_TRACE (b);
        processor.setCurrentProgram (b * 11);
        page.applyLoadChoice (Plugin_Bank::deviceBankItem + b);

        const juce::ScopedLock sl (e.getProgramLock());
        for (int p = 0; p < 99; ++p)
            ASSERT_EQ (e.presetBank().programBytes (p), e.deviceBank (b).programBytes (p)) << p;
        EXPECT_EQ (e.presetBank().editBufferBytes(), e.deviceBank (b).programBytes (b * 11));
    }

    // Past the eight banks: nothing is copied.
    ByteArray before;
    {
        const juce::ScopedLock sl (e.getProgramLock());
        before = e.presetBank().programBytes (20);
    }
    page.applyLoadChoice (Plugin_Bank::deviceBankItem + 8);
    const juce::ScopedLock sl (e.getProgramLock());
    EXPECT_EQ (e.presetBank().programBytes (20), before);
}

TEST (DeviceBankCopies, TheLibraryImportsTheChosenBankInOrder)
{
    for (int b : { 0, 2, 4, 7, -1 })   // -1: the preset bank
    {
        SCOPED_TRACE (b);
        ScopedHome home;
        RecordingMidiDevices devices;
        VantorAudioProcessor processor { devices };
        auto& e = processor.getEngine();
        markEveryBank (e);
        ui::MenuRecorder seams;
        LibClass library (processor);
        ASSERT_EQ (library.getList().numRecords(), 0);

        library.applyLoadChoice (b < 0 ? LibClass::presetBankItem : LibClass::deviceBankItem + b);

        ByteArray expected;
        {
            const juce::ScopedLock sl (e.getProgramLock());
            const auto& records = b < 0 ? e.presetBank().records() : e.deviceBank (b).records();
            expected.assign (records.begin(), records.begin() + (std::ptrdiff_t) ProgramRecord::bankSize);
        }
        EXPECT_EQ (library.getList().numRecords(), 99);
        EXPECT_TRUE (library.getList().records() == expected);
    }
}

// A program bank file fills the first slots only: the edit buffer follows when
// the current slot was among them, and keeps its edits when it was not.
TEST (DeviceBankCopies, AShortProgramBankFileReloadsOnlyACurrentSlotItFilled)
{
    Bank_Program source ("src");
    source.loadFactoryBank (3);
    ByteArray dumps;
    for (int k = 0; k < 40; ++k)
        for (auto byte : DSI_Program::programDump (source.programBytes (k), 0, k))
            dumps.push_back (byte);
    const auto file = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("forty.syx");
    ASSERT_TRUE (file.replaceWithData (dumps.data(), dumps.size()));

    for (int current : { 0, 39, 40, 98 })
    {
        SCOPED_TRACE (current);
        RecordingMidiDevices devices;
        VantorAudioProcessor processor { devices };
        auto& e = processor.getEngine();
        ui::MenuRecorder seams;
        Plugin_Bank page (processor);
        processor.setCurrentProgram (current);
        e.setValue (8, 77);
        const auto edited = e.editBuffer();

        page.applyLoadChoice (Plugin_Bank::programBankItem);
        seams.chooseFile (file);

        const juce::ScopedLock sl (e.getProgramLock());
        EXPECT_EQ (e.presetBank().programBytes (39), source.programBytes (39));
        EXPECT_NE (e.presetBank().programBytes (40), source.programBytes (40));
        EXPECT_EQ (e.presetBank().editBufferBytes(), current < 40 ? source.programBytes (current) : edited);
    }
}

// On the preset bank page too, each dump of a program bank file lands in the
// slot its program number names: a damaged dump moves none of the others.
TEST (DeviceBankCopies, ProgramBankFileDumpsLandInTheirOwnSlots)
{
    Bank_Program source ("src");
    source.loadFactoryBank (5);
    ByteArray whole;
    for (int k = 0; k < 99; ++k)
        for (auto byte : DSI_Program::programDump (source.programBytes (k), 2, k))   // saved from U3
            whole.push_back (byte);
    auto damagedFirst = whole;
    damagedFirst[ProgramRecord::programDumpSize - 1] = 0x00;
    // Another bank after it: the first bank's programs keep their slots.
    auto twoBanks = whole;
    Bank_Program other ("other");
    other.loadFactoryBank (2);
    for (int k = 0; k < 99; ++k)
        for (auto byte : DSI_Program::programDump (other.programBytes (k), 3, k))
            twoBanks.push_back (byte);

    const struct { const char* name; ByteArray bytes; int missing; const char* told; } cases[] =
    {
        { "whole.p12b",     whole,        -1, nullptr },
        { "damaged.p12b",   damagedFirst,  0, "Loaded 98 of 98 programs" },
        { "half.p12b",      ByteArray (whole.begin(), whole.begin() + 49 * ProgramRecord::programDumpSize + 600),
                            49, "Loaded 49 of 49 programs" },
        { "two banks.p12b", twoBanks,     -1, "Loaded 99 of 198 programs" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (c.name);
        ASSERT_TRUE (file.replaceWithData (c.bytes.data(), c.bytes.size()));
        RecordingMidiDevices devices;
        VantorAudioProcessor processor { devices };
        auto& e = processor.getEngine();
        ui::MenuRecorder seams;
        Plugin_Bank page (processor);
        ByteArray before;
        {
            const juce::ScopedLock sl (e.getProgramLock());
            before = e.presetBank().programBytes (juce::jmax (0, c.missing));
        }

        page.applyLoadChoice (Plugin_Bank::programBankItem);
        seams.chooseFile (file);

        {
            const juce::ScopedLock sl (e.getProgramLock());
            for (int p : { 0, 1, 48, 49, 50, 98 })
            {
                if (c.missing < 0 || (c.missing == 0 ? p != 0 : p < c.missing))
                {
                    EXPECT_EQ (e.presetBank().programBytes (p), source.programBytes (p)) << p;
                }
            }
            if (c.missing >= 0)
            {
                EXPECT_EQ (e.presetBank().programBytes (c.missing), before);
            }
        }
        auto* notice = page.getTextBox();
        if (c.told == nullptr)
            EXPECT_TRUE (notice == nullptr || ! notice->isVisible());
        else
        {
            ASSERT_TRUE (notice != nullptr && notice->isVisible());
            EXPECT_TRUE (notice->getTitle().getText().contains (c.told)) << notice->getTitle().getText();
        }
    }
}
