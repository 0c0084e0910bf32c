// Presses and releases reach the editor however the window system and the host
// time them: a press whose window went before its release came (a host closed the
// editor mid-drag) does not swallow the next editor's first press, and an event
// that a round trip read off the connection is not left waiting.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <gtest/gtest.h>

#include "editor/WindowOnScreen.h"
#include "support/ComponentTestSupport.h"
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

#if JUCE_LINUX || JUCE_BSD
TEST (QueuedXEvents, AnEventARoundTripReadOffTheConnectionIsStillHandled)
{
    const QuietXErrors quiet;
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);
    HostedEditor hosted (processor, 0);
    ASSERT_TRUE (ui::pumpUntil ([&] { return hosted.editor->isShowing(); }));
    ASSERT_TRUE (ui::drain());

    // A press sent through the server, then a round trip, as a timer's query makes one:
    // the press now waits in the client library's queue and the connection is quiet.
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    auto* x = juce::X11Symbols::getInstance();
    const auto window = (::Window) (juce::pointer_sized_uint) hosted.window.getPeer()->getNativeHandle();
    const auto at = hosted.corner();
    XEvent press {};
    press.xbutton.type = ButtonPress;
    press.xbutton.display = display;
    press.xbutton.window = window;
    press.xbutton.root = x->xRootWindow (display, x->xDefaultScreen (display));
    press.xbutton.x = at.x;
    press.xbutton.y = at.y;
    press.xbutton.button = Button1;
    press.xbutton.same_screen = True;
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        x->xSendEvent (display, window, True, ButtonPressMask, &press);
        x->xSync (display, False);
    }

    ASSERT_TRUE (ui::drain());
    dispatchQueuedXEvents();
    EXPECT_TRUE (buttonHeld());
    hosted.button (at, false);
}
#endif
