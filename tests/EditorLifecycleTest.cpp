#include <gtest/gtest.h>
#include "support/EditorTestRig.h"
#include <atomic>
#include <chrono>
#include <thread>

// Editors come and go while the engine's threads keep posting: the synth's
// input thread answering a bank receive, a host automation thread and a
// transmit. No notification may reach an editor that is gone.
TEST (EditorLifecycleThreads, EditorsComeAndGoWhileEngineThreadsPost)
{
    EditorTestRig rig;
    auto& engine = rig.engine();
    engine.startBankReceive (MidiCntrState::allUserBanks, 0);

    std::atomic<bool> stop { false };
    std::thread automation ([&]
    {
        for (int i = 0; ! stop; ++i)
        {
            rig.processor->getParameters()[i % 600]->setValue ((float) (i % 128) / 127.0f);
            engine.postEvent (EngineEvent::make (EngineEvent::sliderSent));
            if (i % 16 == 0)
                engine.postCommand (EngineEvent::make (EngineEvent::keyboardCommand, 727 + i % 9));
            // A host's automation rate, not a flood no message thread could follow.
            std::this_thread::sleep_for (std::chrono::microseconds (200));
        }
    });

    for (int round = 0; round < 25; ++round)
    {
        rig.open (round % 3 != 0);
        if (round % 4 == 1)
            rig.main().startTransfer (0, 1);
        if (round % 2 == 1)
            ASSERT_TRUE (ui::drain());
        rig.close();
    }

    stop = true;
    automation.join();

    // The receive went on without an editor and finished; a new editor picks up.
    EXPECT_TRUE (EditorTestRig::pumpUntil ([&] { return ! engine.isBankReceiveRunning(); }, 120000));
    auto& main = rig.open();
    ASSERT_TRUE (rig.settle());
    EXPECT_EQ (main.getProgressOverlay(), nullptr);
    EXPECT_EQ (main.getKeyboardPanel().getStatusText(), "DSI:  PROPHET 12 MDL ON-LINE");
}
