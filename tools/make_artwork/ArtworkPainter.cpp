#include "ArtworkPainter.h"
#include "controls/Artwork.h"

#include <cmath>
#include <functional>
#include <map>

// The look: a dark, calm hardware panel. Metal is cool grey, light comes from
// the top left, lit LEDs are a warm red, text is light grey.
namespace
{
using juce::Colour;
using juce::Graphics;
using juce::Rectangle;
namespace Colours = juce::Colours;

const Colour panelTop (0xff25282c), panelBottom (0xff16181b);
const Colour edgeLight (0xff4c535a), edgeDark (0xff08090a);
const Colour glassTop (0xff0f1d22), glassBottom (0xff060b0e);
const Colour ledLit (0xffff4a3a), ledOff (0xff3a1512);
const Colour textLight (0xffd8dde2);
constexpr float pi = juce::MathConstants<float>::pi;

juce::Typeface::Ptr loadFace (const juce::File& file)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData (data) || data.getSize() == 0)
        return nullptr;
    return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
}

// A tiny fixed generator: the brushed grain must be the same on every run.
struct Grain
{
    explicit Grain (uint32_t seed) : state (seed) {}
    float next() { state = state * 1664525u + 1013904223u; return (float) (state >> 8) / (float) (1u << 24); }
    uint32_t state;
};

void vertical (Graphics& g, Rectangle<float> r, Colour top, Colour bottom)
{
    g.setGradientFill (juce::ColourGradient (top, r.getX(), r.getY(), bottom, r.getX(), r.getBottom(), false));
}

// A recessed field: dark inside, shadow along the top, light along the bottom.
void recess (Graphics& g, Rectangle<float> r, float corner, Colour top = glassTop, Colour bottom = glassBottom)
{
    vertical (g, r, top, bottom);
    g.fillRoundedRectangle (r, corner);
    g.setColour (edgeDark.withAlpha (0.9f));
    g.drawRoundedRectangle (r.reduced (0.5f), corner, 1.0f);
    g.setColour (Colour (0x22ffffff));
    g.drawLine (r.getX() + corner, r.getBottom() - 0.5f, r.getRight() - corner, r.getBottom() - 0.5f, 1.0f);
}

// A raised plate: light from the top left, crisp edge.
void plate (Graphics& g, Rectangle<float> r, float corner, Colour top = Colour (0xff3a3f45), Colour bottom = Colour (0xff202326))
{
    vertical (g, r, top, bottom);
    g.fillRoundedRectangle (r, corner);
    g.setColour (edgeDark);
    g.drawRoundedRectangle (r.reduced (0.5f), corner, 1.0f);
    g.setColour (Colour (0x30ffffff));
    g.drawLine (r.getX() + corner, r.getY() + 1.5f, r.getRight() - corner, r.getY() + 1.5f, 1.0f);
}

void drawLed (Graphics& g, Rectangle<float> r, bool lit)
{
    const auto c = r.getCentre();
    g.setColour (edgeDark);
    g.fillRoundedRectangle (r, r.getHeight() * 0.4f);
    const auto body = r.reduced (1.0f);
    g.setGradientFill (juce::ColourGradient (lit ? Colour (0xffffb09a) : Colour (0xff5a2520), c.x, body.getY(),
                                             lit ? ledLit : ledOff, c.x, body.getBottom(), false));
    g.fillRoundedRectangle (body, body.getHeight() * 0.4f);
    g.setColour (Colour (lit ? 0x70ffffff : 0x18ffffff));
    g.fillRoundedRectangle (body.withHeight (body.getHeight() * 0.4f).reduced (1.0f, 0.0f), body.getHeight() * 0.2f);
}

