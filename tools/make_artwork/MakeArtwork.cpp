// Draws every picture the editor uses and writes them as PNGs. Deterministic:
// the same build draws the same bytes, and a test compares them with the
// checked-in files.  make_artwork <output folder> <font folder>
#include "controls/Artwork.h"
#include "ArtworkPainter.h"

#include <iostream>

int main (int argc, char** argv)
{
    if (argc < 3)
    {
        std::cerr << "usage: make_artwork <output folder> <folder with LiberationSans-Regular.ttf and -Bold.ttf>\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto out = cwd.getChildFile (argv[1]);
    const auto fonts = cwd.getChildFile (argv[2]);
    out.createDirectory();

    ArtworkPainter painter (fonts);
    if (! painter.fontsLoaded())
    {
        std::cerr << "make_artwork: Liberation Sans not found in " << fonts.getFullPathName() << "\n";
        return 1;
    }

    for (const auto& entry : Artwork::entries)
    {
        const auto image = painter.draw (entry.name, entry.width, entry.height);

        juce::MemoryOutputStream bytes;
        juce::PNGImageFormat png;
        if (! png.writeImageToStream (image, bytes))
        {
            std::cerr << "make_artwork: cannot encode " << entry.name << "\n";
            return 1;
        }

        // Unchanged files are left alone so the embedding step does not rerun.
        const auto file = out.getChildFile (entry.name);
        juce::MemoryBlock existing;
        if (file.loadFileAsData (existing) && existing == bytes.getMemoryBlock())
            continue;

        if (! file.replaceWithData (bytes.getData(), bytes.getDataSize()))
        {
            std::cerr << "make_artwork: cannot write " << file.getFullPathName() << "\n";
            return 1;
        }
    }

    return 0;
}
