#include "ResourceXml.h"
#include "Composer.h"
#include "Generate.h"
#include "Sounds.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace AudioGen;

namespace
{
struct Element
{
    std::string name;
    std::map<std::string, std::string> attributes;
    int depth;
};

// Parses a whole document with expat, as the engine's reader does.
std::vector<Element> Parse(const std::string& xml)
{
    struct State
    {
        std::vector<Element> elements;
        int depth = 0;
    } state;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* user, const XML_Char* name, const XML_Char** attrs)
        {
            auto* s = static_cast<State*>(user);
            Element e{name, {}, s->depth++};
            for (int i = 0; attrs[i]; i += 2)
                e.attributes[attrs[i]] = attrs[i + 1];
            s->elements.push_back(std::move(e));
        },
        [](void* user, const XML_Char*) { --static_cast<State*>(user)->depth; });
    const bool ok = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    if (!ok)
        throw std::runtime_error("not well-formed XML");
    return state.elements;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

TEST(ResourceSections, SpliceCreatesReplacesAndKeepsOtherSections)
{
    const std::string mine =
        SectionBegin("audio") + "\n<float name=\"a\" value=\"1\"/>\n" + SectionEnd("audio") + "\n";
    const std::string fresh = SpliceSection("", "audio", mine);
    EXPECT_NE(fresh.find("<resources>\n" + mine + "</resources>"), std::string::npos);
    EXPECT_NE(fresh.find("Generated file"), std::string::npos);

    const std::string art = SectionBegin("art") + "\n<image name=\"Cursor\"/>\n" + SectionEnd("art") + "\n";
    const std::string both = SpliceSection(fresh, "art", art);
    EXPECT_EQ(ExtractSection(both, "art"), art);
    EXPECT_EQ(ExtractSection(both, "audio"), mine);

    const std::string newer =
        SectionBegin("audio") + "\n<float name=\"a\" value=\"2\"/>\n" + SectionEnd("audio") + "\n";
    const std::string replaced = SpliceSection(both, "audio", newer);
    EXPECT_EQ(ExtractSection(replaced, "audio"), newer);
    EXPECT_EQ(ExtractSection(replaced, "art"), art);
    EXPECT_EQ(replaced.find("value=\"1\""), std::string::npos);
    // Splicing the same section again changes nothing.
    EXPECT_EQ(SpliceSection(replaced, "audio", newer), replaced);
    EXPECT_EQ(ExtractSection(replaced, "missing"), "");
}

TEST(ResourceSections, RefusesFilesItCannotSpliceSafely)
{
    const std::string mine = SectionBegin("audio") + "\n" + SectionEnd("audio") + "\n";
    EXPECT_THROW(SpliceSection("<other/>\n", "audio", mine), std::runtime_error);
    EXPECT_THROW(SpliceSection("<resources>\n" + SectionBegin("audio") + "\n</resources>\n", "audio", mine),
                 std::runtime_error);
    EXPECT_THROW(
        SpliceSection("<resources>\n" + SectionEnd("audio") + SectionBegin("audio") + "\n</resources>\n",
                      "audio", mine),
        std::runtime_error);
}

