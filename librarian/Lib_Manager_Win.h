#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class VantorAudioProcessor;
class Lib_Manager_Comp;

// The librarian's own window, without title bar; it owns its content, which
// goes with it (the library page writes the default library then).
class Lib_Manager_Win : public juce::DocumentWindow
{
public:
    explicit Lib_Manager_Win (VantorAudioProcessor&);
    ~Lib_Manager_Win() override;

    Lib_Manager_Comp& getContent() const noexcept   { return *content; }

private:
    Lib_Manager_Comp* content;   // owned by the window as its content

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Lib_Manager_Win)
};
