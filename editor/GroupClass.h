#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include <vector>

#include "controls/StsCont.h"

class VantorAudioProcessor;
class P_Slider;
class P_Pad;
class Envel;
class ShapeClass;
class ZoneKeyClass;
class ZoneKeyClassB;

// One section panel of the program editor: the controls of one synth section
// of one layer under a titled header, plus the section's displays. The section
// builder fills it; the editor page places, scales and feeds it.
class GroupClass : public juce::Component,
                   public juce::ChangeListener,
                   public juce::ChangeBroadcaster,
                   public StsContListener
{
public:
    GroupClass (VantorAudioProcessor& processor, int section, int layer);
    ~GroupClass() override;

    static juce::String sectionTitle (int section);
    static bool showsLayerLetter (int section);

    //==============================================================================
    // What a section builder uses.
    StsCont& addControl();
    P_Slider& addTouchStrip (int which);
    P_Pad& addPad();
    Envel& addEnvelope();
    ShapeClass& addWaveIcon (int y);
    void addSplitKeyboards();

    int getNumControls() const noexcept                  { return (int) controls.size(); }
    StsCont* getControl (int position) const noexcept;
    StsCont* findControl (int parameterNumber) const noexcept;

    //==============================================================================
    void setScale (float s);
    void setPosition (int x, int y, int w, int h);
    void setAbModeExpanded (bool expanded);
    void parameterChanged (StsCont* control, int value);

    int getLayer() const noexcept                        { return layer; }
    float getScale() const noexcept                      { return scale; }
    bool isShown() const noexcept                        { return shown; }
    void setShown (bool s);
    int getChangeCode() const noexcept                   { return changeCode; }
    juce::Rectangle<int> getStoredPosition() const noexcept { return { storedX, storedY, storedW, storedH }; }

    P_Slider* getTouchStrip (int which) const noexcept   { return which == 1 ? strip1.get() : which == 2 ? strip2.get() : nullptr; }
    P_Pad* getPad() const noexcept                       { return pad.get(); }
    Envel* getEnvelope() const noexcept                  { return envelope.get(); }
    ShapeClass* getWaveIcon (int k) const noexcept       { return k >= 0 && k < 4 ? waveIcons[(size_t) k].get() : nullptr; }
    ZoneKeyClass* getSmallSplitKeyboard() const noexcept { return smallKeys.get(); }
    ZoneKeyClassB* getLargeSplitKeyboard() const noexcept { return largeKeys.get(); }

    //==============================================================================
    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void stsContClicked (int tag) override;

    static constexpr float clickZoomThreshold = 0.6f;

private:
    void buildSection();
    void updateBackdrops();
    void drawHeader (juce::Graphics&, const juce::String& title, int w);
    void paintAbMode (juce::Graphics&);
    void envelopeChanged (Envel&);
    void sendEnvelope (Envel&, bool endGesture);
    void splitKeyboardChanged (ZoneKeyClassB&);

    VantorAudioProcessor& processor;
    int changeCode = 0;
    std::vector<std::unique_ptr<StsCont>> controls;
    int storedX = 0, storedY = 0, storedH = 0, storedW = 0;
    const int section, layer;
    float scale = 1.0f;
    bool shown = false;

    std::unique_ptr<P_Slider> strip1, strip2;
    std::unique_ptr<Envel> envelope;
    std::unique_ptr<ZoneKeyClass> smallKeys;
    std::unique_ptr<ZoneKeyClassB> largeKeys;
    std::unique_ptr<P_Pad> pad;
    std::unique_ptr<ShapeClass> waveIcons[4];
    int numWaveIcons = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GroupClass)
};
