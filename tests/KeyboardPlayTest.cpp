#include <gtest/gtest.h>
#include <map>
#include <set>
#include "editor/KeyBrd.h"
#include "editor/KeyOverlay.h"
#include "editor/PianoKey.h"
#include "editor/PianoPad.h"
#include "engine/EngineEvent.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"
#include "support/EngineTestHelpers.h"

namespace
{
struct Played { bool on; int note, velocity, channel; };

struct KeyboardPlay : public ::testing::Test
{
    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();
    PianoPad pad { &engine };

    void SetUp() override
    {
        engine.selectOutputPort (1);
        pad.setScale (1.0f);
    }

    std::vector<Played> notes() const
    {
        std::vector<Played> result;
        for (const auto& call : devices.lastOutput()->sends())
            for (const auto& m : call.messages)
                if (m.isNoteOn (true) || m.isNoteOff (false))
                    result.push_back ({ m.isNoteOn(), m.getNoteNumber(), m.getVelocity(), m.getChannel() });
        return result;
    }

    // Mouse events straight to the overlay, so a held press can span octave changes.
    static juce::MouseEvent at (KeyOverlay& overlay, juce::Point<int> p)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p.toFloat(), ui::leftButton,
                                 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &overlay, &overlay, now, p.toFloat(), now, 1, true);
    }

    // Every note-on is followed by exactly one note-off of the same note and nothing sounds at the end.
    static void expectBalanced (const std::vector<Played>& played)
    {
        std::map<int, int> sounding;
        for (const auto& p : played)
        {
            if (p.on)
                EXPECT_EQ (++sounding[p.note], 1) << "second note-on for " << p.note;
            else if (sounding[p.note] > 0)
                --sounding[p.note];
        }
        for (const auto& [note, count] : sounding)
            EXPECT_EQ (count, 0) << "note " << note << " hangs";
    }
};

//==============================================================================
TEST_F (KeyboardPlay, KeyHitGridFindsTheKeyUnderThePointerAtTwoZooms)
{
    struct Case { float zoom; int x, y, key; };
    const Case cases[] = {
        { 1.0f, 5, 140, 0 },  { 1.0f, 20, 50, 1 },   { 1.0f, 20, 140, 0 },  { 1.0f, 32, 50, 1 },
        { 1.0f, 34, 50, 2 },  { 1.0f, 50, 50, 3 },   { 1.0f, 80, 50, 5 },   { 1.0f, 180, 50, 12 },
        { 1.0f, 190, 50, 13 },{ 1.0f, 949, 140, 64 },{ 0.5f, 10, 40, 1 },   { 0.5f, 10, 60, 0 },
        { 0.5f, 474, 60, 64 },{ 0.5f, 95, 20, 13 },
    };
    for (const auto& c : cases)
    {
        pad.setScale (c.zoom);
        EXPECT_EQ (pad.overlay().keyAt (c.x, c.y), c.key) << "zoom " << c.zoom << " at " << c.x << "," << c.y;
    }
}

TEST_F (KeyboardPlay, VelocityComesFromTheClickHeightWhenTheBarIsLow)
{
    struct Case { int kind, y, velocity; };
    const Case cases[] = { { 0, 102, 63 }, { 0, 56, 5 }, { 0, 10, 5 }, { 0, 152, 127 }, { 0, 153, -1 },
                           { 1, 101, 127 }, { 1, 50, 63 }, { 1, 2, 5 } };
    for (const auto& c : cases)
        EXPECT_EQ (PianoKey::velocityForClick (c.kind, c.y), c.velocity) << c.kind << " at y " << c.y;

    engine.setKeyboardVelocity (0);
    engine.setKeyboardOctave (2);
    ui::click (pad, { 5, 102 });
    engine.setKeyboardVelocity (90);
    ui::click (pad, { 5, 102 });
    const auto played = notes();
    ASSERT_EQ (played.size(), 4u);
    EXPECT_EQ (played[0].note, 24);
    EXPECT_EQ (played[0].velocity, 63);
    EXPECT_EQ (played[2].velocity, 90);
}

TEST_F (KeyboardPlay, RandomPressDragReleaseLeavesEveryNoteMatched)
{
    juce::Random random (1234);

    for (const float zoom : { 1.0f, 0.6f })
    {
        pad.setScale (zoom);
        for (int round = 0; round < 40; ++round)
        {
            engine.setKeyboardOctave (random.nextInt (7));
            auto point = [&] { return juce::Point<int> (random.nextInt (pad.getWidth()), random.nextInt (pad.getHeight())); };
            auto& overlay = pad.overlay();
            overlay.mouseDown (at (overlay, point()));
            for (int step = random.nextInt (12); step > 0; --step)
            {
                overlay.mouseDrag (at (overlay, point()));
                if (random.nextInt (3) == 0)
                    engine.setKeyboardOctave (random.nextInt (7));   // while a key is held
            }
            overlay.mouseUp (at (overlay, point()));
        }
    }

    const auto played = notes();
    EXPECT_GT (played.size(), 40u);
    for (const auto& p : played)
        EXPECT_LT (p.note, 128);
    expectBalanced (played);
    for (int i = 0; i < PianoPad::numKeys; ++i)
        EXPECT_FALSE (pad.key (i).isPressed());
}

