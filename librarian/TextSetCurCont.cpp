#include "librarian/TextSetCurCont.h"
#include "controls/KitFonts.h"
#include "controls/TextEntry.h"
#include "controls/UiSeam.h"
#include "engine/VantorAudioProcessor.h"

TextSetCurCont::TextSetCurCont (VantorAudioProcessor& p)
    : processor (p)
{
    addAndMakeVisible (editor);
    editor.setMultiLine (false);
    editor.setReadOnly (false);
    editor.setScrollbarsShown (true);
    editor.setCaretVisible (true);
    editor.setFont (kitFont (16.0f));
    TextEntry::setUp (editor, [this] { okButton.click(); }, [this] { cancelButton.click(); });

    for (auto* b : { &okButton, &cancelButton })
    {
        addAndMakeVisible (*b);
        b->addListener (this);
    }

    setSize (600, 400);
}

TextSetCurCont::~TextSetCurCont() = default;

void TextSetCurCont::addListener (textSetCurListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.add (l);
}

void TextSetCurCont::removeListener (textSetCurListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.remove (l);
}

void TextSetCurCont::prepare()
{
    auto& engine = processor.getEngine();
    juce::String name;
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        name = engine.presetBank().editBufferName();
    }

    if (name.trim().isEmpty() || name.startsWith ("---"))
        name = "Untitled";

    editor.setText (name.trimEnd(), false);

    if (engine.getCurrentPreset() < 0)
        engine.setCurrentPreset (0);

    targetSlot = juce::jlimit (0, VantorAudioProcessor::numPrograms - 1, engine.getCurrentPreset());
    updateSlotText();
    resized();
    repaint();

    if (isShowing() && editor.isVisible())
        TextEntry::focus (editor, true);
}

void TextSetCurCont::updateSlotText()
{
    slotText = juce::String (targetSlot + 1) + "    " + processor.getProgramName (targetSlot);
}

juce::PopupMenu TextSetCurCont::buildSlotMenu() const
{
    juce::PopupMenu menu;
    for (int i = 0; i < VantorAudioProcessor::numPrograms; ++i)
        menu.addItem (slotMenuBase + i, juce::String (i + 1) + "    " + processor.getProgramName (i));
    return menu;
}

void TextSetCurCont::applySlotChoice (int menuId)
{
    // Only the bank's own slots: anything past them would write outside the bank.
    if (! juce::isPositiveAndBelow (menuId - slotMenuBase, VantorAudioProcessor::numPrograms))
        return;

    targetSlot = menuId - slotMenuBase;
    updateSlotText();
    repaint();
}

void TextSetCurCont::libButClicked (LibBut*, int id)
{
    if (id == okId)
        listeners.callChecked (juce::Component::BailOutChecker (this),
                               [slot = targetSlot] (textSetCurListener& l) { l.nameAccepted (slot); });
    else if (id == cancelId)
        listeners.callChecked (juce::Component::BailOutChecker (this),
                               [] (textSetCurListener& l) { l.nameCancelled(); });
}

void TextSetCurCont::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);

    const auto box = juce::Rectangle<int> (slotX - 1, slotY - 1, slotWidth + 2, slotHeight + 4);
    g.setColour (juce::Colours::black);
    g.fillRect (box);
    g.setColour (juce::Colours::white);
    g.drawRect (box, 1);

    g.setFont (kitFont (20.0f));
    g.drawText (slotText, getSlotBox(), juce::Justification::centred, true);

    g.setFont (kitFont (24.0f));
    g.drawText ("Preset name:", 20, 24, getWidth() - 40, 30, juce::Justification::centred, true);
    g.drawText ("Replace:", 20, 24, getWidth() - 40, 180, juce::Justification::centred, true);
}

void TextSetCurCont::resized()
{
    const int w = getWidth();
    editor.setBounds ((w - 280) / 2, 64, 280, 24);
    slotX = (w - 280) / 2;
    okButton.setTopLeft ((w - 220) / 2, 256);
    cancelButton.setTopLeft ((w - 220) / 2 + 120, 256);
}

void TextSetCurCont::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    if (! (p.x > slotX && p.x < slotX + slotWidth && p.y > slotY && p.y < slotY + slotHeight))
        return;

    juce::Component::SafePointer<TextSetCurCont> self (this);
    UiSeam::showMenu (buildSlotMenu(), this, [self] (int id)
    {
        if (self != nullptr)
            self->applySlotChoice (id);
    });
}
