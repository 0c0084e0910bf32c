#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include <vector>

class MidiCntrState;
class PianoKey;
class KeyOverlay;

// The key bed: 65 keys from semitone 0 of an octave, under one overlay.
class PianoPad : public juce::Component
{
public:
    static constexpr int numKeys = 65;

    explicit PianoPad (MidiCntrState* engine);
    ~PianoPad() override;

    void setScale (float zoom);
    float getZoom() const noexcept            { return zoom; }

    PianoKey& key (int index)                 { return *keys[(size_t) index]; }
    KeyOverlay& overlay()                     { return *keyOverlay; }

    float designX = 232, designY = 20, designW = 900, designH = 151;

    void paint (juce::Graphics&) override;

private:
    MidiCntrState* engine;
    std::vector<std::unique_ptr<PianoKey>> keys;
    float zoom = 1.0f;
    std::unique_ptr<KeyOverlay> keyOverlay;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoPad)
};
