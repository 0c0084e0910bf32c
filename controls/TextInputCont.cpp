#include "controls/TextInputCont.h"
#include "controls/KitFonts.h"
#include "controls/TextEntry.h"
#include "controls/UiSeam.h"
#include "engine/ParDes.h"

TextInputCont::TextInputCont()
{
    addAndMakeVisible (title);
    title.setFont (juce::Font ("Arial", 24.0f, juce::Font::plain));
    title.setJustificationType (juce::Justification::centred);
    title.setEditable (false);
    title.setColour (juce::Label::textColourId, juce::Colours::white);

    addAndMakeVisible (editor);
    editor.setMultiLine (false);
    editor.setReadOnly (false);
    editor.setScrollbarsShown (true);
    editor.setCaretVisible (true);
    editor.setFont (kitFont (16.0f));   // embedded: a system lookup can come back empty in a host
    // Return and Escape answer as the visible buttons do.
    TextEntry::setUp (editor,
                      [this] { if (okButton.isVisible()) okButton.click(); },
                      [this] { if (cancelButton.isVisible()) cancelButton.click(); });

    for (auto* b : { &okButton, &cancelButton, &noButton })
    {
        addAndMakeVisible (b);
        b->addListener (this);
    }

    setSize (600, 400);
}

void TextInputCont::addListener (textmsgListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    if (l != nullptr)
        listeners.add (l);
}

void TextInputCont::removeListener (textmsgListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.remove (l);
}

LibBut& TextInputCont::getButton (int id) noexcept
{
    return id == okId ? okButton : id == noId ? noButton : cancelButton;
}

void TextInputCont::setup (const juce::String& titleText, const juce::String& editorText,
                           const juce::String& cancelText, const juce::String& okText, const juce::String& noText,
                           int newCategory, int newCommandId, int newValue)
{
    title.setText (titleText, juce::dontSendNotification);
    editor.setText (editorText, false);

    commandId = newCommandId;
    value = newValue;

    categoryShown = newCategory >= 0;
    category = categoryShown ? newCategory : -1;
    categoryText = categoryShown ? ParDes::categoryName (newCategory).toUpperCase() : juce::String();
    if (categoryShown)
    {
        categoryWidth = 280;
        categoryY = 94;
    }

    const std::pair<LibBut*, juce::String> answers[] = { { &cancelButton, cancelText }, { &okButton, okText }, { &noButton, noText } };
    for (auto& [button, text] : answers)
    {
        if (text.isNotEmpty())
            button->setText (text);
        button->setVisible (text.isNotEmpty());
    }

    resized();
    repaint();

    if (isShowing() && editor.isVisible())
        TextEntry::focus (editor, true);
}

juce::Rectangle<int> TextInputCont::getCategoryBox() const noexcept
{
    return { (getWidth() - categoryWidth) / 2, categoryY, categoryWidth, categoryHeight };
}

void TextInputCont::resized()
{
    const int w = getWidth();
    title.setBounds (20, 24, w - 40, 30);
    editor.setBounds ((w - 280) / 2, 64, 280, 24);

    const int rowY = categoryShown ? 136 : 116;
    if (noButton.isVisible())
    {
        const int x = (w - 340) / 2;
        okButton.setTopLeft (x, rowY);
        noButton.setTopLeft (x + 120, rowY);
        cancelButton.setTopLeft (x + 240, rowY);
    }
    else
    {
        const int x = (w - 220) / 2;
        okButton.setTopLeft (x, rowY);
        cancelButton.setTopLeft (x + 120, rowY);
    }
}

void TextInputCont::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);

    if (! categoryShown)
        return;

    const auto box = getCategoryBox();
    g.setColour (juce::Colour (0xFF272527));
    g.fillRect (box);
    g.setColour (juce::Colour (0xFFF2F0F0));
    g.setFont (juce::Font ("Arial", categoryFontHeight, juce::Font::plain));
    g.drawText (categoryText, box, juce::Justification::centred, true);
}

juce::PopupMenu TextInputCont::buildCategoryMenu()
{
    juce::PopupMenu menu;
    for (int i = 0; i < 26; ++i)
        menu.addItem (i + 1, ParDes::categoryName (i));
    return menu;
}

void TextInputCont::applyCategoryChoice (int menuId)
{
    if (menuId < 1 || menuId > 26)
        return;

    category = menuId - 1;
    categoryText = ParDes::categoryName (category).toUpperCase();
    repaint (getCategoryBox());
}

void TextInputCont::mouseDown (const juce::MouseEvent& e)
{
    const auto box = getCategoryBox();
    const bool strictlyInside = e.x > box.getX() && e.x < box.getRight() && e.y > box.getY() && e.y < box.getBottom();
    if (! categoryShown || ! strictlyInside)
        return;

    if (menuLook == nullptr)
        menuLook = ParDes::menuLookAndFeel();

    auto menu = buildCategoryMenu();
    menu.setLookAndFeel (menuLook.get());

    juce::Component::SafePointer<TextInputCont> safe (this);
    UiSeam::showMenu (std::move (menu), &editor, [safe] (int result)
    {
        if (safe != nullptr)
            safe->applyCategoryChoice (result);
    });
}

// The owner may delete this box from its answer: stop as soon as it is gone.
void TextInputCont::libButClicked (LibBut*, int id)
{
    const int command = commandId, v = value;
    const juce::Component::BailOutChecker checker (this);

    switch (id)
    {
        case okId:     listeners.callChecked (checker, [=] (textmsgListener& l) { l.okPressed (command, v); }); break;
        case noId:     listeners.callChecked (checker, [=] (textmsgListener& l) { l.noPressed (command, v); }); break;
        case cancelId: listeners.callChecked (checker, [=] (textmsgListener& l) { l.cancelPressed (command, v); }); break;
        default: break;
    }
}
