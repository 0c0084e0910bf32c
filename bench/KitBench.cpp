#include <benchmark/benchmark.h>

#include "controls/LCD_Comp.h"
#include "controls/StsResor.h"

// What a full editor repaint costs per control: some 300 knobs and one display.
namespace
{
void drawKnob (benchmark::State& state)
{
    juce::SharedResourcePointer<StsResor> resources;
    juce::Image image (juce::Image::ARGB, 80, 80, true);
    juce::Graphics g (image);
    const float zoom = (float) state.range (0) / 100.0f;
    int frame = 0;

    for (auto _ : state)
    {
        resources->drawKnob (g, 80, frame, frame % 4, zoom);
        frame = (frame + 7) % 61;
    }
}
BENCHMARK (drawKnob)->Arg (100)->Arg (73)->Unit (benchmark::kMicrosecond);

void paintProgramDisplay (benchmark::State& state)
{
    LCD_Comp lcd;
    lcd.setAll (5, 98, 14, "Wide Evolving Pad", "Evolution", "A | B", "(A)");
    juce::Image image (juce::Image::ARGB, lcd.getWidth(), lcd.getHeight(), true);
    juce::Graphics g (image);

    for (auto _ : state)
        lcd.paintEntireComponent (g, false);
}
BENCHMARK (paintProgramDisplay)->Unit (benchmark::kMicrosecond);
}
