#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include "controls/LibBut.h"
#include "controls/ListenerInterfaces.h"

class VantorAudioProcessor;

class textSetCurListener
{
public:
    virtual ~textSetCurListener() = default;
    virtual void nameAccepted (int slot) = 0;
    virtual void nameCancelled() = 0;
};

// The box that names the current program and picks the preset slot it replaces.
// It never hides itself: the owner reads the name and hides it.
class TextSetCurCont : public juce::Component,
                       public LibButListener,
                       public juce::ChangeBroadcaster,
                       public ListenerSet<textSetCurListener>
{
public:
    enum ButtonId { okId = 1201, cancelId = 1202 };
    static constexpr int slotMenuBase = 1000;

    explicit TextSetCurCont (VantorAudioProcessor&);
    ~TextSetCurCont() override;

    void prepare();

    juce::TextEditor& getEditor() noexcept          { return editor; }
    int getTargetSlot() const noexcept              { return targetSlot; }
    const juce::String& getSlotText() const noexcept { return slotText; }   // the "Replace:" field
    juce::Rectangle<int> getSlotBox() const noexcept { return { slotX, slotY, slotWidth, slotHeight }; }
    LibBut& getButton (int id) noexcept             { return id == okId ? okButton : cancelButton; }

    // The slot menu and what a chosen id does, apart so both can be driven alone.
    juce::PopupMenu buildSlotMenu() const;
    void applySlotChoice (int menuId);

    void libButClicked (LibBut*, int id) override;
    void libButEntered (LibBut*, int) override      {}
    void libButExited (LibBut*, int) override       {}

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;

    juce::Colour backgroundColour { 0xff191919 };

private:
    void updateSlotText();

    VantorAudioProcessor& processor;
    juce::TextEditor editor;
    int slotX = 0, slotY = 140, slotWidth = 280, slotHeight = 30;
    int targetSlot = 0;
    LibBut okButton { "OK", okId, 12.0f }, cancelButton { "CANCEL", cancelId, 12.0f };
    juce::String slotText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextSetCurCont)
};
