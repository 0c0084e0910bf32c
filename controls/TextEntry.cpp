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

}

namespace TextEntry
{
void setUp (juce::TextEditor& entry, std::function<void()> onOk, std::function<void()> onCancel)
{
    // The toolkit's own top indent (4 px) pushes a 16 px line onto the frame;
    // without it the line is centred in whatever height the entry gets.
    entry.setJustification (juce::Justification::centredLeft);
    entry.setIndents (4, 0);
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
