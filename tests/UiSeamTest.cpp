#include <gtest/gtest.h>
#include "controls/KitListeners.h"
#include "controls/UiSeam.h"
#include "engine/ParDes.h"
#include "support/ComponentTestSupport.h"
#include <thread>

TEST (UiSeam, AsyncValueMenuAnswers)
{
    struct Case { int type, max, answer, expected; };
    const Case cases[] =
    {
        { 12, 1, 1, 0 },     // "OFF"
        { 12, 1, 2, 1 },     // "ON"
        { 12, 1, 0, -1 },    // dismissed
        { 7, 104, 105, 104 },
    };

    for (const auto& c : cases)
    {
        ui::MenuRecorder menus;
        juce::Component parent;
        int got = -99;
        ParDes::showValueMenuAsync (&parent, c.type, c.max, [&] (int v) { got = v; });

        ASSERT_TRUE (menus.menuPending());
        EXPECT_EQ ((int) menus.itemIds().size(), c.max + 1);
        EXPECT_EQ (menus.lastTarget.getComponent(), &parent);
        menus.choose (c.answer);
        EXPECT_EQ (got, c.expected) << c.type << " " << c.answer;
    }

    ui::MenuRecorder menus;
    ParDes::showValueMenuAsync (nullptr, 12, 1, nullptr);
    EXPECT_EQ (menus.itemTexts(), (std::vector<juce::String> { "OFF", "ON" }));
    menus.choose (1);   // no callback: nothing to call
}

TEST (UiSeam, ChooserHookGetsTheRequestAndAnswers)
{
    ui::MenuRecorder seam;
    juce::File got ("/not/answered");
    UiSeam::chooseFile (true, "Save Program", {}, "*.p12p", [&] (juce::File f) { got = f; });

    EXPECT_EQ (seam.choosersShown, 1);
    EXPECT_TRUE (seam.lastChooserSaves);
    EXPECT_EQ (seam.lastChooserTitle, "Save Program");
    EXPECT_EQ (seam.lastChooserPatterns, "*.p12p");
    seam.chooseFile ({});
    EXPECT_EQ (got, juce::File());
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

#include "support/RecordingMidiDevices.h"

TEST (TestSupport, EngineEventPumpDeliversQueuedEventsOnTheMessageThread)
{
    RecordingMidiDevices devices;
    MidiCntrState engine (devices);
    engine.takeEvents();

    std::vector<int> seen;
    bool onMessageThread = true;
    ui::EngineEventPump pump (engine, [&] (int e)
    {
        onMessageThread = onMessageThread && juce::MessageManager::getInstance()->isThisTheMessageThread();
        seen.push_back (e);
    });

    std::thread poster ([&] { engine.postEvent (0x10000005); engine.postEvent (0x10000006); });
    poster.join();
    EXPECT_TRUE (seen.empty());   // nothing runs on the posting thread
    ui::pump (50);
    EXPECT_EQ (seen, (std::vector<int> { 0x10000005, 0x10000006 }));
    EXPECT_TRUE (onMessageThread);
}
