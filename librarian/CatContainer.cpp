#include "CatContainer.h"

#include "engine/ParDes.h"

namespace
{
juce::String buttonText (int i)
{
    if (i == 0)
        return "-----";
    if (i == CatContainer::listAll)
        return "LIST ALL";
    return ParDes::categoryName (i).toUpperCase();
}
}

CatContainer::CatContainer()
{
    setBufferedToImage (true);

    for (int i = 0; i < numButtons; ++i)
    {
        auto* b = buttons.add (new StBut (buttonText (i), i));
        b->storedWidth = 100;
        b->storedHeight = 18;
        b->stripHeight = 18;
        b->fontHeight = 12.0f;
        b->textColour = juce::Colour (0xff000000);
        b->pressedTextColour = juce::Colour (0xffffffff);
        addChildComponent (b);

        auto* l = labels.add (new SimpleLabel (12.0f, backgroundColour, nullptr, juce::Font::plain,
                                               juce::Justification::centred));
        l->setSize (100, 18);
        addChildComponent (l);
    }

    for (auto* b : buttons)
        b->addChangeListener (this);

    for (auto* b : buttons)
    {
        b->setBounds (0, 0, 100, 18);
        b->setVisible (true);
    }

    for (auto* l : labels)
        l->setVisible (true);
}

CatContainer::~CatContainer()
{
    for (auto* b : buttons)
        b->removeChangeListener (this);

    labels.clear();
    buttons.clear();
}

void CatContainer::layoutButtons()
{
    for (int i = 0; i < numButtons; ++i)
    {
        const int x = i == listAll ? 330 : 110 * (i % 4);
        const int y = i == listAll ? 276 : 46 * (i / 4);
        buttons[i]->setTopLeft (x, y);
        labels[i]->setTopLeftPosition (x, y + 18);
    }
}

void CatContainer::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
}

void CatContainer::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    for (int i = 0; i < numButtons; ++i)
    {
        if (source != buttons[i])
            continue;

        // The page may rebuild everything from its callback.
        listeners.callChecked (juce::Component::BailOutChecker (this), [i] (CatListener& l) { l.categoryChosen (i); });
        return;
    }
}