// One knob face: brushed metal cap, knurled rim, position mark at angle a (0 = up).
void knob (Graphics& g, juce::Point<float> c, float radius, float angle)
{
    // drop shadow and rim
    g.setColour (Colour (0x50000000));
    g.fillEllipse (c.x - radius - 1.0f, c.y - radius + 1.0f, 2 * radius + 3.0f, 2 * radius + 3.0f);
    g.setGradientFill (juce::ColourGradient (Colour (0xff4a5057), c.x, c.y - radius, Colour (0xff111315), c.x, c.y + radius, false));
    g.fillEllipse (c.x - radius, c.y - radius, 2 * radius, 2 * radius);

    // knurling on the rim, turning with the knob
    g.setColour (Colour (0x55000000));
    for (int i = 0; i < 36; ++i)
    {
        const float t = angle + (float) i * 2.0f * pi / 36.0f;
        g.drawLine (c.x + std::sin (t) * (radius - 2.6f), c.y - std::cos (t) * (radius - 2.6f),
                    c.x + std::sin (t) * (radius - 0.6f), c.y - std::cos (t) * (radius - 0.6f), 0.8f);
    }

    // the cap: cool brushed metal, light from the top left
    const float cap = radius - 3.0f;
    g.setGradientFill (juce::ColourGradient (Colour (0xffc9ced4), c.x - cap * 0.7f, c.y - cap * 0.8f,
                                             Colour (0xff5d646b), c.x + cap * 0.7f, c.y + cap * 0.9f, false));
    g.fillEllipse (c.x - cap, c.y - cap, 2 * cap, 2 * cap);

    Grain grain (0x5eed);
    for (int i = 0; i < 26; ++i)
    {
        const float r = cap * grain.next();
        g.setColour ((i & 1) ? Colour (0x16ffffff) : Colour (0x14000000));
        g.drawEllipse (c.x - r, c.y - r, 2 * r, 2 * r, 0.6f);
    }

    // a soft sheen across the top
    g.setGradientFill (juce::ColourGradient (Colour (0x40ffffff), c.x, c.y - cap, Colour (0x00ffffff), c.x, c.y, false));
    g.fillEllipse (c.x - cap * 0.8f, c.y - cap * 0.95f, cap * 1.6f, cap * 1.1f);
    g.setColour (Colour (0xa0000000));
    g.drawEllipse (c.x - cap, c.y - cap, 2 * cap, 2 * cap, 0.8f);

    // the position mark: a dark groove with a white line in it, from near the centre to the rim
    const auto at = [&] (float r) { return juce::Point<float> (c.x + std::sin (angle) * r, c.y - std::cos (angle) * r); };
    g.setColour (Colour (0xc0101214));
    g.drawLine ({ at (cap * 0.25f), at (radius - 0.5f) }, 3.2f);
    g.setColour (Colours::white);
    g.drawLine ({ at (cap * 0.3f), at (radius - 1.0f) }, 1.6f);
}

// The knob sweep: 300 degrees from lower left to lower right.
float sweep (float fraction) { return (-150.0f + 300.0f * fraction) * pi / 180.0f; }

// Knob centre inside a 56x56 frame; the backgrounds centre their dials on the
// same point (43, 42) of their 80x80 pictures.
const juce::Point<float> knobCentre (21.0f, 20.0f);
constexpr float knobRadius = 16.5f;

void drawKnobStrip (Graphics& g, int frames, std::function<int (int)> frameX)
{
    for (int n = 0; n < frames; ++n)
    {
        Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (frameX (n), 0, 56, 56);
        g.setOrigin (frameX (n), 0);
        knob (g, knobCentre, knobRadius, sweep ((float) n / (float) (frames - 1)));
    }
}

void dialTicks (Graphics& g, juce::Point<float> c, float inner, float outer, int count, float thickness, Colour colour)
{
    g.setColour (colour);
    for (int i = 0; i < count; ++i)
    {
        const float a = sweep ((float) i / (float) (count - 1));
        g.drawLine (c.x + std::sin (a) * inner, c.y - std::cos (a) * inner,
                    c.x + std::sin (a) * outer, c.y - std::cos (a) * outer, thickness);
    }
}

