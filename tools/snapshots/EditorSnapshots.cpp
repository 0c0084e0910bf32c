#include "Snapshots.h"
#include "editor/EditorPanel.h"
#include "editor/GroupClass.h"
#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"

namespace
{
// The editor as the host shows it, with the processor it needs kept alongside.
class EditorHolder : public juce::Component
{
public:
    EditorHolder (bool firstOpening, std::function<void (MainComp&)> arrange = {}, juce::Point<int> hostSize = {})
    {
        processor.getEngine().setEditorOpenedBefore (! firstOpening);
        editor = std::make_unique<VantorAudioProcessorEditor> (processor);
        editor->getMainComp().start();
        if (hostSize.x > 0)
            editor->setSize (hostSize.x, hostSize.y);
        if (arrange)
            arrange (editor->getMainComp());
        addAndMakeVisible (*editor);
        setSize (editor->getWidth(), editor->getHeight());
    }

    ~EditorHolder() override
    {
        editor.reset();
    }

private:
    VantorAudioProcessor processor;
    std::unique_ptr<VantorAudioProcessorEditor> editor;
};

// One section panel on its own, as the strip shows it.
std::unique_ptr<juce::Component> panel (int section, int layer, bool expanded = false)
{
    struct Holder : public juce::Component
    {
        VantorAudioProcessor processor;
        std::unique_ptr<GroupClass> group;
    };

    auto holder = std::make_unique<Holder>();
    holder->group = std::make_unique<GroupClass> (holder->processor, section, layer);
    holder->group->setShown (true);
    if (section == 15)
        holder->group->setAbModeExpanded (expanded);
    else
        holder->group->setPosition (0, -54, 700, 160);
    holder->group->setTopLeftPosition (0, 0);
    holder->addAndMakeVisible (*holder->group);
    holder->setSize (holder->group->getWidth(), holder->group->getHeight());
    return holder;
}
}

VANTOR_SNAPSHOT ("editor-default", 0, 0, [] { return std::make_unique<EditorHolder> (false); })
VANTOR_SNAPSHOT ("editor-splash", 0, 0, [] { return std::make_unique<EditorHolder> (true); })
VANTOR_SNAPSHOT ("editor-zoomed-out", 0, 0, [] {
    return std::make_unique<EditorHolder> (false, [] (MainComp& m) { m.getEditorPanel().setZoom (0.4f); m.getEditorPanel().showSection (1); });
})
VANTOR_SNAPSHOT ("panel-lpf-a", 0, 0, [] { return panel (3, 0); })
VANTOR_SNAPSHOT ("panel-empty-b", 0, 0, [] { return panel (-1, 1); })
VANTOR_SNAPSHOT ("panel-abmode-collapsed", 0, 0, [] { return panel (15, 0, false); })
VANTOR_SNAPSHOT ("panel-abmode-expanded", 0, 0, [] { return panel (15, 0, true); })
// Sizes hosts were seen to give the window.
VANTOR_SNAPSHOT ("editor-900-wide", 0, 0, [] { return std::make_unique<EditorHolder> (false, nullptr, juce::Point<int> { 900, 730 }); })
VANTOR_SNAPSHOT ("editor-742-high", 0, 0, [] { return std::make_unique<EditorHolder> (false, nullptr, juce::Point<int> { 1200, 742 }); })
VANTOR_SNAPSHOT ("editor-1594x1082", 0, 0, [] { return std::make_unique<EditorHolder> (false, nullptr, juce::Point<int> { 1594, 1082 }); })
VANTOR_SNAPSHOT ("editor-800-wide", 0, 0, [] { return std::make_unique<EditorHolder> (false, nullptr, juce::Point<int> { 800, 730 }); })
VANTOR_SNAPSHOT ("editor-653-wide", 0, 0, [] { return std::make_unique<EditorHolder> (false, nullptr, juce::Point<int> { 653, 298 }); })
