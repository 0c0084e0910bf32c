#include "librarian/Lib_Manager_Win.h"
#include "librarian/Lib_Manager_Comp.h"

Lib_Manager_Win::Lib_Manager_Win (VantorAudioProcessor& processor)
    : juce::DocumentWindow ("Library", juce::Colour (0xff000000), 0, true)
{
    setTitleBarHeight (0);
    repaint (getTitleBarArea());

    content = new Lib_Manager_Comp (processor);
    setContentOwned (content, true);
    content->setWindow (this);
}

Lib_Manager_Win::~Lib_Manager_Win()
{
    // The window is the content's one owner: clearing it deletes it once.
    content->setWindow (nullptr);
    clearContentComponent();
}
