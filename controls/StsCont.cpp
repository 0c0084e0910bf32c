#include "controls/StsCont.h"
#include "controls/KitFonts.h"
#include "controls/PaintCache.h"
#include "engine/ParDes.h"
#include <cmath>

namespace
{
const juce::Colour white (0xFFFFFFFF);
const juce::Colour valueColour (0xFFB6FFFD);
const juce::Colour glowColour (0x33814141);
}

StsCont::StsCont (CableListener& ownerToUse, int layerToUse)
    : owner (ownerToUse), layer (layerToUse)
{
    shownValue = -1;
    setOpaque (false);
}

StsCont::~StsCont() = default;

void StsCont::setup (int parameterNumberToUse, const juce::String& labelToUse, int x, int y, int w, int h,
                     int minimumToUse, int maximumToUse, int kindToUse, int displayTypeToUse)
{
    parameterNumber = parameterNumberToUse;
    label = labelToUse;
    width = w;
    height = h;
    minimum = minimumToUse;
    maximum = juce::jmax (minimumToUse, maximumToUse);
    kind = kindToUse;
    displayType = displayTypeToUse;
    designBounds = { (float) x, (float) (y - 16), (float) w, (float) h };
    setBounds (x, y - 16, w, h);
    shownValue = 0;
    valueShown = false;

    switch (kind)
    {
        case dropDown:
            barImage = resources->dropBar;
            arrowImage = resources->dropArrow;
            frameImage = resources->dropFrame;
            break;
        case ledSwitch:
        case threeWay:
        case centredLed:
            ledImage = resources->led;
            break;
        case knob:
            knobFrame = 0;
            break;
        default:
            break;
    }
    repaint();
}

void StsCont::setTopLeftScaled (int x, int y)
{
    designBounds.setPosition ((float) x, (float) (y - 16));
    setBounds ((int) (designBounds.getX() * zoomFactor), (int) (designBounds.getY() * zoomFactor),
               (int) (designBounds.getWidth() * zoomFactor), (int) (designBounds.getHeight() * zoomFactor));
}

void StsCont::requestValue (int value, bool endGestureNow)
{
    value = clampValue (value);
    requestedValue = value;

    if (valueShown && value == shownValue)
        return;

    owner.parameterChanged (getKey(), value, endGestureNow, true, true);
}

int StsCont::frameForValue (int value, int minimumValue, int maximumValue) noexcept
{
    if (maximumValue <= minimumValue)
        return 0;

    auto exact = 60.0 * (double) (value - minimumValue) / (double) (maximumValue - minimumValue);
    return juce::jlimit (0, knobFrames - 1, (int) std::nearbyint (exact));   // ties to even
}

void StsCont::setValue (int value, const juce::String& text)
{
    value = clampValue (value);

    if (valueShown && value == shownValue)
        return;

    shownValue = value;
    valueShown = true;

    if (kind == knob)
        knobFrame = frameForValue (value, minimum, maximum);

    valueText = text;
    repaint();
}

void StsCont::notifyClicked()
{
    // A listener may take the panel, and this control with it, down.
    const auto tagToSend = tag;
    listeners.callChecked (juce::Component::BailOutChecker (this),
                           [tagToSend] (StsContListener& l) { l.stsContClicked (tagToSend); });
}

juce::Rectangle<int> StsCont::scaled (int x, int y, int w, int h) const noexcept
{
    return { (int) ((float) x * zoomFactor), (int) ((float) y * zoomFactor),
             (int) ((float) w * zoomFactor), (int) ((float) h * zoomFactor) };
}

