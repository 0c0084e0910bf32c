#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include "controls/LibBut.h"
#include "controls/ListenerInterfaces.h"

// The entry and question box of the library page and the preset bank window:
// a title, a text line, an optional program category and up to three answers.
// It never closes itself: it reports the answer, and the owner reads the text
// and the category back and hides or deletes the box, even from the callback.
class TextInputCont : public juce::Component,
                      public LibButListener,
                      public juce::ChangeBroadcaster,
                      public ListenerSet<textmsgListener>
{
public:
    enum ButtonId { noId = 1200, okId = 1201, cancelId = 1202 };

    TextInputCont();

    void setup (const juce::String& title, const juce::String& editorText,
                const juce::String& cancelText, const juce::String& okText, const juce::String& noText,
                int category, int commandId, int value);

    juce::String getText() const                    { return editor.getText(); }
    int getCategory() const noexcept                { return category; }
    const juce::String& getCategoryText() const noexcept { return categoryText; }
    bool isCategoryShown() const noexcept           { return categoryShown; }
    juce::Rectangle<int> getCategoryBox() const noexcept;

    // The menu of categories and what a chosen id does: split so both can be driven alone.
    static juce::PopupMenu buildCategoryMenu();
    void applyCategoryChoice (int menuId);

    juce::TextEditor& getEditor() noexcept          { return editor; }
    juce::Label& getTitle() noexcept                { return title; }
    LibBut& getButton (int id) noexcept;

    juce::Colour backgroundColour { 0xFF191919 };
    float categoryFontHeight = 15.0f;

    void libButClicked (LibBut* source, int id) override;
    void libButEntered (LibBut*, int) override   {}
    void libButExited (LibBut*, int) override    {}

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    juce::TextEditor editor;
    int categoryY = 0, categoryWidth = 150, categoryHeight = 30;
    bool categoryShown = false;
    juce::String categoryText;
    int category = -1;
    int commandId = 0, value = 0;
    LibBut okButton { "OK", okId, 16.0f }, cancelButton { "Cancel", cancelId, 16.0f }, noButton { "NO", noId, 16.0f };
    juce::Label title;
    std::unique_ptr<juce::LookAndFeel_V2> menuLook;   // menus keep only a weak reference to it

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextInputCont)
};
