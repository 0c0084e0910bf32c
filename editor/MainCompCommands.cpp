// The main component's commands: function buttons, grid clicks, the bank
// panel, the write dialog, the program clipboard and transfers.
#include "editor/MainComp.h"
#include "editor/EditorRules.h"
#include "editor/AskPanel.h"
#include "editor/AppBar.h"
#include "editor/BankComp.h"
#include "editor/EditorPanel.h"
#include "editor/WriteSnd.h"
#include "controls/LCD_Comp.h"
#include "controls/StsLabel.h"
#include "controls/UiSeam.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"

//==============================================================================
void MainComp::runMenu (juce::PopupMenu menu, juce::Component* target, std::function<void (MainComp&, int)> apply)
{
    juce::Component::SafePointer<MainComp> safe (this);
    UiSeam::showMenu (std::move (menu), target, [safe, apply] (int result)
    {
        if (safe != nullptr && result != 0)
            apply (*safe, result);
    });
}

void MainComp::handleCommand (int id)
{
    switch (id)
    {
        case AppBar::banksCommand:   if (! writeDialogShown) showBankPanel (! bankPanelShown); break;
        case AppBar::fileCommand:    showFileMenu(); break;
        case AppBar::editCommand:    showEditMenu(); break;
        case AppBar::midiCommand:    if (! writeDialogShown) showMidiSetup (! midiSetupShown); break;
        case AppBar::sendCommand:    showSendMenu(); break;
        case AppBar::receiveCommand: engine().requestDump (6, 0, 0); break;
        case AppBar::writeCommand:   showWriteDialog (! writeDialogShown); break;
        default:  break;
    }
}

void MainComp::lcdClicked (int code)
{
    if (code == LCD_Comp::bankProgramZone)
        showProgramMenu();
    else if (code == LCD_Comp::categoryZone)
        showCategoryMenu (editBufferCategory, -1, -1);
}

void MainComp::refillBankGrid()
{
    if (bankPanelShown && bankComp != nullptr)
        bankComp->refill();
    if (writeDialog != nullptr)
        writeDialog->getGrid().repaint();
}

//==============================================================================
void MainComp::showBankPanel (bool show)
{
    if (bankComp == nullptr)
        return;

    auto& e = engine();
    if (show)
    {
        bankComp->getLoadedDataSwitch().on = e.getUseLoadedData();
        bankComp->getLoadedDataSwitch().repaint();
        bankComp->showBank (juce::jlimit (0, 7, e.getCurrentBank()));
        bankComp->getGrid().selectRow (e.getCurrentProgram());
        bankComp->getGrid().setTopRow (juce::jmax (0, e.getCurrentProgram()));
        if (! bankPanelShown)
            pageHeightBeforeBanks = editorPanel->getHeight();
        editorPanel->setBounds (0, 0, getWidth(), EditorRules::barHeight);
        bankPanelShown = true;
        bankComp->setVisible (true);
    }
    else if (bankPanelShown)
    {
        bankComp->setBounds (-20, EditorRules::barHeight, 10, 10);
        bankComp->setVisible (false);
        bankPanelShown = false;
        editorPanel->setBounds (0, 0, getWidth(), pageHeightBeforeBanks);
    }
    layoutChildren();
}

void MainComp::showWriteDialog (bool show)
{
    writeDialogShown = show;

    if (show)
    {
        if (writeDialog != nullptr)
            return;

        auto& e = engine();
        const auto record = e.editBuffer();
        const int category = record.size() > (size_t) ProgramRecord::category ? record[(size_t) ProgramRecord::category] : 0;
        juce::String name;
        {
            const juce::ScopedLock sl (e.getProgramLock());
            name = e.presetBank().editBufferName();
        }

        writeDialog = std::make_unique<WriteSnd> (e, e.getCurrentBank(), e.getCurrentProgram(), name, category);
        writeDialog->setBounds (0, EditorRules::barHeight, getWidth(), getHeight());
        addChildComponent (*writeDialog);
        restack();
        writeDialog->getWriteButton().addListener (this);
        writeDialog->getCancelButton().addListener (this);
        writeDialog->getLcd().addChangeListener (this);
        writeDialog->getGrid().selectRow (e.getCurrentProgram());
        writeDialog->getGrid().setTopRow (juce::jmax (0, e.getCurrentProgram()));
        writeDialog->setVisible (true);
        layoutChildren();
    }
    else if (writeDialog != nullptr)
    {
        writeDialog->getWriteButton().removeListener (this);
        writeDialog->getCancelButton().removeListener (this);
        writeDialog->getLcd().removeChangeListener (this);
        writeDialog->setVisible (false);
        writeDialog.reset();
    }
}

