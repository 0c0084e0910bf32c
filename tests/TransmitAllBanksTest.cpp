#include <gtest/gtest.h>
#include "editor/AskPanel.h"
#include "controls/ProgBar.h"
#include "support/EditorTestRig.h"

// "Transmit All User Banks" and "Transmit All Factory Banks": every program of
// the four banks arrives in its own slot of the synthesizer, and nothing else changes there.
namespace
{
ByteArray slot (MidiCntrState& e, int bank, int program)
{
    const juce::ScopedLock sl (e.getProgramLock());
    return e.deviceBank (bank).programBytes (program);
}
}

TEST (TransmitAllBanksThreads, EachCommandFillsItsOwnFourBanksOnTheSynthesizer)
{
    const struct { const char* what; int item, firstBank; } cases[] =
    {
        { "user banks",    300, 0 },
        { "factory banks", 350, 4 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        EditorTestRig rig;
        auto& main = rig.open();
        auto& e = rig.engine();
        e.transmitter().setPacing (0.0, 0.0);

        // Every slot told apart from its neighbours and from what the synthesizer holds.
        for (int b = 0; b < 8; ++b)
            for (int p : { 0, 1, 50, 97, 98 })
            {
                ByteArray record (ProgramRecord::size, (juce::uint8) (b * 16 + p % 16));
                record[0] = (juce::uint8) p;
                e.putProgram (true, b, p, record);
            }

        std::vector<ByteArray> before;
        for (int b = 0; b < 8; ++b)
            for (int p = 0; p < 99; ++p)
                before.push_back (rig.synth.record (b, p));

        rig.synth.waitUntilIdle();
        rig.synth.clearReceived();
        main.applyBankMidiMenu (c.item);
        ASSERT_NE (main.getQuestion(), nullptr);
        main.getQuestion()->answer (true);
        ASSERT_NE (main.getProgressOverlay(), nullptr);
        ASSERT_TRUE (rig.pumpUntil ([&] { return ! e.isTransmitting() && main.getProgressOverlay() == nullptr; }, 120000));

        int dumps = 0;
        for (const auto& r : rig.synth.received())
            dumps += r.message.getRawDataSize() == ProgramRecord::programDumpSize ? 1 : 0;
        EXPECT_EQ (dumps, 4 * 99);

        for (int b = 0; b < 8; ++b)
            for (int p = 0; p < 99; ++p)
            {
                const bool sent = b >= c.firstBank && b < c.firstBank + 4;
                const auto expected = sent ? slot (e, b, p) : before[(size_t) (b * 99 + p)];
                ASSERT_EQ (rig.synth.record (b, p), expected) << "bank " << b << " program " << p;
            }
    }
}
