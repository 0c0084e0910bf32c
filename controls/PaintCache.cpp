#include "controls/PaintCache.h"
#include <unordered_map>
#include <vector>

namespace
{
// About 16 MB of ARGB pixels: every label, value text and knob of both layers
// at two zoom factors fits well inside.
constexpr juce::int64 maxPixels = 4 * 1024 * 1024;

inline std::size_t mix (std::size_t seed, std::size_t v) noexcept
{
    return seed ^ (v + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2));
}

struct TextKey
{
    juce::String text;
    juce::Font font;
    juce::uint32 colour;
    int w, h, justification;
    bool ellipses;

    bool operator== (const TextKey& o) const
    {
        return colour == o.colour && w == o.w && h == o.h && justification == o.justification
            && ellipses == o.ellipses && text == o.text && font == o.font;
    }
};

struct TextKeyHash
{
    std::size_t operator() (const TextKey& k) const noexcept
    {
        auto seed = (std::size_t) k.text.hashCode64();
        seed = mix (seed, (std::size_t) juce::roundToInt (k.font.getHeight() * 1024.0f));
        seed = mix (seed, (std::size_t) k.colour);
        seed = mix (seed, (std::size_t) ((k.w << 16) ^ k.h));
        return mix (seed, (std::size_t) ((k.justification << 1) | (k.ellipses ? 1 : 0)));
    }
};

struct ScaledKey
{
    const void* pixels;
    int sx, sy, sw, sh, dw, dh;

    bool operator== (const ScaledKey& o) const noexcept
    {
        return pixels == o.pixels && sx == o.sx && sy == o.sy && sw == o.sw && sh == o.sh && dw == o.dw && dh == o.dh;
    }
};

struct ScaledKeyHash
{
    std::size_t operator() (const ScaledKey& k) const noexcept
    {
        auto seed = std::hash<const void*>() (k.pixels);
        for (int v : { k.sx, k.sy, k.sw, k.sh, k.dw, k.dh })
            seed = mix (seed, (std::size_t) v);
        return seed;
    }
};

struct PictureKey
{
    PaintCache::Key key;
    int w, h;
    bool opaque;

    bool operator== (const PictureKey& o) const noexcept
    {
        return key.kind == o.key.kind && key.number1 == o.key.number1 && key.number2 == o.key.number2
            && w == o.w && h == o.h && opaque == o.opaque && key.text1 == o.key.text1 && key.text2 == o.key.text2;
    }
};

struct PictureKeyHash
{
    std::size_t operator() (const PictureKey& k) const noexcept
    {
        auto seed = mix ((std::size_t) k.key.number1, (std::size_t) k.key.kind);
        seed = mix (seed, (std::size_t) k.key.number2);
        seed = mix (seed, (std::size_t) ((k.w << 16) ^ k.h ^ (k.opaque ? 1 << 30 : 0)));
        if (k.key.text1.isNotEmpty()) seed = mix (seed, (std::size_t) k.key.text1.hashCode64());
        if (k.key.text2.isNotEmpty()) seed = mix (seed, (std::size_t) k.key.text2.hashCode64());
        return seed;
    }
};

struct Picture
{
    juce::Image image;            // invalid when there is nothing to draw
    juce::Point<int> offset;      // of the image's top left from the caller's position
    juce::Image source;           // scaled copies keep their source, so its address stays theirs
};

class Store : public juce::DeletedAtShutdown
{
public:
    ~Store() override { clearSingletonInstance(); }

    std::unordered_map<TextKey, Picture, TextKeyHash> texts;
    std::unordered_map<ScaledKey, Picture, ScaledKeyHash> scaled;
    std::unordered_map<PictureKey, Picture, PictureKeyHash> pictures;
    juce::int64 pixels = 0;

    void clear()
    {
        texts.clear();
        scaled.clear();
        pictures.clear();
        pixels = 0;
    }

    // Room for one more picture of that size; a full store starts afresh.
    void makeRoom (int w, int h)
    {
        const auto n = (juce::int64) juce::jmax (0, w) * juce::jmax (0, h);
        if (pixels + n > maxPixels)
            clear();
        pixels += n;
    }

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (Store)
};

JUCE_IMPLEMENT_SINGLETON (Store)

struct KeptCursors;
KeptCursors* keptCursors = nullptr;

// Made after the cursors it keeps, so it goes at shutdown before the window
// system they are handed back to.
struct KeptCursors : public juce::DeletedAtShutdown
{
    explicit KeptCursors (std::vector<juce::MouseCursor> c) : cursors (std::move (c)) {}
    ~KeptCursors() override { keptCursors = nullptr; }

    std::vector<juce::MouseCursor> cursors;
};

Picture drawInto (juce::Rectangle<int> area, const std::function<void (juce::Graphics&)>& draw, bool opaque = false)
{
    Picture p;
    if (area.isEmpty())
        return p;

    p.image = juce::Image (opaque ? juce::Image::RGB : juce::Image::ARGB, area.getWidth(), area.getHeight(), true);
    p.offset = area.getPosition();
    juce::Graphics g (p.image);
    g.setOrigin (-area.getPosition());
    draw (g);
    return p;
}

bool isOpaque (const juce::Image& image)
{
    const juce::Image::BitmapData data (image, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < data.height; ++y)
        for (int x = 0; x < data.width; ++x)
            if (data.getPixelColour (x, y).getAlpha() != 0xff)
                return false;
    return true;
}

void blit (juce::Graphics& g, const Picture& p, int x, int y)
{
    if (p.image.isValid())
        g.drawImageAt (p.image, x + p.offset.x, y + p.offset.y);
}
}

