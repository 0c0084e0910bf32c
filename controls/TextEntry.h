#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

// The one-line text entries (rename and name boxes) share the computer keyboard
// with the keyboard players. In a host the toolkit's own focus cannot be relied
// on: the host's window may keep the X focus, so a click on a box does not move
// the toolkit's focus and keys keep arriving wherever they went before. So the
// entry that was opened or clicked last, while it shows, is "the" entry: every
// key that reaches one of our windows goes to it, and the players play only
// while there is none.
namespace TextEntry
{
// Looks and keys of an entry: its line centred
// vertically (descenders whole), Return runs onOk and Escape onCancel.
void setUp (juce::TextEditor& entry, std::function<void()> onOk, std::function<void()> onCancel);

// The entry appears or is clicked: it takes the keys (and the toolkit's focus
// where it can). selectAll selects the text for typing over it.
void focus (juce::TextEditor& entry, bool selectAll);

// Another control asked for the keyboard (a player strip was clicked).
void release();

// The entry that gets the keys now, or null.
juce::TextEditor* current();

// Hands a key to the current entry; true when there is one (it then owns
// every key, used or not, so none plays a note).
bool routeKey (const juce::KeyPress& key);
}