TEST(ResourceSections, WriteAllSplicesIntoAnExistingFile)
{
    const fs::path dir = fs::temp_directory_path() / ("audiogen-xml-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const std::string art =
        SectionBegin("art") + "\n<image name=\"Cursor\" src=\"CursorArrow\"/>\n" + SectionEnd("art") + "\n";
    const std::string start = SpliceSection("", "art", art);
    WriteFileBytes(dir / ResourceFile, Bytes(start.begin(), start.end()));
    Output o;
    o.path = ResourceFile;
    o.kind = OutputKind::ResourceSection;
    const std::string section = AudioResourceSection();
    o.bytes.assign(section.begin(), section.end());
    WriteAll(dir, {o});
    const Bytes b = ReadFileBytes(dir / ResourceFile);
    const std::string text(b.begin(), b.end());
    EXPECT_EQ(ExtractSection(text, "art"), art);
    EXPECT_EQ(ExtractSection(text, "audio"), section);
    fs::remove_all(dir);
}

TEST(ResourceRecords, AreWellFormedAndFollowTheGroupRules)
{
    const auto elements = Parse(SpliceSection("", "audio", AudioResourceSection()));
    std::set<std::string> names;
    std::map<std::string, std::string> kinds;
    std::set<std::string> loadedSounds;
    int sounds = 0, music = 0, lists = 0, floats = 0, random = 0;
    std::string parent;
    for (const Element& e : elements)
    {
        if (e.depth == 1)
            parent = e.name;
        for (const auto& [k, v] : e.attributes)
            for (unsigned char c : v)
                EXPECT_TRUE(c >= 0x20 && c < 0x7F) << k;
        const auto name = e.attributes.find("name");
        if (name == e.attributes.end())
        {
            if (e.name == "sound" && parent == "soundlist")
            {
                // A list may only name a sound defined above it.
                EXPECT_TRUE(loadedSounds.count(Lower(e.attributes.at("src")))) << e.attributes.at("src");
                EXPECT_FALSE(e.attributes.at("event").empty());
            }
            continue;
        }
        EXPECT_TRUE(names.insert(Lower(name->second)).second) << "duplicate " << name->second;
        if (e.name == "sound")
        {
            loadedSounds.insert(Lower(name->second));
            const std::string type = e.attributes.at("type");
            EXPECT_TRUE(type == "effect" || type == "music") << name->second;
            (type == "music" ? music : sounds)++;
            EXPECT_FALSE(e.attributes.at("src").empty());
            if (e.attributes.count("volume"))
            {
                const double v = std::stod(e.attributes.at("volume"));
                EXPECT_GT(v, 0.0);
                EXPECT_LE(v, 1.0);
            }
            if (e.attributes.count("loop"))
            {
                const std::string loop = e.attributes.at("loop");
                EXPECT_TRUE(loop == "forever" || loop == "1") << name->second;
            }
        }
        else if (e.name == "randomsound")
        {
            ++random;
            EXPECT_EQ(e.attributes.at("type"), "ambient");
            loadedSounds.insert(Lower(name->second));
        }
        else if (e.name == "soundlist")
        {
            ++lists;
        }
        else if (e.name == "float")
        {
            ++floats;
        }
        else
        {
            ADD_FAILURE() << "unexpected element " << e.name;
        }
    }
    EXPECT_EQ(sounds, 60);
    EXPECT_EQ(music, 16);
    EXPECT_EQ(random, 1);
    EXPECT_EQ(lists, 4);
    EXPECT_EQ(floats, 4); // the two layer volumes and the two ambient delays
}

TEST(ResourceRecords, NameTheFilesTheGeneratorWrites)
{
    const auto elements = Parse(SpliceSection("", "audio", AudioResourceSection()));
    std::set<std::string> stems;
    for (const SoundSpec& s : Effects())
        stems.insert(s.file);
    for (const SoundSpec& s : AmbientFiles())
        stems.insert(s.file);
    for (const TrackSpec& t : Tracks())
        stems.insert(t.resource);
    std::string parent;
    size_t named = 0;
    for (const Element& e : elements)
    {
        if (e.depth == 1)
            parent = e.name;
        if (e.name == "sound" && parent != "soundlist")
        {
            EXPECT_TRUE(stems.count(e.attributes.at("src"))) << e.attributes.at("src");
            ++named;
        }
    }
    EXPECT_EQ(named, stems.size());
    // The looping warning and the music that loops say so.
    const std::string section = AudioResourceSection();
    EXPECT_NE(
        section.find(
            "<sound name=\"SFX_FinalWarning\" src=\"SFX_FinalWarning\" type=\"effect\" loop=\"forever\"/>"),
        std::string::npos);
    EXPECT_NE(section.find("<float name=\"baseMelodyVolume\" value=\"0.35\"/>"), std::string::npos);
    EXPECT_NE(section.find("<float name=\"baseRhythmVolume\" value=\"0.8\"/>"), std::string::npos);
    // The level waits a random time between the two before its next ambient sound.
    EXPECT_NE(section.find("<float name=\"ambientDelayMin\" value=\"8\"/>"), std::string::npos);
    EXPECT_NE(section.find("<float name=\"ambientDelayMax\" value=\"20\"/>"), std::string::npos);
    EXPECT_NE(
        section.find("name=\"MUSIC_LevelSuccess\" src=\"MUSIC_LevelSuccess\" type=\"music\" loop=\"1\""),
        std::string::npos);
}
