// The readers of the engine's settings files and of SysEx files, fed any
// bytes: they must stay in bounds and give values the engine can use.
#include "FuzzSupport.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/SettingsFiles.h"
#include <cstring>

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseFramework();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const ByteArray bytes (data, data + size);

    {
        juce::StringArray names { "NONE", "NONE", "NONE", "0" };
        int chunkSize = 77;
        const bool read = SettingsFiles::decodePortsFile (bytes, names, chunkSize);
        FUZZ_CHECK (read == (size >= 3 && size <= (size_t) SettingsFiles::portsFileMaximumSize));
        FUZZ_CHECK (names.size() == 4);
        FUZZ_CHECK (names[3].containsOnly ("0123456789") && names[3].isNotEmpty());
        FUZZ_CHECK (chunkSize >= 0);
        FUZZ_CHECK (chunkSize == 77 || juce::String (chunkSize) == names[3]);

        // Names free of separators survive a write and a read.
        const auto isPlain = [] (const juce::String& s)
        {
            for (auto c : { 0x0F, 0x10, 0x11, 0x12 })
                if (s.containsChar ((juce::juce_wchar) c))
                    return false;
            return s.isNotEmpty() && ! s.containsChar (0);
        };

        if (isPlain (names[0]) && isPlain (names[1]) && isPlain (names[2]))
        {
            juce::StringArray again { "x", "x", "x", "x" };
            int chunkAgain = 77;
            FUZZ_CHECK (SettingsFiles::decodePortsFile (SettingsFiles::encodePortsFile (names), again, chunkAgain));
            for (int i = 0; i < 3; ++i)
            {
                // Stored as UTF-8, cut only where longer than any name a system gives.
                const auto storedBytes = (int) again[i].getNumBytesAsUTF8();
                FUZZ_CHECK (storedBytes <= SettingsFiles::portNameMaximumSize && names[i].startsWith (again[i]));
                if ((int) names[i].getNumBytesAsUTF8() <= SettingsFiles::portNameMaximumSize)
                    FUZZ_CHECK (again[i] == names[i]);
            }
            FUZZ_CHECK (again[3] == names[3]);
        }
    }

    {
        const auto block = SettingsFiles::settingsBlockFromFile (bytes);
        FUZZ_CHECK (block.size() == (size_t) SettingsFiles::settingsBlockSize);
        FUZZ_CHECK (block[6] >= 1 && block[6] <= 16);
        if (size >= (size_t) SettingsFiles::settingsBlockSize)
            for (size_t i = 0; i < block.size(); ++i)
                FUZZ_CHECK (i == 6 || block[i] == bytes[i]);
    }

    {
        SettingsFiles::WindowGeometry geometry;
        geometry.editor = { 1, 2, 3, 4 };
        const bool read = SettingsFiles::decodeWindowGeometry (bytes, geometry);
        FUZZ_CHECK (read == (size >= (size_t) SettingsFiles::windowGeometryMinimumSize));

        if (read)
        {
            // What was read is written back as the same bytes, so nothing drifts from session to session.
            const auto written = SettingsFiles::encodeWindowGeometry (geometry);
            FUZZ_CHECK (written.size() == (size_t) SettingsFiles::windowGeometrySize);
            SettingsFiles::WindowGeometry again;
            FUZZ_CHECK (SettingsFiles::decodeWindowGeometry (written, again));
            FUZZ_CHECK (again.editor == geometry.editor);
            FUZZ_CHECK (again.width2 == geometry.width2 && again.height2 == geometry.height2);
            FUZZ_CHECK (again.width3 == geometry.width3 && again.height3 == geometry.height3);
            FUZZ_CHECK (again.zoom1 == geometry.zoom1 && again.zoom2 == geometry.zoom2);
        }
    }

    {
        const char* tag = SettingsFiles::startupPresetTag;
        const bool expected = size >= (size_t) SettingsFiles::startupPresetMinimumSize
                           && std::memcmp (data, tag, std::strlen (tag)) == 0;
        FUZZ_CHECK (SettingsFiles::isStartupPreset (bytes) == expected);
    }

    {
        const auto message = FileMan::firstSysEx (bytes);
        if (! message.empty())
        {
            FUZZ_CHECK (message.size() >= 2 && message.front() == 0xF0 && message.back() == 0xF7);
            FUZZ_CHECK (std::find (message.begin(), message.end() - 1, (juce::uint8) 0xF7) == message.end() - 1);
            const auto at = std::search (bytes.begin(), bytes.end(), message.begin(), message.end());
            FUZZ_CHECK (at != bytes.end() && std::find (bytes.begin(), at, (juce::uint8) 0xF0) == at);
        }
        else
        {
            const auto start = std::find (bytes.begin(), bytes.end(), (juce::uint8) 0xF0);
            FUZZ_CHECK (start == bytes.end() || std::find (start + 1, bytes.end(), (juce::uint8) 0xF7) == bytes.end());
        }
    }

    return 0;
}
