#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The attack-decay-sustain-release graph of a section panel. Three handles:
// 0 the peak (attack), 1 the plateau (decay and sustain), 2 the end (release).
// The owner reads the change code, the values and the changed flags back.
class Envel : public juce::Component,
              public juce::ChangeBroadcaster,
              private juce::Timer
{
public:
    enum Code { valuesChanged = 1, released = 66, grabbed = 67, passedToPanel = 100 };

    explicit Envel (juce::Component* owner = nullptr);

    int changeCode = 0;
    float attack = 30.0f, decay = 30.0f, sustain = 30.0f, release = 30.0f;
    float zoom = 1.0f;

    bool attackChanged = false, decayChanged = false, sustainChanged = false, releaseChanged = false;
    juce::String valueText;

    void rebuildPath();
    int hitHandle (int x, int y) const;

    float pointX (int i) const noexcept  { return px[i]; }
    float pointY (int i) const noexcept  { return py[i]; }
    bool isDragging() const noexcept     { return dragging; }

    static constexpr float xOrigin = 16.0f, top = 16.0f, graphHeight = 54.0f, graphWidth = 200.0f;
    static constexpr float scale = 48.0f / 127.0f;

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    void timerCallback() override;

    juce::Image background, overlay;
    juce::Path path;
    float px[5] {}, py[5] {};
    float startAttack = 0, startDecay = 0, startSustain = 0, startRelease = 0;
    int grabbedHandle = -1;
    int downX = 0, downY = 0, lastX = 0, lastY = 0;
    bool dragging = false;
    float clickThreshold = 0.6f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Envel)
};
