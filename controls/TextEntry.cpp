#include "controls/TextEntry.h"
#include <algorithm>

namespace
{
bool routing = false;

std::vector<KeyScope*>& scopes()
{
    static std::vector<KeyScope*> all;
    return all;
}

// A click on an entry makes it its editor's entry again.
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

bool within (const juce::Component* outer, const juce::Component* c)
{
    return outer != nullptr && c != nullptr && (outer == c || outer->isParentOf (c));
}
}

//==============================================================================
struct KeyScope::Window
{
    juce::Component::SafePointer<juce::Component> member, player, root;
};

struct KeyScope::Listeners : juce::KeyListener, juce::MouseListener, juce::ComponentListener
{
    explicit Listeners (KeyScope& s) : scope (s) {}

    bool keyPressed (const juce::KeyPress& key, juce::Component* root) override   { return scope.keyPressed (key, root); }
    bool keyStateChanged (bool isKeyDown, juce::Component* root) override         { return scope.keyStateChanged (isKeyDown, root); }
    void mouseDown (const juce::MouseEvent&) override                             { scope.clicked(); }

    // The editor goes into the host's window after it is built: listen at the new root.
    void componentParentHierarchyChanged (juce::Component& c) override
    {
        for (auto& w : scope.windows)
            if (w->member == &c)
                scope.attach (*w);
    }

    KeyScope& scope;
};

KeyScope::KeyScope() : listeners (std::make_unique<Listeners> (*this))
{
    scopes().push_back (this);
}

KeyScope::~KeyScope()
{
    for (auto& w : windows)
        detach (*w);
    windows.clear();
    auto& all = scopes();
    all.erase (std::remove (all.begin(), all.end(), this), all.end());
}

void KeyScope::addWindow (juce::Component& member, juce::Component* player)
{
    removeWindow (member);
    auto w = std::make_unique<Window>();
    w->member = &member;
    w->player = player;
    member.addMouseListener (listeners.get(), true);
    member.addComponentListener (listeners.get());
    attach (*w);
    windows.push_back (std::move (w));
}

void KeyScope::removeWindow (juce::Component& member)
{
    for (auto it = windows.begin(); it != windows.end(); ++it)
        if ((*it)->member == &member)
        {
            detach (**it);
            windows.erase (it);
            return;
        }
}

void KeyScope::attach (Window& w)
{
    auto* root = w.member != nullptr ? w.member->getTopLevelComponent() : nullptr;
    if (root == w.root.getComponent())
        return;

    auto* old = w.root.getComponent();
    w.root = root;
    if (old != nullptr && windowAt (old) == nullptr)
        old->removeKeyListener (listeners.get());
    if (root != nullptr)
    {
        root->removeKeyListener (listeners.get());   // one per root, whatever shares it
        root->addKeyListener (listeners.get());
    }
}

void KeyScope::detach (Window& w)
{
    if (auto* member = w.member.getComponent())
    {
        member->removeMouseListener (listeners.get());
        member->removeComponentListener (listeners.get());
    }
    auto* root = w.root.getComponent();
    w.root = nullptr;
    if (root != nullptr && windowAt (root) == nullptr)
        root->removeKeyListener (listeners.get());
}

KeyScope::Window* KeyScope::windowAt (const juce::Component* root)
{
    for (auto& w : windows)
        if (root != nullptr && w->root == root)
            return w.get();
    return nullptr;
}

bool KeyScope::owns (const juce::Component* c) const
{
    for (auto& w : windows)
        if (within (w->root.getComponent(), c) || within (w->member.getComponent(), c))
            return true;
    return false;
}

KeyScope* KeyScope::of (const juce::Component& c)
{
    for (auto* scope : scopes())
        for (auto& w : scope->windows)
            if (within (w->member.getComponent(), &c))
                return scope;
    return nullptr;
}

juce::TextEditor* KeyScope::entry() const
{
    auto* e = active.getComponent();
    if (e == nullptr || e->isReadOnly())
        return nullptr;
    for (juce::Component* c = e; c != nullptr; c = c->getParentComponent())
        if (! c->isVisible())
            return nullptr;   // hidden with its box

    // The toolkit moved its focus to another control that takes keys.
    if (auto* focused = juce::Component::getCurrentlyFocusedComponent())
        if (focused != e && ! e->isParentOf (focused) && dynamic_cast<juce::TextEditor*> (focused) != nullptr)
            return nullptr;

    return e;
}

bool KeyScope::deliver (const juce::KeyPress& key)
{
    auto* e = entry();
    if (e == nullptr)
        return false;

    // The entry had it already (it bubbled up unused), or we are inside our own call.
    if (routing || e->hasKeyboardFocus (false))
        return true;

    const juce::ScopedValueSetter<bool> guard (routing, true);
    e->keyPressed (key);
    return true;
}

// Keys reach a root when nothing in its window has the toolkit's focus (the
// host kept it), or when the focused control did not use them.
bool KeyScope::keyPressed (const juce::KeyPress& key, juce::Component* root)
{
    if (deliver (key))
        return true;

    const auto* focused = juce::Component::getCurrentlyFocusedComponent();
    if (focused != nullptr && focused != root)
        return false;   // the focused control had it

    auto* w = windowAt (root);
    return w != nullptr && w->player != nullptr && w->player->keyPressed (key);
}

bool KeyScope::keyStateChanged (bool isKeyDown, juce::Component* root)
{
    const auto* focused = juce::Component::getCurrentlyFocusedComponent();
    if (focused != nullptr && focused != root)
        return false;

    auto* w = windowAt (root);
    return w != nullptr && w->player != nullptr && w->player->keyStateChanged (isKeyDown);
}

// The toolkit sends keys to its focused control whichever window they reach:
// a click here takes the focus from another editor's control (a host that keeps
// the X focus lets no control of ours take it).
void KeyScope::clicked()
{
    if (const auto* focused = juce::Component::getCurrentlyFocusedComponent(); focused != nullptr && ! owns (focused))
        juce::Component::unfocusAllComponents();
}

//==============================================================================
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
    if (auto* scope = KeyScope::of (entry))
        scope->active = &entry;

    if (entry.isShowing() && ! entry.hasKeyboardFocus (false))
        entry.grabKeyboardFocus();

    // Without the toolkit's focus nothing selected the text.
    if (selectAll && ! entry.hasKeyboardFocus (false))
        entry.selectAll();
}

void release (const juce::Component& from)
{
    if (auto* scope = KeyScope::of (from))
        scope->active = nullptr;
}

juce::TextEditor* current (const juce::Component& where)
{
    auto* scope = KeyScope::of (where);
    return scope != nullptr ? scope->entry() : nullptr;
}

bool routeKey (const juce::KeyPress& key, const juce::Component& where)
{
    auto* scope = KeyScope::of (where);
    return scope != nullptr && scope->deliver (key);
}
}
