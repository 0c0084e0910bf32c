#include <gtest/gtest.h>
#include <map>
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/Plugin_Bank.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"
#include "support/TestFolder.h"
#include "support/VstHostRunner.h"

namespace
{
juce::File scratchFile (const juce::String& name)   { return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("presets").getChildFile (name); }

juce::File writeFile (const juce::String& name, const juce::MemoryBlock& bytes)
{
    auto f = scratchFile (name);
    f.getParentDirectory().createDirectory();
    f.replaceWithData (bytes.getData(), bytes.getSize());
    return f;
}

struct Page
{
    Page()   { page->setVisible (true); }

    Plugin_Bank* operator->()  { return page.get(); }
    MidiCntrState& engine()    { return processor.getEngine(); }

    juce::String slotName (int p)     { return processor.getProgramName (p).trimEnd(); }
    juce::String editName()           { const juce::ScopedLock sl (engine().getProgramLock()); return engine().presetBank().editBufferName().trimEnd(); }

    // Runs a menu item with a file answered through the chooser seam.
    void load (int item, const juce::File& file)   { page->applyLoadChoice (item); seams.chooseFile (file); }
    void save (int item, const juce::File& file)   { page->applySaveChoice (item); seams.chooseFile (file); }

    bool noticeShown()  { return page->getTextBox() != nullptr && page->getTextBox()->isVisible(); }

    juce::MemoryBlock state()   { juce::MemoryBlock b; processor.getStateInformation (b); return b; }

    // The host's view after saving the project and opening it in a fresh instance.
    juce::String slotNameAfterReload (int p)
    {
        const auto saved = state();
        RecordingMidiDevices otherDevices;
        VantorAudioProcessor other { otherDevices };
        other.setStateInformation (saved.getData(), (int) saved.getSize());
        return other.getProgramName (p).trimEnd();
    }

    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    ui::MenuRecorder seams;
    std::unique_ptr<Plugin_Bank> page = std::make_unique<Plugin_Bank> (processor);
};

void renameSlot (Page& p, int slot, const juce::String& text)
{
    p.processor.setCurrentProgram (slot);
    ui::click (*p.page, p->getList().getPosition() + juce::Point<int> (60, 34 * slot + 10));
    p->beginRename();
    p->getTextBox()->getEditor().setText (text);
    p->okPressed (Plugin_Bank::renameId, slot);
}
}

TEST (PresetBank, PresetAndBankFilesRoundTripByteForByte)
{
    for (const bool wholeBank : { false, true })
    {
        SCOPED_TRACE (wholeBank ? "bank" : "preset");
        Page a;
        a.processor.setCurrentProgram (5);
        const auto file = scratchFile (wholeBank ? "round.fxb" : "round");
        a.save (wholeBank ? Plugin_Bank::saveBankItem : Plugin_Bank::savePresetItem, file);

        const auto written = file.withFileExtension (wholeBank ? "fxb" : "fxp");
        juce::MemoryBlock saved, program;
        ASSERT_TRUE (written.loadFileAsData (saved));
        a.processor.getCurrentProgramStateInformation (program);
        EXPECT_EQ (saved, wholeBank ? a.state() : program);

        Page b;
        b.processor.setCurrentProgram (5);
        b.load (wholeBank ? Plugin_Bank::bankFileItem : Plugin_Bank::presetFileItem, written);
        EXPECT_FALSE (b.noticeShown());
        const auto again = scratchFile ("again v1.0");
        b.save (wholeBank ? Plugin_Bank::saveBankItem : Plugin_Bank::savePresetItem, again);
        juce::MemoryBlock reread;
        ASSERT_TRUE (scratchFile (wholeBank ? "again v1.0.fxb" : "again v1.0.fxp").loadFileAsData (reread));
        EXPECT_EQ (reread, saved);
    }
}

TEST (PresetBank, ForeignFilesAreRefusedWithAMessage)
{
    Page source;
    const auto bank = source.state();
    juce::MemoryBlock preset;
    source.processor.getCurrentProgramStateInformation (preset);
    juce::MemoryBlock big (300000);
    big.fillWith (0x42);
    juce::MemoryBlock renamedTag (bank);
    static_cast<char*> (renamedTag.getData())[0] = 'X';

    const struct { const char* name; int item; juce::MemoryBlock bytes; } cases[] =
    {
        { "large file as bank",   Plugin_Bank::bankFileItem,   big },
        { "large file as preset", Plugin_Bank::presetFileItem, big },
        { "bank as preset",       Plugin_Bank::presetFileItem, bank },
        { "preset as bank",       Plugin_Bank::bankFileItem,   preset },
        { "wrong tag",            Plugin_Bank::bankFileItem,   renamedTag },
        { "short",                Plugin_Bank::presetFileItem, juce::MemoryBlock ("short", 5) },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Page p;
        const auto before = p.state();
        p.load (c.item, writeFile ("foreign.bin", c.bytes));
        EXPECT_EQ (p.state(), before);
        EXPECT_TRUE (p.noticeShown());
    }
}