void arc (Graphics& g, juce::Point<float> c, float radius, float from, float to, float thickness, Colour colour)
{
    juce::Path p;
    p.addCentredArc (c.x, c.y, radius, radius, 0.0f, from, to, true);
    g.setColour (colour);
    g.strokePath (p, juce::PathStrokeType (thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void knobBack (Graphics& g, int style)
{
    const juce::Point<float> c (43.0f, 42.0f);
    // a shallow well the knob sits in
    g.setGradientFill (juce::ColourGradient (Colour (0xff0b0c0e), c.x, c.y - 20, Colour (0xff2a2e33), c.x, c.y + 20, false));
    g.fillEllipse (c.x - 19.5f, c.y - 19.5f, 39.0f, 39.0f);

    if (style == 0)
    {
        dialTicks (g, c, 20.5f, 24.5f, 11, 1.4f, Colour (0xffc3cad1));
    }
    else if (style == 1)
    {
        // centred values: a bright mark at the middle, small ticks either side
        dialTicks (g, c, 20.5f, 23.5f, 11, 1.2f, Colour (0xffa9b1b9));
        g.setColour (ledLit.withAlpha (0.9f));
        g.drawLine (c.x, c.y - 20.5f, c.x, c.y - 25.5f, 2.2f);
    }
    else
    {
        // the big dial: a groove along the sweep, ticks outside it
        arc (g, c, 23.0f, sweep (0.0f), sweep (1.0f), 2.5f, Colour (0xff0a0b0c));
        arc (g, c, 23.0f, sweep (0.0f), sweep (1.0f), 1.0f, Colour (0xff59616a));
        dialTicks (g, c, 26.0f, 29.5f, 21, 1.0f, Colour (0xff8a939c));
        dialTicks (g, c, 26.0f, 31.0f, 3, 1.6f, Colour (0xffc3cad1));
    }
}

void drawLcdBack (Graphics& g, int w, int h)
{
    const auto r = Rectangle<float> (0, 0, (float) w, (float) h);
    g.setColour (edgeDark);
    g.fillRoundedRectangle (r, 5.0f);
    const auto glass = r.reduced (2.0f);
    vertical (g, glass, Colour (0xff12252c), Colour (0xff050b0e));
    g.fillRoundedRectangle (glass, 4.0f);
    g.setColour (Colour (0xff2b3c43));
    g.drawRoundedRectangle (glass.reduced (0.5f), 4.0f, 1.0f);
    // faint rows, like a real display's pixel lines
    g.setColour (Colour (0x0cffffff));
    for (int y = 4; y < h - 4; y += 3)
        g.drawHorizontalLine (y, 4.0f, (float) w - 4.0f);
    // gloss over the upper part
    g.setGradientFill (juce::ColourGradient (Colour (0x1cffffff), 0, glass.getY(), Colour (0x00ffffff), 0, glass.getCentreY(), false));
    g.fillRoundedRectangle (glass.withHeight (glass.getHeight() * 0.5f).reduced (2.0f, 1.0f), 3.0f);
}

void keyStrip (Graphics& g, int w, int h, float octaveWidth, int notes, bool withOctaveMarks)
{
    const float white = octaveWidth / 7.0f;
    g.setColour (Colour (0xff101113));
    g.fillRect (0, 0, w, h);

    const int whiteOfClass[12] = { 0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6 };
    const float blackAt[12] = { 0, 1, 0, 2, 0, 0, 4, 0, 5, 0, 6, 0 };   // boundary (in white keys) the black key straddles

    for (int n = 0; n < notes; ++n)
    {
        const int k = whiteOfClass[n % 12];
        if (k < 0)
            continue;
        const float x = (float) (n / 12) * octaveWidth + (float) k * white;
        vertical (g, { x, 0, white, (float) h }, Colour (0xffe9e6df), Colour (0xffb9b6b0));
        g.fillRect (x + 0.5f, 0.0f, white - 1.0f, (float) h - 0.5f);
        if (withOctaveMarks && n % 12 == 0)
        {
            g.setColour (Colour (0xff7a7872));
            g.fillRect (x + 0.5f, (float) h - 3.0f, white - 1.0f, 2.0f);
        }
    }

    for (int n = 0; n < notes; ++n)
    {
        if (whiteOfClass[n % 12] >= 0)
            continue;
        const float centre = (float) (n / 12) * octaveWidth + blackAt[n % 12] * white;
        const float bw = white * 0.62f;
        vertical (g, { centre - bw / 2, 0, bw, (float) h * 0.62f }, Colour (0xff2a2c2f), Colour (0xff050506));
        g.fillRect (centre - bw / 2, 0.0f, bw, (float) h * 0.62f);
    }
}

void whiteKey (Graphics& g, int w, int h, bool down)
{
    const auto r = Rectangle<float> (0.5f, 0, (float) w - 1.0f, (float) h - 0.5f);
    vertical (g, r, down ? Colour (0xffcfccc5) : Colour (0xfff4f2ec), down ? Colour (0xffbfbcb5) : Colour (0xffdcd9d2));
    g.fillRoundedRectangle (r, 2.5f);
    g.setColour (Colour (0xff8d8a85));
    g.drawRoundedRectangle (r, 2.5f, 1.0f);
    // the front lip: shorter when the key is down
    const float lip = down ? 4.0f : 9.0f;
    vertical (g, r.withTop (r.getBottom() - lip), Colour (0xffd6d3cc), Colour (0xff9e9b95));
    g.fillRoundedRectangle (r.withTop (r.getBottom() - lip).reduced (1.0f, 0.0f), 2.0f);
    g.setGradientFill (juce::ColourGradient (Colour (0x38000000), 0, 0, Colour (0x00000000), 0, 12, false));
    g.fillRect (r.withHeight (12.0f));
}

void blackKey (Graphics& g, int w, int h, bool down)
{
    const auto r = Rectangle<float> (0, 0, (float) w, (float) h);
    g.setColour (Colour (0xff050505));
    g.fillRoundedRectangle (r, 2.0f);
    const auto top = r.reduced (2.0f, 0.0f).withTrimmedBottom (down ? 4.0f : 9.0f);
    vertical (g, top, down ? Colour (0xff1a1b1d) : Colour (0xff34373b), Colour (0xff0c0c0d));
    g.fillRoundedRectangle (top, 1.5f);
    g.setColour (Colour (down ? 0x10ffffff : 0x28ffffff));
    g.fillRect (top.getX() + 1.5f, top.getY() + 2.0f, 1.5f, top.getHeight() - 6.0f);
}

void wheel (Graphics& g, float x0, int h, float fraction)
{
    // a rubber wheel seen from the front: ridges roll past, the white line moves up
    const auto r = Rectangle<float> (x0 + 4.0f, 2.0f, 46.0f, (float) h - 4.0f);
    g.setColour (edgeDark);
    g.fillRoundedRectangle (r.expanded (1.0f), 6.0f);
    juce::ColourGradient shade (Colour (0xff0d0e10), r.getX(), r.getY(), Colour (0xff0d0e10), r.getX(), r.getBottom(), false);
    shade.addColour (0.5, Colour (0xff3b4046));
    g.setGradientFill (shade);
    g.fillRoundedRectangle (r, 6.0f);

    const float roll = fraction * 34.0f * 3.0f;
    for (int i = -2; i < 40; ++i)
    {
        const float t = ((float) i * 6.0f - roll) / (r.getHeight());   // 0..1 down the face
        if (t <= 0.0f || t >= 1.0f)
            continue;
        const float y = r.getY() + r.getHeight() * (0.5f - 0.5f * std::cos (t * pi));
        const float alpha = 0.08f + 0.25f * std::sin (t * pi);
        g.setColour (Colour (0xff000000).withAlpha (alpha));
        g.drawLine (r.getX() + 2.0f, y, r.getRight() - 2.0f, y, 1.4f);
    }

    const float t = 0.9f - 0.8f * fraction;
    const float y = r.getY() + r.getHeight() * (0.5f - 0.5f * std::cos (t * pi));
    g.setColour (Colour (0xfff0f0f0));
    g.fillRect (r.getX() + 3.0f, y - 2.0f, r.getWidth() - 6.0f, 4.0f);
}

void windowIcons (Graphics& g, float y, bool highlighted)
{
    const Colour c = highlighted ? Colours::white : Colour (0xff9aa2aa);
    if (highlighted)
    {
        g.setColour (Colour (0xff3a4046));
        g.fillRoundedRectangle (1.0f, y + 1.0f, 18.0f, 14.0f, 2.0f);
        g.fillRoundedRectangle (21.0f, y + 1.0f, 13.0f, 14.0f, 2.0f);
        g.setColour (Colour (0xffa8322a));
        g.fillRoundedRectangle (37.0f, y + 1.0f, 16.0f, 14.0f, 2.0f);
    }
    g.setColour (c);
    g.fillRect (6.0f, y + 10.0f, 8.0f, 1.6f);                       // minimise
    g.drawRect (23.5f, y + 4.5f, 8.0f, 7.0f, 1.2f);                   // full screen
    g.drawLine (41.5f, y + 4.5f, 48.5f, y + 11.5f, 1.4f);             // close
    g.drawLine (48.5f, y + 4.5f, 41.5f, y + 11.5f, 1.4f);
}
// The about box. The program draws "Version ..." at about (36, 115) of this
// picture, so the title sits above it and the left column stays clear there.
void drawSplashWith (Graphics& g, int w, int h, const juce::Font& title, const juce::Font& small)
{
    const auto all = Rectangle<float> (0, 0, (float) w, (float) h);
    vertical (g, all, panelTop, panelBottom);
    g.fillRect (all);
    g.setColour (edgeLight);
    g.drawRect (all, 1.0f);
    g.setColour (Colour (0x20ffffff));
    g.drawHorizontalLine (1, 1.0f, (float) w - 1.0f);

    g.setColour (textLight);
    g.setFont (title);
    g.drawText ("VANTOR", 36, 36, w - 72, 52, juce::Justification::left, false);
    g.setColour (ledLit.withAlpha (0.85f));
    g.fillRect (38.0f, 94.0f, 56.0f, 2.0f);

    // a row of knobs in their dials, set the way one leaves a patch
    for (int i = 0; i < 5; ++i)
    {
        const juce::Point<float> c (96.0f + 69.0f * (float) i, 205.0f);
        g.setColour (Colour (0xff0b0c0e));
        g.fillEllipse (c.x - 24, c.y - 24, 48, 48);
        dialTicks (g, c, 25.5f, 29.0f, 11, 1.2f, Colour (0xffa9b1b9));
        knob (g, c, 21.0f, sweep (0.2f + 0.15f * (float) i));
    }

    g.setColour (Colour (0xff8a939c));
    g.setFont (small);
    g.drawText (juce::String (juce::CharPointer_UTF8 ("EDITOR  \xc2\xb7  LIBRARIAN  \xc2\xb7  CONTROLLER")),
                36, h - 40, w - 72, 20, juce::Justification::left, false);
    drawLed (g, { (float) w - 56.0f, (float) h - 34.0f, 20.0f, 8.0f }, true);
}

// Shown under the about box over the dimmed editor: a small keyboard with its
// wheels, floating on nothing.
void drawAboutLower (Graphics& g, int w, int)
{
    const auto body = Rectangle<float> (0.5f, 20.5f, (float) w - 1.0f, 100.0f);
    g.setColour (Colour (0x60000000));
    g.fillRoundedRectangle (body.translated (0.0f, 4.0f), 8.0f);
    plate (g, body, 8.0f, Colour (0xff2f3338), Colour (0xff16181b));

    // wheels
    for (int i = 0; i < 2; ++i)
    {
        const auto well = Rectangle<float> (14.0f + 24.0f * (float) i, 34.0f, 18.0f, 74.0f);
        recess (g, well, 4.0f, Colour (0xff050506), Colour (0xff1d2024));
        juce::ColourGradient shade (Colour (0xff0d0e10), 0, well.getY(), Colour (0xff0d0e10), 0, well.getBottom(), false);
        shade.addColour (0.5, Colour (0xff3b4046));
        g.setGradientFill (shade);
        g.fillRoundedRectangle (well.reduced (3.0f, 3.0f), 3.0f);
        g.setColour (Colour (0xffe0e0e0));
        g.fillRect (well.getX() + 4.0f, i == 0 ? well.getCentreY() - 1.0f : well.getBottom() - 14.0f, 10.0f, 2.0f);
    }

    // keys: two octaves and a top C
    const float x0 = 68.0f, white = (float) (w - 14 - 68) / 15.0f, top = 30.0f, len = 84.0f;
    for (int k = 0; k < 15; ++k)
    {
        const auto r = Rectangle<float> (x0 + white * (float) k + 0.5f, top, white - 1.0f, len);
        vertical (g, r, Colour (0xfff4f2ec), Colour (0xffcfccc5));
        g.fillRoundedRectangle (r, 1.5f);
    }
    const int blackAfter[] = { 0, 1, 3, 4, 5, 7, 8, 10, 11, 12 };
    for (int k : blackAfter)
    {
        const float cx = x0 + white * (float) (k + 1);
        const auto r = Rectangle<float> (cx - white * 0.3f, top, white * 0.6f, len * 0.6f);
        vertical (g, r, Colour (0xff34373b), Colour (0xff0c0c0d));
        g.fillRoundedRectangle (r, 1.5f);
    }
    g.setColour (edgeDark);
    g.drawHorizontalLine ((int) top, x0, x0 + white * 15.0f);
}
}

ArtworkPainter::ArtworkPainter (const juce::File& fontFolder)
    : regular (loadFace (fontFolder.getChildFile ("LiberationSans-Regular.ttf"))),
      bold (loadFace (fontFolder.getChildFile ("LiberationSans-Bold.ttf")))
{
}

juce::Font ArtworkPainter::font (float height, bool isBold) const
{
    return juce::Font (isBold ? bold : regular).withHeight (height);
}

juce::Image ArtworkPainter::draw (const juce::String& name, int w, int h) const
{
    juce::Image image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
    Graphics g (image);
    const auto all = Rectangle<float> (0, 0, (float) w, (float) h);

    using namespace Artwork;
    const std::map<juce::String, std::function<void()>> painters =
    {
        { knobStrip,       [&] { drawKnobStrip (g, 61, [] (int n) { return Artwork::knobFrameX (n); }); } },
        { globalKnobStrip, [&] { drawKnobStrip (g, 55, [] (int n) { return 58 * n; }); } },
        { knobBack0,       [&] { knobBack (g, 0); } },
        { knobBack1,       [&] { knobBack (g, 1); } },
        { knobBack2,       [&] { knobBack (g, 2); } },
        { lcdBack,         [&] { drawLcdBack (g, w, h); } },
        { dropBar,         [&] { recess (g, all, 3.0f, Colour (0xff0b1316), Colour (0xff151d21)); } },
        { dropArrow,       [&] {
              juce::Path p;
              p.addTriangle (3.0f, 7.0f, 11.0f, 7.0f, 7.0f, 12.0f);
              g.setColour (Colour (0xff8fd6d3));
              g.fillPath (p);
          } },
        { dropFrame,       [&] {
              g.setColour (Colour (0xff3d474c));
              g.drawRoundedRectangle (all.reduced (0.5f), 3.0f, 1.0f);
              g.setColour (Colour (0x40000000));
              g.drawHorizontalLine (1, 2.0f, (float) w - 2.0f);
          } },
        { Artwork::led,    [&] { drawLed (g, { 2, 2, 16, 8 }, false); drawLed (g, { 22, 2, 16, 8 }, true); } },
        { switchLed,       [&] { drawLed (g, { 1, 1.5f, 12, 6 }, false); drawLed (g, { 16, 1.5f, 12, 6 }, true); } },
        { checkOn,         [&] {
              recess (g, { 2.5f, 0.5f, 10.0f, 10.0f }, 2.0f, Colour (0xff101418), Colour (0xff1d2328));
              g.setColour (Colour (0xff8fe3dc));
              juce::Path tick;
              tick.startNewSubPath (4.5f, 5.5f);
              tick.lineTo (7.0f, 8.0f);
              tick.lineTo (11.0f, 2.5f);
              g.strokePath (tick, juce::PathStrokeType (1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
          } },
        { checkOff,        [&] { recess (g, { 2.5f, 0.5f, 10.0f, 10.0f }, 2.0f, Colour (0xff101418), Colour (0xff1d2328)); } },
        { checkPressed,    [&] {
              recess (g, { 2.5f, 0.5f, 10.0f, 10.0f }, 2.0f, Colour (0xff050608), Colour (0xff0c0f11));
              g.setColour (Colour (0x608fe3dc));
              g.drawRoundedRectangle (3.5f, 1.5f, 8.0f, 8.0f, 1.5f, 1.0f);
          } },
        { gridThumb,       [&] {
              plate (g, { 2.0f, 0.5f, 14.0f, 30.0f }, 3.0f, Colour (0xff5a6168), Colour (0xff30353a));
              g.setColour (Colour (0x60000000));
              for (int i = 0; i < 3; ++i)
                  g.drawHorizontalLine (12 + 3 * i, 5.0f, 13.0f);
          } },
        { envBack,         [&] {
              recess (g, all, 4.0f);
              g.setColour (Colour (0x142fd0d0));
              for (int x = 18; x < w; x += 20) g.drawVerticalLine (x, 3.0f, (float) h - 3.0f);
              for (int y = 12; y < h; y += 15) g.drawHorizontalLine (y, 3.0f, (float) w - 3.0f);
          } },
        { envOverlay,      [&] {
              g.setGradientFill (juce::ColourGradient (Colour (0xffffffff), 0, 0, Colour (0x00ffffff), 0, (float) h * 0.6f, false));
              g.fillRoundedRectangle (all.reduced (3.0f, 2.0f).withHeight ((float) h * 0.45f), 3.0f);
          } },
        { shapeBack,       [&] { recess (g, all, 3.0f); } },
        { scrollBar,       [&] { recess (g, all.withHeight (14.0f), 3.0f, Colour (0xff0d0f11), Colour (0xff23272b)); } },
        { cornerHandle,    [&] {
              plate (g, all, 3.0f, Colour (0xff30353a), Colour (0xff1a1c1f));
              g.setColour (Colour (0xff7d868f));
              for (int i = 0; i < 3; ++i)
                  g.drawLine (40.0f + 3.0f * (float) i, 12.0f, 47.0f, 5.0f + 3.0f * (float) i, 1.0f);
          } },
        { wheelStrip,      [&] {
              for (int n = 0; n < 35; ++n)
              {
                  Graphics::ScopedSaveState save (g);
                  g.reduceClipRegion (n * 54, 0, 54, h);
                  wheel (g, (float) (n * 54), h, (float) n / 34.0f);
              }
          } },
        { wheelWell,       [&] {
              recess (g, all, 8.0f, Colour (0xff050506), Colour (0xff1d2024));
              g.setColour (Colour (0x30ffffff));
              g.drawRoundedRectangle (all.reduced (3.5f), 6.0f, 1.0f);
          } },
        { touchStrip,      [&] {
              recess (g, all, 4.0f, Colour (0xff0e1012), Colour (0xff1b1e22));
              g.setColour (Colour (0xff2b3035));
              g.fillRoundedRectangle (2.0f, 4.0f, 13.0f, (float) h - 8.0f, 2.0f);
              g.fillRoundedRectangle (17.0f, 4.0f, 14.0f, (float) h - 8.0f, 2.0f);
          } },
        { xyPad,           [&] {
              recess (g, all, 4.0f, Colour (0xff0e1518), Colour (0xff06090b));
              g.setColour (Colour (0x182fd0d0));
              for (int i = 1; i < 6; ++i)
              {
                  g.drawHorizontalLine (i * 15, 3.0f, (float) w - 3.0f);
                  g.drawVerticalLine (i * 15, 3.0f, (float) h - 3.0f);
              }
          } },
        { numberBox,       [&] { recess (g, all, 2.5f); } },
        { miniKeys,        [&] { keyStrip (g, w, h, 25.0f, 128, false); } },
        { zoneKeys,        [&] { keyStrip (g, w, h, 49.0f, 128, true); } },
        { whiteKeyUp,      [&] { whiteKey (g, w, h, false); } },
        { whiteKeyDown,    [&] { whiteKey (g, w, h, true); } },
        { blackKeyUp,      [&] { blackKey (g, w, h, false); } },
        { blackKeyDown,    [&] { blackKey (g, w, h, true); } },
        { keyboardBar,     [&] {
              vertical (g, all, Colour (0xff2c3035), Colour (0xff17191c));
              g.fillRect (all);
              g.setColour (Colour (0x24ffffff));
              g.drawHorizontalLine (0, 0.0f, (float) w);
              g.setColour (edgeDark);
              g.drawHorizontalLine (h - 1, 0.0f, (float) w);
          } },
        { libButton,       [&] { plate (g, all.withTrimmedRight (-8.0f), 8.0f, Colour (0xff424950), Colour (0xff1f2226)); } },
        { libButtonEnd,    [&] {
              Graphics::ScopedSaveState save (g);
              g.reduceClipRegion (0, 0, w, h);
              plate (g, all.withX (-30.0f).withWidth ((float) w + 30.0f), 8.0f, Colour (0xff424950), Colour (0xff1f2226));
          } },
        { categoryButton,  [&] {
              plate (g, { 0, 0, (float) w, 9.0f }, 2.0f, Colour (0xffc4c8cc), Colour (0xff8f959b));
              plate (g, { 0, 9.0f, (float) w, 9.0f }, 2.0f, Colour (0xff6c7278), Colour (0xff4a4f54));
          } },
        { listThumb,       [&] {
              plate (g, { 4.0f, 0.5f, 17.0f, 42.0f }, 4.0f, Colour (0xff5a6168), Colour (0xff30353a));
              g.setColour (Colour (0x60000000));
              for (int i = 0; i < 3; ++i)
                  g.drawHorizontalLine (18 + 3 * i, 9.0f, 16.0f);
          } },
        { windowTools,     [&] { windowIcons (g, 0.0f, false); windowIcons (g, 16.0f, true); } },
        { closeBox,        [&] {
              plate (g, all.reduced (1.0f), 14.0f, Colour (0xff3f454b), Colour (0xff1f2226));
              g.setColour (Colour (0xffd0d5da));
              g.drawLine (10.0f, 10.0f, 20.0f, 20.0f, 2.2f);
              g.drawLine (20.0f, 10.0f, 10.0f, 20.0f, 2.2f);
          } },
        { modelWord,       [&] {
              g.setColour (textLight);
              g.setFont (font (38.0f, true).withExtraKerningFactor (0.12f));
              g.drawText ("PROPHET", all, juce::Justification::centred, false);
          } },
        { modelNumber,     [&] {
              g.setColour (textLight);
              g.setFont (font (54.0f, true));
              g.drawText ("12", all, juce::Justification::centred, false);
          } },
        { splash,          [&] { drawSplashWith (g, w, h, font (46.0f, true).withExtraKerningFactor (0.2f), font (13.0f)); } },
        { aboutLower,      [&] { drawAboutLower (g, w, h); } },
    };

    if (auto it = painters.find (name); it != painters.end())
        it->second();

    return image;
}
