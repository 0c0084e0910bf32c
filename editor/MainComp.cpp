#include "editor/MainComp.h"
#include "editor/AboutPanel.h"
#include "editor/AskPanel.h"
#include "editor/BankComp.h"
#include "editor/WriteSnd.h"
#include "editor/AppBar.h"
#include "editor/EditorPanel.h"
#include "editor/EditorRules.h"
#include "editor/GroupClass.h"
#include "editor/WindowOnScreen.h"
#include "librarian/Lib_Manager_Comp.h"
#include "controls/AppSetBarBut.h"
#include "controls/Check_But.h"
#include "controls/CorButton.h"
#include "controls/ProgBar.h"
#include "controls/HorScrollClass.h"
#include "controls/KitFonts.h"
#include "controls/LCD_Comp.h"
#include "controls/P_Pad.h"
#include "controls/P_Slider.h"
#include "controls/StsLabel.h"
#include "controls/WinMovCan.h"
#include "engine/DSI_Program.h"
#include "engine/VantorAudioProcessor.h"

//==============================================================================
MainComp::MainComp (VantorAudioProcessor& p)
    : processor (&p)
{
    build();
}

MainComp::~MainComp()
{
    teardown();
}

MidiCntrState& MainComp::engine() const
{
    return processor->getEngine();
}

juce::Rectangle<int> MainComp::monitorArea() const
{
    juce::Rectangle<int> area;
    if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        area = display->userArea;
    if (isOnDesktop() || getParentComponent() != nullptr)
        area = getParentMonitorArea();
    return EditorRules::usableMonitorArea (area);
}

void MainComp::build()
{
    auto& e = engine();
    e.loadWindowGeometry();
    e.addStateListener (this);

    e.setMonitorArea (monitorArea());
    e.clearBankReceive();

    e.addListener (this);

    bankComp = std::make_unique<BankComp> (e);
    addChildComponent (*bankComp);
    bankComp->setBounds (-20, EditorRules::barHeight, 10, 10);
    bankComp->addChangeListener (this);
    bankComp->getOkButton().addListener (this);
    bankComp->getGrid().addListener (this);

    editorPanel = std::make_unique<EditorPanel> (*processor);
    addChildComponent (*editorPanel);
    editorPanel->addChangeListener (this);
    auto& bar = editorPanel->getAppBar();
    for (int i = 0; i < bar.getNumTabs(); ++i)
        bar.getTab (i)->addListener (this);
    for (int i = 0; i < bar.getNumFunctionButtons(); ++i)
        bar.getFunctionButton (i)->addListener (this);
    bar.addChangeListener (this);
    editorPanel->getMenuButton().addChangeListener (this);
    editorPanel->getZoomCorner().addChangeListener (this);
    editorPanel->getLcd().addChangeListener (this);
    bar.getChannelLabel().addChangeListener (this);
    bar.getWindowTools().addListener (this);

    keyboardPanel = std::make_unique<KeyBrd> (&engine());
    addAndMakeVisible (*keyboardPanel);
    keys.addWindow (*this, &keyboardPanel->player());
    keyboardPanel->addChangeListener (this);
    restack();

    const auto monitor = monitorArea();
    e.setMonitorArea (monitor);

    auto& g = e.windowGeometry();
    const auto size = EditorRules::openingSize (g.editor.getWidth(), g.editor.getHeight(), monitor);
    // Read before the first layout, which may fit the page and so rewrite the stored zoom.
    const float z = EditorRules::openingZoom (g.zoom1);
    chosenPageHeight = EditorRules::pageHeightForZoom (z);
    setSize (size.x, size.y);

    editorPanel->setBounds (0, 0, size.x, chosenPageHeight);
    editorPanel->setZoom (z);
    editorPanel->getZoomCorner().percent = (int) std::floor (z * 100.0f);
    editorPanel->getZoomCorner().repaint();
    editorPanel->scrollToStart();
    editorPanel->setVisible (true);
    // A size stored by an older build may be too low for that zoom.
    fitPageToWindow();

    g.zoom2 = EditorRules::openingKeyboardZoom (g.zoom2);
    keyboardPanel->setZoom (g.zoom2, editorPanel->getBottom(), size.x, EditorRules::openingKeyboardHeight (g.height3));
}

