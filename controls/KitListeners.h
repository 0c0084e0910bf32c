#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The listener list every control uses. add() is add-if-absent; calls run from the
// last added listener to the first. Controls live on the message thread, so the list
// holds no lock: a locked list would still hold its lock while a listener deletes the
// sender, and release it inside freed memory.
//
// A listener may delete the sender from inside its callback (a CANCEL button
// whose owner closes the panel). So a component notifies with
//
//     listeners.callChecked (juce::Component::BailOutChecker (this),
//                            [this] (Listener& l) { l.somethingHappened (this); });
//
// which stops as soon as the component is gone, and touches nothing of itself afterwards.
template <class ListenerType>
using KitListenerList = juce::ListenerList<ListenerType>;