void MainComp::writeProgram()
{
    if (writeDialog == nullptr)
        return;

    auto& e = engine();
    auto& lcd = writeDialog->getLcd();
    const int bank = lcd.getBank(), program = lcd.getProgram();

    // Only a user slot is ever written.
    if (! ProgramRecord::isUserBank (bank) || ! Bank_Program::isValidProgram (program))
    {
        setStatusText ("NOT WRITTEN: CHOOSE A USER BANK SLOT");
        return;
    }

    ByteArray record;
    {
        const juce::ScopedLock sl (e.getProgramLock());
        auto& target = e.deviceBank (bank);
        target.storeProgram (program, e.presetBank().editBufferBytes());
        target.renameProgram (program, writeDialog->getName());
        record = target.programBytes (program);
        if (record.size() > (size_t) ProgramRecord::category)
        {
            record[(size_t) ProgramRecord::category] = (juce::uint8) juce::jlimit (0, 25, lcd.getCategory());
            target.storeProgram (program, record);
        }
    }

    e.splitProgramIndex (bank * MidiCntrState::programsPerBank + program);
    e.putProgram (false, 0, 0, record);
    refillBankGrid();

    const auto slot = ProgramRecord::slotLabel (bank, program);
    if (e.transmitProgramTo (bank * MidiCntrState::programsPerBank + program, bank, program))
        setStatusText ("WRITTEN TO " + slot);
    else if (! e.ports().isOutputOpen())
        setStatusText ("STORED IN " + slot + ", NOT SENT: NO MIDI OUTPUT");
    else
        setStatusText ("STORED IN " + slot + ", NOT SENT: A TRANSFER IS RUNNING");
}

//==============================================================================
void MainComp::gridChanged (StsGrid* source)
{
    if (bankComp == nullptr || source != &bankComp->getGrid())
        return;

    const int bank = source->getClickedBank(), program = source->getClickedProgram();
    // A click that hit no row (an empty category) reports no slot.
    if (! ProgramRecord::isSlot (bank, program))
        return;

    auto& e = engine();
    e.splitProgramIndex (bank * MidiCntrState::programsPerBank + program);

    switch (source->getChangeCode())
    {
        case StsGrid::rowClicked:
            if (e.getUseLoadedData())
            {
                ByteArray record;
                {
                    const juce::ScopedLock sl (e.getProgramLock());
                    record = e.deviceBank (bank).programBytes (program);
                }
                e.putProgram (false, 0, 0, record);
            }
            else
            {
                e.selectProgram (bank * MidiCntrState::programsPerBank + program, true, true);
            }
            break;
        case StsGrid::categoryRightClick: showCategoryMenu (slotCategory, bank, program); break;
        case StsGrid::rightClick:         showGridProgramMenu (bank, program); break;
        default: break;
    }
}

void MainComp::handleBankCommand (int code)
{
    if (bankComp == nullptr)
        return;
    auto& e = engine();

    switch (code)
    {
        case BankComp::bankChosen:
            if (bankComp->getGridMode() == StsGrid::bankMode)
            {
                const int bank = bankComp->getGridValue();
                const int program = juce::jlimit (0, MidiCntrState::programsPerBank - 1, e.getCurrentProgram());
                e.selectProgram (bank * MidiCntrState::programsPerBank + program, true, true);
                bankComp->showBank (bank);
                bankComp->getGrid().selectRow (program);
                bankComp->getGrid().repaint();
            }
            else
            {
                showCategoryMenu (bankPanelCategory, -1, -1);
            }
            break;
        case BankComp::presets:       showPresetsMenu(); break;
        case BankComp::useLoadedData: e.setUseLoadedData (bankComp->getLoadedDataSwitch().on); break;
        case BankComp::fileMenu:      showBankFileMenu(); break;
        case BankComp::midiMenu:      showBankMidiMenu(); break;
        default: break;
    }
}