void MainComp::start()
{
    if (started)
        return;
    started = true;

    auto& e = engine();
    if (! e.getEditorOpenedBefore())
        showAbout (true, splashMs);
    e.setEditorOpenedBefore (true);

    // A transmit outlives the editor that started it: without its overlay the
    // next editor could neither follow nor stop it, and new transfers would not start.
    if (e.isTransmitting() && progress == nullptr)
        showProgressOverlay();

    editorPanel->refreshFromProgram();

    // Trouble with the stored banks is told as the editor opens.
    pendingNotice = e.getFilesNotice();
    e.requestGlobals();
}

void MainComp::teardown()
{
    auto& e = engine();
    e.saveWindowGeometry();

    // Once removed, no engine thread calls us again; only then drop a pending update.
    e.removeListener (this);
    e.removeStateListener (this);
    cancelPendingUpdate();

    question.reset();
    if (libraryWindow != nullptr)
    {
        libraryWindow->getContent().getCloseButton().removeListener (this);
        keys.removeWindow (*libraryWindow);
        libraryWindow.reset();
    }
    showMidiSetup (false);
    showWriteDialog (false);
    if (bankComp != nullptr)
    {
        bankComp->removeChangeListener (this);
        bankComp->getOkButton().removeListener (this);
        bankComp->getGrid().removeListener (this);
        bankComp.reset();
    }

    if (editorPanel != nullptr)
    {
        auto& bar = editorPanel->getAppBar();
        bar.getWindowTools().removeListener (this);
        for (int i = 0; i < bar.getNumTabs(); ++i)
            bar.getTab (i)->removeListener (this);
        for (int i = 0; i < bar.getNumFunctionButtons(); ++i)
            bar.getFunctionButton (i)->removeListener (this);
    }

    editorPanel.reset();
    if (aboutPanel != nullptr)
        aboutPanel->stop();
    aboutPanel.reset();
    progress.reset();
    keyboardPanel.reset();
    clipboard.reset();
}

//==============================================================================
void MainComp::resized()
{
    layoutChildren();

    auto& g = engine().windowGeometry();
    g.editor = getBounds();
    if (editorPanel != nullptr)
    {
        g.width2 = editorPanel->getWidth();
        g.height2 = editorPanel->getHeight();
    }
    if (keyboardPanel != nullptr)
    {
        g.width3 = keyboardPanel->getWidth();
        g.height3 = keyboardPanel->getHeight();
        g.zoom2 = keyboardPanel->getZoom();
    }
}

void MainComp::layoutChildren()
{
    if (editorPanel == nullptr || keyboardPanel == nullptr)
        return;

    const float keyboardZoom = 1.0f;
    const int w = getWidth(), h = getHeight();

    juce::Component* anchor = editorPanel.get();
    editorPanel->setBounds (editorPanel->getX(), editorPanel->getY(), w, editorPanel->getHeight());
    if (! bankPanelShown)
        fitPageToWindow();

    if (bankPanelShown && bankComp != nullptr)
    {
        bankComp->layout (0, EditorRules::barHeight, w, h - 74);
        anchor = bankComp.get();
    }
    // The dialog ends where the keyboard panel starts at its anchor, so the
    // panel (above it in the order) never hides WRITE and CANCEL.
    if (writeDialog != nullptr)
        writeDialog->layout (0, EditorRules::barHeight, w, juce::jmax (0, juce::jmin (h, anchor->getBottom()) - EditorRules::barHeight));
    if (question != nullptr)
        question->setBounds (0, 0, w, h);

    keyboardPanel->setZoom (keyboardZoom, anchor->getBottom(), w, EditorRules::defaultKeyboardHeight);

    if (midiSetup != nullptr)
        midiSetup->layout (w, h);

    if (aboutPanel != nullptr && aboutPanel->isVisible())
    {
        aboutPanel->setBounds (0, 0, w, h);
        aboutPanel->centreBox();
    }

    if (progress != nullptr)
        progress->setBounds (0, 0, w, h);
}

