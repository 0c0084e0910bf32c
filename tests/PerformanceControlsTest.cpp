#include <gtest/gtest.h>
#include "controls/OctaveKeyClass.h"
#include "controls/P_Pad.h"
#include "controls/P_Slider.h"
#include "controls/VelIndClass.h"
#include "controls/WheelCnt.h"
#include "controls/ZoneKeyClassB.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"
#include "support/EngineTestHelpers.h"

namespace
{
// The controls act on a real processor whose device output is recorded.
struct Performance : public ::testing::Test
{
    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();
    ui::RecordingCable cable;

    void SetUp() override
    {
        engine.selectOutputPort (1);
        engine.addCableListener (&cable);
    }

    void TearDown() override   { engine.removeCableListener (&cable); }

    std::vector<int> pitchBends() const
    {
        std::vector<int> result;
        for (const auto& call : devices.lastOutput()->sends())
            for (const auto& m : call.messages)
                if (m.isPitchWheel())
                    result.push_back (m.getPitchWheelValue());
        return result;
    }

    // (id, value) of every slider edit that reached the cable listeners.
    std::vector<std::pair<int, int>> cableCalls() const
    {
        std::vector<std::pair<int, int>> result;
        for (const auto& c : cable.calls)
            result.emplace_back (c.id, c.value);
        return result;
    }

    std::vector<std::pair<int, int>> hostControllers()
    {
        juce::MidiBuffer buffer;
        engine.moveHostMidiInto (buffer, 512);
        std::vector<std::pair<int, int>> result;
        for (const auto meta : buffer)
            if (meta.getMessage().isController())
                result.emplace_back (meta.getMessage().getControllerNumber(), meta.getMessage().getControllerValue());
        return result;
    }

    // Controllers sent to the device since the last call.
    std::vector<std::pair<int, int>> newControllers()
    {
        auto all = sentControllers (*devices.lastOutput());
        const std::vector<std::pair<int, int>> fresh (all.begin() + (long) seen, all.end());
        seen = all.size();
        return fresh;
    }

    size_t seen = 0;
};

using Pairs = std::vector<std::pair<int, int>>;

// One drag event to `to` of a press at `from`, without the release.
void dragTo (juce::Component& c, juce::Point<float> from, juce::Point<float> to)
{
    c.mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), to, ui::leftButton, 1.0f, 0, 0, 0, 0,
                                   &c, &c, juce::Time(), from, juce::Time(), 1, true));
}
}

//==============================================================================
TEST_F (Performance, PitchWheelBendsWhileDraggedAndSpringsBackToTheCentre)
{
    WheelCnt wheel (&engine, 0, 0, 64, true);
    ui::press (shown (wheel), { 15, 60 });
    for (int y = 59; y >= 50; --y)
        dragTo (wheel, { 15.0f, 60.0f }, { 15.0f, (float) y });
    EXPECT_EQ (wheel.getValue(), 74);
    EXPECT_EQ (pitchBends().back(), 9472);

    ui::release (shown (wheel), { 15, 50 });
    EXPECT_EQ (wheel.getValue(), 64);
    EXPECT_EQ (pitchBends().back(), 8192);
    EXPECT_EQ (pitchBends().size(), 11u);   // one per pixel, then the centre
}

TEST_F (Performance, ModWheelSendsControllerOneToHostAndDeviceAndStays)
{
    WheelCnt wheel (&engine, 0, 0, 0, false);
    hostControllers();
    ui::drag (shown (wheel), { 15, 60 }, { 15, 55 }, 1);

    EXPECT_EQ (wheel.getValue(), 5);
    EXPECT_EQ (newControllers(), (Pairs { { 1, 5 } }));
    EXPECT_EQ (hostControllers(), (Pairs { { 1, 5 } }));

    ui::wheel (shown (wheel), { 15, 60 }, 0.2f);
    EXPECT_EQ (wheel.getValue(), 6);
    EXPECT_TRUE (pitchBends().empty());
}

TEST_F (Performance, WheelValueIsClampedAndRepeatsAreNotSent)
{
    WheelCnt wheel (&engine, 0, 0, 64, true);
    for (auto [value, shown] : { std::pair { 64, 64 }, { 200, 127 }, { 200, 127 }, { -9, 0 } })
    {
        wheel.setValue (value, true);
        EXPECT_EQ (wheel.getValue(), shown) << value;
    }
    EXPECT_EQ (pitchBends(), (std::vector<int> { 127 * 128, 0 }));   // the centre and the repeat not sent
}

//==============================================================================
TEST_F (Performance, StripTwoSendsItsOwnPositionWhateverStripOneHolds)
{
    P_Slider one (&engine, 1), two (&engine, 2);
    one.setPositionPressure (40, 0);
    cable.calls.clear();

    two.setPositionPressure (40, 0);
    EXPECT_EQ (cableCalls(), (Pairs { { 1026, 40 } }));
}

TEST_F (Performance, DeviceReportedSliderShowsWithoutSending)
{
    P_Slider strip (&engine, 1);
    strip.setDisplay (90, 20);
    EXPECT_EQ (engine.getValue (1025), 90);
    EXPECT_EQ (engine.getValue (1027), 20);
    EXPECT_TRUE (cable.calls.empty());
}

