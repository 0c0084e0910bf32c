// The keyboard panel's start-octave strip in the open editor: a click picks the
// start one octave left of the pointer, and the lowest key then plays it.
#include <gtest/gtest.h>
#include "controls/OctaveKeyClass.h"
#include "editor/KeyBrd.h"
#include "editor/PianoPad.h"
#include "support/EditorTestRig.h"

namespace
{
template <typename Child>
Child* childOf (juce::Component& parent)
{
    for (auto* c : parent.getChildren())
        if (auto* found = dynamic_cast<Child*> (c))
            return found;
    return nullptr;
}

struct OctaveStripThreads : public OpenEditorTest
{
    // The notes started and stopped since the last clearReceived.
    std::vector<int> notes (bool on) const
    {
        std::vector<int> result;
        for (const auto& r : rig.synth.received())
            if (on ? r.message.isNoteOn() : r.message.isNoteOff())
                result.push_back (r.message.getNoteNumber());
        return result;
    }
};
}

// Octave k of the strip's picture spans unscaled pixels 25k to 25(k + 1); a
// click just inside its first note or its last starts the keys one octave
// lower. Past the start's top (72) the top octave stays.
TEST_F (OctaveStripThreads, EveryOctavesFirstAndLastNoteStartTheOctaveBelow)
{
    rig.editor->setSize (1200, 900);   // room for the whole keyboard panel
    auto& keyboard = main->getKeyboardPanel();
    auto* strip = childOf<OctaveKeyClass> (keyboard);
    auto* keys = childOf<PianoPad> (keyboard);
    ASSERT_NE (strip, nullptr);
    ASSERT_NE (keys, nullptr);

    // The panel draws the strip at 0.7 of its own zoom.
    const float zoom = 0.7f * keyboard.getZoom();
    ASSERT_TRUE (main->getLocalBounds().contains (main->getLocalArea (strip, strip->getLocalBounds())));
    const auto lowestKey = main->getLocalPoint (keys, juce::Point<int> (5, keys->getHeight() - 10));

    struct Case { int octave; bool last; int expected; };
    std::vector<Case> cases;
    for (int k = 0; k <= 10; ++k)
        for (bool last : { false, true })
            cases.push_back ({ k, last, juce::jlimit (0, 6, k - 1) });

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String ("octave ") + juce::String (c.octave) + (c.last ? ", last note" : ", first note"));

        // The first whole pixel inside the octave's first white key, or the last inside its last one.
        const float from = 25.0f * (float) c.octave * zoom, to = 25.0f * (float) (c.octave + 1) * zoom;
        const int x = c.last ? (int) std::ceil (to) - 1 : (int) std::floor (from) + 1;
        if (x >= strip->getWidth())
            continue;   // the picture's last octave is cut short

        rig.engine().setKeyboardOctave (c.expected == 3 ? 4 : 3);   // something else first
        ui::click (*main, main->getLocalPoint (strip, juce::Point<int> (x, strip->getHeight() / 2)));
        EXPECT_EQ (rig.engine().getKeyboardOctave(), c.expected);
        EXPECT_EQ (strip->getStartNote(), 12 * c.expected);   // the bright part of the picture

        // What the musician hears: the lowest key plays the start note.
        rig.synth.clearReceived();
        ui::click (*main, lowestKey);
        ASSERT_TRUE (rig.pumpUntil ([&] { return ! notes (false).empty(); }));
        EXPECT_EQ (notes (true), (std::vector<int> { 12 * c.expected }));
    }
}