//==============================================================================
void StsCont::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu() || zoomFactor < clickThreshold)
    {
        dragging = false;
        notifyClicked();
        return;
    }

    mouseDownX = e.x;
    mouseDownY = e.y;
    const auto x = (float) e.x;
    const auto toggled = shownValue == 0 ? 1 : 0;

    switch (kind)
    {
        case dropDown:
            if ((float) e.y < 18.0f * zoomFactor)
                menuArmed = true;
            break;

        case ledSwitch:
            if (x < 25.0f * zoomFactor)
                requestValue (toggled, false);
            break;

        case knob:
            dragging = true;
            dragStartValue = shownValue;
            break;

        case threeWay:
            if (x < 28.0f * zoomFactor)
                requestValue (toggled, false);
            else if (x > 35.0f * zoomFactor)
                requestValue (shownValue == 0 ? 2 : 0, false);
            break;

        case centredLed:
        {
            const auto c = (width - 20) / 2;
            if ((float) c * zoomFactor < x && x < (float) (c + 20) * zoomFactor)
                requestValue (toggled, false);
            break;
        }

        default:
            break;
    }
}

void StsCont::mouseDrag (const juce::MouseEvent& e)
{
    if (zoomFactor < clickThreshold || ! dragging)
        return;

    const auto step = maximum < 15 ? 15 : 1;
    requestValue (dragStartValue + (e.x - mouseDownX) / step - (e.y - mouseDownY) / step, false);
}

void StsCont::mouseUp (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        return;

    const auto openMenu = kind == dropDown && menuArmed && (float) e.y < 18.0f * zoomFactor;
    dragging = false;
    menuArmed = false;

    if (openMenu)
    {
        juce::Component::SafePointer<StsCont> safeThis (this);
        ParDes::showValueMenuAsync (this, displayType, maximum, [safeThis] (int value)
        {
            if (safeThis != nullptr && value >= 0)
                safeThis->requestValue (value, true);
        });
    }
}

void StsCont::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY > 0.0f)
        requestValue (shownValue + 1, false);
    else if (wheel.deltaY < 0.0f)
        requestValue (shownValue - 1, false);
}

//==============================================================================
void StsCont::drawLed (juce::Graphics& g, int x, int y, bool lit) const
{
    g.setColour (juce::Colours::black);
    PaintCache::drawImage (g, ledImage, x, y, 20, 12, lit ? 20 : 0, 0, 20, 12);
}

void StsCont::drawGlow (juce::Graphics& g, int x, int y, int w, int h) const
{
    g.setColour (glowColour);
    g.fillEllipse (scaled (x, y, w, h).toFloat());
}

void StsCont::setBackdrop (juce::Colour colour)
{
    if (colour == backdrop)
        return;

    backdrop = colour;

    // Its one picture covers exactly its bounds: no clip of its own is needed.
    // It is not marked opaque: its panel then copies its plain ground in a few
    // large blocks rather than filling around every control pixel by pixel.
    setPaintingIsUnclipped (backdrop.isOpaque());
    repaint();
}

void StsCont::drawDropDownValue (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> whole,
                                 juce::Rectangle<int> field, juce::Font font, juce::Colour colour)
{
    // Centred in the bar it must stay clear of the arrow on both sides; otherwise it
    // is centred in the field, narrowed if need be.
    const auto textWidth = font.getStringWidthFloat (text);
    if (textWidth > (float) (whole.getWidth() - 2 * (whole.getRight() - field.getRight())))
    {
        if (textWidth > (float) field.getWidth())
            font = font.withHorizontalScale (juce::jmax (0.75f, (float) field.getWidth() / textWidth));
        whole = field;
    }
    PaintCache::drawText (g, text, whole, juce::Justification::centred, font, colour, true);
}

void StsCont::paint (juce::Graphics& g)
{
    if (! backdrop.isOpaque())
    {
        paintContent (g);
        return;
    }

    // On a known plain backdrop the whole control is one opaque picture per look:
    // copied, not blended, and the panel need not paint beneath it.
    PaintCache::Key key;
    key.kind = 0x63746c73;   // control
    const auto lit = kind == knob ? knobFrame : shownValue == 1 ? 1 : shownValue == 2 ? 2 : 0;
    const auto style = knobStyle >= 0 && knobStyle < 3 ? knobStyle : 3;   // others draw no background
    key.number1 = (juce::uint64) backdrop.getARGB() | ((juce::uint64) PaintCache::floatBits (zoomFactor) << 32);
    key.number2 = (juce::uint64) (juce::uint16) kind | ((juce::uint64) (juce::uint8) lit << 16)
                | ((juce::uint64) style << 24) | ((juce::uint64) (juce::uint16) width << 32)
                | ((juce::uint64) (juce::uint16) height << 48);
    key.text1 = label;
    key.text2 = valueText;

    PaintCache::drawPicture (g, key, getLocalBounds(), true, [this] (juce::Graphics& pg)
    {
        pg.fillAll (backdrop);
        paintContent (pg);
    });
}

