#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>
#include <vector>

// The one-line text entries (rename and name boxes) share the computer keyboard
// with the keyboard players. In a host the toolkit's own focus cannot be relied
// on: the host's window may keep the X focus, so a click on a box does not move
// the toolkit's focus and keys keep arriving wherever they went before. So the
// entry that was opened or clicked last in an editor, while it shows, is that
// editor's entry: every key that reaches one of the editor's windows goes to it,
// and the editor's players play only while there is none. Another editor's keys
// never reach it.
namespace TextEntry
{
// Looks and keys of an entry: its line centred
// vertically (descenders whole), Return runs onOk and Escape onCancel.
void setUp (juce::TextEditor& entry, std::function<void()> onOk, std::function<void()> onCancel);

// The entry appears or is clicked: it takes its editor's keys (and the
// toolkit's focus where it can). selectAll selects the text for typing over it.
void focus (juce::TextEditor& entry, bool selectAll);

// Another control of the editor that holds this component asked for the
// keyboard (a player strip was clicked).
void release (const juce::Component& from);

// The entry that gets the keys reaching the window of this component now, or null.
juce::TextEditor* current (const juce::Component& where);

// Hands a key that reached this component to its editor's entry; true when
// there is one (it then owns every key, used or not, so none plays a note).
bool routeKey (const juce::KeyPress& key, const juce::Component& where);
}

// One editor's share of the computer keyboard: the windows it owns (the
// editor's own and its library window), each with the player that plays the
// keys reaching that window while no entry of the editor has them. It listens
// at each window's root, where keys arrive when nothing there has the toolkit's
// focus, and a click in any of its windows takes the focus back from another
// editor's controls. Message thread only.
class KeyScope
{
public:
    KeyScope();
    ~KeyScope();

    // Keys reaching the member's window are this editor's; the player (or none)
    // plays them while no entry has them. Either may be deleted while a member.
    void addWindow (juce::Component& member, juce::Component* player);
    void removeWindow (juce::Component& member);

    // The scope whose window holds the component, or null.
    static KeyScope* of (const juce::Component&);

    // The entry opened or clicked last; entry() is it while it shows and no
    // other entry took the toolkit's focus.
    juce::Component::SafePointer<juce::TextEditor> active;
    juce::TextEditor* entry() const;

    // Hands the key to the entry; true when there is one.
    bool deliver (const juce::KeyPress&);

private:
    struct Window;
    struct Listeners;
    bool owns (const juce::Component*) const;
    Window* windowAt (const juce::Component* root);
    bool keyPressed (const juce::KeyPress&, juce::Component* root);
    bool keyStateChanged (bool isKeyDown, juce::Component* root);
    void clicked();
    void attach (Window&);
    void detach (Window&);

    std::vector<std::unique_ptr<Window>> windows;
    std::unique_ptr<Listeners> listeners;

    JUCE_DECLARE_NON_COPYABLE (KeyScope)
};
