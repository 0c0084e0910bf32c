#include "Snapshots.h"
#include "engine/VantorAudioProcessor.h"
#include "engine/Bank_Program.h"
#include "librarian/LibClass.h"
#include "librarian/Lib_Manager_Comp.h"
#include "librarian/Plugin_Bank.h"
#include "controls/UiSeam.h"
#include <cstdlib>

namespace
{
struct NoPorts : public MidiDeviceSystem
{
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override                       { return {}; }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override                      { return {}; }
    std::unique_ptr<MidiDeviceInput> openInput (int, juce::MidiInputCallback*) override { return nullptr; }
    std::unique_ptr<MidiDeviceOutput> openOutput (int) override                        { return nullptr; }
};


// The library window's content as the main component sizes it, on one tab,
// the preset bank scrolled a little with the current preset selected.
class LibraryWindowPicture : public juce::Component
{
public:
    LibraryWindowPicture (bool libraryTab, bool nameBox, const juce::String& name = {}, bool replaceQuestion = false)
    {
        processor.setCurrentProgram (14);
        content.showPresetBankPage();
        if (replaceQuestion)
        {
            // "Save Preset Bank as" answered "Live" where Live.fxb exists.
            const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("snapshot saves");
            folder.createDirectory();
            folder.getChildFile ("Live.fxb").replaceWithText ("old");
            UiSeam::setChooserHook ([folder] (bool, juce::String, juce::File, juce::String, UiSeam::FileCallback answer)
            {
                answer (folder.getChildFile ("Live"));
            });
            content.getPresetBankPage()->savePresetBank();
            UiSeam::setChooserHook (nullptr);
            folder.deleteRecursively();   // the question is up: the file is no longer needed
        }
        if (nameBox)
            content.getPresetBankPage()->showSetCurrent();
        if (name.isNotEmpty())
            if (auto* box = content.getPresetBankPage()->getNameBox())
                box->getEditor().setText (name, false);
        if (libraryTab)
        {
            // The library holding the four factory banks, as a musician's would after an import.
            content.showLibraryPage();
            if (auto* library = content.getLibraryPage())
            {
                auto& engine = processor.getEngine();
                ByteArray bytes;
                for (int b = 4; b < 8; ++b)
                    bytes.insert (bytes.end(), engine.deviceBank (b).records().begin(), engine.deviceBank (b).records().end());
                library->getList().importRecords (bytes, 0);
                library->getList().commitImport (false);
            }
        }
        addAndMakeVisible (content);
        setSize (1000, 620);
    }

    void resized() override   { content.setBounds (getLocalBounds()); }

private:
    NoPorts devices;
    VantorAudioProcessor processor { devices };
    Lib_Manager_Comp content { processor };
};
}

VANTOR_SNAPSHOT ("library-window-preset-bank", 1000, 620, [] { return std::make_unique<LibraryWindowPicture> (false, false); })
VANTOR_SNAPSHOT ("library-window-library", 1000, 620, [] { return std::make_unique<LibraryWindowPicture> (true, false); })
VANTOR_SNAPSHOT ("library-window-set-current", 1000, 620, [] { return std::make_unique<LibraryWindowPicture> (false, true); })
VANTOR_SNAPSHOT ("library-window-name-xy", 1000, 620, [] { return std::make_unique<LibraryWindowPicture> (false, true, "Xy"); })
VANTOR_SNAPSHOT ("library-window-replace-question", 1000, 620, [] { return std::make_unique<LibraryWindowPicture> (false, false, juce::String(), true); })
