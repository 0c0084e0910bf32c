#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <memory>

#include "controls/StsBut.h"

class VantorAudioProcessor;
class MidiCntrState;
class AppBar;
class AppSetBarBut;
class LCD_Comp;
class HorScrollClass;
class CorButton;
class GroupImg;
class GroupClass;

// The program editor page: the top bar over a strip of section panels, layer A
// above layer B, scrolled by section and zoomed as a whole or into one panel.
class EditorPanel : public juce::Component,
                    public juce::ChangeListener,
                    public stsbutChangeListener,
                    public juce::ChangeBroadcaster
{
public:
    static inline const juce::Rectangle<int> modelNameArea { 926, 0, 219, 27 };
    explicit EditorPanel (VantorAudioProcessor& processor);
    ~EditorPanel() override;

    static constexpr int numPositions = 20;
    static constexpr int abModePosition = 15;
    static constexpr int hideAll = 100;

    // Unzoomed strip geometry of one section's column.
    struct Column { int x = 0, yA = 0, yB = 0, w = 0, h = 0; };
    static const std::array<Column, numPositions>& layoutTable();
    // The strip x a section id scrolls to; false for an id that shows nothing new.
    static bool originForSection (int id, int& origin);

    void setZoom (float zoom);
    void resetZoom();
    void updateControl (int id, int value, bool force);
    void refreshFromProgram();
    void showSection (int id);
    void zoomIntoGroup (GroupClass* panel);
    // Back to the first column, as after a zoom change.
    void scrollToStart();

    bool isZoomedIn() const noexcept                     { return zoomed; }
    bool isAnimating() const;
    int getCurrentSection() const noexcept               { return currentSection; }
    GroupClass* getPanel (int layer, int position) const noexcept;
    GroupClass* getAbModePanel() const noexcept          { return getPanel (0, abModePosition); }
    GroupImg* getDimBand (int index) const noexcept;     // 0 left, 1 right, 2 top, 3 bottom

    AppBar& getAppBar() noexcept                         { return *appBar; }
    AppSetBarBut& getMenuButton() noexcept               { return *menuButton; }
    LCD_Comp& getLcd() noexcept                          { return *lcd; }
    CorButton& getZoomCorner() noexcept                  { return *zoomCorner; }

    // The screen height a zoomed-in panel is sized for; the display's user area by default.
    std::function<juce::Rectangle<int>()> screenArea;

    void paint (juce::Graphics&) override;
    void resized() override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void stsbutChanged (StsBut*) override;

private:
    MidiCntrState& engine() const;
    juce::Rectangle<int> currentScreenArea() const;
    void foldAbMode();

    VantorAudioProcessor& processor;
    std::unique_ptr<AppSetBarBut> menuButton;
    std::unique_ptr<AppBar> appBar;
    juce::ComponentAnimator animator;
    juce::Image numberImage, wordImage;
    std::unique_ptr<LCD_Comp> lcd;
    std::array<std::unique_ptr<GroupClass>, numPositions> panelsA, panelsB;
    std::unique_ptr<HorScrollClass> scrollBar;
    std::unique_ptr<CorButton> zoomCorner;
    bool zoomed = false;
    int currentSection = 1;
    std::unique_ptr<GroupImg> blocker, dimLeft, dimRight, dimTop, dimBottom, centreDim;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditorPanel)
};
