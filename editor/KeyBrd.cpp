#include "editor/KeyBrd.h"
#include "editor/EditorRules.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "controls/PaintCache.h"
#include "controls/OctaveKeyClass.h"
#include "controls/VelIndClass.h"
#include "controls/WheelCnt.h"
#include "editor/PianoPad.h"
#include "engine/MidiCntrState.h"

KeyBrd::KeyBrd (MidiCntrState* e)
    : engine (e)
{
    setOpaque (true);
    wheelWell = Artwork::get (Artwork::wheelWell);
    topBar = Artwork::get (Artwork::keyboardBar);

    velocity = std::make_unique<VelIndClass> (engine);
    velocity->designX = 35;
    velocity->designY = 38;
    velocity->designH = 120;
    velocity->designW = 70;
    if (engine != nullptr)
        velocity->setVelocity (engine->getKeyboardVelocity());
    velocity->setBounds (35, 38, 70, 120);
    addAndMakeVisible (*velocity);

    pad = std::make_unique<PianoPad> (engine);
    addAndMakeVisible (*pad);
    pad->setScale (zoom);

    pitchWheel = std::make_unique<WheelCnt> (engine, 0, 0, 64, true);
    pitchWheel->setDesignBounds (110, 45, 31, 112);
    addAndMakeVisible (*pitchWheel);
    modWheel = std::make_unique<WheelCnt> (engine, 0, 0, 0, false);
    modWheel->setDesignBounds (170, 45, 31, 112);
    addAndMakeVisible (*modWheel);

    octave = std::make_unique<OctaveKeyClass> (engine);
    octave->setScale (0.5f * zoom, (int) (269.0f * zoom));
    octave->setStartNote (24);
    addAndMakeVisible (*octave);

    keyPlayer = std::make_unique<KeyPlayClass> (engine, KeyPlayClass::keyboardPanelOwner);
    keyPlayer->setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
    keyPlayer->addListener (this);
    keyPlayer->backgroundColour = juce::Colour (0x000A0A0A);
    keyPlayer->textColour = juce::Colours::white;
    keyPlayer->fontHeight = 10.0f;
    keyPlayer->setBounds (400, 4, 200, 12);
    addAndMakeVisible (*keyPlayer);
}

KeyBrd::~KeyBrd()
{
    keyPlayer->releaseAll();
}

void KeyBrd::setZoom (float z, int y, int width, int height)
{
    if (z <= 1.0f)
        zoom = z;
    setBounds (0, y, (int) ((float) width * z), (int) ((float) height * zoom));
    octave->setScale (0.7f * zoom, 269);
    pitchWheel->setScale (zoom);
    modWheel->setScale (zoom);
    pad->setScale (zoom);
    velocity->setScale (zoom);
    velocity->setBounds ((int) (35.0f * zoom), (int) (38.0f * zoom), (int) (70.0f * zoom), (int) (120.0f * zoom));
    // In a narrow window the player strip moves left, short of the status line, to stay in sight.
    keyPlayer->setTopLeftPosition (juce::jmax ((int) (220.0f * zoom), juce::jmin (400, getWidth() - keyPlayer->getWidth())), 4);
    // Its place among the other panels is the main component's to keep.
}

void KeyBrd::setStatusText (const juce::String& text)
{
    if (text == statusText)
        return;
    statusText = text;
    repaint (statusArea());
}

// Up to the player strip: a notice naming a file needs more than the usual words.
juce::Rectangle<int> KeyBrd::statusArea() const
{
    const int x = (int) (20.0f * zoom);
    return { x, 0, juce::jmax ((int) (200.0f * zoom), keyPlayer->getX() - 4 - x), (int) (20.0f * zoom) };
}

void KeyBrd::setModWheel (int v)       { modWheel->setValue (v, false); }
void KeyBrd::setPitchWheel (int v)     { pitchWheel->setValue (v, false); }
int KeyBrd::getModWheel() const        { return modWheel->getValue(); }
int KeyBrd::getPitchWheel() const      { return pitchWheel->getValue(); }

void KeyBrd::paint (juce::Graphics& g)
{
    const float z = zoom;
    const juce::Colour background (0xFF111214);
    const int barHeight = (int) (20.0f * z);
    g.setColour (background);
    g.fillRect (0, barHeight, getWidth(), getHeight() - barHeight);

    // The bar over the plain background is the same at every opening of this width and zoom.
    PaintCache::Key key;
    key.kind = 0x6b626172;   // keyboard bar
    key.number1 = PaintCache::floatBits (z);
    PaintCache::drawPicture (g, key, { 0, 0, getWidth(), barHeight }, true, [&] (juce::Graphics& pg)
    {
        pg.fillAll (background);
        pg.drawImage (topBar, 0, 0, getWidth(), barHeight, 0, 0, topBar.getWidth(), topBar.getHeight());
    });
    for (const float x : { 109.0f, 169.0f })
        PaintCache::drawImage (g, wheelWell, (int) (x * z), (int) (43.0f * z), (int) (43.0f * z), (int) (116.0f * z),
                               0, 0, wheelWell.getWidth(), wheelWell.getHeight());
    PaintCache::drawText (g, statusText, statusArea(),
                          juce::Justification::centredLeft, kitFont (12.0f * z), juce::Colour (0xFFF0E5E5), true);
}

void KeyBrd::dragTo (int pointerY)
{
    const int top = juce::jmax (EditorRules::barHeight, getY() - downY + pointerY);
    setTopLeftPosition (0, top);
}

void KeyBrd::mouseDown (const juce::MouseEvent& e)
{
    dragging = (float) e.y < 20.0f * zoom;
    if (dragging)
        downY = e.y;
}

void KeyBrd::mouseDrag (const juce::MouseEvent& e)
{
    if (e.x > getWidth() - 60)
        dragging = false;
    if (dragging)
        dragTo (e.y);
}

void KeyBrd::mouseUp (const juce::MouseEvent&)
{
    if (dragging)
        sendChangeMessage();
    dragging = false;
}

void KeyBrd::mouseMove (const juce::MouseEvent& e)
{
    const bool inStrip = (float) e.y < 20.0f * zoom && e.x < getWidth() - 60;
    setMouseCursor (inStrip ? juce::MouseCursor::UpDownResizeCursor : juce::MouseCursor::NormalCursor);
}

void KeyBrd::keyPlayMouseDown (int, int y)
{
    downY = y;
    dragging = true;
}

void KeyBrd::keyPlayMouseDrag (int, int y)
{
    if (dragging)
        dragTo (y);
}

void KeyBrd::keyPlayMouseUp (int, int)
{
    if (dragging)
        sendChangeMessage();
    dragging = false;
}
