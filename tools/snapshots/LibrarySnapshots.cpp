#include "Snapshots.h"
#include "engine/Bank_Program.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/LibClass.h"
#include <cstdlib>

namespace
{
// No MIDI ports: the pictures need none.
struct NoDevices : public MidiDeviceSystem
{
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override                       { return {}; }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override                      { return {}; }
    std::unique_ptr<MidiDeviceInput> openInput (int, juce::MidiInputCallback*) override { return nullptr; }
    std::unique_ptr<MidiDeviceOutput> openOutput (int) override                        { return nullptr; }
};


// The page with the four factory banks in its library, a category chosen and a row selected.
class LibraryPagePicture : public juce::Component
{
public:
    explicit LibraryPagePicture (bool filtered)
    {
        auto& engine = processor.getEngine();
        ByteArray bytes;
        for (int b = 4; b < 8; ++b)
            bytes.insert (bytes.end(), engine.deviceBank (b).records().begin(), engine.deviceBank (b).records().end());

        auto& list = page.getList();
        list.importRecords (bytes, 0);
        list.commitImport (false);
        if (filtered)
            page.categoryChosen (2);
        list.setSize (334, 510);
        list.scrollTo (filtered ? 1 : 12);
        list.selectRow (list.getFirstVisibleRow() + 2);

        addAndMakeVisible (page);
        setSize (1000, 528);
    }

    void resized() override   { page.setBounds (getLocalBounds()); }

private:
    NoDevices devices;
    VantorAudioProcessor processor { devices };
    LibClass page { processor };
};
}

VANTOR_SNAPSHOT ("library-page", 1000, 528, [] { return std::make_unique<LibraryPagePicture> (false); })
VANTOR_SNAPSHOT ("library-page-filtered", 1000, 528, [] { return std::make_unique<LibraryPagePicture> (true); })
