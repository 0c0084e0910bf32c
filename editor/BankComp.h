#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

#include "controls/StsBut.h"
#include "controls/StsGrid.h"
#include "controls/SwitchLED.h"

class MidiCntrState;

// The bank selector: one device bank, or one category of the user banks, in a
// program grid, with the bank, category, FILE, MIDI and PRESETS buttons. Its
// commands go to the main component as a change code, read back on arrival.
class BankComp : public juce::Component,
                 public stsbutChangeListener,
                 public juce::ChangeListener,
                 public juce::ChangeBroadcaster
{
public:
    enum Code
    {
        bankChosen    = 200,
        presets       = 201,
        useLoadedData = 206,
        fileMenu      = 890,
        midiMenu      = 891
    };

    explicit BankComp (MidiCntrState& engine);
    ~BankComp() override;

    // The area every button needs at full size: in a smaller one everything
    // shrinks alike, so that no button leaves the window or lies on another.
    static constexpr int fullWidth = 894, fullHeight = 330;

    void layout (int x, int y, int width, int height);
    static int gridHeightFor (int height) noexcept   { return juce::jmax (0, (height - 60) / 46) * 46; }
    float getScale() const noexcept                  { return scale; }

    // The grid on one bank (mode 0) or one category (mode 1); filled at once.
    void showBank (int bank);
    void showCategory (int category);
    void refill();

    int getChangeCode() const noexcept               { return changeCode; }
    int getGridMode() const noexcept                 { return gridMode; }
    int getGridValue() const noexcept                { return gridValue; }

    StsGrid& getGrid() noexcept                      { return *grid; }
    StsBut& getBankButton (int i)                    { return *bankButtons[(size_t) i]; }
    StsBut& getCategoryButton (int k)                { return *categoryButtons[(size_t) k]; }
    StsBut& getOkButton() noexcept                   { return *okButton; }
    StsBut& getFileButton() noexcept                 { return *fileButton; }
    StsBut& getMidiButton() noexcept                 { return *midiButton; }
    StsBut& getPresetsButton() noexcept              { return *presetsButton; }
    SwitchLED& getLoadedDataSwitch() noexcept        { return *loadedData; }

    void paint (juce::Graphics&) override;
    void stsbutChanged (StsBut*) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;

    static void setUpGrid (StsGrid&);

private:
    void broadcast (int code);

    MidiCntrState& engine;
    std::vector<std::unique_ptr<StsBut>> bankButtons;
    std::unique_ptr<StsBut> okButton, fileButton, midiButton, presetsButton;
    std::vector<std::unique_ptr<StsBut>> categoryButtons;
    std::unique_ptr<StsGrid> grid;
    std::unique_ptr<SwitchLED> loadedData;
    juce::Image modelWord, modelNumber;
    int changeCode = 0;
    float scale = 1.0f;
    int gridMode = StsGrid::bankMode, gridValue = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BankComp)
};
