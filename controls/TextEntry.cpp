#include "controls/TextEntry.h"

namespace
{
juce::Component::SafePointer<juce::TextEditor> active;
bool routing = false;

// Keys that reach a window's root (nothing focused there) go to the entry.
struct RootKeys : juce::KeyListener
{
    bool keyPressed (const juce::KeyPress& key, juce::Component*) override
    {
        return TextEntry::routeKey (key);
    }
};

RootKeys rootKeys;

// A click on an entry makes it the current one again.
struct ClickToFocus : juce::MouseListener
{
    void mouseDown (const juce::MouseEvent& e) override
    {
        if (auto* entry = dynamic_cast<juce::TextEditor*> (e.eventComponent))
            TextEntry::focus (*entry, false);
        else if (auto* parent = e.eventComponent->findParentComponentOfClass<juce::TextEditor>())
            TextEntry::focus (*parent, false);
    }
};

ClickToFocus clickToFocus;

// A one-line entry centres its line itself whenever the caret moves: it scrolls
// its text down by half the room the line leaves (the first key or a click moves
// it), on top of any vertical justification. So the line goes on top with a top
// indent of half that room, and no frame rows above or below: the scroll then
// comes out at zero and the text sits in the middle before and after typing.
struct Centring : juce::ComponentListener
{
    static void centre (juce::TextEditor& entry)
    {
        auto border = entry.getBorder();
        border.setTop (0);
        border.setBottom (0);
        entry.setBorder (border);
        entry.setJustification (juce::Justification::topLeft);
        const int lineHeight = juce::roundToInt (entry.getFont().getHeight());
        entry.setIndents (4, juce::jmax (0, (entry.getHeight() - lineHeight) / 2));
    }

    void componentMovedOrResized (juce::Component& c, bool, bool wasResized) override
    {
        if (auto* entry = dynamic_cast<juce::TextEditor*> (&c); entry != nullptr && wasResized)
            centre (*entry);
    }
};

Centring centring;

}

namespace TextEntry
{
void setUp (juce::TextEditor& entry, std::function<void()> onOk, std::function<void()> onCancel)
{
    Centring::centre (entry);
    entry.removeComponentListener (&centring);
    entry.addComponentListener (&centring);
    entry.onReturnKey = std::move (onOk);
    entry.onEscapeKey = std::move (onCancel);
    entry.removeMouseListener (&clickToFocus);
    entry.addMouseListener (&clickToFocus, true);
}

void focus (juce::TextEditor& entry, bool selectAll)
{
    active = &entry;

    if (auto* root = entry.getTopLevelComponent())
        root->addKeyListener (&rootKeys);   // once: kept as a set

    if (entry.isShowing() && ! entry.hasKeyboardFocus (false))
        entry.grabKeyboardFocus();

    // Without the toolkit's focus nothing selected the text.
    if (selectAll && ! entry.hasKeyboardFocus (false))
        entry.selectAll();
}

void release()
{
    active = nullptr;
}

juce::TextEditor* current()
{
    auto* entry = active.getComponent();
    if (entry == nullptr || entry->isReadOnly())
        return nullptr;
    for (juce::Component* c = entry; c != nullptr; c = c->getParentComponent())
        if (! c->isVisible())
            return nullptr;   // hidden with its box

    // The toolkit moved its focus to another control that takes keys.
    if (auto* focused = juce::Component::getCurrentlyFocusedComponent())
        if (focused != entry && ! entry->isParentOf (focused) && dynamic_cast<juce::TextEditor*> (focused) != nullptr)
            return nullptr;

    return entry;
}

bool routeKey (const juce::KeyPress& key)
{
    auto* entry = current();
    if (entry == nullptr)
        return false;

    // The entry had it already (it bubbled up unused), or we are inside our own call.
    if (routing || entry->hasKeyboardFocus (false))
        return true;

    const juce::ScopedValueSetter<bool> guard (routing, true);
    entry->keyPressed (key);
    return true;
}
}
