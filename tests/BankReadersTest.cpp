#include <gtest/gtest.h>
#include "editor/BankComp.h"
#include "editor/WriteSnd.h"
#include "engine/DSI_Program.h"
#include "librarian/LibClass.h"
#include "librarian/Plugin_Bank.h"
#include "support/EditorTestRig.h"
#include "support/TestFolder.h"

// Everything outside the engine that reads the device banks does so under the
// program lock while the MIDI input thread stores arriving dumps into them.
// Its worth is under ThreadSanitizer, which reports any read that skips the lock.
namespace
{
ByteArray recordFor (int round, int bank, int program)
{
    ByteArray r ((size_t) ProgramRecord::size, (juce::uint8) ((round * 31 + bank * 7 + program) & 0x7f));
    r[0] = (juce::uint8) round;
    return r;
}
}

TEST (BankReadersThreads, EveryReaderHoldsTheProgramLockWhileDumpsArrive)
{
    EditorTestRig rig;
    auto& main = rig.open();
    auto& e = rig.engine();
    ui::MenuRecorder seams;
    Plugin_Bank presets (*rig.processor);
    LibClass library (*rig.processor);
    const TestFolder folder ("bank-readers");
    main.showAbout (false, 0);
    main.handleCommand (99);
    ASSERT_NE (main.getBankComp(), nullptr);
    auto& banks = *main.getBankComp();

    int bank = 0;
    const std::pair<const char*, std::function<void()>> readers[] =
    {
        { "preset bank page from a device bank", [&] { presets.applyLoadChoice (Plugin_Bank::deviceBankItem + bank); } },
        { "library import from a device bank",   [&] { library.applyLoadChoice (LibClass::deviceBankItem + bank); } },
        { "bank selector grid",                  [&] { banks.showBank (bank); ui::snapshot (banks.getGrid()); } },
        { "write dialog",                        [&] { WriteSnd dialog (e, bank, 5, "Reader", 0);
                                                       dialog.layout (0, 54, 1000, 600); ui::snapshot (dialog); } },
        { "program menu",                        [&] { main.buildProgramMenu(); } },
        { "grid program menu",                   [&] { main.buildGridProgramMenu (bank, 5); } },
        { "bank file save",                      [&] { main.applyBankFileMenu (200 + bank % 4);
                                                       seams.chooseFile (folder.file().getChildFile ("bank.p12b")); } },
        { "host save",                           [&] { juce::MemoryBlock m; rig.processor->getStateInformation (m); } },
    };

    for (int round = 1; round <= 3; ++round)
    {
        // The writer: the synthesizer's thread delivering dumps into every bank.
        ASSERT_TRUE (rig.synth.waitUntilIdle (30000));
        for (int b = 0; b < 8; ++b)
            for (int p = 0; p < 99; p += 7)
            {
                const auto dump = DSI_Program::programDump (recordFor (round, b, p), b, p);
                rig.synth.send (juce::MidiMessage (dump.data(), (int) dump.size()));
            }

        int passes = 0;
        do
        {
            for (const auto& [what, read] : readers)
            {
                SCOPED_TRACE (what);
                read();
            }
            bank = (bank + 1) % 8;
            ++passes;
        }
        while (! rig.synth.waitUntilIdle (0) && passes < 10000);

        ASSERT_TRUE (rig.synth.waitUntilIdle (30000));
        for (int b = 0; b < 8; ++b)
            for (int p = 0; p < 99; p += 7)
            {
                const juce::ScopedLock sl (e.getProgramLock());
                ASSERT_EQ (e.deviceBank (b).programBytes (p), recordFor (round, b, p)) << b << " " << p;
            }
    }
}
