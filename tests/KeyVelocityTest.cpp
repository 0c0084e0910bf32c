#include <gtest/gtest.h>
#include "editor/PianoPad.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

// The velocity bar decides a key's velocity from 6 up; below that the click height does.
TEST (KeyVelocity, TheBarDecidesFromSixUpTheClickHeightBelow)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    auto& e = processor.getEngine();
    e.selectOutputPort (1);
    e.setMidiChannel (4);
    e.setKeyboardOctave (3);
    PianoPad pad { &e };
    pad.setScale (1.0f);

    // A white key clicked at y 102 plays 63 by height.
    const struct { int bar, velocity; } cases[] = { { 0, 63 }, { 5, 63 }, { 6, 6 }, { 90, 90 }, { 127, 127 } };

    for (const auto& c : cases)
    {
        e.setKeyboardVelocity (c.bar);
        const auto before = devices.lastOutput()->sends().size();
        ui::click (pad, { 5, 102 });
        const auto sends = devices.lastOutput()->sends();
        ASSERT_EQ (sends.size(), before + 2) << c.bar;
        const auto& on = sends[before].messages.front();
        ASSERT_TRUE (on.isNoteOn()) << c.bar;
        EXPECT_EQ (on.getVelocity(), c.velocity) << c.bar;
        EXPECT_EQ (on.getNoteNumber(), 36) << c.bar;
        EXPECT_EQ (on.getChannel(), 4) << c.bar;
        EXPECT_TRUE (sends[before + 1].messages.front().isNoteOff()) << c.bar;
    }
}
