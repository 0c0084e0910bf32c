// A press whose window went before its release came (a host closed the editor
// mid-drag) must not swallow the first press of the next editor: the toolkit
// would take it for a second button and drop it.
#include <gtest/gtest.h>

#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"
#include "support/QuietXErrors.h"
#include "support/RecordingMidiDevices.h"

#include <memory>

namespace
{
// The editor in a host window of its own, at a place on the screen of its own;
// the pointer reaches it through the window's peer, as the window system's events do.
struct HostedEditor
{
    juce::DocumentWindow window { {}, juce::Colours::black, 0, true };
    std::unique_ptr<VantorAudioProcessorEditor> editor;

    HostedEditor (VantorAudioProcessor& processor, int left)
        : editor (std::make_unique<VantorAudioProcessorEditor> (processor))
    {
        window.setTitleBarHeight (0);
        window.setContentNonOwned (editor.get(), true);
        window.setTopLeftPosition (left, 0);
        window.setVisible (true);
    }

    ~HostedEditor()   { close(); }

    void close()
    {
        window.clearContentComponent();
        editor.reset();
    }

    // The left button at a point of the editor, held down or let go.
    void button (juce::Point<int> at, bool down)
    {
        auto& mods = juce::ModifierKeys::currentModifiers;
        mods = down ? mods.withFlags (juce::ModifierKeys::leftButtonModifier) : mods.withoutMouseButtons();
        window.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(), mods,
                                            juce::MouseInputSource::defaultPressure,
                                            juce::MouseInputSource::defaultOrientation, juce::Time::currentTimeMillis());
    }

    juce::Point<int> corner() const   { return { editor->getWidth() - 8, editor->getHeight() - 8 }; }

    // The resize corner dragged 60 x 40 in: true when the editor took the new size.
    bool dragCornerIn()
    {
        const auto before = editor->getBounds();
        const auto from = corner();
        button (from, true);
        button (from - juce::Point<int> (60, 40), true);
        button (from - juce::Point<int> (60, 40), false);
        return editor->getWidth() == before.getWidth() - 60 && editor->getHeight() == before.getHeight() - 40;
    }
};

bool buttonHeld()   { return juce::Desktop::getInstance().getMainMouseSource().isDragging(); }
}

TEST (OrphanedPresses, AnEditorClosedMidDragDoesNotSwallowTheNextEditorsFirstPress)
{
    const QuietXErrors quiet;
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);

    {
        HostedEditor first (processor, 0);
        first.button (first.corner(), true);
        first.close();   // the release never comes
    }
    ASSERT_TRUE (buttonHeld());

    HostedEditor next (processor, 0);
    EXPECT_FALSE (buttonHeld());
    EXPECT_TRUE (next.dragCornerIn());
}

TEST (OrphanedPresses, APressOnAnEditorStillOpenIsLeftAlone)
{
    const QuietXErrors quiet;
    RecordingMidiDevices devices;
    VantorAudioProcessor a (devices), b (devices);

    HostedEditor held (a, 0);
    const auto from = held.corner(), to = from - juce::Point<int> (60, 40);
    const auto before = held.editor->getBounds();
    held.button (from, true);

    // Another editor opens while the first is being dragged: the drag goes on.
    HostedEditor other (b, 1400);
    EXPECT_TRUE (buttonHeld());
    held.button (to, true);
    held.button (to, false);
    EXPECT_EQ (held.editor->getWidth(), before.getWidth() - 60);
    EXPECT_FALSE (buttonHeld());
}
