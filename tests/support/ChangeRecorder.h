#pragma once

#include <juce_events/juce_events.h>
#include <functional>
#include <vector>

// Listens to one broadcaster and keeps what the listener read at each delivery
// (a change code, a value): broadcasts are asynchronous and coalesce.
class ChangeRecorder : public juce::ChangeListener
{
public:
    ChangeRecorder (juce::ChangeBroadcaster& b, std::function<int()> read = [] { return 0; })
        : broadcaster (b), reader (std::move (read))
    {
        broadcaster.addChangeListener (this);
    }

    ~ChangeRecorder() override   { broadcaster.removeChangeListener (this); }

    void changeListenerCallback (juce::ChangeBroadcaster*) override   { seen.push_back (reader()); }

    std::vector<int> seen;

private:
    juce::ChangeBroadcaster& broadcaster;
    std::function<int()> reader;
};

// A component without a parent finds no target for a click until it is visible.
template <typename ComponentType>
ComponentType& shown (ComponentType& c)
{
    c.setVisible (true);
    return c;
}
