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

// Makes the window (a window of its own on the desktop) a transient window of
// the owner's top-level window: the window manager keeps it above that window,
// not above the host's dialogs or other programs. It also gives the window its
// name in the form window lists read first. Call it before every showing: a new
// native window starts without either.
void keepAboveOwner (juce::Component& window, const juce::Component& owner);

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
// error. While the call runs, every X error in the process is ignored, the
// host's own included (see onXError).
void ignoringOwnXErrors (const std::function<void()>& call);


// A host may keep the id of the last window put into its own and move that
// window again when it next opens an editor, by then long destroyed; some hosts
// end on the error that follows. Lending it a small window of ours that never
// dies (an unmapped input-only one) leaves that stale id pointing at a live
// window. It is put into the host's window and taken out at once, once the
// editor shows: the host hears of it last, and its window never holds it.
void lendHostStandIn (const juce::Component& editorWindow);
