#include "editor/VantorAudioProcessorEditor.h"
#include "editor/MainComp.h"
#include "editor/WindowOnScreen.h"
#include "controls/PaintCache.h"
#include "engine/VantorAudioProcessor.h"

VantorAudioProcessorEditor::VantorAudioProcessorEditor (VantorAudioProcessor& p)
    : AudioProcessorEditor (p)
{
    setLookAndFeel (&lookAndFeel);
    setOpaque (true);   // paint fills every pixel: nothing behind need be drawn
    PaintCache::keepCursors ({ juce::MouseCursor::UpDownResizeCursor, juce::MouseCursor::PointingHandCursor,
                               juce::MouseCursor::LeftRightResizeCursor, juce::MouseCursor::BottomRightCornerResizeCursor,
                               juce::MouseCursor::CrosshairCursor });

    mainComp = std::make_unique<MainComp> (p);
    addAndMakeVisible (*mainComp);
    mainComp->addChangeListener (this);

    corner = std::make_unique<juce::ResizableCornerComponent> (this, &constrainer);
    addAndMakeVisible (*corner);

    constrainer.setSizeLimits (minWidth, minHeight, maxWidth, maxHeight);

    setSize (mainComp->getWidth(), mainComp->getHeight());

    // The host shows the window after building it; the parent's visibility reaches us by no callback.
    startTimer (50);
    queuedEvents.startTimer (20);
}

VantorAudioProcessorEditor::~VantorAudioProcessorEditor()
{
    stopTimer();
    queuedEvents.stopTimer();
    mainComp->removeChangeListener (this);
    mainComp.reset();
    corner.reset();
    setLookAndFeel (nullptr);
}

void VantorAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void VantorAudioProcessorEditor::resized()
{
    if (mainComp != nullptr)
        mainComp->setBounds (mainComp->getX(), mainComp->getY(), getWidth(), getHeight());
    if (corner != nullptr)
        corner->setBounds (getWidth() - 22, getHeight() - 22, 22, 22);
}

void VantorAudioProcessorEditor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (mainComp != nullptr && source == mainComp.get())
        setSize (mainComp->getWidth(), mainComp->getHeight());
}

// The wrapper builds one editor only to answer the host's size query; what must
// happen once per opening starts when the window is really on screen.
void VantorAudioProcessorEditor::startWhenShowing()
{
    // Watching the mouse asks the display server for the pointer: not for the
    // editor a host builds only to learn its size.
    if (tooltips == nullptr && isShowing())
    {
        tooltips = std::make_unique<juce::TooltipWindow> (nullptr, 200);
        tooltips->setName ("tooltip");
    }

    if (mainComp != nullptr && ! mainComp->hasStarted() && isShowing())
        mainComp->start();

    const auto state = windowState (*this);
    if (state == WindowState::gone)
        hostWindowGone();
    else if (state == WindowState::onScreen && ! standInLent)
    {
        lendHostStandIn (*this);
        standInLent = true;
    }
    followHostWindow (state == WindowState::onScreen);
    dispatchQueuedXEvents();   // what the look above read off the connection

    // Hosts hide their window around ours without a word: look again now and then.
    const int interval = mainComp != nullptr && mainComp->hasStarted() ? 200 : 50;
    if (getTimerInterval() != interval)
        startTimer (interval);
}

void VantorAudioProcessorEditor::QueuedEvents::timerCallback()
{
    dispatchQueuedXEvents();
}

// The host destroyed its window, and ours went with it: draw into it no more.
void VantorAudioProcessorEditor::hostWindowGone()
{
    if (windowGone)
        return;

    windowGone = true;
    ignoringOwnXErrors ([this] { if (auto* window = hostWindow.getComponent()) window->setVisible (false); });
    followHostWindow (false);
}

void VantorAudioProcessorEditor::followHostWindow (bool nowOnScreen)
{
    if (nowOnScreen == onScreen || mainComp == nullptr)
        return;

    onScreen = nowOnScreen;
    auto* library = mainComp->getLibraryWindow();
    if (library == nullptr)
        return;

    if (! onScreen && library->isVisible())
    {
        library->setVisible (false);
        libraryHiddenByUs = true;
    }
    else if (onScreen && libraryHiddenByUs)
    {
        libraryHiddenByUs = false;
        library->setVisible (true);
        library->toFront (false);
    }
}

void VantorAudioProcessorEditor::visibilityChanged()
{
    startWhenShowing();
}

// When a host closes the plug-in with the editor still open, JUCE's Linux VST
// wrapper lets its own message thread run again before the host window goes,
// and that thread may be painting into it. The wrapper takes us out of that
// window first: take the window down then, while the host still drives the
// message loop.
void VantorAudioProcessorEditor::parentHierarchyChanged()
{
    if (auto* parent = getParentComponent())
    {
        hostWindow = parent;
        // Before the new window's first event: a press the last window kept would swallow it.
        if (auto* peer = getPeer())
            releaseOrphanedPresses (*peer);
        startWhenShowing();
        return;
    }

    followHostWindow (false);

    // The host may have destroyed its window, and ours with it, before closing us.
    if (auto* window = hostWindow.getComponent())
        if (window->isOnDesktop())
            ignoringOwnXErrors ([window] { window->removeFromDesktop(); });

    hostWindow = nullptr;
}