// Labels and value texts repeat from control to control and from opening to
// opening: PaintCache draws each once.
void StsCont::paintContent (juce::Graphics& g)
{
    const auto z = zoomFactor;

    switch (kind)
    {
        case dropDown:
        {
            g.setColour (juce::Colours::black);
            const auto bar = scaled (0, 0, 200, 18), arrow = scaled (width - 14, 0, 14, 18),
                       frame = scaled (0, 0, width, 18);
            PaintCache::drawImage (g, barImage, bar.getX(), bar.getY(), bar.getWidth(), bar.getHeight(), 0, 0, 200, 18);
            PaintCache::drawImage (g, arrowImage, arrow.getX(), arrow.getY(), arrow.getWidth(), arrow.getHeight(), 0, 0, 14, 18);
            PaintCache::drawImage (g, frameImage, frame.getX(), frame.getY(), frame.getWidth(), frame.getHeight(), 0, 0, 100, 17);
            drawDropDownValue (g, valueText, scaled (0, 0, width, 20), scaled (2, 0, width - 16, 20), kitFont (12.0f * z), valueColour);
            PaintCache::drawText (g, label, scaled (0, 8, width, height), juce::Justification::centred, kitFont (12.0f * z), white);
            break;
        }

        case ledSwitch:
            // The LED keeps its pixel size at every zoom: it is artwork, not layout.
            drawLed (g, 4, 4, shownValue == 1);
            if (shownValue == 1)
                drawGlow (g, 0, 0, 28, 20);
            PaintCache::drawText (g, label, scaled (32, 0, width, height), juce::Justification::left, kitFont (12.0f * z), white);
            break;

        case knob:
        {
            resources->drawKnob (g, width, knobFrame, knobStyle, z);
            PaintCache::drawText (g, valueText, scaled (-2, 16, width, height), juce::Justification::centred, kitFont (11.0f * z), white);
            PaintCache::drawText (g, label, scaled (0, 26, width, height), juce::Justification::centred, kitFont (12.0f * z), white);
            break;
        }

        case threeWay:
        {
            const auto left = scaled (0, 0, 20, 12), right = scaled (40, 0, 20, 12);
            g.setColour (juce::Colours::black);
            PaintCache::drawImage (g, ledImage, left.getX(), left.getY(), left.getWidth(), left.getHeight(),
                                   shownValue == 1 ? 20 : 0, 0, 20, 12);
            PaintCache::drawImage (g, ledImage, right.getX(), right.getY(), right.getWidth(), right.getHeight(),
                                   shownValue == 2 ? 20 : 0, 0, 20, 12);
            if (shownValue == 1)
                drawGlow (g, 0, 0, 28, 20);
            else if (shownValue == 2)
                drawGlow (g, 36, 0, 28, 20);
            break;
        }

        case centredLed:
        {
            const auto c = (width - 20) / 2;
            const auto led = scaled (c, 0, 20, 12);
            g.setColour (juce::Colours::black);
            PaintCache::drawImage (g, ledImage, led.getX(), led.getY(), led.getWidth(), led.getHeight(),
                                   shownValue == 1 ? 20 : 0, 0, 20, 12);
            if (shownValue == 1)
                drawGlow (g, c - 4, 0, 28, 16);
            PaintCache::drawText (g, label, scaled (0, 10, width, height), juce::Justification::centred, kitFont (12.0f * z), white);
            break;
        }

        default:
            break;
    }
}