// The one stacking order, bottom to top. Every panel that comes or goes ends
// here; layouts, drags and zooms never change it, so what shows on top is what
// a click reaches.
void MainComp::restack()
{
    juce::Component* const order[] = { editorPanel.get(), bankComp.get(), writeDialog.get(), keyboardPanel.get(),
                                       midiSetup.get(), question.get(), progress.get(), aboutPanel.get() };
    for (auto* c : order)
        if (c != nullptr && c->getParentComponent() == this)
            c->toFront (false);
}

// A window lower than the chosen page would push the keyboard's strip and
// status line out of sight: the page zooms out to make room, and back in, up
// to the chosen height, when the window grows again.
void MainComp::fitPageToWindow()
{
    const int fitted = EditorRules::fittedPageHeight (chosenPageHeight, getHeight());
    if (fitted == editorPanel->getHeight())
        return;

    editorPanel->setBounds (editorPanel->getX(), editorPanel->getY(), editorPanel->getWidth(), fitted);
    const float zoom = EditorRules::zoomForPageHeight ((float) fitted);
    editorPanel->setZoom (zoom);
    auto& corner = editorPanel->getZoomCorner();
    corner.percent = (int) std::floor (zoom * 100.0f);
    corner.repaint();
}

void MainComp::applyPageHeight (int requestedHeight)
{
    auto& corner = editorPanel->getZoomCorner();
    const float h = EditorRules::clampedPageHeight ((float) requestedHeight, engine().getMonitorArea().getHeight());
    chosenPageHeight = (int) h;
    editorPanel->setBounds (editorPanel->getX(), editorPanel->getY(), editorPanel->getWidth(), (int) h);
    const float zoom = EditorRules::zoomForPageHeight (h);
    editorPanel->setZoom (zoom);
    editorPanel->scrollToStart();
    setBounds (getX(), getY(), getWidth(), (int) ((float) keyboardPanel->getHeight() + h));
    corner.percent = (int) std::floor (zoom * 100.0f);
    corner.repaint();
    sendChangeMessage();
}

void MainComp::zoomHandleChanged (int requestedHeight)
{
    auto& corner = editorPanel->getZoomCorner();

    switch (corner.changeCode)
    {
        case CorButton::dragStarted:
            editorPanel->resetZoom();
            editorPanel->scrollToStart();
            break;

        case CorButton::dragging:
            applyPageHeight (requestedHeight);
            break;

        case CorButton::dragEnded:
            // Drag messages coalesce: a release may be the first word of a quick
            // drag, so it applies the final height too when that differs.
            if ((int) EditorRules::clampedPageHeight ((float) requestedHeight, engine().getMonitorArea().getHeight())
                    != editorPanel->getHeight())
                applyPageHeight (requestedHeight);
            engine().setMonitorArea (monitorArea());
            break;

        default:
            break;
    }
}

//==============================================================================
void MainComp::openLibraryWindow()
{
    if (libraryWindow == nullptr)
    {
        libraryWindow = std::make_unique<Lib_Manager_Win> (*processor);
        libraryWindow->getContent().getCloseButton().addListener (this);
        libraryWindow->getContent().setSize (1000, 620);
        libraryWindow->centreWithSize (1000, 620);
        keys.addWindow (*libraryWindow, &libraryWindow->getContent().player());
    }

    // Above its own editor only: a window that floats over everything hides
    // the host's dialogs, and the host then looks frozen.
    keepAboveOwner (*libraryWindow, *this);
    libraryWindow->setVisible (true);
    libraryWindow->toFront (false);
}

void MainComp::windowToolClicked (WinMovCan* source, int code)
{
    // The library window only hides: its pages keep their state until we go.
    if (libraryWindow != nullptr && source == &libraryWindow->getContent().getCloseButton())
        if (code == WinMovCan::closeCode)
            libraryWindow->setVisible (false);
}