void MainComp::handleMidiSetupCommand (int code, int value)
{
    auto& e = engine();
    switch (code)
    {
        case 203:
            showMidiSetup (false);
            break;
        case 212: e.setControlsProgramChange (value == 1); break;
        case 300: e.selectInputPort (value); break;
        case 302: e.selectOutputPort (value); break;
        default:  return;
    }
    const auto stored = e.storeSettings();
    if (stored == SettingsFiles::StoreResult::busy)
        pendingNotice = "SETTINGS NOT STORED: THEIR FOLDER IS LOCKED";
    else if (stored == SettingsFiles::StoreResult::failed)
        pendingNotice = "SETTINGS NOT STORED: THEIR FILE CANNOT BE READ OR WRITTEN";
    e.requestGlobals();   // its answer shows the notice
    if (code == 300 || code == 302)
        e.loadPorts (1);
}

//==============================================================================
void MainComp::copyProgram()
{
    ByteArray record;
    {
        const juce::ScopedLock sl (engine().getProgramLock());
        record = engine().presetBank().editBufferBytes();
    }
    fillClipboard (record);
    reloadEditBuffer();
}

// The program stored in the slot: the edit buffer holds it only once the
// synthesizer has answered the program change.
void MainComp::copyStoredProgram (int bank, int program)
{
    if (! ProgramRecord::isSlot (bank, program))
        return;
    ByteArray record;
    {
        const juce::ScopedLock sl (engine().getProgramLock());
        record = engine().deviceBank (bank).programBytes (program);
    }
    fillClipboard (record);
}

void MainComp::fillClipboard (const ByteArray& record)
{
    clipboard = std::make_unique<DSI_Program>();
    clipboard->setParams (record);
    clipboard->nameFromParams();
    clipboardFull = true;
}

void MainComp::pasteProgram (bool toSlot, int bank, int program)
{
    if (! clipboardFull || clipboard == nullptr)
        return;
    if (toSlot && ! ProgramRecord::isSlot (bank, program))
        return;
    engine().putProgram (toSlot, bank, program, clipboard->getParams());
    if (toSlot)
        refillBankGrid();
}

void MainComp::reloadEditBuffer()
{
    engine().putProgram (false, 0, 0, engine().editBuffer());
}

//==============================================================================
bool MainComp::transmitBankTo (int destBank)
{
    auto& e = engine();
    const int source = e.getCurrentBank();
    if (! juce::isPositiveAndBelow (source, MidiCntrState::numBanks)
         || ! juce::isPositiveAndBelow (destBank, MidiCntrState::numBanks)
         || ! e.ports().isOutputOpen() || e.isTransmitting())
        return false;

    std::vector<ProgramTransmitter::Item> items;
    {
        const juce::ScopedLock sl (e.getProgramLock());
        for (int p = 0; p < MidiCntrState::programsPerBank; ++p)
            items.push_back ({ destBank, p, e.deviceBank (source).programBytes (p), e.getDeviceId() });
    }
    return e.transmitter().start (std::move (items));
}

void MainComp::ask (const juce::String& q, const juce::String& detail, const juce::String& goAheadText,
                    std::function<void()> action)
{
    closeQuestion();
    question = std::make_unique<AskPanel> (q, detail, goAheadText);
    question->setBounds (0, 0, getWidth(), getHeight());
    addAndMakeVisible (*question);
    restack();
    question->grabKeyboardFocus();

    juce::Component::SafePointer<MainComp> safe (this);
    question->onAnswer = [safe, action] (bool goAhead)
    {
        if (safe == nullptr)
            return;
        safe->closeQuestion();
        if (goAhead && action != nullptr)
            action();
    };
}

void MainComp::closeQuestion()
{
    if (question == nullptr)
        return;
    question->setVisible (false);
    question.reset();
}