TEST_F (KeyboardPlay, ANewPressAfterAGlideDoesNotKeepTheOldKeySounding)
{
    engine.setKeyboardVelocity (100);
    auto& overlay = pad.overlay();
    overlay.mouseDown (at (overlay, { 5, 140 }));
    for (int x = 10; x <= 130; x += 10)
        overlay.mouseDrag (at (overlay, { x, 140 }));   // a glide ending on key 7
    overlay.mouseUp (at (overlay, { 130, 140 }));
    overlay.mouseDown (at (overlay, { 5, 140 }));        // a new press on key 0
    overlay.mouseDrag (at (overlay, { 30, 140 }));       // onto key 2
    EXPECT_FALSE (pad.key (0).isPressed());
    EXPECT_TRUE (pad.key (2).isPressed());
    overlay.mouseUp (at (overlay, { 30, 140 }));
    expectBalanced (notes());
}

TEST_F (KeyboardPlay, HighKeysAtTheTopOctavePlayNothing)
{
    engine.setKeyboardOctave (6);
    pad.key (56).press (140);
    pad.key (55).press (140);
    EXPECT_FALSE (pad.key (56).isPressed());
    ASSERT_EQ (notes().size(), 1u);
    EXPECT_EQ (notes()[0].note, 127);
}

TEST_F (KeyboardPlay, PanelDragStopsBelowTheTopBarAndAtTheRightEdge)
{
    juce::Component parent;
    parent.setSize (1200, 900);
    KeyBrd panel (&engine);
    parent.addAndMakeVisible (panel);
    panel.setZoom (1.0f, 500, 1150, 172);

    ui::drag (parent, { 300, 510 }, { 300, 10 }, 10);
    EXPECT_EQ (panel.getY(), 54);

    panel.setTopLeftPosition (0, 500);
    ui::drag (parent, { 300, 510 }, { 1140, 600 }, 2);   // into the right 60 px: no further move
    const int y = panel.getY();
    ui::drag (parent, { 1140, 600 }, { 1140, 700 }, 2);
    EXPECT_EQ (panel.getY(), y);

    // The player strip is a handle too, and a finished drag is broadcast.
    ChangeRecorder finished (panel);
    panel.setTopLeftPosition (0, 500);
    ui::drag (parent, { 450, 510 }, { 450, 300 }, 6);
    EXPECT_EQ (panel.getY(), 290);
    ASSERT_TRUE (ui::drain());
    EXPECT_EQ (finished.seen.size(), 1u);
}

//==============================================================================
struct ComputerKeys : public KeyboardPlay
{
    KeyPlayClass player { &engine, KeyPlayClass::keyboardPanelOwner };
    std::set<int> down;

    void SetUp() override
    {
        KeyboardPlay::SetUp();
        player.isKeyDown = [this] (int code) { return down.count (code) > 0; };
    }

    // Key codes as the platform reports them: upper case, or the typed character.
    void type (int code)
    {
        down.insert (juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) code));
        player.keyPressed (juce::KeyPress (code));
        player.keyStateChanged (true);
    }

    void lift (int code)
    {
        down.erase (juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) code));
        player.keyStateChanged (false);
    }
};

