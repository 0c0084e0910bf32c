#include "support/ComponentTestSupport.h"

// JUCE's own message-loop step (Linux and Windows). runDispatchLoopUntil exists
// only while modal loops are permitted; pumping must outlive that switch.
namespace juce { bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages); }

namespace ui
{
namespace
{
struct PressState
{
    juce::Component::SafePointer<juce::Component> target;
    juce::Point<float> downPos;   // in the target's coordinates
    juce::Time downTime;
    bool dragged = false;
};

PressState& pressState()
{
    static PressState state;
    return state;
}

juce::MouseEvent makeEvent (juce::Component& target, juce::Point<float> pos, juce::ModifierKeys mods,
                            juce::Point<float> downPos, juce::Time downTime, bool dragged)
{
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &target, &target, juce::Time::getCurrentTime(),
                             downPos, downTime, 1, dragged);
}

// getComponentAt skips invisible components, and a root that no window holds
// is invisible until someone says otherwise.
juce::Component* hit (juce::Component& root, juce::Point<int> pos)
{
    root.setVisible (true);
    return root.getComponentAt (pos);
}

juce::Point<float> localPoint (juce::Component& root, juce::Component& target, juce::Point<int> pos)
{
    return target.getLocalPoint (&root, pos.toFloat());
}
}

void press (juce::Component& root, juce::Point<int> pos, juce::ModifierKeys mods)
{
    auto& state = pressState();
    state = {};

    auto* target = hit (root, pos);
    if (target == nullptr)
        return;

    state.target = target;
    state.downPos = localPoint (root, *target, pos);
    state.downTime = juce::Time::getCurrentTime();
    target->mouseDown (makeEvent (*target, state.downPos, mods, state.downPos, state.downTime, false));
}

void release (juce::Component& root, juce::Point<int> pos, juce::ModifierKeys mods)
{
    auto& state = pressState();
    if (auto* target = state.target.getComponent())
        target->mouseUp (makeEvent (*target, localPoint (root, *target, pos), mods,
                                    state.downPos, state.downTime, state.dragged));
    state = {};
}

void click (juce::Component& root, juce::Point<int> pos, juce::ModifierKeys mods)
{
    press (root, pos, mods);
    release (root, pos, mods);
}

void drag (juce::Component& root, juce::Point<int> from, juce::Point<int> to, int steps, juce::ModifierKeys mods)
{
    press (root, from, mods);
    steps = juce::jmax (1, steps);

    for (int i = 1; i <= steps; ++i)
    {
        auto& state = pressState();
        auto* target = state.target.getComponent();
        if (target == nullptr)
            break;

        const auto p = from + (to - from) * i / steps;
        state.dragged = true;
        target->mouseDrag (makeEvent (*target, localPoint (root, *target, p), mods,
                                      state.downPos, state.downTime, true));
    }

    release (root, to, mods);
}

void wheel (juce::Component& root, juce::Point<int> pos, float deltaY)
{
    auto* target = hit (root, pos);
    if (target == nullptr)
        return;

    juce::MouseWheelDetails details {};
    details.deltaY = deltaY;
    const auto local = localPoint (root, *target, pos);
    target->mouseWheelMove (makeEvent (*target, local, {}, local, juce::Time::getCurrentTime(), false), details);
}

bool drain (int* dispatched)
{
    jassert (juce::MessageManager::getInstance()->isThisTheMessageThread());

    for (int i = 0; i < 1000000; ++i)
    {
        if (! juce::dispatchNextMessageOnSystemQueue (true))
        {
            if (dispatched != nullptr)
                *dispatched = i;
            return true;
        }
    }

    return false;
}

bool pumpUntil (const std::function<bool()>& condition, int limitMs)
{
    jassert (juce::MessageManager::getInstance()->isThisTheMessageThread());
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) limitMs;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;

        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    }

    return true;
}

bool pumpPastTimers (int ms)
{
    struct Later : juce::Timer
    {
        bool fired = false;
        void timerCallback() override   { fired = true; stopTimer(); }
    } later;

    later.startTimer (ms);
    return pumpUntil ([&] { return later.fired; }, ms + 20000);
}

juce::Image snapshot (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), false, 1.0f);
}

//==============================================================================
MenuRecorder::MenuRecorder()
{
    UiSeam::setMenuHook ([this] (juce::PopupMenu menu, juce::Component* target, UiSeam::MenuCallback onResult)
    {
        ++menusShown;
        lastMenu = std::move (menu);
        lastTarget = target;
        pendingMenu = std::move (onResult);

        if (hasAutoAnswer)
            choose (autoAnswer);
    });

    UiSeam::setChooserHook ([this] (bool save, juce::String title, juce::File, juce::String patterns,
                                    UiSeam::FileCallback onResult)
    {
        ++choosersShown;
        lastChooserSaves = save;
        lastChooserTitle = title;
        lastChooserPatterns = patterns;
        pendingFile = std::move (onResult);
    });
}

MenuRecorder::~MenuRecorder()
{
    UiSeam::setMenuHook (nullptr);
    UiSeam::setChooserHook (nullptr);
}

void MenuRecorder::choose (int id)
{
    // Taken out first: the answer may open the next menu.
    auto callback = std::exchange (pendingMenu, nullptr);
    if (callback)
        callback (id);
}

void MenuRecorder::chooseFile (const juce::File& file)
{
    auto callback = std::exchange (pendingFile, nullptr);
    if (callback)
        callback (file);
}

namespace
{
void collect (const juce::PopupMenu& menu, std::vector<juce::String>* texts, std::vector<int>* ids)
{
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSeparator || item.subMenu != nullptr)
            continue;
        if (texts != nullptr) texts->push_back (item.text);
        if (ids != nullptr)   ids->push_back (item.itemID);
    }
}
}

std::vector<juce::String> MenuRecorder::itemTexts() const
{
    std::vector<juce::String> texts;
    collect (lastMenu, &texts, nullptr);
    return texts;
}

std::vector<int> MenuRecorder::itemIds() const
{
    std::vector<int> ids;
    collect (lastMenu, nullptr, &ids);
    return ids;
}
}