void MainComp::showAbout (bool show, int autoCloseMs)
{
    aboutShown = show;

    if (show)
    {
        if (aboutPanel != nullptr)
            return;

        aboutPanel = std::make_unique<AboutPanel> (getWidth(), autoCloseMs);
        aboutPanel->setBounds (0, 0, getWidth(), getHeight());
        // A covering child takes the clicks; a global modal state would also
        // block the windows of other instances in the same host.
        addAndMakeVisible (*aboutPanel);
        aboutPanel->addChangeListener (this);
        restack();
    }
    else if (aboutPanel != nullptr)
    {
        aboutPanel->stop();
        aboutPanel->setVisible (false);
        aboutPanel->removeChangeListener (this);
        aboutPanel.reset();
    }
}

//==============================================================================
void MainComp::startTransfer (int code, int bank)
{
    if (progress != nullptr)
        return;

    auto& e = engine();
    bool running = false;

    // Nothing could answer or arrive: an overlay would wait for ever.
    if (! e.ports().isOutputOpen())
    {
        setStatusText ("NO MIDI OUTPUT: NOTHING SENT");
        return;
    }

    switch (code)
    {
        case receiveOneBank:
        case receiveUserBanks:
        case receiveFactoryBanks:
            // A device that answers at once may finish before this returns: its
            // finish event still comes through the queue and closes the overlay.
            running = e.startBankReceive (code, bank);
            break;
        case sendOneBank:      running = transmitBankTo (bank); break;
        case sendUserBanks:    running = e.startTransmit (MidiCntrState::TransmitScope::userBanks); break;
        case sendFactoryBanks: running = e.startTransmit (MidiCntrState::TransmitScope::factoryBanks); break;
        default: break;
    }

    if (! running)
        return;

    transferCode = code;
    showProgressOverlay();
}

void MainComp::showProgressOverlay()
{
    progress = std::make_unique<ProgBar> (getWidth(), getHeight());
    progress->setBounds (0, 0, getWidth(), getHeight());
    addAndMakeVisible (*progress);
    restack();
    progress->getCancelButton().addListener (this);
}

void MainComp::endTransfer()
{
    auto& e = engine();
    e.clearBankReceive();
    if (e.isTransmitting())
        e.cancelTransmit();

    transferCode = noTransfer;

    if (progress != nullptr)
    {
        progress->getCancelButton().removeListener (this);
        progress->setVisible (false);
        progress.reset();
    }
}

void MainComp::showProgress (int value, const juce::String& text)
{
    // Late events for an overlay already closed (cancelled, or queued while no editor was open).
    if (progress == nullptr)
        return;

    progress->setProgress (value, text);
}

//==============================================================================
void MainComp::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &editorPanel->getMenuButton())
    {
        openLibraryWindow();
    }
    else if (source == &editorPanel->getAppBar().getChannelLabel())
    {
        showChannelMenu();
    }
    else if (source == &editorPanel->getLcd())
    {
        lcdClicked (editorPanel->getLcd().getClickedZone());
    }
    else if (source == &editorPanel->getZoomCorner())
    {
        zoomHandleChanged (editorPanel->getZoomCorner().reportedHeight);
    }
    else if (aboutShown && aboutPanel != nullptr && source == aboutPanel.get())
    {
        if (! writeDialogShown)
            showAbout (false, 0);
    }
    else if (engine().isBankReceiveRunning() && progress != nullptr)
    {
        endTransfer();
    }
    else if (writeDialog != nullptr && source == &writeDialog->getLcd())
    {
        const int zone = writeDialog->getLcd().getClickedZone();
        if (zone == LCD_Comp::nameZone)
            writeDialog->openRename (writeDialog->getLcd().getProgramName());
        else if (zone == LCD_Comp::categoryZone)
            showCategoryMenu (writeLcdCategory, -1, -1);
    }
    else if (bankPanelShown && bankComp != nullptr && source == bankComp.get())
    {
        handleBankCommand (bankComp->getChangeCode());
    }
    else if (midiSetup != nullptr && source == midiSetup.get())
    {
        midiSetupChanged();
    }
    else if (source == keyboardPanel.get())
    {
        // A drag that ends low snaps back under the anchor: the bank selector
        // while it shows (the keyboard never lands on it), else the page.
        const juce::Component& anchor = bankPanelShown && bankComp != nullptr ? (juce::Component&) *bankComp
                                                                              : (juce::Component&) *editorPanel;
        if ((float) keyboardPanel->getY() > (float) anchor.getBottom() - keyboardPanel->getZoom() * 140.0f)
            keyboardPanel->setTopLeftPosition (keyboardPanel->getX(), anchor.getBottom());
    }
}

