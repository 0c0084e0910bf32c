#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <vector>

#include "controls/UiSeam.h"
#include "engine/MidiCntrState.h"

// Driving components in tests without a window: synthetic mouse events go to
// the component root.getComponentAt() finds, so hit-testing is real.
namespace ui
{
const juce::ModifierKeys leftButton { juce::ModifierKeys::leftButtonModifier };
const juce::ModifierKeys rightButton { juce::ModifierKeys::rightButtonModifier };

// Press and release at one point (root coordinates).
void click (juce::Component& root, juce::Point<int> pos, juce::ModifierKeys mods = leftButton);

// Press at from, drag in steps to to, release there.
void drag (juce::Component& root, juce::Point<int> from, juce::Point<int> to, int steps = 8,
           juce::ModifierKeys mods = leftButton);

// One wheel notch-worth of vertical movement at pos.
void wheel (juce::Component& root, juce::Point<int> pos, float deltaY);

// A press, and the release that goes to the component that took the press.
void press (juce::Component& root, juce::Point<int> pos, juce::ModifierKeys mods = leftButton);
void release (juce::Component& root, juce::Point<int> pos, juce::ModifierKeys mods = leftButton);

// Dispatches every message already posted to the message thread (async
// updates, change broadcasts, posted calls) and those they post in turn.
// False if the queue never ran dry. Timers that are not yet due are not waited
// for. `dispatched`, if given, receives the number of messages dispatched.
bool drain (int* dispatched = nullptr);

// Runs the message loop, timers included, until the condition holds. False if
// it still does not after limitMs: a bound for a loaded machine, not a timing claim.
bool pumpUntil (const std::function<bool()>& condition, int limitMs = 20000);

// Runs the message loop until a timer of ms, started now, has fired: every
// timer started before with an interval up to ms has had its turn by then.
// For checking what a timer did, or that it did nothing.
bool pumpPastTimers (int ms);

// The component's own drawing, headless.
juce::Image snapshot (juce::Component&);

// Replaces the menu and chooser seams while it lives; records what was asked.
class MenuRecorder
{
public:
    MenuRecorder();
    ~MenuRecorder();

    // Answer every menu at once with this id (0 = dismiss); without it, menus
    // wait for choose().
    void setAutoAnswer (int id)                 { autoAnswer = id; hasAutoAnswer = true; }
    void choose (int id);                       // answers the pending menu
    void chooseFile (const juce::File& file);   // answers the pending chooser

    int menusShown = 0, choosersShown = 0;
    juce::PopupMenu lastMenu;
    juce::Component::SafePointer<juce::Component> lastTarget;
    bool lastChooserSaves = false;
    juce::String lastChooserTitle, lastChooserPatterns;

    bool menuPending() const noexcept           { return pendingMenu != nullptr; }

    // Texts and ids of the last menu's items, sub-menus included, in order.
    std::vector<juce::String> itemTexts() const;
    std::vector<int> itemIds() const;

private:
    UiSeam::MenuCallback pendingMenu;
    UiSeam::FileCallback pendingFile;
    int autoAnswer = 0;
    bool hasAutoAnswer = false;
};

// A CableListener that keeps every call.
class RecordingCable : public CableListener
{
public:
    struct Call
    {
        ParameterId id;
        int value;
        bool endGestureNow, sendToDevice, notifyEditor;
    };

    void parameterChanged (ParameterId id, int value, bool endGestureNow, bool sendToDevice, bool notifyEditor) override
    {
        calls.push_back ({ id, value, endGestureNow, sendToDevice, notifyEditor });
    }

    std::vector<Call> calls;
};
}
