#include <gtest/gtest.h>
#include "controls/KitListeners.h"
#include "controls/UiSeam.h"
#include "engine/ParDes.h"
#include "support/ComponentTestSupport.h"

// Choices through the editor's drop-downs, and file choices, go end to end in
// the editor round trip and the command tests.
TEST (UiSeam, AsyncValueMenuAnswersWithTheValueOrNothing)
{
    struct Case { int answer, expected; };
    for (const auto& c : { Case { 1, 0 }, Case { 2, 1 }, Case { 0, -1 } })
    {
        ui::MenuRecorder menus;
        juce::Component parent;
        int got = -99;
        ParDes::showValueMenuAsync (&parent, 12, 1, [&] (int v) { got = v; });
        EXPECT_EQ (menus.itemTexts(), (std::vector<juce::String> { "OFF", "ON" }));
        EXPECT_EQ (menus.lastTarget.getComponent(), &parent);
        menus.choose (c.answer);
        EXPECT_EQ (got, c.expected) << c.answer;
    }

    ui::MenuRecorder menus;
    ParDes::showValueMenuAsync (nullptr, 12, 1, nullptr);
    menus.choose (1);   // no callback: nothing to call
}

namespace
{
struct Pressed
{
    virtual ~Pressed() = default;
    virtual void pressed (juce::Component* source) = 0;
};

struct Sender : juce::Component
{
    void notify()
    {
        listeners.callChecked (juce::Component::BailOutChecker (this), [this] (Pressed& l) { l.pressed (this); });
    }
    KitListenerList<Pressed> listeners;
};

struct Owner : Pressed
{
    explicit Owner (std::vector<Owner*>* o = nullptr) : order (o) {}
    void pressed (juce::Component*) override
    {
        ++calls;
        if (order != nullptr)
            order->push_back (this);
        if (deleteSender)
            sender.reset();
    }
    std::vector<Owner*>* order;
    std::unique_ptr<Sender> sender = std::make_unique<Sender>();
    bool deleteSender = false;
    int calls = 0;
};
}

TEST (KitListeners, LastAddedFirstOnceEachAndStopWhenTheSenderIsGone)
{
    std::vector<Owner*> order;
    Owner first (&order), second (&order);
    Sender sender;
    sender.listeners.add (&first);
    sender.listeners.add (&second);
    sender.listeners.add (&first);
    EXPECT_EQ (sender.listeners.size(), 2);
    sender.notify();
    EXPECT_EQ (order, (std::vector<Owner*> { &second, &first }));

    // The owner deletes the sender from its callback (a CANCEL button closing its panel):
    // the other listener is not called on freed memory.
    Owner owner, bystander;
    owner.deleteSender = true;
    auto* s = owner.sender.get();
    s->listeners.add (&bystander);
    s->listeners.add (&owner);
    s->notify();
    EXPECT_EQ (owner.sender, nullptr);
    EXPECT_EQ (owner.calls, 1);
    EXPECT_EQ (bystander.calls, 0);
}
