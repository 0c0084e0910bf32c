#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

// Where the component's native window is: showing and viewable; hidden (a host
// may unmap its own window around the editor's without closing the editor, and
// nothing in the toolkit hears of it); or gone (a host destroyed its window, and
// the server ours with it).
enum class WindowState { onScreen, hidden, gone };
WindowState windowState (const juce::Component&);

inline bool isWindowOnScreen (const juce::Component& c)   { return windowState (c) == WindowState::onScreen; }

// A press whose release never came (the window it was in went mid-press) leaves
// the toolkit holding the button down for the whole process: the next window's
// first press is taken for a second button and lost, and its release lands on
// whatever is under it. Lets go of such presses, through the given window, where
// no component hears of it. Presses on components that still exist are left alone.
void releaseOrphanedPresses (juce::ComponentPeer& peer);

// Hands the event loop the X events that wait in the client library's queue. A
// round trip made outside the loop's own handler (a timer's query of a window or
// the pointer, a paint's sync) reads whatever arrived meanwhile off the connection
// into that queue, and the loop, woken only by data on the connection, leaves it
// there: a click's release or a key waits until some later event comes, and the
// click is taken for lost. Message thread only; cheap (no round trip).
void dispatchQueuedXEvents();

// Runs the call with X errors on the toolkit's own connection ignored: it may
// touch windows a host has destroyed, and some hosts end the process on any X
// error. Errors on other connections go where they went before.
void ignoringOwnXErrors (const std::function<void()>& call);

