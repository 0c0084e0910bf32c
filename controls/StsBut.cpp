#include "controls/StsBut.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "controls/PaintCache.h"

// The glass button inside: it takes the clicks and keeps the state, and paints
// itself unless its owner has drawn it already.
struct StsBut::Glass : public juce::TextButton
{
    bool drawnByOwner = false;

    void paintButton (juce::Graphics& g, bool over, bool down) override
    {
        if (! drawnByOwner)
            juce::TextButton::paintButton (g, over, down);
    }
};

StsBut::StsBut (const juce::String& captionToUse, int idToUse, int styleToUse)
    : caption (captionToUse), id (idToUse), style (styleToUse)
{
}

StsBut::~StsBut()
{
    if (child != nullptr)
        child->removeListener (this);
}

void StsBut::setBoundsAndStyle (int newX, int newY, int w, int h, bool apply)
{
    x = newX;
    y = newY;
    width = w;
    height = h;

    const auto hasChild = style == functionButton || style == sectionTab || style == dialogButton;

    if (hasChild && child == nullptr)
    {
        auto glass = std::make_unique<Glass>();
        glass->drawnByOwner = backdrop.isOpaque();
        child = std::move (glass);
        child->setConnectedEdges (juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
        child->addListener (this);
        child->setWantsKeyboardFocus (false);
        addAndMakeVisible (*child);
    }

    switch (style)
    {
        case functionButton:
        case sectionTab:
            child->setBounds (0, -3, width, height + 6);
            child->setColour (juce::TextButton::buttonColourId, juce::Colour (0xFFACAAAE));
            textColour = juce::Colours::black;
            pressedTextColour = juce::Colours::white;
            fontHeight = 12.0f;
            if (style == sectionTab)
            {
                checkImage = Artwork::get (Artwork::checkOff);
                checkPressedImage = Artwork::get (Artwork::checkOn);
            }
            break;

        case dialogButton:
            child->setBounds (0, -5, width, height + 3);
            child->setColour (juce::TextButton::buttonColourId, juce::Colour (0xFF5A6163));
            child->setColour (juce::TextButton::buttonOnColourId, juce::Colours::black);
            textColour = pressedTextColour = juce::Colours::white;
            fontHeight = 13.0f;
            break;

        case checkEntry:
        case flatButton:
            textColour = juce::Colours::white;
            pressedTextColour = style == checkEntry ? juce::Colour (0xFFF0F0F0) : juce::Colours::white;
            bevelA = bevelB = juce::Colours::black;
            face = juce::Colour (0xFF202D31);
            pressedFace = juce::Colour (0xFF040405);
            fontHeight = 13.0f;
            if (style == checkEntry)
            {
                checkImage = Artwork::get (Artwork::checkOff);
                checkPressedImage = Artwork::get (Artwork::checkOn);
            }
            break;

        default:
            break;
    }

    if (apply)
        setBounds (x, y, width, height);
    repaint();
}

void StsBut::setTopLeft (int newX, int newY)
{
    x = newX;
    y = newY;
    setBounds (x, y, width, height);
}


void StsBut::setBackdrop (juce::Colour colour)
{
    if (colour == backdrop)
        return;

    backdrop = colour;
    setOpaque (backdrop.isOpaque());
    if (auto* glass = dynamic_cast<Glass*> (child.get()))
        glass->drawnByOwner = backdrop.isOpaque();
    repaint();
}

void StsBut::notify()
{
    // The checker stops the walk once a listener has deleted this button.
    listeners.callChecked (juce::Component::BailOutChecker (this),
                           [this] (stsbutChangeListener& l) { l.stsbutChanged (this); });
}

void StsBut::buttonClicked (juce::Button*)
{
    notify();
}

void StsBut::mouseDown (const juce::MouseEvent& e)
{
    if (style != dialogButton && style != checkEntry && style != flatButton)
        return;

    if (style == checkEntry && e.x > 25)
        return;

    pressed = true;
    repaint();
}

void StsBut::mouseUp (const juce::MouseEvent&)
{
    if (style == functionButton || style == sectionTab)
        return;

    pressed = false;
    repaint();
    notify();   // last: the listener may delete this button
}

void StsBut::paint (juce::Graphics& g)
{
    if (child != nullptr && backdrop.isOpaque())
        paintGlass (g);
    else if (style == checkEntry)
    {
        g.setColour (juce::Colours::black);
        g.drawImage (pressed ? checkPressedImage : checkImage, 2, 5, 15, 11, 0, 0, 15, 11);
        g.setColour (textColour);
        g.setFont (kitFont (fontHeight));
        g.drawText (caption, 25, 1, width, height, juce::Justification::left, false);
    }
    else if (style == flatButton)
    {
        const auto w = (float) width, h = (float) height;

        if (! pressed)
        {
            g.setColour (face);
            g.fillRoundedRectangle (1.0f, 1.0f, w - 2.0f, h - 2.0f, 1.0f);
            g.setColour (textColour);
            g.setFont (kitFont (fontHeight));
            g.drawText (caption, 0, 0, width, height, juce::Justification::centred, false);
        }
        else
        {
            g.setColour (pressedFace);
            g.fillRoundedRectangle (0.0f, 0.0f, w, h, 4.0f);
        }

        const auto topLeft = pressed ? bevelB : bevelA, bottomRight = pressed ? bevelA : bevelB;
        g.setColour (topLeft);
        g.fillRect (0, 0, width, 1);
        g.fillRect (0, 0, 1, height);
        g.setColour (bottomRight);
        g.fillRect (0, height - 1, width, 1);
        g.fillRect (width - 1, 0, 1, height);

        if (pressed)
        {
            g.setColour (pressedTextColour);
            g.setFont (kitFont (fontHeight));
            g.drawText (caption, 1, 1, width, height, juce::Justification::centred, false);
        }
    }
}

// The glass as its child would paint it, and the caption over it, on the
// backdrop: one picture per look, copied rather than blended.
void StsBut::paintGlass (juce::Graphics& g)
{
    const auto over = child->isOver(), down = child->isDown(), on = child->getToggleState();
    const auto colour = child->findColour (on ? juce::TextButton::buttonOnColourId : juce::TextButton::buttonColourId);

    PaintCache::Key key;
    key.kind = 0x73627574;   // glass button
    key.number1 = (juce::uint64) backdrop.getARGB() | ((juce::uint64) colour.getARGB() << 32);
    key.number2 = (juce::uint64) ((over ? 1 : 0) | (down ? 2 : 0) | (child->isEnabled() ? 4 : 0))
                | ((juce::uint64) textColour.getARGB() << 8) | ((juce::uint64) style << 40)
                | ((juce::uint64) (juce::uint16) child->getY() << 48);
    key.text1 = caption;

    PaintCache::drawPicture (g, key, getLocalBounds(), true, [&] (juce::Graphics& pg)
    {
        pg.fillAll (backdrop);
        {
            const juce::Graphics::ScopedSaveState state (pg);
            pg.setOrigin (child->getPosition());
            child->getLookAndFeel().drawButtonBackground (pg, *child, colour, over, down);
        }
        paintCaption (pg);
    });
}

void StsBut::paintOverChildren (juce::Graphics& g)
{
    if (child != nullptr && ! backdrop.isOpaque())
        paintCaption (g);
}

juce::Font StsBut::captionFont() const
{
    auto font = kitFont (fontHeight);
    const auto room = (float) width - 4.0f, needed = font.getStringWidthFloat (caption);
    if (needed <= room || needed <= 0.0f || room <= 0.0f)
        return font;

    // Narrower letters read well down to about three fifths; past that the letters get smaller too.
    constexpr float narrowest = 0.6f;
    const auto scale = room / needed;
    if (scale >= narrowest)
        return font.withHorizontalScale (scale);
    return font.withHeight (fontHeight * scale / narrowest).withHorizontalScale (narrowest);
}

void StsBut::paintCaption (juce::Graphics& g)
{
    PaintCache::drawText (g, caption, { 0, 0, width, height }, juce::Justification::centred, captionFont(), textColour);
}