void MainComp::stsbutChanged (StsBut* source)
{
    auto& bar = editorPanel->getAppBar();

    if (bar.isFunctionButton (source))
    {
        handleCommand (source->getId());
        return;
    }

    if (progress != nullptr && source == &progress->getCancelButton())
        endTransfer();

    if (writeDialog != nullptr)
    {
        if (source == &writeDialog->getWriteButton())
        {
            writeProgram();
            showWriteDialog (false);
            return;
        }
        if (source == &writeDialog->getCancelButton())
        {
            showWriteDialog (false);
            return;
        }
    }

    if (bankPanelShown && bankComp != nullptr && source == &bankComp->getOkButton())
    {
        if (! writeDialogShown)
            showBankPanel (false);
        return;
    }

    if (bar.isTab (source))
    {
        if (bankPanelShown)
            showBankPanel (false);
        if (writeDialogShown)
            showWriteDialog (false);
    }
}

//==============================================================================
void MainComp::stateChanged()
{
    triggerAsyncUpdate();
}

void MainComp::midiCntrStateChanged (MidiCntrState*)
{
    triggerAsyncUpdate();
}

void MainComp::handleAsyncUpdate()
{
    for (const int event : engine().takeEvents())
        handleEngineEvent (event);
}

void MainComp::setStatusText (const juce::String& text)
{
    keyboardPanel->setStatusText (text);
    if (midiSetup != nullptr)
    {
        midiSetup->statusLabel().setText (text);
        midiSetup->globalsChanged();
    }
}

//==============================================================================
void MainComp::showMidiSetup (bool show)
{
    if (! show)
    {
        if (midiSetup != nullptr)
        {
            midiSetup->removeChangeListener (this);
            // Ports (and the SysEx size) chosen here are kept however the panel closes.
            engine().loadPorts (1);
        }
        midiSetup.reset();
        midiSetupShown = false;
        return;
    }

    auto& e = engine();
    if (midiSetup == nullptr)
    {
        midiSetup = std::make_unique<MIDI_Setup> (&e);
        midiSetup->addChangeListener (this);
        addChildComponent (*midiSetup);
    }
    auto& ports = e.ports();
    midiSetup->setPortLists (ports.inputDeviceNames(), ports.outputDeviceNames());
    midiSetup->chosenInput = ports.getInputIndex() + 1;
    midiSetup->chosenOutput = ports.getOutputIndex() + 1;
    midiSetup->inputOpen = ports.isInputOpen();
    midiSetup->outputOpen = ports.isOutputOpen();
    midiSetup->automationToggle().checked = e.controlsProgramChange();
    midiSetup->automationToggle().repaint();
    midiSetup->layout (getWidth(), getHeight());
    restack();
    midiSetupShown = true;

    // The status reads what the device answers, not "------".
    e.requestGlobals();
}

void MainComp::midiSetupChanged()
{
    // The panel may go with the command (OK): act after its broadcast is over.
    const int code = midiSetup->commandCode, value = midiSetup->commandValue;
    juce::MessageManager::callAsync ([safe = juce::Component::SafePointer<MainComp> (this), code, value]
    {
        if (safe == nullptr)
            return;
        safe->handleMidiSetupCommand (code, value);
        if (auto* panel = safe->midiSetup.get())
        {
            panel->inputOpen = safe->engine().ports().isInputOpen();
            panel->outputOpen = safe->engine().ports().isOutputOpen();
            panel->repaint (40, 20, 750, 250);
        }
    });
}

