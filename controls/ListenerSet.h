#pragma once

#include <juce_core/juce_core.h>

// The listeners of a control, page or list: each added once, called last added first.
// Components live on the message thread, so the list takes no lock. A listener may
// remove itself or another during a call; where one may delete the sender, the
// sender calls through callChecked with its Component::BailOutChecker.
template <typename ListenerType>
class ListenerSet
{
public:
    void addListener (ListenerType* l)      { if (l != nullptr) listeners.add (l); }
    void removeListener (ListenerType* l)   { if (l != nullptr) listeners.remove (l); }

protected:
    ~ListenerSet() = default;

    juce::ListenerList<ListenerType> listeners;
};
