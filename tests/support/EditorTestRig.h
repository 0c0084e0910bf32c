#pragma once

#include "editor/EditorPanel.h"
#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/SimulatedSynth.h"
#include <gtest/gtest.h>
#include <functional>
#include <memory>

// A processor wired to a simulated synthesizer, and its editor as the host
// opens it: built, then started as when the window first shows.
struct EditorTestRig
{
    SimulatedSynth synth;
    std::unique_ptr<VantorAudioProcessor> processor;
    std::unique_ptr<VantorAudioProcessorEditor> editor;

    EditorTestRig()
    {
        processor = std::make_unique<VantorAudioProcessor> (synth);
        engine().selectInputPort (1);
        engine().selectOutputPort (1);
    }

    ~EditorTestRig()
    {
        editor.reset();
        processor.reset();   // closes the devices before the synth goes
    }

    MidiCntrState& engine()                   { return processor->getEngine(); }
    MainComp& main()                          { return editor->getMainComp(); }
    EditorPanel& page()                       { return main().getEditorPanel(); }

    MainComp& open (bool start = true)
    {
        editor = std::make_unique<VantorAudioProcessorEditor> (*processor);
        if (start)
            main().start();
        return main();
    }

    void close()                              { editor.reset(); }

    static bool pumpUntil (const std::function<bool()>& condition, int limitMs = 20000)
    {
        return ui::pumpUntil (condition, limitMs);
    }

    // Until the synthesizer has nothing left to deliver and the message thread
    // nothing left to dispatch: whatever an answer sets off has happened.
    bool settle()                             { return synth.settle(); }
};

// A fixture with the editor open at its default size, splash gone, ready for clicks.
struct OpenEditorTest : public ::testing::Test
{
    EditorTestRig rig;
    MainComp* main = nullptr;

    void SetUp() override
    {
        main = &rig.open();
        main->showAbout (false, 0);
        rig.editor->setSize (1200, 730);
        rig.editor->setVisible (true);
    }
};
