#include <gtest/gtest.h>
#include "editor/Global_Container.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/EngineTestHelpers.h"

namespace
{
struct GlobalPage : public ::testing::Test
{
    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();
    std::unique_ptr<Global_Container> page;

    void SetUp() override
    {
        engine.selectOutputPort (1);
        page = std::make_unique<Global_Container> (engine);
        page->setBounds (0, 0, 750, 350);
    }

    std::vector<std::pair<int, int>> sent() const   { return sentControllers (*devices.lastOutput()); }

    // (number, value) of each complete NRPN sent.
    std::vector<std::pair<int, int>> nrpns() const
    {
        std::vector<std::pair<int, int>> result;
        const auto c = sent();
        for (size_t i = 0; i + 3 < c.size(); ++i)
            if (c[i].first == 99 && c[i + 1].first == 98 && c[i + 2].first == 6 && c[i + 3].first == 38)
                result.emplace_back (c[i].second * 128 + c[i + 1].second, c[i + 2].second * 128 + c[i + 3].second);
        return result;
    }

    juce::Point<int> centreOf (int id)   { return page->widget (id).getBounds().getCentre(); }
};

TEST_F (GlobalPage, ValueMenusListTheNamedValues)
{
    struct Case { int id; size_t count; const char* first; const char* last; };
    const Case cases[] = {
        { 2, 17, "ALL CHANNELS", "CHANNEL 16" }, { 25, 17, "1. 12-Tone Equal Temp", "17. Arabic 12-Tone" },
        { 4, 3, "MIDI port", "2" },               { 16, 6, "Breath CC#2", "LP Filter Half" },
        { 17, 6, "0", "5" },                      { 10, 4, "OFF", "MIDI/USB" },
    };
    for (const auto& c : cases)
    {
        ui::MenuRecorder menus;
        menus.setAutoAnswer (0);
        ui::click (*page, centreOf (c.id));
        ASSERT_EQ (menus.menusShown, 1) << c.id;
        const auto texts = menus.itemTexts();
        ASSERT_EQ (texts.size(), c.count) << c.id;
        EXPECT_EQ (texts.front(), c.first);
        EXPECT_EQ (texts.back(), c.last);
    }
    EXPECT_TRUE (nrpns().empty());   // dismissed: nothing sent
}

TEST_F (GlobalPage, TextsOfUnnamedValuesAndKnobFramesInsideTheStrip)
{
    struct Case { int id, value; const char* text; };
    const Case cases[] = { { 0, 0, "-12" }, { 1, 100, "50" }, { 2, 17, "" }, { 25, 19, "" }, { 25, 20, "20" },
                           { 3, 9, "9" }, { 7, 1, "1" }, { 2, -3, "-3" } };
    for (const auto& c : cases)
        EXPECT_EQ (GlbCont::valueText (c.id, c.value), c.text) << c.id << " " << c.value;

    struct Frame { int value, maximum, frame; };
    for (auto f : { Frame { 0, 24, 0 }, Frame { 24, 24, 54 }, Frame { 12, 24, 27 }, Frame { 100, 100, 54 }, Frame { -56, 24, 0 }, Frame { 127, 100, 54 } })
        EXPECT_EQ (GlbCont::knobFrame (f.value, f.maximum), f.frame) << f.value << "/" << f.maximum;
}

TEST_F (GlobalPage, EditsClampAndUnchangedValuesSendNothing)
{
    struct Step { int id; std::function<void()> gesture; int expectedValue; bool sends; };
    auto wheelAt = [this] (int id, float dy) { return [this, id, dy] { ui::wheel (*page, centreOf (id), dy); }; };
    auto choose = [this] (int id, int item) { return [this, id, item] { ui::MenuRecorder m; m.setAutoAnswer (item); ui::click (*page, centreOf (id)); }; };
    const Step steps[] = {
        { 7, wheelAt (7, 1.0f), 1, true },          // 0 -> 1: NRPN 1031
        { 7, wheelAt (7, 1.0f), 1, false },         // at the top
        { 7, [this] { ui::click (*page, centreOf (7)); }, 0, true },
        { 7, wheelAt (7, -1.0f), 0, false },
        { 3, choose (3, 3), 2, true },
        { 3, choose (3, 3), 2, false },             // the value already shown
        { 2, choose (2, 1), 0, false },
        { 0, wheelAt (0, -1.0f), 0, false },
        { 1, wheelAt (1, 1.0f), 1, true },
    };
    for (const auto& s : steps)
    {
        const auto before = nrpns().size();
        s.gesture();
        EXPECT_EQ (page->widget (s.id).getValue(), s.expectedValue) << s.id;
        EXPECT_EQ (nrpns().size(), before + (s.sends ? 1 : 0)) << s.id;
        if (s.sends)
        {
            EXPECT_EQ (nrpns().back(), std::make_pair (1024 + s.id, s.expectedValue));
        }
    }

    engine.setGlobalByte (2, 200);   // out of range from the dump: shown as is, clamped when edited
    EXPECT_EQ (page->widget (2).getValue(), -56);
    ui::wheel (*page, centreOf (2), 1.0f);
    EXPECT_EQ (page->widget (2).getValue(), 0);
}

TEST_F (GlobalPage, KnobDragStepsDependOnTheRange)
{
    struct Case { int id; juce::Point<int> move; int value; };
    const Case cases[] = {
        { 0, { 0, -44 }, 2 }, { 0, { 29, 0 }, 1 }, { 0, { 15, -15 }, 2 }, { 0, { 0, 400 }, 0 }, { 0, { 600, 0 }, 24 },
        { 1, { 0, -20 }, 10 }, { 1, { 7, -7 }, 6 }, { 1, { -3, 0 }, 0 },
    };
    for (const auto& c : cases)
    {
        engine.setGlobalByte (c.id, 0);
        const auto from = centreOf (c.id);
        ui::drag (*page, from, from + c.move, 6);
        EXPECT_EQ (page->widget (c.id).getValue(), c.value) << c.id << " " << c.move.toString();
    }
}

TEST_F (GlobalPage, AParameterEditAfterAGlobalEditSendsItsFullNrpn)
{
    const ParameterId id = 10;
    engine.sendParameter (id, 5);
    engine.sendParameter (id, 6);   // running: data entry only
    ui::wheel (*page, centreOf (7), 1.0f);
    const auto before = sent().size();
    engine.sendParameter (id, 7);
    const auto after = sent();
    ASSERT_EQ (after.size(), before + 4);
    EXPECT_EQ (after[before].first, 99);
    EXPECT_EQ (after[before + 1].first, 98);
}

// The synthesizer listens on the channel the page gives it: the setting goes out
// on the channel it listened on until then, and the plug-in's own channel follows.
// "ALL CHANNELS" makes it listen everywhere: the plug-in keeps its channel.
TEST_F (GlobalPage, MidiChannelSettingMovesThePluginsChannel)
{
    struct Step { std::function<void()> gesture; int value, sentOn, channelAfter; };
    auto choose = [this] (int item) { return [this, item] { ui::MenuRecorder m; m.setAutoAnswer (item); ui::click (*page, centreOf (2)); }; };
    const Step steps[] = {
        { choose (4),  3,  1,  3 },      // "CHANNEL 3"
        { choose (1),  0,  3,  3 },      // "ALL CHANNELS"
        { choose (17), 16, 3,  16 },     // "CHANNEL 16"
        { [this] { ui::wheel (*page, centreOf (2), -1.0f); }, 15, 16, 15 },
    };
    for (const auto& s : steps)
    {
        const auto before = devices.lastOutput()->sends().size();
        s.gesture();
        EXPECT_EQ (nrpns().back(), std::make_pair (1026, s.value));
        const auto sends = devices.lastOutput()->sends();
        ASSERT_GT (sends.size(), before);
        for (auto i = before; i < sends.size(); ++i)
            for (const auto& m : sends[i].messages)
                EXPECT_EQ (m.getChannel(), s.sentOn) << s.value;
        EXPECT_EQ (engine.getMidiChannel(), s.channelAfter) << s.value;
    }

    // Every later message goes to the synthesizer's new channel.
    engine.sendParameter (10, 5);
    EXPECT_EQ (devices.lastOutput()->sends().back().messages.back().getChannel(), 15);
}
}

// The page shows the channel the synthesizer listens on: choosing it there brings
// the plug-in onto it, with nothing to send.
TEST_F (GlobalPage, ChoosingTheChannelWhereItStandsBringsThePluginThere)
{
    struct Case { int shown, pluginBefore, item, pluginAfter; };
    const Case cases[] = {
        { 5, 1, 6,  5 },     // "CHANNEL 5"
        { 16, 16, 17, 16 },
        { 0, 3, 1,  3 },     // "ALL CHANNELS" keeps the plug-in's
    };
    for (const auto& c : cases)
    {
        engine.setGlobalByte (MidiCntrState::globalMidiChannel, c.shown);
        engine.setMidiChannel (c.pluginBefore);
        const auto before = devices.lastOutput()->sends().size();
        {
            ui::MenuRecorder m;
            m.setAutoAnswer (c.item);
            ui::click (*page, centreOf (MidiCntrState::globalMidiChannel));
        }
        EXPECT_EQ (engine.getMidiChannel(), c.pluginAfter) << c.shown;
        EXPECT_EQ (devices.lastOutput()->sends().size(), before) << c.shown;
    }
}
