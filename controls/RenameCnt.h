#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/StsBut.h"

// The one-line rename box of the bank dialogs: a name of at most 16
// characters, "Cancel" and "OK". The owner listens to the buttons and reads
// the text.
class RenameCnt : public juce::Component
{
public:
    static constexpr int okId = 1111, cancelId = 1113, maxLength = 16;

    RenameCnt (int x, int y, const juce::String& initialText);

    juce::String getText() const        { return editor.getText(); }
    juce::TextEditor& getEditor()       { return editor; }
    StsBut& getOkButton()               { return ok; }
    StsBut& getCancelButton()           { return cancel; }

    void paint (juce::Graphics&) override;

private:
    StsBut ok { "OK", okId, StsBut::dialogButton }, cancel { "Cancel", cancelId, StsBut::dialogButton };
    juce::TextEditor editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RenameCnt)
};
