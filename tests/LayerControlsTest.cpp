#include <gtest/gtest.h>
#include "controls/StsCont.h"
#include "editor/EditorPanel.h"
#include "editor/GroupClass.h"
#include "editor/MainComp.h"
#include "editor/SectionLayouts.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

// After a program load each control shows the byte of its own layer: layer B's
// control of parameter p shows byte 512 + p, never layer A's byte p.
namespace
{
struct Editor
{
    Editor()
    {
        processor = std::make_unique<VantorAudioProcessor> (devices);
        engine().setEditorOpenedBefore (true);
        editor.reset (dynamic_cast<VantorAudioProcessorEditor*> (processor->createEditor()));
        editor->getMainComp().start();
        settle();
    }

    ~Editor()
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& engine()   { return processor->getEngine(); }
    EditorPanel& page()       { return editor->getMainComp().getEditorPanel(); }

    void settle()
    {
        for (int i = 0; i < 3; ++i)
        {
            engine().dispatchPendingMessages();
            editor->getMainComp().handleUpdateNowIfNeeded();
        }
    }

    // Every parameter control of one layer, with the byte it stands for.
    std::vector<StsCont*> controls (int layer)
    {
        std::vector<StsCont*> result;
        for (int position = 1; position < SectionLayouts::numSections; ++position)
            if (auto* panel = page().getPanel (layer, position))
                for (int i = 0; i < panel->getNumControls(); ++i)
                    if (auto* c = panel->getControl (i); c != nullptr && c->getKey() < ParameterIds::programSelect)
                        result.push_back (c);
        return result;
    }

    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor;
    std::unique_ptr<VantorAudioProcessorEditor> editor;
};

// A value in the control's range, different for the two layers wherever the
// range has room; shifted by `seed` so two programs differ everywhere too.
int valueFor (const StsCont& c, int layer, int seed)
{
    const int lo = c.getMinimum(), span = c.getMaximum() - c.getMinimum() + 1;
    const int p = c.getKey() % 512;
    return span <= 1 ? lo : lo + (p * 5 + layer + seed) % span;
}
}

TEST (LayerControls, AfterAProgramLoadEveryControlShowsItsOwnLayersByte)
{
    Editor rig;
    auto& e = rig.engine();
    const auto layerA = rig.controls (0), layerB = rig.controls (1);
    ASSERT_GT (layerB.size(), 100u);

    struct Load { const char* how; int seed; std::function<void (const ByteArray&)> load; };
    const Load loads[] =
    {
        { "device slot selected", 0, [&] (const ByteArray& r) { e.putProgram (true, 1, 7, r); e.selectProgram (99 + 7, false, false); } },
        { "edit buffer replaced", 1, [&] (const ByteArray& r) { e.putProgram (false, 0, 0, r); } },
        { "preset chosen",        2, [&] (const ByteArray& r) {
              {
                  const juce::ScopedLock sl (e.getProgramLock());
                  e.presetBank().setProgramBytes (4, juce::MemoryBlock (r.data(), r.size()));
              }
              rig.processor->setCurrentProgram (4); } },
    };

    for (const auto& load : loads)
    {
        SCOPED_TRACE (load.how);
        ByteArray record;
        {
            const juce::ScopedLock sl (e.getProgramLock());
            record = e.deviceBank (4).programBytes (10);
        }
        for (int layer : { 0, 1 })
            for (auto* c : layer == 0 ? layerA : layerB)
                record[(size_t) c->getKey()] = (juce::uint8) valueFor (*c, layer, load.seed);

        load.load (record);
        rig.settle();
        ASSERT_EQ (e.editBuffer(), record);

        for (int layer : { 0, 1 })
            for (auto* c : layer == 0 ? layerA : layerB)
            {
                const int expected = record[(size_t) c->getKey()];
                ASSERT_EQ (c->getShownValue(), expected) << "layer " << layer << " " << c->getLabel() << " key " << c->getKey();
                EXPECT_EQ (c->getValueText(), ParDes::valueText (c->getDisplayType(), expected)) << c->getLabel();
            }
    }
}