TEST_F (ComputerKeys, LettersPlayInEitherCaseAndAutoRepeatSendsOneNote)
{
    for (const int code : { 'Z', 'z' })
    {
        type (code);
        type (code);   // auto-repeat
        type (code);
        lift (code);
    }
    type ('v');
    lift ('v');
    const auto played = notes();
    ASSERT_EQ (played.size(), 6u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ (played[i].note, 36);
    EXPECT_EQ (played[4].note, 41);
    EXPECT_EQ (played[5].on, false);
    EXPECT_EQ (player.getStatusText(), "Play Chn: 1 Key: F3 Vel: 100");
}

TEST_F (ComputerKeys, OctaveAndVelocityKeysStopAtTheirLimits)
{
    struct Case { int key, presses, base, velocity; const char* status; };
    const Case cases[] = {
        { 'P', 7, 120, 100, "Octave 8" }, { 'p', 3, 120, 100, "Octave 8" }, { 'O', 11, 0, 100, "Octave -2" },
        { 'U', 20, 0, 1, "Note Velocity: 1" }, { 'i', 30, 0, 125, "Note Velocity: 125" },
        { 'u', 1, 0, 120, "Note Velocity: 120" },
    };
    for (const auto& c : cases)
    {
        for (int i = 0; i < c.presses; ++i)
            EXPECT_TRUE (player.keyPressed (juce::KeyPress (c.key)));
        EXPECT_EQ (player.getBaseNote(), c.base);
        EXPECT_EQ (player.getVelocity(), c.velocity);
        EXPECT_EQ (player.getStatusText(), c.status);
    }
}

TEST_F (ComputerKeys, TheLowestVelocityStillPlaysANote)
{
    for (int i = 0; i < 25; ++i)
        player.keyPressed (juce::KeyPress ('u'));
    type ('z');
    lift ('z');
    const auto played = notes();
    ASSERT_EQ (played.size(), 2u);
    EXPECT_TRUE (played[0].on);
    EXPECT_EQ (played[0].velocity, 1);
    EXPECT_EQ (player.getStatusText(), "Play Chn: 1 Key: C3 Vel: 1");
}

TEST_F (ComputerKeys, ANoteHeldAcrossAnOctaveChangeIsReleasedAsSent)
{
    type ('x');          // 38
    type ('p');
    lift ('p');
    type ('x');          // held: still 38, no second note
    type ('c');          // 52 at the new octave
    lift ('x');
    type ('m');          // 59
    type ('o');
    lift ('c');
    player.focusLost (juce::Component::focusChangedByMouseClick);   // 'm' never reported released

    std::vector<std::pair<bool, int>> seen;
    for (const auto& p : notes())
        seen.emplace_back (p.on, p.note);
    EXPECT_EQ (seen, (std::vector<std::pair<bool, int>> { { true, 38 }, { true, 52 }, { false, 38 }, { true, 59 }, { false, 52 }, { false, 59 } }));
    EXPECT_FALSE (player.isNoteHeld (59));
}

TEST_F (ComputerKeys, TopOctaveSkipsNotesAboveTheRange)
{
    for (int i = 0; i < 7; ++i)
        player.keyPressed (juce::KeyPress ('p'));
    type ('h');   // 128
    type ('g');   // 126
    lift ('h');
    lift ('g');
    const auto played = notes();
    ASSERT_EQ (played.size(), 2u);
    EXPECT_EQ (played[0].note, 126);
}

TEST_F (ComputerKeys, SpaceSilencesEverythingAndTheStatusFades)
{
    type ('z');
    EXPECT_TRUE (player.keyPressed (juce::KeyPress (' ')));
    const auto played = notes();
    EXPECT_EQ (std::count_if (played.begin(), played.end(), [] (const Played& p) { return ! p.on; }), 128);
    EXPECT_EQ (player.getStatusText(), "All Notes OFF");
    lift ('z');   // already off: nothing more
    EXPECT_EQ ((int) notes().size(), 129);
    EXPECT_TRUE (ui::pumpUntil ([&] { return player.getStatusText().isEmpty(); }));
}

TEST_F (ComputerKeys, DigitsPostSectionCommandsOnlyFromTheKeyboardPanel)
{
    engine.takeEvents();
    EXPECT_TRUE (player.keyPressed (juce::KeyPress ('3')));
    EXPECT_TRUE (player.keyPressed (juce::KeyPress (juce::KeyPress::F8Key)));
    EXPECT_FALSE (player.keyPressed (juce::KeyPress ('q')));
    EXPECT_FALSE (player.keyPressed (juce::KeyPress (juce::KeyPress::F2Key)));
    EXPECT_EQ (engine.takeEvents(), std::vector<int> { EngineEvent::make (EngineEvent::keyboardCommand, 729) });

    KeyPlayClass library (&engine, KeyPlayClass::libraryOwner);
    EXPECT_TRUE (library.keyPressed (juce::KeyPress ('3')));
    EXPECT_TRUE (engine.takeEvents().empty());
}

TEST_F (ComputerKeys, NotesEndOnTheChannelTheyStartedOnWhateverChanHoldsAtTheRelease)
{
    // Both players: a note held while "Chan" changes, then released (or silenced by space).
    struct Case { const char* what; std::function<void()> press, release; };
    const Case cases[] = {
        { "computer key", [&] { type ('x'); },                [&] { lift ('x'); } },
        { "space",        [&] { type ('x'); },                [&] { player.keyPressed (juce::KeyPress (' ')); lift ('x'); } },
        { "screen key",   [&] { pad.key (2).press (140); },   [&] { pad.key (2).release(); } },
        { "screen glide", [&] { auto& o = pad.overlay(); o.mouseDown (at (o, { 30, 140 })); },
                          [&] { auto& o = pad.overlay(); o.mouseUp (at (o, { 30, 140 })); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        engine.setMidiChannel (3);
        const auto before = notes().size();
        c.press();
        engine.setMidiChannel (11);
        c.release();

        const auto all = notes();
        const std::vector<Played> played (all.begin() + (std::ptrdiff_t) before, all.end());
        ASSERT_FALSE (played.empty());
        ASSERT_TRUE (played.front().on);
        const int note = played.front().note;
        int offs = 0;
        for (const auto& p : played)
            if (! p.on && p.note == note)
            {
                ++offs;
                EXPECT_EQ (p.channel, 3);
            }
        EXPECT_EQ (offs, 1);
    }
}

TEST (KeyNames, FollowTheNoteNameRule)
{
    const std::pair<int, const char*> cases[] = { { 36, "C3" }, { 37, "C#3" }, { 60, "C5" }, { 127, "G10" }, { 0, "C0" } };
    for (const auto& [note, name] : cases)
        EXPECT_EQ (KeyPlayClass::noteName (note), name);
}
}
