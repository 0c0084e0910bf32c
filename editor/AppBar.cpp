#include "editor/AppBar.h"
#include "editor/EditorRules.h"
#include "controls/KitFonts.h"
#include "controls/StsBut.h"
#include "controls/StsLabel.h"
#include "controls/WinMovCan.h"

const std::vector<AppBar::ButtonSpec>& AppBar::tabSpecs()
{
    // VCA shares LPF's id: both sit in one column of the strip.
    static const std::vector<ButtonSpec> specs
    {
        { "OSC", 1 }, { "CHAR", 2 }, { "LPF", 3 }, { "HPF", 4 }, { "VCA", 3 }, { "FEEDBACK", 5 },
        { "DELAY", 6 }, { "LFO", 7 }, { "UNISON", 8 }, { "AUX ENV", 9 }, { "MODS", 10 }, { "ARP", 11 }
    };
    return specs;
}

const std::vector<AppBar::ButtonSpec>& AppBar::functionSpecs()
{
    static const std::vector<ButtonSpec> specs
    {
        { "BANKS", banksCommand }, { "FILE", fileCommand }, { "EDIT", editCommand }, { "MIDI", midiCommand },
        { "SEND", sendCommand }, { "RECV", receiveCommand }, { "WRITE", writeCommand }
    };
    return specs;
}

AppBar::AppBar()
{
    int i = 0;
    for (const auto& spec : tabSpecs())
    {
        tabs.push_back (std::make_unique<StsBut> (spec.text, spec.id, 135));
        tabs.back()->setBoundsAndStyle (i * tabWidth, 32, tabWidth, 16, true);
        tabs.back()->setBackdrop (juce::Colour (barColour));
        addAndMakeVisible (*tabs.back());
        ++i;
    }

    i = 0;
    for (const auto& spec : functionSpecs())
    {
        functionButtons.push_back (std::make_unique<StsBut> (spec.text, spec.id, 130));
        functionButtons.back()->setBoundsAndStyle (i * 46, 3, 46, 16, true);
        functionButtons.back()->setBackdrop (juce::Colour (barColour));
        addAndMakeVisible (*functionButtons.back());

        if (spec.id == sendCommand) sendIndex = i;
        if (spec.id == fileCommand) fileIndex = i;
        if (spec.id == editCommand) editIndex = i;

        functionRowWidth += 46;
        ++i;
    }

    channelLabel = std::make_unique<StsLabel>();
    channelLabel->setup ("", "Arial", 12.0f);
    channelLabel->fillMode = 2;
    channelLabel->fillColour = juce::Colour (0xFF000000);
    channelLabel->frameColour = juce::Colour (0xFF9F9F9F);
    channelLabel->setOpaque (true);
    channelLabel->setBounds (functionRowWidth + 8, 4, 56, 15);
    addAndMakeVisible (*channelLabel);

    windowTools = std::make_unique<WinMovCan> (true, true);
    addChildComponent (*windowTools);

    setSize (1024, EditorRules::barHeight);
}

AppBar::~AppBar() = default;

StsBut* AppBar::getTab (int position) const noexcept
{
    return position >= 0 && position < (int) tabs.size() ? tabs[(size_t) position].get() : nullptr;
}

StsBut* AppBar::getFunctionButton (int index) const noexcept
{
    return index >= 0 && index < (int) functionButtons.size() ? functionButtons[(size_t) index].get() : nullptr;
}

StsBut* AppBar::findFunctionButton (int id) const noexcept
{
    for (auto& b : functionButtons)
        if (b->getId() == id)
            return b.get();
    return nullptr;
}

bool AppBar::isTab (const StsBut* b) const noexcept
{
    for (auto& t : tabs)
        if (t.get() == b)
            return true;
    return false;
}

bool AppBar::isFunctionButton (const StsBut* b) const noexcept
{
    for (auto& f : functionButtons)
        if (f.get() == b)
            return true;
    return false;
}

void AppBar::mouseDown (const juce::MouseEvent& e)
{
    pressPosition = e.getPosition();
    dragPosition = pressPosition;
}

void AppBar::mouseDrag (const juce::MouseEvent& e)
{
    dragPosition = e.getPosition();
    changeCode = 123;
    sendChangeMessage();
}

int AppBar::minButtonWidth()
{
    int widest = 0;
    for (const auto& spec : functionSpecs())
        widest = juce::jmax (widest, kitFont (12.0f).getStringWidth (spec.text));
    return widest + 4;
}

int AppBar::minLabelWidth()
{
    return kitFont (12.0f).getStringWidth ("Chan: 16") + 4;
}

void AppBar::resized()
{
    windowTools->setBounds (getWidth() - 60, 4, 54, 22);

    const auto row = EditorRules::topBarRow (getX() + getWidth(), minButtonWidth(), minLabelWidth());
    for (int i = 0; i < (int) functionButtons.size(); ++i)
        functionButtons[(size_t) i]->setBoundsAndStyle (i * row.buttonWidth, 3, row.buttonWidth, 16, true);
    channelLabel->setBounds (row.labelX - EditorRules::topBarX, 4, row.labelWidth, 15);

    // A narrow window narrows the tabs rather than dropping the last ones.
    const int count = (int) tabs.size();
    const int width = count > 0 ? juce::jlimit (1, tabWidth, getWidth() / count) : tabWidth;
    for (int i = 0; i < count; ++i)
        tabs[(size_t) i]->setBoundsAndStyle (i * width, 32, width, 16, true);
}
