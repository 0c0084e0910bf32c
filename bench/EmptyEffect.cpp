#include "EmptyProcessor.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new EmptyProcessor();
}