TEST (PresetBank, FoldersAndFilesWithoutProgramsAreToldNotIgnored)
{
    const auto folder = scratchFile ("a folder.p12b");
    ASSERT_TRUE (folder.createDirectory());
    juce::MemoryBlock noise (4000);
    for (size_t i = 0; i < noise.getSize(); ++i)
        noise[i] = (char) ((i * 37) % 0x7f);   // no F0 anywhere

    juce::MemoryBlock huge;
    while ((juce::int64) huge.getSize() <= FileMan::largestProgramFile)
    {
        const auto dump = DSI_Program::programDump (ByteArray (1024, 5), 0, 0);
        huge.append (dump.data(), dump.size());
    }

    const struct { const char* name; int item; juce::File file; const char* told; } cases[] =
    {
        { "program bank, too large", Plugin_Bank::programBankItem, writeFile ("huge.syx", huge), "too large" },
        { "folder as preset",       Plugin_Bank::presetFileItem,  folder, "is a folder" },
        { "folder as bank",         Plugin_Bank::bankFileItem,    folder, "is a folder" },
        { "folder as program bank", Plugin_Bank::programBankItem, folder, "is a folder" },
        { "program bank, no dump",  Plugin_Bank::programBankItem, writeFile ("noise.p12b", noise), "No program" },
        { "program bank, short",    Plugin_Bank::programBankItem, writeFile ("short.p12b", juce::MemoryBlock ("short", 5)), "No program" },
        { "gone",                   Plugin_Bank::programBankItem, scratchFile ("gone.p12b"), "does not exist" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Page p;
        const auto before = p.state();
        p.load (c.item, c.file);
        EXPECT_EQ (p.state(), before);
        ASSERT_TRUE (p.noticeShown());
        EXPECT_TRUE (p->getTextBox()->getTitle().getText().contains (c.told)) << p->getTextBox()->getTitle().getText();
    }

    // A cancelled chooser stays silent.
    Page p;
    p.load (Plugin_Bank::programBankItem, {});
    EXPECT_FALSE (p.noticeShown());
}

TEST (PresetBank, ChangesToTheCurrentSlotSurviveTheNextHostSave)
{
    Bank_Program source ("src");
    source.initialise (true);
    source.renameProgram (0, "From File");
    ByteArray dumps;
    for (int k = 0; k < 40; ++k)
        for (auto byte : DSI_Program::programDump (source.programBytes (k), 0, k))
            dumps.push_back (byte);

    // expected: the slot's new name, where the test knows it.
    const struct { const char* name; std::function<void (Page&)> act; int slot; const char* expected; } cases[] =
    {
        { "rename current", [] (Page& p) { renameSlot (p, 3, "Renamed"); }, 3, "Renamed" },
        { "device bank",    [] (Page& p) { p.processor.setCurrentProgram (7); p->applyLoadChoice (Plugin_Bank::deviceBankItem + 5); }, 7, nullptr },
        { "program bank file", [&dumps] (Page& p) {
              p.processor.setCurrentProgram (0);
              juce::MemoryBlock block (dumps.data(), dumps.size());
              p.load (Plugin_Bank::programBankItem, writeFile ("bank.syx", block)); }, 0, "From File" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Page p;
        c.act (p);
        const auto changed = p.slotName (c.slot);
        EXPECT_EQ (changed, c.expected != nullptr ? juce::String (c.expected) : changed);
        EXPECT_EQ (p.editName(), changed);
        EXPECT_EQ (p.slotNameAfterReload (c.slot), changed);
        EXPECT_NE (p.slotName (40), "From File");   // a file of 40 programs fills slots 0 to 39 only
    }

    // The same through the plug-in binary: the saved bank, loaded and saved again
    // by a host, and opened in a second instance, keeps the renamed current slot.
    const TestFolder folder ("vantor-presets");
    const auto first = folder.file().getChildFile ("first.fxb"), second = folder.file().getChildFile ("second.fxb");
    Page p;
    renameSlot (p, 6, "Kept Name");
    p.save (Plugin_Bank::saveBankItem, first);
    const auto out = runVstHost ({ "loadchunk", "bank", first.getFullPathName().toStdString(),
                                   "savechunk", "bank", second.getFullPathName().toStdString(),
                                   "instance", "2", "loadchunk", "bank", second.getFullPathName().toStdString(),
                                   "programs" });
    ASSERT_EQ (out.exitCode, 0) << out.text;
    EXPECT_EQ (juce::String (out.value ("program 6")).trimEnd(), "Kept Name");
}

TEST (PresetBank, TheBankHas99SlotsEverywhere)
{
    Page p;
    EXPECT_EQ (p->getList().getNumRows(), 99);
    p->getList().setRows (128);
    EXPECT_EQ (p->getList().getNumRows(), 99);

    p->showSetCurrent();
    auto* box = p->getNameBox();
    ASSERT_NE (box, nullptr);
    EXPECT_EQ (box->buildSlotMenu().getNumItems(), 99);

    box->applySlotChoice (TextSetCurCont::slotMenuBase + 98);
    EXPECT_EQ (box->getTargetSlot(), 98);
    for (int bad : { 99, 127, -1 })
    {
        box->applySlotChoice (TextSetCurCont::slotMenuBase + bad);
        EXPECT_EQ (box->getTargetSlot(), 98);
    }

    const auto before = p.state();
    p->nameAccepted (99);
    p->nameAccepted (127);
    EXPECT_EQ (p.state(), before);

    p->showSetCurrent();
    box->getEditor().setText ("Stored");
    p->nameAccepted (98);
    EXPECT_EQ (p.slotName (98), "Stored");
    EXPECT_EQ (p.processor.getCurrentProgram(), 98);
}

TEST (PresetBank, ListScrollIsClampedAtBothEnds)
{
    Page p;
    p->setSize (500, 600);
    auto& list = p->getList();
    const int last = 99 - list.visibleRows();
    ASSERT_GT (last, 0);

    const struct { int asked, expected; } cases[] = { { -1, 0 }, { last + 1, last }, { 10, 10 } };
    for (auto& c : cases)
    {
        list.scrollTo (c.asked);
        EXPECT_EQ (list.getScrollPosition(), c.expected) << c.asked;
        EXPECT_EQ (list.getFirstRow(), c.expected) << c.asked;
    }

    // The wheel past the end, and the track held below the thumb, stop at the last row.
    for (int i = 0; i < 200; ++i)
        ui::wheel (*p.page, list.getPosition() + juce::Point<int> (60, 40), -1.0f);
    EXPECT_EQ (list.getScrollPosition(), last);

    list.scrollTo (last - 2);
    ui::press (*p.page, list.getPosition() + juce::Point<int> (list.scrollBarX + 10, list.getHeight() - 2));
    ASSERT_TRUE (ui::pumpUntil ([&] { return list.getScrollPosition() == last; }));
    ASSERT_TRUE (ui::pumpPastTimers (Plugin_File::repeatMs));   // one more repeat, held at the end
    ui::release (*p.page, list.getPosition() + juce::Point<int> (list.scrollBarX + 10, list.getHeight() - 2));
    EXPECT_EQ (list.getScrollPosition(), last);
}

TEST (PresetBank, FailedSaveIsReportedAndFileNamesAreLegal)
{
    Page p;
    const auto blocker = writeFile ("blocker", juce::MemoryBlock (4));
    p.save (Plugin_Bank::saveBankItem, blocker.getChildFile ("bank.fxb"));
    EXPECT_TRUE (p.noticeShown());

    const struct { const char* typed, * expected; } names[] =
    {
        { "Bass/Lead:1  ", "BassLead1" }, { "..", "Untitled" }, { "../up", "up" }, { "   ", "Untitled" }, { "Pad 2", "Pad 2" },
    };
    for (auto& n : names)
        EXPECT_EQ (Plugin_Bank::presetFileName (n.typed), n.expected) << n.typed;
}

TEST (PresetBank, SelectingARowAppliesIt)
{
    Page p;
    EXPECT_FALSE (p->getButton (Plugin_Bank::renameId).isVisible());
    auto& list = p->getList();
    ui::click (*p.page, list.getPosition() + juce::Point<int> (60, 34 * 2 + 10));
    EXPECT_TRUE (p->getButton (Plugin_Bank::renameId).isVisible());
    EXPECT_FALSE (p->getButton (Plugin_Bank::applyId).isVisible());
    EXPECT_EQ (p.processor.getCurrentProgram(), 2);
}

// A host keeps its own copy of the values: a preset chosen in the list reaches it,
// although the page chooses it through the host's own entry point.
TEST (PresetBank, APresetChosenInTheListReachesTheHostsCopyOfTheValues)
{
    struct Copy : public juce::AudioProcessorListener
    {
        std::map<int, float> told;
        void audioProcessorParameterChanged (juce::AudioProcessor*, int h, float v) override   { told[h] = v; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    } host;

    Page p;
    {
        const juce::ScopedLock sl (p.engine().getProgramLock());
        const auto other = p.engine().deviceBank (4).programBytes (3);
        p.engine().presetBank().setProgramBytes (2, juce::MemoryBlock (other.data(), other.size()));
    }
    std::vector<float> before;
    for (int h = 0; h < ParameterTable::numHostParameters; ++h)
        before.push_back (p.processor.hostValue (h));
    p.processor.addListener (&host);

    ui::click (*p.page, p->getList().getPosition() + juce::Point<int> (60, 34 * 2 + 10));
    ASSERT_TRUE (ui::drain());
    p.processor.removeListener (&host);

    int changed = 0;
    for (int h = 0; h < ParameterTable::numHostParameters; ++h)
    {
        const float now = p.processor.hostValue (h);
        changed += now != before[(size_t) h] ? 1 : 0;
        const float held = host.told.count (h) != 0 ? host.told[h] : before[(size_t) h];
        EXPECT_EQ (held, now) << h;
    }
    EXPECT_GT (changed, 10);
}

