#include "editor/BankComp.h"
#include "controls/Artwork.h"
#include "engine/MidiCntrState.h"
#include "engine/ParDes.h"

namespace
{
const juce::Colour panelGrey (0xFF141414);
}

void BankComp::setUpGrid (StsGrid& g)
{
    g.setColumnWidths ({ 50, 140, 100, 0 });
    g.setRowHeight (46);
    g.setTextHeight (14);
    g.setDefaultColours();
    g.setScrollBarWidth (32);
}

BankComp::BankComp (MidiCntrState& e)
    : engine (e),
      modelWord (Artwork::get (Artwork::modelWord)),
      modelNumber (Artwork::get (Artwork::modelNumber))
{
    setOpaque (true);

    for (int i = 0; i < 8; ++i)
        bankButtons.push_back (std::make_unique<StsBut> ((i < 4 ? "BANK U" : "BANK F") + juce::String (i % 4 + 1),
                                                         0, StsBut::functionButton));
    fileButton = std::make_unique<StsBut> ("FILE", 6, StsBut::functionButton);
    midiButton = std::make_unique<StsBut> ("MIDI", 6, StsBut::functionButton);
    presetsButton = std::make_unique<StsBut> ("PRESETS", 6, StsBut::functionButton);
    okButton = std::make_unique<StsBut> ("OK", 0, StsBut::dialogButton);

    loadedData = std::make_unique<SwitchLED> ("Use Loaded Data");
    loadedData->setBounds (54, 21, 100, 15);
    loadedData->addChangeListener (this);
    addAndMakeVisible (*loadedData);

    grid = std::make_unique<StsGrid> (engine);
    setUpGrid (*grid);
    addAndMakeVisible (*grid);
    grid->fill (StsGrid::bankMode, 0);

    std::vector<StsBut*> buttons;
    for (auto& b : bankButtons)
        buttons.push_back (b.get());
    buttons.insert (buttons.end(), { fileButton.get(), midiButton.get(), presetsButton.get(), okButton.get() });

    for (auto* b : buttons)
    {
        // The main component listens to OK itself.
        if (b != okButton.get())
            b->addListener (this);
        b->setBoundsAndStyle (0, 0, 70, 18, true);
        addAndMakeVisible (*b);
    }

    for (int k = 0; k < 26; ++k)
    {
        auto b = std::make_unique<StsBut> (k == 0 ? juce::String ("-----") : ParDes::categoryName (k), 0, StsBut::functionButton);
        b->addListener (this);
        b->setBoundsAndStyle (0, 0, 70, 18, true);
        addAndMakeVisible (*b);
        categoryButtons.push_back (std::move (b));
    }
}

BankComp::~BankComp()
{
    for (auto& b : bankButtons)     b->removeListener (this);
    for (auto& b : categoryButtons) b->removeListener (this);
    for (auto* b : { fileButton.get(), midiButton.get(), presetsButton.get() })
        b->removeListener (this);
    loadedData->removeChangeListener (this);
}

void BankComp::layout (int x, int y, int width, int height)
{
    juce::ignoreUnused (x);
    // (Never zero: an empty area must not divide by it.)
    scale = juce::jlimit (0.1f, 1.0f, juce::jmin ((float) width / (float) fullWidth, (float) height / (float) fullHeight));
    const int h = (int) ((float) height / scale);   // the height laid out at full size
    const int g = gridHeightFor (h);

    for (int i = 0; i < (int) bankButtons.size(); ++i)
        bankButtons[(size_t) i]->setTopLeft (102, 50 + 36 * i);
    fileButton->setTopLeft (202, 20);
    midiButton->setTopLeft (280, 20);
    presetsButton->setTopLeft (358, 20);
    loadedData->setTopLeftPosition (446, 26);
    for (int k = 0; k < (int) categoryButtons.size(); ++k)
        categoryButtons[(size_t) k]->setTopLeft (582 + 78 * (k % 4), 50 + 36 * (k / 4));
    okButton->setTopLeft (816, g + 38);
    grid->setBounds (202, 50, 350, g);

    const auto shrink = juce::AffineTransform::scale (scale);
    for (auto* child : getChildren())
        child->setTransform (shrink);

    setBounds (0, y, width, height);
    repaint();
}

void BankComp::showBank (int bank)
{
    if (! juce::isPositiveAndBelow (bank, 8))
        return;
    gridMode = StsGrid::bankMode;
    gridValue = bank;
    grid->fill (gridMode, gridValue);
}

void BankComp::showCategory (int category)
{
    if (! juce::isPositiveAndBelow (category, 26))
        return;
    gridMode = StsGrid::categoryMode;
    gridValue = category;
    grid->fill (gridMode, gridValue);
}

void BankComp::refill()
{
    grid->fill (gridMode, gridValue);
    grid->repaint();
}

void BankComp::paint (juce::Graphics& g)
{
    g.fillAll (panelGrey);
    g.addTransform (juce::AffineTransform::scale (scale));
    // The artwork shows whole or not at all: a half word under the buttons looks broken.
    const int height = (int) ((float) getHeight() / scale);
    g.setOpacity (1.0f);
    if (320 + 43 <= height)
        g.drawImage (modelWord, 600, 320, 275, 43, 0, 0, 275, 43);
    g.setOpacity (0.61f);
    if (380 + 36 <= height)
        g.drawImage (modelNumber, 698, 380, 73, 36, 0, 0, 113, 56);
}

void BankComp::broadcast (int code)
{
    changeCode = code;
    sendChangeMessage();
}

void BankComp::stsbutChanged (StsBut* source)
{
    for (int k = 0; k < (int) categoryButtons.size(); ++k)
        if (source == categoryButtons[(size_t) k].get())
        {
            showCategory (k);
            grid->repaint();
            return;
        }

    for (int i = 0; i < (int) bankButtons.size(); ++i)
        if (source == bankButtons[(size_t) i].get())
        {
            // The main component fills the grid once it has selected the bank.
            gridMode = StsGrid::bankMode;
            gridValue = i;
            broadcast (bankChosen);
            return;
        }

    if (source == fileButton.get())         broadcast (fileMenu);
    else if (source == midiButton.get())    broadcast (midiMenu);
    else if (source == presetsButton.get()) broadcast (presets);
}

void BankComp::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == loadedData.get())
        broadcast (useLoadedData);
}