namespace PaintCache
{
void drawText (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area,
               juce::Justification justification, const juce::Font& font, juce::Colour colour, bool useEllipses)
{
    g.setFont (font);
    g.setColour (colour);

    if (text.isEmpty() || ! g.clipRegionIntersects (area))
        return;

    // A see-through colour would be applied twice: once drawn in, once blitted.
    if (! colour.isOpaque())
    {
        g.drawText (text, area, justification, useEllipses);
        return;
    }

    auto& store = *Store::getInstance();
    TextKey key { text, font, colour.getARGB(), area.getWidth(), area.getHeight(), justification.getFlags(), useEllipses };
    auto found = store.texts.find (key);

    if (found == store.texts.end())
    {
        // Laid out as Graphics::drawText lays it out, in a box at the origin.
        const auto box = juce::Rectangle<float> (0.0f, 0.0f, (float) area.getWidth(), (float) area.getHeight());
        juce::GlyphArrangement glyphs;
        glyphs.addCurtailedLineOfText (font, text, 0.0f, 0.0f, box.getWidth(), useEllipses);
        glyphs.justifyGlyphs (0, glyphs.getNumGlyphs(), 0.0f, 0.0f, box.getWidth(), box.getHeight(), justification);

        // Anti-aliasing and overhanging glyphs reach a little past the advance boxes.
        const auto ink = glyphs.getNumGlyphs() > 0 ? glyphs.getBoundingBox (0, -1, true).getSmallestIntegerContainer().expanded (2)
                                                   : juce::Rectangle<int>();
        store.makeRoom (ink.getWidth(), ink.getHeight());
        auto picture = drawInto (ink, [&] (juce::Graphics& ig)
        {
            ig.setFont (font);
            ig.setColour (colour);
            ig.drawText (text, box, justification, useEllipses);
        });
        found = store.texts.emplace (std::move (key), std::move (picture)).first;
    }

    blit (g, found->second, area.getX(), area.getY());
}

void drawImage (juce::Graphics& g, const juce::Image& image, int dx, int dy, int dw, int dh,
                int sx, int sy, int sw, int sh)
{
    if (! image.isValid() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0
        || ! g.clipRegionIntersects ({ dx, dy, dw, dh }))
        return;

    // Same size: already a plain blit.
    if (dw == sw && dh == sh)
    {
        g.drawImage (image, dx, dy, dw, dh, sx, sy, sw, sh);
        return;
    }

    auto& store = *Store::getInstance();
    const ScaledKey key { image.getPixelData(), sx, sy, sw, sh, dw, dh };
    auto found = store.scaled.find (key);

    if (found == store.scaled.end())
    {
        store.makeRoom (dw, dh);
        auto picture = drawInto ({ 0, 0, dw, dh }, [&] (juce::Graphics& ig)
        {
            ig.drawImage (image, 0, 0, dw, dh, sx, sy, sw, sh);
        });
        picture.source = image;

        // Opaque artwork is kept without alpha: copied rather than blended.
        if (isOpaque (picture.image))
            picture.image = picture.image.convertedToFormat (juce::Image::RGB);

        found = store.scaled.emplace (key, std::move (picture)).first;
    }

    blit (g, found->second, dx, dy);
}

static const Picture& keptPicture (const Key& key, juce::Rectangle<int> area, bool opaque,
                            const std::function<void (juce::Graphics&)>& draw)
{
    auto& store = *Store::getInstance();
    PictureKey k { key, area.getWidth(), area.getHeight(), opaque };
    auto found = store.pictures.find (k);

    if (found == store.pictures.end())
    {
        store.makeRoom (area.getWidth(), area.getHeight());
        auto picture = drawInto (area, draw, opaque);
        found = store.pictures.emplace (std::move (k), std::move (picture)).first;
    }
    return found->second;
}

void drawPicture (juce::Graphics& g, const Key& key, juce::Rectangle<int> area, bool opaque,
                  const std::function<void (juce::Graphics&)>& draw)
{
    if (area.isEmpty() || ! g.clipRegionIntersects (area))
        return;

    // The same look may be asked for at another place.
    const auto& kept = keptPicture (key, area, opaque, draw);
    if (kept.image.isValid())
        g.drawImageAt (kept.image, area.getX(), area.getY());
}

juce::Image picture (const Key& key, int width, int height, bool opaque,
                     const std::function<void (juce::Graphics&)>& draw)
{
    if (width <= 0 || height <= 0)
        return {};
    return keptPicture (key, { 0, 0, width, height }, opaque, draw).image;
}

void fillOpaque (juce::Graphics& g, juce::Rectangle<int> area, juce::Colour colour)
{
    constexpr int tileW = 512, tileH = 256;
    const auto clipped = area.getIntersection (g.getClipBounds());
    if (clipped.isEmpty())
        return;

    Key key;
    key.kind = 0x706c6e31;   // plain
    key.number1 = colour.getARGB();
    const auto tile = picture (key, tileW, tileH, true, [colour] (juce::Graphics& pg) { pg.fillAll (colour); });

    const juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (clipped);
    g.setOpacity (1.0f);
    for (int y = clipped.getY(); y < clipped.getBottom(); y += tileH)
        for (int x = clipped.getX(); x < clipped.getRight(); x += tileW)
            g.drawImageAt (tile, x, y);
}

void keepCursors (std::initializer_list<juce::MouseCursor::StandardCursorType> types)
{
    if (keptCursors != nullptr)
        return;

    std::vector<juce::MouseCursor> cursors;
    for (auto type : types)
        cursors.emplace_back (type);

    keptCursors = new KeptCursors (std::move (cursors));

}

void clear()
{
    Store::getInstance()->clear();
}

int numPictures()
{
    auto& store = *Store::getInstance();
    return (int) (store.texts.size() + store.scaled.size() + store.pictures.size());
}
}
