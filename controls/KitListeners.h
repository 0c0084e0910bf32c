#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The listener list every control uses. add() is add-if-absent under the list's
// own lock; calls run from the last added listener to the first.
//
// A listener may delete the sender from inside its callback (a CANCEL button
// whose owner closes the panel). So a component notifies with
//
//     listeners.callChecked (juce::Component::BailOutChecker (this),
//                            [this] (Listener& l) { l.somethingHappened (this); });
//
// which stops as soon as the component is gone, and touches nothing of itself afterwards.
template <class ListenerType>
using KitListenerList = juce::ListenerList<ListenerType, juce::Array<ListenerType*, juce::CriticalSection>>;
