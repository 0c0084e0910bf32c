#include "librarian/Lib_Manager_Comp.h"
#include "controls/KitFonts.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/LibClass.h"
#include "librarian/Lib_Manager_Win.h"
#include "librarian/Plugin_Bank.h"

Lib_Manager_Comp::Lib_Manager_Comp (VantorAudioProcessor& p)
    : processor (p), keyPlayer (&p.getEngine(), KeyPlayClass::libraryOwner)
{
    for (auto [text, id] : { std::pair<const char*, int> { "PRESET BANK", presetBankTab }, { "LIBRARY", libraryTab } })
    {
        auto* tab = tabs.add (new LibBut (text, id, 12.0f));
        addAndMakeVisible (tab);
        tab->addListener (this);
    }

    addAndMakeVisible (closeButton);
    setSize (500, 620);

    showPresetBankPage();

    addAndMakeVisible (keyPlayer);
    keyPlayer.addListener (this);
    keyPlayer.setMouseCursor (juce::MouseCursor::DraggingHandCursor);
    keyPlayer.backgroundColour = juce::Colour (0x000a0a0a);
    keyPlayer.textColour = juce::Colours::white;
    keyPlayer.setBounds (100, 4, 200, 20);

    helpLine.setFont (kitFont (15.0f));
    helpLine.setJustificationType (juce::Justification::centredLeft);
    helpLine.setEditable (false);
    helpLine.setColour (juce::Label::textColourId, juce::Colour (0xffcebdbd));
    helpLine.setSize (400, 24);
    addAndMakeVisible (helpLine);
    resized();
}

Lib_Manager_Comp::~Lib_Manager_Comp()
{
    keyPlayer.releaseAll();
    // The library page writes the default library as it goes.
    libraryPage.reset();
    presetPage.reset();
}

LibBut& Lib_Manager_Comp::getTab (int id)
{
    return *tabs[id == presetBankTab ? 0 : 1];
}

//==============================================================================
void Lib_Manager_Comp::showLibraryPage()
{
    if (presetPage != nullptr)
    {
        presetPage->setBounds (-1000, -1000, 20, 20);
        presetPage->setVisible (false);
    }

    pageName = "LIBRARY";

    if (libraryPage == nullptr)
    {
        libraryPage = std::make_unique<LibClass> (processor);
        addAndMakeVisible (*libraryPage);
        libraryPage->getButton (LibClass::doneId).addListener (this);
        libraryPage->loadDefaultLibrary();
    }

    libraryPage->setVisible (true);
    resized();
    repaint();
}

void Lib_Manager_Comp::showPresetBankPage()
{
    if (libraryPage != nullptr)
    {
        libraryPage->setBounds (-1000, -1000, 20, 20);
        libraryPage->setVisible (false);
    }

    pageName = "PRESET BANK";

    if (presetPage == nullptr)
    {
        presetPage = std::make_unique<Plugin_Bank> (processor);
        addAndMakeVisible (*presetPage);
        presetPage->getButton (Plugin_Bank::doneId).addListener (this);
    }

    auto& engine = processor.getEngine();
    if (engine.getCurrentPreset() < 0)
        engine.setCurrentPreset (0);

    auto& list = presetPage->getList();
    const int slot = engine.getCurrentPreset();
    if (slot < list.getNumRows() && slot != list.getHighlightedRow())
        list.selectRowQuietly (slot);

    presetPage->setVisible (true);
    presetPage->updateButtons();
    resized();
    repaint();
}

//==============================================================================
void Lib_Manager_Comp::sendClose()
{
    // Exactly what a click on the close button sends.
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent e (source, juce::Point<float>(), juce::ModifierKeys(), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                              &closeButton, &closeButton, now, juce::Point<float>(), now, 1, false);
    closeButton.mouseDown (e);
    closeButton.mouseUp (e);
}

void Lib_Manager_Comp::libButClicked (LibBut*, int id)
{
    if (id == doneId)
        sendClose();
    else if (id == libraryTab)
        showLibraryPage();
    else if (id == presetBankTab)
        showPresetBankPage();
}

void Lib_Manager_Comp::libButEntered (LibBut* source, int)
{
    if (source != nullptr)
        helpLine.setText (source->helpText, juce::dontSendNotification);
}

void Lib_Manager_Comp::libButExited (LibBut*, int)
{
    helpLine.setText ({}, juce::dontSendNotification);
}

//==============================================================================
void Lib_Manager_Comp::paint (juce::Graphics& g)
{
    const int w = getWidth();
    g.fillAll (juce::Colour (0xff373535));
    g.setColour (juce::Colour (0xff0a0a0a));
    g.fillRect (0, 4, w, 20);
    g.setColour (juce::Colour (0xffede9e9));
    g.setFont (kitFont (15.0f));
    g.drawText ("PROPHET 12 : " + pageName, 0, 4, w, 20, juce::Justification::centred, true);
}

void Lib_Manager_Comp::resized()
{
    const int w = getWidth(), h = getHeight();
    closeButton.setBounds (w - 20, 6, 18, 22);

    for (juce::Component* page : { (juce::Component*) presetPage.get(), (juce::Component*) libraryPage.get() })
        if (page != nullptr && page->isVisible())
            page->setBounds (0, 50, w, h - 92);

    getTab (presetBankTab).setTopLeft (20, 22);
    getTab (libraryTab).setTopLeft (130, 22);
    helpLine.setBounds (w - 400, h - 30, 400, 24);
}

//==============================================================================
void Lib_Manager_Comp::beginDrag (int x, int y, bool onHandle)
{
    dragging = onHandle || y < 20;
    pressX = x;
    pressY = y;
}

void Lib_Manager_Comp::dragTo (int x, int y)
{
    if (! dragging || window == nullptr)
        return;

    window->setTopLeftPosition (window->getX() - pressX + x, window->getY() - pressY + y);
}

void Lib_Manager_Comp::mouseDown (const juce::MouseEvent& e)   { beginDrag (e.x, e.y, false); }
void Lib_Manager_Comp::mouseDrag (const juce::MouseEvent& e)   { dragTo (e.x, e.y); }
void Lib_Manager_Comp::keyPlayMouseDown (int x, int y)         { beginDrag (x, y, true); }
void Lib_Manager_Comp::keyPlayMouseDrag (int x, int y)         { dragTo (x, y); }

void Lib_Manager_Comp::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (e.y < 20 ? juce::MouseCursor::DraggingHandCursor : juce::MouseCursor::NormalCursor);
}