//==============================================================================
TEST_F (Performance, PadCornersDriveBothSliders)
{
    struct Case { juce::Point<int> corner; int vertical, horizontal; };
    const Case cases[] = {
        { { 0, 0 }, 127, 0 }, { { 89, 0 }, 127, 127 }, { { 0, 89 }, 0, 0 }, { { 89, 89 }, 0, 127 }, { { 200, -50 }, 127, 127 },
    };

    engine.setValue (1028, 1);
    engine.setValue (1029, 1);
    for (const auto& c : cases)
    {
        P_Pad pad (&engine);
        ui::drag (shown (pad), { 45, 45 }, c.corner, 4);
        EXPECT_EQ (engine.getValue (1025), c.vertical) << c.corner.toString();
        EXPECT_EQ (engine.getValue (1026), c.horizontal) << c.corner.toString();
    }
}

TEST_F (Performance, PadReleaseReturnsOnlyTheUnlatchedSlider)
{
    engine.setValue (1028, 1);   // latch 1 on, latch 2 off
    P_Pad pad (&engine);
    ui::drag (shown (pad), { 45, 45 }, { 0, 0 }, 2);
    EXPECT_EQ (engine.getValue (1025), 127);
    EXPECT_EQ (engine.getValue (1026), 0);
    EXPECT_EQ (cableCalls(), (Pairs { { 1025, 94 }, { 1026, 33 }, { 1025, 127 }, { 1026, 0 } }));

    cable.calls.clear();
    ui::drag (shown (pad), { 45, 45 }, { 60, 0 }, 1);
    EXPECT_EQ (cableCalls(), (Pairs { { 1026, 87 }, { 1026, 0 } }));

    cable.calls.clear();
    ui::click (shown (pad), { 30, 30 });   // no movement: nothing
    EXPECT_TRUE (cable.calls.empty());
}

// The strip moved the slider behind the pad's back: the pad's return to its
// earlier value must still be sent.
TEST_F (Performance, PadSendsAValueItHadSentBeforeWhenTheEngineMovedOn)
{
    engine.setValue (1028, 1);
    engine.setValue (1029, 1);
    P_Pad pad (&engine);
    P_Slider strip (&engine, 1);

    pad.setXY (100, 0);
    strip.setPositionPressure (20, 0);
    cable.calls.clear();

    pad.setXY (100, 0);
    EXPECT_EQ (cableCalls(), (Pairs { { 1025, 100 } }));
    EXPECT_EQ (engine.getValue (1025), 100);
}

//==============================================================================
// Picks at both ends of the keys take the pixel-to-note mapping and the
// start note's snapping to whole octaves past their ends.
TEST_F (Performance, OctavePickIsOneOctaveLeftOfThePointer)
{
    struct Case { float zoom; int x; int start, octave; };
    const Case cases[] = {
        { 1.0f, 0, 0, 0 },   { 1.0f, 3, 0, 0 },    // nothing left of the first key
        { 1.0f, 60, 12, 1 }, { 1.0f, 90, 24, 2 }, { 1.0f, 268, 72, 6 },
        { 2.0f, 180, 24, 2 }, { 2.0f, 10, 0, 0 },  // the same keys at double size
    };

    for (const auto& c : cases)
    {
        OctaveKeyClass keys (&engine);
        keys.setScale (c.zoom, 269);
        engine.setKeyboardOctave (9);
        ui::click (shown (keys), { c.x, 5 });
        EXPECT_EQ (keys.getStartNote(), c.start) << c.zoom << " " << c.x;
        EXPECT_EQ (engine.getKeyboardOctave(), c.octave) << c.zoom << " " << c.x;
    }
}

TEST_F (Performance, OctavePickOutsideTheKeysIsIgnored)
{
    OctaveKeyClass keys (&engine);
    keys.setStartNote (36);
    dragTo (keys, { 10.0f, 5.0f }, { -4.0f, 5.0f });
    EXPECT_EQ (keys.getStartNote(), 36);
}

//==============================================================================
TEST_F (Performance, VelocityBarDragsTheKeyboardVelocity)
{
    VelIndClass bar (&engine);
    ui::drag (shown (bar), { 5, 60 }, { 5, 27 }, 2);
    EXPECT_EQ (bar.getVelocity(), 100);
    EXPECT_EQ (engine.getKeyboardVelocity(), 100);

    ui::drag (shown (bar), { 5, 60 }, { 5, -40 }, 1);
    EXPECT_EQ (engine.getKeyboardVelocity(), 127);

    ui::drag (shown (bar), { 50, 60 }, { 50, 100 }, 1);   // right of the bar: no drag
    EXPECT_EQ (engine.getKeyboardVelocity(), 127);
}

TEST (ZoneKeyClassB, PicksNotesWithinRangePastItsEndsAndReportsDragsUntilRelease)
{
    struct Case { int from, to, note; };
    const Case cases[] = { { 100, 140, 35 }, { 200, 505, 127 }, { 4, 4, 1 }, { 504, 504, 126 }, { 200, 600, 127 }, { 200, -10, 0 } };

    for (const auto& c : cases)
    {
        ZoneKeyClassB keys;
        ChangeRecorder codes (keys, [&keys] { return keys.changeCode; });
        ui::press (shown (keys), { c.from, 10 });
        ASSERT_TRUE (ui::drain());
        dragTo (keys, { (float) c.from, 10.0f }, { (float) c.to, 10.0f });
        ASSERT_TRUE (ui::drain());
        ui::release (keys, { c.to, 10 });
        ASSERT_TRUE (ui::drain());
        EXPECT_EQ (keys.getNote(), c.note) << c.to;
        EXPECT_EQ (codes.seen, (std::vector<int> { 65, 68, 65 })) << c.to;   // picked, dragged, released
    }
}
