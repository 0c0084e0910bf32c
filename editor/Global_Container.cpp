#include "editor/Global_Container.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"

Global_Container::Global_Container (MidiCntrState& e)
    : engine (e)
{
    for (int i = 0; i < GlbCont::numSettings; ++i)
    {
        widgets.push_back (std::make_unique<GlbCont> (&engine));
        addChildComponent (*widgets.back());
    }
    for (int i = 0; i < GlbCont::numSettings; ++i)
    {
        widgets[(size_t) i]->setup (i);
        widgets[(size_t) i]->setVisible (true);
    }
    closeBox = Artwork::get (Artwork::closeBox);
    setOpaque (true);
    setSize (600, 400);
}

void Global_Container::globalsChanged()
{
    for (auto& w : widgets)
        w->repaint();
}

void Global_Container::resized()
{
    const int w = getWidth(), h = getHeight();
    if (w <= 0 || h <= 0)
        return;

    background = juce::Image (juce::Image::RGB, w, h, true);
    juce::Graphics g (background);
    g.fillAll (juce::Colours::black);

    const auto box = juce::Rectangle<float> (0.0f, 0.0f, (float) w, (float) h);
    g.setColour (juce::Colour (0xDD000000));
    g.fillRoundedRectangle (box, 10.0f);
    g.setColour (juce::Colour (0xDD457089));
    g.drawRoundedRectangle (box, 10.0f, 3.0f);

    g.setColour (juce::Colours::white);
    g.setFont (kitFont (12.0f, juce::Font::bold));
    g.drawText ("Global Settings:", 14, 4, 200, 30, juce::Justification::centredLeft, false);

    g.setFont (kitFont (12.0f));
    for (int id = 0; id < GlbCont::numSettings; ++id)
    {
        const auto& s = GlbCont::layout (id);
        if (s.x < 0 || s.kind == GlbCont::knob)
            continue;   // hidden, or a knob that labels itself
        const int left = s.x - (s.kind == GlbCont::toggle ? 150 : 120);
        g.drawText (s.label, left, s.y + 1, 200, 18, juce::Justification::centredLeft, true);
    }

    g.drawImage (closeBox, w - 25, 10, 15, 15, 0, 0, closeBox.getWidth(), closeBox.getHeight());
}

void Global_Container::paint (juce::Graphics& g)
{
    g.drawImageAt (background, 0, 0);
}

void Global_Container::mouseDown (const juce::MouseEvent& e)
{
    const int w = getWidth();
    if (e.x > w - 27 && e.x < w - 10 && e.y >= 9 && e.y <= 24)
    {
        // The listener may close this page: touch nothing of it afterwards.
        juce::Component::BailOutChecker checker (this);
        listeners.callChecked (checker, [] (Global_Listener& l) { l.globalPanelCommand (Global_Listener::closeCode, 0); });
    }
}
