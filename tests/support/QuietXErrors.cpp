#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>
#include "support/QuietXErrors.h"

namespace
{
using Handler = int (*) (::Display*, XErrorEvent*);
int ignore (::Display*, XErrorEvent*)   { return 0; }
}

QuietXErrors::QuietXErrors()
{
    previous = reinterpret_cast<void*> (juce::X11Symbols::getInstance()->xSetErrorHandler (ignore));
}

QuietXErrors::~QuietXErrors()
{
    juce::X11Symbols::getInstance()->xSetErrorHandler (reinterpret_cast<Handler> (previous));
}
