#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

// The folders depend one way: engine/ on none of the others, controls/ on engine/ only;
// editor/ and librarian/ use each other by design. A quoted include that points back up
// fails here, unless it is one of the named exceptions.
namespace
{
struct FolderRule
{
    const char* folder;
    juce::StringArray forbidden;   // folders it must not include from
};

struct Exception
{
    const char* file;
    const char* include;
    const char* why;
};

const Exception exceptions[] =
{
    { "engine/VantorAudioProcessor.cpp", "editor/VantorAudioProcessorEditor.h", "the processor creates its editor" },
    { "engine/ParDes.cpp",               "controls/UiSeam.h",                   "the value texts own their value menu" },
};

bool isException (const juce::String& file, const juce::String& include)
{
    for (auto& e : exceptions)
        if (file == e.file && include == e.include)
            return true;
    return false;
}

juce::File sourceRoot()  { return juce::File (VANTOR_SOURCE_DIR); }

// Quoted includes of a source file, as written.
juce::StringArray quotedIncludes (const juce::File& file)
{
    juce::StringArray result;
    juce::StringArray lines;
    lines.addLines (file.loadFileAsString());
    for (auto& line : lines)
    {
        auto t = line.trimStart();
        if (! t.startsWith ("#"))
            continue;
        t = t.substring (1).trimStart();
        if (! t.startsWith ("include"))
            continue;
        auto rest = t.fromFirstOccurrenceOf ("include", false, false).trim();
        if (rest.startsWith ("\""))
            result.add (rest.substring (1).upToFirstOccurrenceOf ("\"", false, false));
    }
    return result;
}

juce::Array<juce::File> sourcesOf (const juce::String& folder)
{
    auto files = sourceRoot().getChildFile (folder).findChildFiles (juce::File::findFiles, true, "*.h;*.cpp");
    files.sort();
    return files;
}
}

TEST (IncludeDirection, FoldersDependOneWay)
{
    const FolderRule rules[] =
    {
        { "engine",   { "controls/", "editor/", "librarian/" } },
        { "controls", { "editor/", "librarian/" } },
    };

    for (auto& rule : rules)
    {
        auto files = sourcesOf (rule.folder);
        ASSERT_FALSE (files.isEmpty()) << rule.folder;

        for (auto& f : files)
        {
            const auto name = f.getRelativePathFrom (sourceRoot()).replaceCharacter ('\\', '/');
            for (auto& include : quotedIncludes (f))
                for (auto& forbidden : rule.forbidden)
                    if (include.startsWith (forbidden) && ! isException (name, include))
                        ADD_FAILURE() << name << " includes " << include;
        }
    }
}

TEST (IncludeDirection, NamedExceptionsStillExist)
{
    // An exception nobody needs any more would silently allow the dependency back.
    for (auto& e : exceptions)
        EXPECT_TRUE (quotedIncludes (sourceRoot().getChildFile (e.file)).contains (e.include))
            << e.file << " no longer includes " << e.include << " (" << e.why << "): drop the exception";
}

TEST (IncludeDirection, ReaderSeesQuotedIncludesOnly)
{
    auto file = juce::File::createTempFile (".h");
    file.replaceWithText ("#include \"engine/A.h\"\n  #  include  \"controls/B.h\" // why\n#include <juce_core/juce_core.h>\n"
                          "// #include \"editor/C.h\" is only a comment\n");
    auto found = quotedIncludes (file);
    file.deleteFile();
    EXPECT_EQ (found.joinIntoString (","), "engine/A.h,controls/B.h");
}