void MainComp::handleEngineEvent (int event)
{
    auto& e = engine();

    switch (EngineEvent::kindOf (event))
    {
        case EngineEvent::modWheel:
            if (((event >> 7) & 0x7F) == 1)
                keyboardPanel->setModWheel (event & 0x7F);
            break;

        case EngineEvent::pitchBend:
            keyboardPanel->setPitchWheel ((event >> 7) & 0x7F);
            break;

        case EngineEvent::parameterChanged:
            editorPanel->updateControl (EngineEvent::parameterId (event), EngineEvent::parameterValue (event), false);
            break;

        case EngineEvent::editBufferChanged:
            editorPanel->refreshFromProgram();
            break;

        // A notice outlasts the request that follows it and its answer, which would hide it at once.
        case EngineEvent::globalsReceived:
        {
            const int followed = event & 0xFF;
            setStatusText (pendingNotice.isNotEmpty() ? std::exchange (pendingNotice, {})
                           : followed > 0 ? "ON-LINE: CHANNEL " + juce::String (followed) + " FOLLOWED FROM THE SYNTHESIZER"
                           : juce::String ("DSI:  PROPHET 12 MDL ON-LINE"));
            break;
        }

        case EngineEvent::globalsRequested:
            setStatusText (pendingNotice.isNotEmpty() ? pendingNotice : juce::String ("OFF-LINE"));
            break;

        case EngineEvent::midiChannelChanged:
            editorPanel->getAppBar().getChannelLabel().setText ("Chan: " + juce::String (e.getMidiChannel()));
            break;

        case EngineEvent::transmitProgress:
        {
            const int sent = (event >> 12) & 0xFFF, total = event & 0xFFF;
            if (total > 0)
                showProgress (sent * 127 / total, juce::String (sent) + " / " + juce::String (total));
            break;
        }

        case EngineEvent::transmitFinished:
        case EngineEvent::bankReceiveFinished:
            if (progress != nullptr)
                endTransfer();
            break;

        case EngineEvent::bankProgramReceived:
        {
            const int bank = (event >> 8) & 0xFF, program = event & 0xFF;
            showProgress (program, EditorRules::progressText (bank, program));
            break;
        }

        case EngineEvent::programStored:
            refillBankGrid();
            break;

        case EngineEvent::sliderSent:
            if (auto* sliders = editorPanel->getPanel (0, 0))
            {
                const int stored1 = e.getValue (ParameterIds::slider1), stored2 = e.getValue (ParameterIds::slider2);
                const int storedPress = e.getValue (ParameterIds::sliderPress);
                const int sent1 = e.sentSliderValue (ParameterIds::slider1), sent2 = e.sentSliderValue (ParameterIds::slider2);
                const int sentPress = e.sentSliderValue (ParameterIds::sliderPress);
                auto* strip1 = sliders->getTouchStrip (1);
                auto* strip2 = sliders->getTouchStrip (2);

                if (strip1 != nullptr)
                {
                    if (sentPress != storedPress) strip1->setDisplay (stored1, sentPress);
                    if (sent1 != stored1)         strip1->setDisplay (sent1, storedPress);
                }
                if (strip2 != nullptr)
                {
                    if (sent2 != stored2)         strip2->setDisplay (sent2, storedPress);
                    if (sentPress != storedPress) strip2->setDisplay (stored2, sentPress);
                }

                // Host automation stores and sends in one go, so nothing above
                // differs: draw the strips from the stored values regardless.
                if (strip1 != nullptr) strip1->repaint();
                if (strip2 != nullptr) strip2->repaint();
                if (auto* pad = sliders->getPad()) pad->repaint();
            }
            break;

        case EngineEvent::latchChanged:
            if (auto* sliders = editorPanel->getPanel (0, 0))
            {
                const int which = (event >> 20) & 0xF;
                if (which <= 1)
                    if (auto* latch = sliders->getControl (which))
                        latch->setValue (e.getValue (which == 0 ? ParameterIds::sliderLatch1 : ParameterIds::sliderLatch2), {});
            }
            break;

        case EngineEvent::keyboardCommand:
            handleSectionCommand (event);
            break;

        default:
            break;
    }
}

void MainComp::handleSectionCommand (int event)
{
    const int tab = EditorRules::sectionForKeyCommand (event & 0xFFFFFF);
    if (tab >= 0)
        editorPanel->showSection (tab);
}
