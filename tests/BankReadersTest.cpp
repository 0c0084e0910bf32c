#include <gtest/gtest.h>
#include "editor/BankComp.h"
#include "editor/WriteSnd.h"
#include "engine/DSI_Program.h"
#include "librarian/LibClass.h"
#include "librarian/Plugin_Bank.h"
#include "support/EditorTestRig.h"
#include "support/TestFolder.h"
#include <atomic>
#include <thread>

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
    struct Reader { const char* what; std::function<void()> read; int repeats; };
    // Quick readers run many times, so that some run while a dump is being stored.
    const Reader readers[] =
    {
        { "preset bank page from a device bank", [&] { presets.applyLoadChoice (Plugin_Bank::deviceBankItem + bank); }, 40 },
        { "library import from a device bank",   [&] { library.applyLoadChoice (LibClass::deviceBankItem + bank); }, 40 },
        { "bank selector grid",                  [&] { banks.showBank (bank); ui::snapshot (banks.getGrid()); }, 1 },
        { "write dialog",                        [&] { WriteSnd dialog (e, bank, 5, "Reader", 0);
                                                       dialog.layout (0, 54, 1000, 600); ui::snapshot (dialog); }, 1 },
        { "program menu",                        [&] { main.buildProgramMenu(); }, 40 },
        { "grid program menu",                   [&] { main.buildGridProgramMenu (bank, 5); }, 40 },
        { "bank file save",                      [&] { main.applyBankFileMenu (200 + bank % 4);
                                                       seams.chooseFile (folder.file().getChildFile ("bank.p12b")); }, 4 },
        { "host save",                           [&] { juce::MemoryBlock m; rig.processor->getStateInformation (m); }, 40 },
    };

    // The writer: a MIDI input thread storing dumps into every bank until the
    // readers are done. The synthesizer's own input is closed so that it is the only one.
    e.selectInputPort (0);
    std::atomic<bool> stop { false };
    std::atomic<int> stored { 0 };
    std::thread writer ([&]
    {
        for (int round = 0; ! stop; ++round)
            for (int b = 0; b < 8 && ! stop; ++b)
                for (int p = 0; p < 99 && ! stop; p += 7)
                {
                    const auto dump = DSI_Program::programDump (recordFor (round, b, p), b, p);
                    e.handleIncomingMidiMessage (nullptr, juce::MidiMessage (dump.data(), (int) dump.size()));
                    ++stored;
                }
    });

    for (int pass = 0; pass < 8 || stored < 2000; ++pass)
    {
        for (const auto& [what, read, repeats] : readers)
        {
            SCOPED_TRACE (what);
            for (int i = 0; i < repeats; ++i, bank = (bank + 1) % 8)
                read();
        }
        if (pass > 10000)
            break;
    }

    stop = true;
    writer.join();
    EXPECT_GE (stored.load(), 2000);
}
