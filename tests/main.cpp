#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// Components can be built and drawn without a display; the message manager
// exists for the whole run and tests pump it where they need async delivery.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
