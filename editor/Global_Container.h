#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include <memory>
#include <vector>
#include "editor/GlbCont.h"

class MidiCntrState;

class Global_Listener
{
public:
    static constexpr int closeCode = 2222;

    virtual ~Global_Listener() = default;
    virtual void globalPanelCommand (int code, int value) = 0;
};

// The global settings page: one widget per setting, built from the settings
// table. Its close box only tells the listeners; the owner closes it.
class Global_Container : public juce::Component,
                         public ListenerSet<Global_Listener>
{
public:
    explicit Global_Container (MidiCntrState& engine);

    GlbCont& widget (int id)                  { return *widgets[(size_t) id]; }

    // The synthesizer sent its globals: show them.
    void globalsChanged();

    void resized() override;
    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    MidiCntrState& engine;
    std::vector<std::unique_ptr<GlbCont>> widgets;
    juce::Image closeBox;
    juce::Image background;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Global_Container)
};
