#include "Snapshots.h"
#include "controls/StsCont.h"
#include "editor/EditorPanel.h"
#include "editor/GroupClass.h"
#include "editor/SectionLayouts.h"
#include "engine/VantorAudioProcessor.h"

namespace
{
struct NoDevices : public MidiDeviceSystem
{
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override   { return {}; }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override  { return {}; }
    std::unique_ptr<MidiDeviceInput> openInput (int, juce::MidiInputCallback*) override  { return {}; }
    std::unique_ptr<MidiDeviceOutput> openOutput (int) override    { return {}; }
};

// One section panel at zoom 1 showing the first factory program.
class SectionPicture : public juce::Component
{
public:
    SectionPicture (int layer, int section)
    {
        processor.getEngine().selectProgram (4 * 99, false, false);
        panel = std::make_unique<GroupClass> (processor, section, layer);
        addAndMakeVisible (*panel);

        if (section == EditorPanel::abModePosition)
        {
            panel->setAbModeExpanded (true);
            panel->setTopLeftPosition (0, 0);
        }
        else
        {
            const auto& column = EditorPanel::layoutTable()[(size_t) section];
            panel->setScale (1.0f);
            panel->setPosition (0, -54, column.w, column.h);   // the strip's top, less the bar
        }

        panel->setShown (true);
        for (int i = 0; i < panel->getNumControls(); ++i)
        {
            auto* c = panel->getControl (i);
            panel->parameterChanged (c, processor.getEngine().getValue (c->getKey()));
        }
        setSize (panel->getWidth(), panel->getHeight());
    }

private:
    NoDevices devices;
    VantorAudioProcessor processor { devices };
    std::unique_ptr<GroupClass> panel;
};

bool registerSections()
{
    for (int layer = 0; layer < 2; ++layer)
        for (int section = layer; section < SectionLayouts::numSections; ++section)
        {
            const auto name = juce::String ("section-") + (layer == 0 ? "A-" : "B-")
                            + juce::String (section).paddedLeft ('0', 2) + "-"
                            + GroupClass::sectionTitle (section).toLowerCase().replaceCharacter (' ', '-');
            snapshots::add (name.toRawUTF8(), 0, 0, [layer, section] { return std::make_unique<SectionPicture> (layer, section); });
        }
    return true;
}

[[maybe_unused]] const bool sectionsRegistered = registerSections();
}
