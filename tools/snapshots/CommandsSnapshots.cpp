#include "Snapshots.h"
#include "controls/CorButton.h"
#include "editor/AskPanel.h"
#include "controls/UiSeam.h"
#include "editor/EditorPanel.h"
#include "editor/EditorRules.h"
#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "editor/WriteSnd.h"
#include "engine/VantorAudioProcessor.h"

namespace
{
class ArrangedEditor : public juce::Component
{
public:
    explicit ArrangedEditor (std::function<void (MainComp&)> arrange, int width = 0, int height = 0)
    {
        processor.getEngine().setEditorOpenedBefore (true);
        editor = std::make_unique<VantorAudioProcessorEditor> (processor);
        editor->getMainComp().start();
        arrange (editor->getMainComp());
        if (width > 0)
            editor->setSize (width, height);
        addAndMakeVisible (*editor);
        setSize (editor->getWidth(), editor->getHeight());
    }

    ~ArrangedEditor() override   { editor.reset(); }

private:
    VantorAudioProcessor processor;
    std::unique_ptr<VantorAudioProcessorEditor> editor;
};
}

VANTOR_SNAPSHOT ("bank-selector", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m) { m.showBankPanel (true); });
})
// The smallest windows: everything shrinks alike.
VANTOR_SNAPSHOT ("bank-selector-653x298", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m) { m.showBankPanel (true); }, 653, 298);
})
VANTOR_SNAPSHOT ("bank-selector-653x400", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m) { m.showBankPanel (true); }, 653, 400);
})
VANTOR_SNAPSHOT ("write-dialog", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m) { m.showWriteDialog (true); });
})
VANTOR_SNAPSHOT ("write-dialog-rename", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m)
    {
        m.showWriteDialog (true);
        m.getWriteDialog()->openRename ("Soft Rhodes");
    });
})
// A descender and a capital: "Xy" must not read "Xv".
VANTOR_SNAPSHOT ("write-dialog-rename-xy", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m)
    {
        m.showWriteDialog (true);
        m.getWriteDialog()->openRename ("Xy");
    });
})
// The zoom handle pulled up to the smallest page, then a low window: the
// dialog has only what lies above the keyboard panel.
VANTOR_SNAPSHOT ("write-dialog-smallest-page-653x372", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m)
    {
        m.getEditorPanel().getZoomCorner().changeCode = CorButton::dragging;
        m.zoomHandleChanged (EditorRules::minPageHeight);
        m.showWriteDialog (true);
    }, 653, 372);
})
VANTOR_SNAPSHOT ("write-dialog-small-page-1200x400", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m)
    {
        m.getEditorPanel().getZoomCorner().changeCode = CorButton::dragging;
        m.zoomHandleChanged (EditorRules::minPageHeight);
        m.showWriteDialog (true);
        m.getWriteDialog()->openRename ("Soft Rhodes");
    }, 1200, 400);
})
VANTOR_SNAPSHOT ("transmit-question", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m)
    {
        m.showBankPanel (true);
        m.applyBankMidiMenu (300);
    });
})
// FILE > Save answered "Lead" where Lead.p12p exists: asked before it is replaced.
VANTOR_SNAPSHOT ("replace-question", 0, 0, [] {
    return std::make_unique<ArrangedEditor> ([] (MainComp& m)
    {
        const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("snapshot saves");
        folder.createDirectory();
        folder.getChildFile ("Lead.p12p").replaceWithText ("old");
        UiSeam::setChooserHook ([folder] (bool, juce::String, juce::File, juce::String, UiSeam::FileCallback answer)
        {
            answer (folder.getChildFile ("Lead"));
        });
        m.applyFileMenu (2);
        UiSeam::setChooserHook (nullptr);
        folder.deleteRecursively();   // the question is up: the file is no longer needed
    });
})
