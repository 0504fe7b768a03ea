#include "harness/DataCheck.h"
#include "harness/ScreenTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;
using DataCheck::Report;

namespace
{

const fs::path cData = fs::path(KESTRIN_SOURCE_DIR) / "data";

void ExpectClean(const Report& report)
{
    for (const DataCheck::Problem& p : report.problems)
        ADD_FAILURE() << "data/" << p.file << ": " << p.what;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Replaces the first "from" in the file with "to".
std::function<void(const fs::path&)> Edit(std::string rel, std::string from, std::string to)
{
    return [=](const fs::path& r)
    {
        std::string bytes = ReadBytes(r / rel);
        const size_t at = bytes.find(from);
        if (at == std::string::npos)
            throw std::logic_error("no \"" + from + "\" in " + rel);
        WriteBytes(r / rel, bytes.replace(at, from.size(), to));
    };
}

// Gives the glyph (UTF-8) width 0 in HudFont, whose record of a glyph is the line
// "c x width y height".
std::function<void(const fs::path&)> ZeroGlyphWidth(std::string glyph)
{
    return [=](const fs::path& r)
    {
        std::istringstream in(ReadBytes(r / "fonts/HudFont.txt"));
        std::string out;
        for (std::string line; std::getline(in, line);)
        {
            if (line.starts_with(glyph + " "))
            {
                std::istringstream words(line);
                std::string c, x, w, y, h;
                words >> c >> x >> w >> y >> h;
                line = c + " " + x + " 0 " + y + " " + h;
            }
            out += line + "\n";
        }
        WriteBytes(r / "fonts/HudFont.txt", out);
    };
}

std::string Describe(const Report& report)
{
    std::string text;
    for (const DataCheck::Problem& p : report.problems)
        text += "\n  " + p.file + ": " + p.what;
    return text.empty() ? " nothing" : text;
}

} // namespace

// The committed tree. Each check must also have found its files, or a moved folder would pass.
TEST(CommittedData, NamesAreAsciiUniqueAndOutsideDotFolders)
{
    const Report report = DataCheck::CheckNames(cData);
    EXPECT_GT(report.checked, 100);
    ExpectClean(report);
}

TEST(CommittedData, EveryImageDecodesAtItsListedSize)
{
    const Report report = DataCheck::CheckImages(cData);
    EXPECT_GE(report.checked, 14); // the font images at least
    ExpectClean(report);
}

TEST(CommittedData, EveryFontLoadsWithEveryLatin1Glyph)
{
    const Report report = DataCheck::CheckFonts(cData);
    EXPECT_GE(report.checked, 14);
    ExpectClean(report);
}

TEST(CommittedData, EveryGroupLoadsWithTheGamesFactories)
{
    const Report report = DataCheck::CheckGroups(cData);
    EXPECT_GE(report.checked, 4);
    ExpectClean(report);
    for (const auto& [kind, count] : report.pending)
        std::cout << "[ SKIPPED  ] " << count << " \"" << kind << "\" resources: no factory registered yet\n";
}

TEST(CommittedData, EveryNameTheScreensLookUpIsOfItsKindInItsGroup)
{
    const DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckNameContract(tree, DataCheck::ScreenNameRules());
    EXPECT_GT(report.checked, 150);
    ExpectClean(report);
}

TEST(CommittedData, EveryLayoutBuildsWithTheNodesTheScreensFind)
{
    const DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckLayouts(tree, DataCheck::ScreenLayoutRules());
    EXPECT_GT(report.checked, 40);
    ExpectClean(report);
}

TEST(CommittedData, EveryTextIsThereReadableAndDrawable)
{
    const DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckText(tree, DataCheck::RequiredTextKeys(),
                                               DataCheck::LabelTextKeys(), DataCheck::GoalTextRules());
    EXPECT_GT(report.checked, 200);
    ExpectClean(report);
}

TEST(CommittedData, EveryCaptionStaysInsideItsButtonsStitches)
{
    DataCheck::LoadedTree tree(cData);
    Report areas;
    const auto read = DataCheck::ReadCaptionAreas(cData, areas);
    ExpectClean(areas);
    const Report report = DataCheck::CheckCaptions(tree, read);
    EXPECT_GE(report.checked, 40);
    ExpectClean(report);
}

TEST(CommittedData, HighlightedTextIsReadable)
{
    DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckContrast(tree, DataCheck::ScreenContrastRules());
    EXPECT_EQ(report.checked, int(DataCheck::ScreenContrastRules().size()));
    ExpectClean(report);
}

TEST(CaptionCheck, NamesEveryCaptionOutsideItsAreaAndEveryButtonWithoutOne)
{
    DataCheck::LoadedTree tree(cData);
    Report read;
    auto areas = DataCheck::ReadCaptionAreas(cData, read);
    ASSERT_EQ(areas.count("Btn_Small"), 1u);
    ASSERT_EQ(areas.count("Btn_Tab"), 1u);
    // A broken copy: the small button's area as it was on its 34 px art, and the tab's row lost.
    areas["Btn_Small"].bottom += 10.0;
    areas["Btn_Small"].radius -= 4.5;
    areas.erase("Btn_Tab");
    const Report report = DataCheck::CheckCaptions(tree, areas);
    const std::string said = Describe(report);
    for (const char* caption :
         {"\"Change\"", "\"Cancel\"", "\"Delete\"", "\"New\"", "\"Playing\"", "\"Basics\"", "\"Film 4\""})
        EXPECT_NE(said.find(std::string("the caption ") + caption), std::string::npos) << caption << said;
    int small = 0, tabs = 0;
    for (const DataCheck::Problem& p : report.problems)
    {
        small += p.what.find("crosses the stitches of Btn_Small by") != std::string::npos;
        tabs += p.what.find("on images with no caption area") != std::string::npos;
    }
    EXPECT_GE(small, 15);
    EXPECT_EQ(tabs, 12) << "three tabs on each of the four guide pages";
    EXPECT_EQ(small + tabs, int(report.problems.size())) << said;
}

TEST(ContrastCheck, RatiosFollowRelativeLuminance)
{
    using Kestrin::ColorF;
    const ColorF white(1, 1, 1, 1), black(0, 0, 0, 1), grey(0x77 / 255.0f, 0x77 / 255.0f, 0x77 / 255.0f, 1);
    const ColorF salmon(0xF0 / 255.0f, 0x76 / 255.0f, 0x6B / 255.0f, 1);
    const struct
    {
        ColorF a, b;
        double ratio;
    } cases[] = {{white, black, 21.0}, {black, white, 21.0},  {grey, white, 4.48},
                 {grey, grey, 1.0},    {salmon, white, 2.80}, {salmon, black, 7.50}};
    for (const auto& c : cases)
        EXPECT_NEAR(DataCheck::ContrastRatio(c.a, c.b), c.ratio, 0.01);
}

TEST(ContrastCheck, NamesTextThatDoesNotStandOutFromItsHighlight)
{
    DataCheck::LoadedTree tree(cData);
    // Ink, the unselected rows' colour, is lost on the deep highlight; a missing picture is named.
    const Report report =
        DataCheck::CheckContrast(tree, {{"Account", "profileUnselectedColor", "SelectedRow", "Popup9"},
                                        {"Account", "profileSelectedColor", "NoSuchRow", "Popup9"}});
    ASSERT_EQ(report.problems.size(), 2u) << Describe(report);
    EXPECT_EQ(report.problems[0].file, "groups/Account.xml");
    EXPECT_NE(report.problems[0].what.find("\"profileUnselectedColor\" on \"SelectedRow\""),
              std::string::npos);
    EXPECT_NE(report.problems[0].what.find("below 4.5:1"), std::string::npos);
    EXPECT_NE(report.problems[1].what.find("not loaded"), std::string::npos);
}

// Upset, frozen, shielded or bursting, a Tic keeps the colour that names its spool.
TEST(CommittedData, EveryCreatureFrameKeepsItsColour)
{
    DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckCreatureHues(tree, DataCheck::CreatureHueRules());
    EXPECT_EQ(report.checked, 15);
    ExpectClean(report);
}

TEST(HueCheck, DistancesTurnTheLeastHueAroundTheCircle)
{
    auto at = [](std::initializer_list<std::pair<int, double>> weights)
    {
        DataCheck::HueHistogram h{};
        for (const auto& [degree, weight] : weights)
            h[size_t(degree)] = weight;
        return h;
    };
    const struct
    {
        DataCheck::HueHistogram a, b;
        double degrees;
    } cases[] = {{at({{10, 1}}), at({{50, 1}}), 40},
                 {at({{10, 1}}), at({{350, 1}}), 20},
                 {at({{0, 1}}), at({{180, 1}}), 180},
                 {at({{10, 0.5}, {50, 0.5}}), at({{30, 1}}), 20},
                 {at({{10, 0.5}, {200, 0.5}}), at({{10, 0.5}, {200, 0.5}}), 0}};
    for (const auto& c : cases)
    {
        EXPECT_NEAR(DataCheck::HueDistance(c.a, c.b), c.degrees, 1e-9);
        EXPECT_NEAR(DataCheck::HueDistance(c.b, c.a), c.degrees, 1e-9);
    }
    double chroma = 1.0;
    const auto pure = [&chroma](uint32_t argb)
    {
        return DataCheck::HueHistogramOf(
            1, 1, [argb](int, int) { return argb; }, &chroma);
    };
    pure(0xFF808080u);
    EXPECT_LT(chroma, 0.01) << "grey has no colour";
    EXPECT_NEAR(DataCheck::HueDistance(pure(0xFFFF0000u), pure(0xFFFFB800u)), 40.3, 0.1)
        << "the red and yellow spools";
}

TEST(CommittedData, EveryObstacleHasItsShadowAndItsScales)
{
    const DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckObstacles(tree, "Game");
    EXPECT_GE(report.checked, 6); // the special obstacles at least
    ExpectClean(report);
}

TEST(CommittedData, EveryMovieHeaderParses)
{
    const Report report = DataCheck::CheckMovies(cData);
    EXPECT_EQ(report.checked, 6);
    ExpectClean(report);
}

// No movie plays as a blank screen: each has a picture of what it is for.
TEST(CommittedData, EveryMovieThatPlaysHasItsPoster)
{
    const DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckMoviePosters(tree, DataCheck::ScreenMovieRules());
    EXPECT_EQ(report.checked, 9) << "two title movies, four story films, three basics";
    ExpectClean(report);
}

// A small tree of real committed files, broken one way per case: each check must name the file.
class BrokenTree : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "datacheck-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        root = pattern;
        for (const std::string font : {"Font_Body", "HudFont"})
            for (const std::string ext : {".txt", ".png"})
                WriteBytes(root / "fonts" / (font + ext), ReadBytes(cData / "fonts" / (font + ext)));
        WriteBytes(root / "movies/Logos.swf", ReadBytes(cData / "movies/Logos.swf"));
        WriteBytes(root / "sounds/Beep.wav", ReadBytes(cData / "sounds/SFX_UI_Tick.wav"));
        WriteBytes(root / "groups/Menu.xml",
                   "<resources><image name=\"Panel\" src=\"Panel\"/><font name=\"HudFont\" src=\"HudFont\"/>"
                   "<imagelist name=\"Panels\"><image src=\"Panel\"/></imagelist>"
                   "<sound name=\"Beep\" src=\"Beep\"/><alias name=\"Board\" src=\"Panel\"/>"
                   "<soundlist name=\"Buttons\"><sound event=\"Hot\" src=\"Beep\"/></soundlist>"
                   "<float name=\"Speed\" value=\"2\"/><randomrange name=\"Spawn\" min=\"1\" max=\"2\"/>"
                   "</resources>");
        WriteBytes(root / "images/ui/Panel.png", ReadBytes(cData / "fonts/HudFont.png"));
        WriteBytes(root / "images/manifest.tsv",
                   "file\twidth\theight\tbytes\tfnv1a64\nimages/ui/Panel.png\t256\t512\t" +
                       std::to_string(fs::file_size(root / "images/ui/Panel.png")) + "\t0123456789abcdef\n");
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // Breaks a copy of the tree, which the check of it must then name `file` and say `fragment` of.
    void ExpectBrokenCopyNamed(const char* what, const std::function<void(const fs::path&)>& breakIt,
                               const std::function<Report(const fs::path&)>& check, const std::string& file,
                               const char* fragment)
    {
        SCOPED_TRACE(what);
        const fs::path tree = root.string() + "-case";
        fs::remove_all(tree);
        fs::copy(root, tree, fs::copy_options::recursive);
        breakIt(tree);
        const Report report = check(tree);
        const bool named = std::any_of(
            report.problems.begin(), report.problems.end(),
            [&](const auto& p) { return p.file == file && p.what.find(fragment) != std::string::npos; });
        EXPECT_TRUE(named) << "wanted " << file << ": ..." << fragment << "..., got" << Describe(report);
        fs::remove_all(tree);
    }

    fs::path root;
};

struct BrokenCase
{
    const char* what;
    std::function<void(const fs::path&)> breakIt;
    Report (*check)(const fs::path&);
    const char* file;     // the file the report must name
    const char* fragment; // and part of what it says
};

TEST_F(BrokenTree, EachCheckNamesTheBrokenFile)
{
    // The unbroken copy passes every check, so each problem below comes from its case.
    for (auto check : {DataCheck::CheckNames, DataCheck::CheckImages, DataCheck::CheckFonts,
                       DataCheck::CheckGroups, DataCheck::CheckMovies})
        ASSERT_TRUE(check(root).problems.empty()) << Describe(check(root));

    auto cut = [](const char* rel, size_t keep)
    { return [=](const fs::path& r) { WriteBytes(r / rel, ReadBytes(r / rel).substr(0, keep)); }; };
    auto copy = [](const char* from, const char* to)
    { return [=](const fs::path& r) { WriteBytes(r / to, ReadBytes(r / from)); }; };
    auto manifest = [](const std::string& rows)
    { return [=](const fs::path& r) { WriteBytes(r / "images/manifest.tsv", rows); }; };
    const std::string panelBytes = std::to_string(fs::file_size(root / "images/ui/Panel.png"));
    auto group = [](const char* rel, const std::string& body)
    { return [=](const fs::path& r) { WriteBytes(r / rel, "<resources>" + body + "</resources>"); }; };

    const std::vector<BrokenCase> cases{
        {"non-ASCII name", copy("images/ui/Panel.png", "images/ui/Caf\xC3\xA9.png"), DataCheck::CheckNames,
         "images/ui/Caf\xC3\xA9.png", "not printable ASCII"},
        {"dot-folder", copy("movies/Logos.swf", "sounds/.cache/x.wav"), DataCheck::CheckNames,
         "sounds/.cache", "starts with \".\""},
        {"bare name twice, other case", copy("images/ui/Panel.png", "images/zz/panel.PNG"),
         DataCheck::CheckNames, "images/zz/panel.PNG", "bare name of images/ui/Panel.png"},
        {"two formats of one stem", copy("images/ui/Panel.png", "images/ui/Panel.jpg"), DataCheck::CheckNames,
         "images/ui/Panel.png", "one format per stem"},
        {"image cut short", cut("images/ui/Panel.png", 200), DataCheck::CheckImages, "images/ui/Panel.png",
         "does not decode"},
        {"manifest size wrong",
         manifest("images/ui/Panel.png\t256\t256\t" + panelBytes + "\t0123456789abcdef\n"),
         DataCheck::CheckImages, "images/ui/Panel.png",
         "decodes to 256x512, images/manifest.tsv says 256x256"},
        {"manifest byte count wrong", manifest("images/ui/Panel.png\t256\t512\t17\t0123456789abcdef\n"),
         DataCheck::CheckImages, "images/ui/Panel.png", "says 17"},
        {"image missing from the manifest", copy("images/ui/Panel.png", "images/ui/Extra.png"),
         DataCheck::CheckImages, "images/ui/Extra.png", "not listed"},
        {"manifest names a missing file",
         manifest("images/ui/Panel.png\t256\t512\t" + panelBytes + "\tx\nimages/ui/Gone.png\t1\t1\t1\tx\n"),
         DataCheck::CheckImages, "images/ui/Gone.png", "missing"},
        {"manifest row short", manifest("images/ui/Panel.png\t256\t512\n"), DataCheck::CheckImages,
         "images/manifest.tsv line 1", "separated by tabs"},
        {"mask of another size", copy("fonts/Font_Body.png", "images/ui/Panel_mask.png"),
         DataCheck::CheckImages, "images/ui/Panel_mask.png", "but images/ui/Panel.png is 256x512"},
        {"font description cut short", cut("fonts/HudFont.txt", 300), DataCheck::CheckFonts,
         "fonts/HudFont.txt", "ends early"},
        {"font image missing", [](const fs::path& r) { fs::remove(r / "fonts/HudFont.png"); },
         DataCheck::CheckFonts, "fonts/HudFont.txt", "glyph image does not"},
        {"font glyph of no width", ZeroGlyphWidth("A"), DataCheck::CheckFonts, "fonts/HudFont.txt",
         "lacks glyphs: U+0041"},
        {"strip font image not a PNG", copy("movies/Logos.swf", "fonts/Font_Body.png"), DataCheck::CheckFonts,
         "fonts/Font_Body.txt", "glyph image does not"},
        {"element of no registered kind", group("groups/More.xml", "<widget name=\"W\"/>"),
         DataCheck::CheckGroups, "groups/More.xml", "widget \"W\" is of no registered kind"},
        {"name in two groups", group("groups/More.xml", "<float name=\"panel\" value=\"1\"/>"),
         DataCheck::CheckGroups, "groups/More.xml", "does not load: Resource name conflict."},
        {"group not well-formed", group("groups/More.xml", "<float name=\"x\">"), DataCheck::CheckGroups,
         "groups/More.xml", "does not load"},
        {"image file missing", group("groups/More.xml", "<image name=\"Gone\" src=\"Gone\"/>"),
         DataCheck::CheckGroups, "groups/More.xml", "image \"Gone\": no image \"Gone\" loads"},
        {"image of a list missing",
         group("groups/More.xml",
               "<imagelist name=\"L\"><image src=\"Panel\"/><image src=\"Gone\"/></imagelist>"),
         DataCheck::CheckGroups, "groups/More.xml", "imagelist \"L\": no image \"Gone\" loads"},
        {"font missing", group("groups/More.xml", "<font name=\"F\" src=\"NoFont\"/>"),
         DataCheck::CheckGroups, "groups/More.xml", "font \"F\" made no resource"},
        {"sound file missing", group("groups/More.xml", "<sound name=\"Hush\" src=\"Hush\"/>"),
         DataCheck::CheckGroups, "groups/More.xml", "sound \"Hush\": finds 0 of its 1 sound files"},
        {"random sound file missing",
         group("groups/More.xml",
               "<randomsound name=\"R\"><sound src=\"Beep\"/><sound src=\"Hush\"/></randomsound>"),
         DataCheck::CheckGroups, "groups/More.xml", "randomsound \"R\": finds 1 of its 2 sound files"},
        {"sound list names a later sound",
         group("groups/More.xml", "<soundlist name=\"S\"><sound event=\"Down\" src=\"Late\"/></soundlist>"
                                  "<sound name=\"Late\" src=\"Beep\"/>"),
         DataCheck::CheckGroups, "groups/More.xml",
         "soundlist \"S\": event \"Down\" names \"Late\", which is no sound loaded before it"},
        {"layout naming what is not loaded",
         group("groups/More.xml", "<layout name=\"W\"><imagesprite src=\"Gone\"/></layout>"),
         DataCheck::CheckGroups, "groups/More.xml",
         "layout \"W\": imagesprite src \"Gone\" is no image loaded before it"},
        {"layout naming a resource of another kind",
         group("groups/More.xml", "<layout name=\"W\"><button images=\"Panel\" font=\"HudFont\"/></layout>"),
         DataCheck::CheckGroups, "groups/More.xml", "button images \"Panel\" is no image list"},
        {"layout element of no widget kind", group("groups/More.xml", "<layout name=\"W\"><buton/></layout>"),
         DataCheck::CheckGroups, "groups/More.xml", "element \"buton\" is of no widget kind"},
        {"font description missing",
         [](const fs::path& r)
         {
             WriteBytes(r / "fonts/Lone.png", ReadBytes(r / "fonts/HudFont.png"));
             WriteBytes(r / "groups/More.xml", "<resources><font name=\"F\" src=\"Lone\"/></resources>");
         },
         DataCheck::CheckGroups, "groups/More.xml", "font \"F\": no file \"Lone.txt\""},
        {"picture of a list missing, in the log",
         group("groups/More.xml", "<imagelist name=\"L\"><image src=\"Gone\"/></imagelist>"),
         DataCheck::CheckGroups, "groups/More.xml", "logs \"Image Gone was not found.\""},
        {"alias of nothing", group("groups/More.xml", "<alias name=\"A\" src=\"Nobody\"/>"),
         DataCheck::CheckGroups, "groups/More.xml", "alias \"A\" names \"Nobody\", which is not loaded"},
        {"movie cut short", cut("movies/Logos.swf", 12), DataCheck::CheckMovies, "movies/Logos.swf",
         "does not parse: truncated"},
        {"movie without frames",
         [](const fs::path& r)
         {
             std::string bytes = ReadBytes(r / "movies/Logos.swf");
             bytes[19] = bytes[20] = 0; // the frame count after the 9-byte frame size and the rate
             WriteBytes(r / "movies/Logos.swf", bytes);
         },
         DataCheck::CheckMovies, "movies/Logos.swf", "no frames"},
        {"not a movie", copy("fonts/HudFont.png", "movies/Logos.swf"), DataCheck::CheckMovies,
         "movies/Logos.swf", "not a SWF file"},
    };

    for (const BrokenCase& c : cases)
        ExpectBrokenCopyNamed(c.what, c.breakIt, c.check, c.file, c.fragment);
}

// The checks of what the screens look up, over the small tree plus a screen group and a text
// table, against small tables of their own.
namespace
{

const std::vector<DataCheck::NameRule>& SmallNameRules()
{
    using K = DataCheck::ResourceKind;
    static const std::vector<DataCheck::NameRule> rules{
        {"Screen", "Faces", K::ImageList, 2, 2, {}},
        {"Screen", "FaceType", K::SpriteType, 2, -1, {"idle", "blink"}, {"blink"}},
        {"Screen", "Ink", K::Color, 0, -1, {}},
        {"Screen", "ScreenLayout", K::SceneLayout, 0, -1, {}},
        {"Menu", "Buttons", K::SoundList, 0, -1, {"Hot"}},
        {"Menu", "Speed", K::Float, 0, -1, {}},
    };
    return rules;
}

const std::vector<DataCheck::LayoutRule>& SmallLayoutRules()
{
    using N = DataCheck::NodeKind;
    static const std::vector<DataCheck::LayoutRule> rules{
        {"Screen",
         "ScreenLayout",
         {{"screenRoot/picture", N::StaticSprite},
          {"screenRoot/title", N::TextSprite},
          {"*/face", N::AnimatedSprite}},
         {{"OK", N::Button}, {"Mute", N::CheckBox}}},
        {"Screen", "EarlyLayout", {}, {}, true},
    };
    return rules;
}

Report CheckSmallNames(const fs::path& root)
{
    return DataCheck::CheckNameContract(DataCheck::LoadedTree(root), SmallNameRules());
}

Report CheckSmallLayouts(const fs::path& root)
{
    return DataCheck::CheckLayouts(DataCheck::LoadedTree(root), SmallLayoutRules());
}

Report CheckSmallObstacles(const fs::path& root)
{
    return DataCheck::CheckObstacles(DataCheck::LoadedTree(root), "Screen");
}

Report CheckSmallText(const fs::path& root)
{
    return DataCheck::CheckText(DataCheck::LoadedTree(root), {"Hello"}, {"Hello"},
                                {{"Goal", {"gunk", "every Tic", "before"}}});
}

const char* const cScreenGroup = R"(<resources>
<colorf name="Ink" value="#3A2E39FF"/>
<image name="Local" src="Panel"/>
<image name="obstacle_stone_1" src="Panel"/>
<image name="obstacle_stone_1_shadow" src="Panel"/>
<image name="obst_Rock_1" src="Panel"/>
<image name="obst_Rock_1_shadow" src="Panel"/>
<float name="obst_Rock_1_xscale" value="0.8"/>
<float name="obst_Rock_1_yscale" value="0.7"/>
<imagelist name="Faces"><image src="Panel"/><image src="Panel"/></imagelist>
<spritetype name="FaceType" images="Faces">
  <animation name="idle" frameList="0"/>
  <animation name="blink" frameList="0-1"/>
</spritetype>
<scenelayout name="ScreenLayout">
  <scenenode nodeName="screenRoot" width="800" height="600">
    <staticspritenode nodeName="picture" src="Panel" parentHAlign="center"/>
    <textspritenode nodeName="title" font="HudFont" textResource="Hello" color="#3A2E39FF"/>
    <animatedspritenode nodeName="face" spriteType="FaceType" initialAnimation="idle"/>
    <buttonnode nodeName="ok" name="OK" images="Panels" font="HudFont" text="OK" sounds="Buttons"/>
    <checkboxnode nodeName="mute" name="Mute" images="Panels"/>
  </scenenode>
</scenelayout>
<scenelayout name="EarlyLayout">
  <scenenode nodeName="early"><staticspritenode nodeName="pic" src="Local"/></scenenode>
</scenelayout>
</resources>)";

const char* const cTextTable = R"(<resources>
<string name="Hello" value="Hello, w&#246;rld "/>
<string name="Day1.dateandtime" value="Monday, 9:00"/>
<string name="Goal" value="Clean the Gunk, then catch every Tic before the end."/>
</resources>)";

} // namespace

TEST_F(BrokenTree, EachScreenCheckNamesTheBrokenFile)
{
    WriteBytes(root / "groups/Screen.xml", cScreenGroup);
    WriteBytes(root / "AllGameText_Export.xml", cTextTable);
    for (auto check :
         {DataCheck::CheckGroups, CheckSmallNames, CheckSmallLayouts, CheckSmallText, CheckSmallObstacles})
        ASSERT_TRUE(check(root).problems.empty()) << Describe(check(root));

    auto screen = [](std::string from, std::string to) { return Edit("groups/Screen.xml", from, to); };
    auto text = [](std::string from, std::string to) { return Edit("AllGameText_Export.xml", from, to); };
    const char* group = "groups/Screen.xml";
    const char* table = "AllGameText_Export.xml";

    const std::vector<BrokenCase> cases{
        {"image list of more frames",
         screen("<image src=\"Panel\"/></imagelist>",
                "<image src=\"Panel\"/><image src=\"Panel\"/></imagelist>"),
         CheckSmallNames, group, "image list \"Faces\" has 3 frames, wants exactly 2"},
        {"animation missing", screen("\"blink\"", "\"wink\""), CheckSmallNames, group,
         "sprite type \"FaceType\" has no animation \"blink\""},
        {"sound list event missing", Edit("groups/Menu.xml", "event=\"Hot\"", "event=\"Cold\""),
         CheckSmallNames, "groups/Menu.xml", "sound list \"Buttons\" has no sound for the event \"Hot\""},
        {"animation that must end plays for ever",
         screen("frameList=\"0-1\"", "frameList=\"0-1\" numPlays=\"0\""), CheckSmallNames, group,
         "sprite type \"FaceType\": animation \"blink\" plays for ever, but must end"},
        {"obstacle without its scale", screen("<float name=\"obst_Rock_1_yscale\" value=\"0.7\"/>", ""),
         CheckSmallObstacles, group, "obstacle \"obst_Rock_1\" has no float \"obst_Rock_1_yscale\""},
        {"obstacle without its shadow", screen("<image name=\"obstacle_stone_1_shadow\" src=\"Panel\"/>", ""),
         CheckSmallObstacles, group,
         "obstacle \"obstacle_stone_1\" has no image \"obstacle_stone_1_shadow\""},
        {"obstacle shadow of another size",
         screen("<image name=\"obst_Rock_1_shadow\" src=\"Panel\"/>",
                "<image name=\"obst_Rock_1_shadow\" src=\"Font_Body\"/>"),
         CheckSmallObstacles, group, "obstacle \"obst_Rock_1\": its shadow is not of its size"},
        {"name in another group",
         [&](const fs::path& r)
         {
             screen("<colorf name=\"Ink\" value=\"#3A2E39FF\"/>", "")(r);
             Edit("groups/Menu.xml", "</resources>",
                  "<colorf name=\"Ink\" value=\"#3A2E39FF\"/></resources>")(r);
         },
         CheckSmallNames, group, "defines no colour \"Ink\": groups/Menu.xml defines it"},
        {"name of another kind", Edit("groups/Menu.xml", "<float name=\"Speed\"", "<string name=\"Speed\""),
         CheckSmallNames, "groups/Menu.xml", "\"Speed\" is no float"},
        {"layout missing", screen("name=\"ScreenLayout\"", "name=\"OtherLayout\""), CheckSmallNames, group,
         "defines no scene layout \"ScreenLayout\""},

        {"alignment word misspelt", screen("parentHAlign=\"center\"", "parentHAlign=\"centre\""),
         CheckSmallLayouts, group,
         "staticspritenode \"picture\": parentHAlign \"centre\" is no word the engine knows"},
        {"boolean as a number", screen("nodeName=\"picture\"", "nodeName=\"picture\" visible=\"0\""),
         CheckSmallLayouts, group, "visible \"0\" is no word the engine knows"},
        {"colour of six digits", screen("color=\"#3A2E39FF\"", "color=\"#3A2E39\""), CheckSmallLayouts, group,
         "textspritenode \"title\": color \"#3A2E39\" is no #RRGGBBAA colour"},
        {"colour value of six digits", screen("value=\"#3A2E39FF\"", "value=\"#3A2E39\""), CheckSmallLayouts,
         group, "colorf \"Ink\": \"#3A2E39\" is no #RRGGBBAA colour"},
        {"frame list with a carriage return", screen("frameList=\"0-1\"", "frameList=\"0-&#13;1\""),
         CheckSmallLayouts, group, "frameList \"0-&#13;1\" holds a line break"},
        {"frame list across lines", screen("frameList=\"0-1\"", "frameList=\"0-\n1\""), CheckSmallLayouts,
         group, "holds a line break"},
        {"picture not loaded", screen("src=\"Panel\" parentHAlign", "src=\"Gone\" parentHAlign"),
         CheckSmallLayouts, group, "staticspritenode \"picture\": src \"Gone\" is no image"},
        {"image for an image list", screen("images=\"Panels\"", "images=\"Panel\""), CheckSmallLayouts, group,
         "buttonnode \"ok\": images \"Panel\" is no image list"},
        {"text key missing", screen("textResource=\"Hello\"", "textResource=\"Hullo\""), CheckSmallLayouts,
         group, "textResource \"Hullo\" is no string"},
        {"sound list missing", screen("sounds=\"Buttons\"", "sounds=\"Beep\""), CheckSmallLayouts, group,
         "sounds \"Beep\" is no sound list"},
        {"first animation missing", screen("initialAnimation=\"idle\"", "initialAnimation=\"run\""),
         CheckSmallLayouts, group, "initialAnimation \"run\" is no animation of FaceType"},
        {"two siblings of one name", screen("nodeName=\"face\"", "nodeName=\"picture\""), CheckSmallLayouts,
         group, "two children of \"screenRoot\" are named \"picture\""},
        {"node renamed", screen("nodeName=\"title\"", "nodeName=\"heading\""), CheckSmallLayouts, group,
         "layout \"ScreenLayout\" has no node at \"screenRoot/title\""},
        {"node of another kind",
         screen("<textspritenode nodeName=\"title\"", "<styledtextspritenode nodeName=\"title\""),
         CheckSmallLayouts, group, "\"screenRoot/title\" is no textspritenode"},
        {"check box made a button", screen("<checkboxnode", "<buttonnode"), CheckSmallLayouts, group,
         "layout \"ScreenLayout\": object \"Mute\" is no checkboxnode"},
        {"object name on another kind", screen("nodeName=\"ok\" name=\"OK\"", "nodeName=\"ok\""),
         CheckSmallLayouts, group, "layout \"ScreenLayout\" has no object named \"OK\""},
        {"early layout naming a later group", screen("src=\"Local\"", "src=\"Panel\""), CheckSmallLayouts,
         group, "src \"Panel\" comes from group \"Menu\", not yet loaded when the layout is built"},

        {"key missing", text("name=\"Hello\"", "name=\"Hullo\""), CheckSmallText, table,
         "has no string \"Hello\""},
        {"label without its blank", text("rld \"", "rld\""), CheckSmallText, table,
         "string \"Hello\" is followed by a time or a number: end it with a blank"},
        {"character beyond Latin-1", text("w&#246;rld", "w&#8230;rld"), CheckSmallText, table,
         "string \"Hello\" holds U+2026, outside Latin-1"},
        {"control character", text("w&#246;rld", "w&#9;rld"), CheckSmallText, table, "holds U+0009"},
        {"layout text beyond Latin-1", screen("text=\"OK\"", "text=\"O&#8230;K\""), CheckSmallText, group,
         "buttonnode \"ok\" text holds U+2026"},
        {"styled text not closed", text("Hello, w", "&lt;style&gt;Hello, w"), CheckSmallText, table,
         "string \"Hello\" is no well-formed styled text"},
        {"styled text naming no font",
         text("Hello, w&#246;rld ", "&lt;style font=&quot;Nope&quot;&gt;Hi&lt;/style&gt; "), CheckSmallText,
         table, "names the font \"Nope\", which is not loaded"},
        {"date without a comma", text("Monday, 9:00", "Monday 9:00"), CheckSmallText, table,
         "string \"Day1.dateandtime\" has no \",\""},
        {"goal told out of order",
         text("Clean the Gunk, then catch every Tic", "Catch every Tic, then clean the gunk"), CheckSmallText,
         table, "string \"Goal\" tells how a session is won, but does not say \"gunk\", then \"every Tic\""},
        {"goal without its clock", text(" before the end", ""), CheckSmallText, table,
         "does not say \"gunk\", then \"every Tic\", then \"before\""},
        {"a quota", text("w&#246;rld", "catch enough Tics"), CheckSmallText, table,
         "string \"Hello\" promises a win for enough Tics"},
        {"glyph missing from a font", ZeroGlyphWidth("\xC3\xB6"), // U+00F6
         CheckSmallText, table, "holds U+00F6, which font \"HudFont\" has no glyph for"},
    };

    for (const BrokenCase& c : cases)
        ExpectBrokenCopyNamed(c.what, c.breakIt, c.check, c.file, c.fragment);
}

// Kinds still to come are counted only while nothing registers them: a registered kind is checked
// as always, and an unknown one that is not on the list is still an error.
TEST_F(BrokenTree, KindsStillToComeAreCountedWhileNoFactoryMakesThem)
{
    WriteBytes(root / "groups/Later.xml",
               "<resources><gadget name=\"G1\"/><gadget name=\"G2\"/>"
               "<widget name=\"W\"/><image name=\"Gone\" src=\"Gone\"/></resources>");
    const Report report = DataCheck::CheckGroupsWithPendingKinds(root, {"gadget", "image"});
    EXPECT_EQ(report.pending, (std::map<std::string, int>{{"gadget", 2}})) << Describe(report);
    std::vector<std::string> problems;
    for (const DataCheck::Problem& p : report.problems)
        problems.push_back(p.file + ": " + p.what);
    EXPECT_EQ(problems,
              (std::vector<std::string>{"groups/Later.xml: logs \"Image Gone was not found.\" while loading",
                                        "groups/Later.xml: widget \"W\" is of no registered kind",
                                        "groups/Later.xml: image \"Gone\": no image \"Gone\" loads"}));
}

// A pending node kind reads as a plain node inside layouts, so the layouts holding it load and build;
// once the check is over it is gone again, and without the list it is an error.
TEST_F(BrokenTree, PendingNodeKindsBuildAsPlainNodesWhileTheyArePending)
{
    WriteBytes(root / "groups/Later.xml",
               "<resources><scenelayout name=\"LayerLayout\"><scenenode nodeName=\"top\">"
               "<gadgetnode nodeName=\"layer\"/></scenenode></scenelayout></resources>");
    {
        const DataCheck::LoadedTree tree(root, {"gadgetnode"});
        EXPECT_TRUE(tree.LoadReport().problems.empty()) << Describe(tree.LoadReport());
        EXPECT_EQ(tree.LoadReport().pending, (std::map<std::string, int>{{"gadgetnode", 1}}));
        const Report layouts = DataCheck::CheckLayouts(
            tree, {{"Later", "LayerLayout", {{"top/layer", DataCheck::NodeKind::Any}}, {}}});
        EXPECT_TRUE(layouts.problems.empty()) << Describe(layouts);
    }
    const Report strict = DataCheck::CheckGroupsWithPendingKinds(root, {});
    ASSERT_EQ(strict.problems.size(), 1u) << Describe(strict);
    EXPECT_EQ(strict.problems[0].file, "groups/Later.xml");
    EXPECT_NE(strict.problems[0].what.find("unrecognized node type: \"gadgetnode\""), std::string::npos);
}

// Groups load in the game's order: the main menu's group before the shared "resources", the
// screens' groups after it, whatever their names.
TEST_F(BrokenTree, GroupsLoadInTheGamesOrder)
{
    WriteBytes(root / "groups/resources.xml",
               "<resources><image name=\"Shared\" src=\"Panel\"/></resources>");
    WriteBytes(root / "groups/Credits.xml", "<resources><alias name=\"A\" src=\"Shared\"/></resources>");
    WriteBytes(root / "groups/Title_MainMenu.xml",
               "<resources><alias name=\"B\" src=\"Shared\"/></resources>");
    const Report report = DataCheck::CheckGroups(root);
    ASSERT_EQ(report.problems.size(), 1u) << Describe(report);
    EXPECT_EQ(report.problems[0].file, "groups/Title_MainMenu.xml");
    EXPECT_NE(report.problems[0].what.find("alias \"B\" names \"Shared\""), std::string::npos);
}

// The text table at the root is loaded with the groups: its keys share their name space.
TEST_F(BrokenTree, TheTextTableLoadsWithTheGroups)
{
    WriteBytes(root / "AllGameText_Export.xml",
               "<resources><string name=\"Speed\" value=\"fast\"/></resources>");
    const Report report = DataCheck::CheckGroups(root);
    ASSERT_EQ(report.problems.size(), 1u) << Describe(report);
    EXPECT_EQ(report.problems[0].file, "groups/Menu.xml");
    EXPECT_NE(report.problems[0].what.find("Resource name conflict."), std::string::npos);
}

TEST_F(BrokenTree, TheCaptionAreasMustBeThereAndWellFormed)
{
    Report missing;
    EXPECT_TRUE(DataCheck::ReadCaptionAreas(root, missing).empty());
    ASSERT_EQ(missing.problems.size(), 1u);
    EXPECT_EQ(missing.problems[0].file, "images/captions.tsv");

    WriteBytes(root / "images/captions.tsv", "images\tleft\ttop\tright\tbottom\tradius\n"
                                             "Btn_A\t1\t2\t3\t4\t5\n"
                                             "Btn_B\t1\t2\tthree\t4\t5\n"
                                             "Btn_C\t1\t2\t3\t4\n"
                                             "Btn_D\t1\t2\t3\t4\t5\t6\n");
    Report report;
    const auto areas = DataCheck::ReadCaptionAreas(root, report);
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_DOUBLE_EQ(areas.at("Btn_A").right, 3.0);
    EXPECT_DOUBLE_EQ(areas.at("Btn_A").radius, 5.0);
    ASSERT_EQ(report.problems.size(), 3u) << Describe(report);
    for (const DataCheck::Problem& p : report.problems)
        EXPECT_EQ(p.file, "images/captions.tsv");
    EXPECT_NE(report.problems[0].what.find("row 3"), std::string::npos) << report.problems[0].what;
}

// A list whose frames are other colours of Tic, a grey picture and a clear one: each coloured
// frame far from the first is named, the grey one as colourless, the clear one not at all.
TEST_F(BrokenTree, TheHueCheckNamesEveryFrameThatLeavesItsColour)
{
    const fs::path art = cData / "images/Game-AnimationImages";
    for (const char* frame :
         {"BasicBlue_00", "BasicBlue_01", "BasicBlue_17", "BasicPurple_01", "BasicGreen_01"})
        WriteBytes(root / "images/tics" / (std::string(frame) + ".png"),
                   ReadBytes(art / (std::string(frame) + ".png")));
    fs::remove(root / "images/manifest.tsv");
    WriteBytes(
        root / "groups/Tics.xml",
        "<resources><imagelist name=\"Mixed\"><image src=\"BasicBlue_00\"/><image src=\"BasicBlue_01\"/>"
        "<image src=\"BasicBlue_17\"/><image src=\"BasicPurple_01\"/><image src=\"BasicGreen_01\"/>"
        "<image src=\"Panel\"/></imagelist>"
        "<spritetype name=\"MixedType\" images=\"Mixed\"/></resources>");
    const DataCheck::LoadedTree tree(root);
    const Report report = DataCheck::CheckCreatureHues(
        tree, {{"Tics", "MixedType", 12.0}, {"Tics", "NoSuchType", 12.0}, {"Tics", "MixedType", 12.0, 9}});
    std::vector<std::string> said;
    for (const DataCheck::Problem& p : report.problems)
    {
        EXPECT_EQ(p.file, "groups/Tics.xml");
        said.push_back(p.what.substr(0, p.what.find(" is "))
                           .substr(0, p.what.find(" has "))
                           .substr(0, p.what.find(":")));
    }
    EXPECT_EQ(said, (std::vector<std::string>{
                        "\"MixedType\" frame 3", "\"MixedType\" frame 4", "\"MixedType\" frame 5",
                        "cannot weigh the hues of \"NoSuchType\"", "cannot weigh the hues of \"MixedType\""}))
        << Describe(report);
    EXPECT_NE(Describe(report).find("frame 5 has lost its colour"), std::string::npos) << Describe(report);
}

// A poster must be where its movie plays: a film's own, in the group loaded then, for a movie
// that is there.
TEST_F(BrokenTree, ThePosterCheckNamesAMovieWithoutItsPosterWhereItPlays)
{
    WriteBytes(root / "groups/Title_MainMenu.xml",
               "<resources><image name=\"Logos_poster\" src=\"Panel\"/>"
               "<image name=\"AllAnimations_poster\" src=\"Panel\"/></resources>");
    WriteBytes(root / "groups/Story.xml",
               "<resources><image name=\"AllAnimations_interstitial1_poster\" src=\"Panel\"/></resources>");
    WriteBytes(root / "movies/AllAnimations.swf", ReadBytes(cData / "movies/Logos.swf"));
    const DataCheck::LoadedTree tree(root);
    const Report report =
        DataCheck::CheckMoviePosters(tree, {{"Logos", "Title_MainMenu"},
                                            {"AllAnimations/interstitial1", "Story"},
                                            {"AllAnimations/interstitial2", "Title_MainMenu"},
                                            {"AllAnimations/interstitial1", "Title_MainMenu"},
                                            {"Gone", "Story"}});
    std::vector<std::string> said;
    for (const DataCheck::Problem& p : report.problems)
        said.push_back(p.file + ": " + p.what);
    EXPECT_EQ(
        said,
        (std::vector<std::string>{
            "groups/Title_MainMenu.xml: defines no image \"AllAnimations_interstitial2_poster\", the "
            "poster shown while \"AllAnimations/interstitial2\" plays",
            "groups/Title_MainMenu.xml: defines no image \"AllAnimations_interstitial1_poster\", the "
            "poster shown while \"AllAnimations/interstitial1\" plays (groups/Story.xml does)",
            "movies/Gone.swf: is missing, but the screens play \"Gone\"",
            "groups/Story.xml: defines no image \"Gone_poster\", the poster shown while \"Gone\" plays"}));
}

TEST(CommittedData, TheCampaignReadsThroughTheGamesReaders)
{
    const DataCheck::LoadedTree tree(cData);
    const Report report = DataCheck::CheckCampaign(tree);
    // The catalogue, the two settings files, 76 levels and 82 boards.
    EXPECT_EQ(report.checked, 3 + 76 + 82);
    ExpectClean(report);
}

struct CampaignCase
{
    const char* what;
    std::function<void(const fs::path&)> breakIt;
    std::string file;     // the file the report must name
    const char* fragment; // and part of what it says
};

// The committed campaign in the small tree, broken one way per case: the check names the file.
class BrokenCampaign : public BrokenTree
{
protected:
    void SetUp() override
    {
        BrokenTree::SetUp();
        for (const char* file :
             {"GameLevels.xml", "GlobalSettings.xml", "CreatureSettings.xml", "AllGameText_Export.xml"})
            WriteBytes(root / file, ReadBytes(cData / file));
        // A gameplay group of one picture under every room and obstacle name the levels use.
        std::set<std::string> images;
        for (const char* guest : {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"})
            images.insert(std::string(guest) + "_BGImage");
        const std::regex named("image=\"([^\"]+)\"");
        for (const auto& entry : fs::directory_iterator(cData))
            if (entry.path().extension() == ".xml" &&
                entry.path().stem().string().find(' ') != std::string::npos)
            {
                fs::copy_file(entry.path(), root / entry.path().filename());
                const std::string bytes = ReadBytes(entry.path());
                for (std::sregex_iterator it(bytes.begin(), bytes.end(), named), end; it != end; ++it)
                    images.insert((*it)[1]);
            }
        std::string group = "<resources>";
        for (const std::string& image : images)
            group += "<image name=\"" + image + "\" src=\"Panel\"/>";
        WriteBytes(root / "groups/Game.xml", group + "</resources>");
    }
};

TEST_F(BrokenCampaign, EachCampaignCheckNamesTheBrokenFile)
{
    auto check = [](const fs::path& r) { return DataCheck::CheckCampaign(DataCheck::LoadedTree(r)); };
    ASSERT_TRUE(check(root).problems.empty()) << Describe(check(root));

    auto gone = [](std::string rel) { return [=](const fs::path& r) { fs::remove(r / rel); }; };
    const std::string levels = "GameLevels.xml", global = "GlobalSettings.xml";
    const std::string first = "1-01 Harley.xml", board = "1-01 Harley-Board.xml";
    const std::string endless = "Endless Zoe.xml";

    const std::vector<CampaignCase> cases{
        {"catalogue missing", gone(levels), "GameLevels.xml", "is missing"},
        {"guest misspelt", Edit(levels, "guestID=\"Harley\"", "guestID=\"harley\""), "GameLevels.xml",
         "does not read"},
        {"days out of order", Edit(levels, "dayNum=\"2\"", "dayNum=\"7\""), "GameLevels.xml",
         "Day 2 has dayNum 7"},
        {"a day of one level",
         Edit(levels,
              "    <level name=\"1-02 Jillian\" guestID=\"Jillian\" firstAppt=\"1\"/>\n"
              "    <level name=\"1-03 Harley\" guestID=\"Harley\" unlock=\"chaotic\"/>\n",
              ""),
         "GameLevels.xml", "Day 1 holds 1 levels, not 2 to 5"},
        {"a kind unlocked twice", Edit(levels, "unlock=\"chaotic\"", "unlock=\"neurotic\""), "GameLevels.xml",
         "the kind \"chaotic\" is unlocked by 0 levels"},
        {"Jillian short of a level",
         Edit(levels, "name=\"1-05 Jillian\" guestID=\"Jillian\"", "name=\"1-05 Jillian\" guestID=\"Zoe\""),
         "GameLevels.xml", "Jillian has 19 levels, not 20"},
        {"the tutorials' last level renamed", Edit(levels, "\"1-06 Harley\"", "\"1-06 Harlie\""),
         "GameLevels.xml", "has no level \"1-06 Harley\""},
        {"a guest without a first appointment", Edit(levels, "\"Miranda\" firstAppt=\"1\"", "\"Miranda\""),
         "GameLevels.xml", "Miranda has 0 first appointments, not 1"},
        {"Jillian's second visit not opened",
         Edit(levels, "\"3-01 Jillian\" guestID=\"Jillian\" firstAppt=\"1\"",
              "\"3-01 Jillian\" guestID=\"Jillian\""),
         "GameLevels.xml", "\"3-01 Jillian\" is no first appointment"},
        {"the first Tics unlocked later",
         Edit(levels, "firstAppt=\"1\" unlock=\"neurotic\"", "firstAppt=\"1\""), "GameLevels.xml",
         "the level 1-01 does not unlock \"neurotic\""},
        {"a kind unlocked after day 17",
         [&](const fs::path& r)
         {
             Edit(levels, " unlock=\"ballistic\"", "")(r);
             Edit(levels, "\"4-09 Zoe\" guestID=\"Zoe\"",
                  "\"4-09 Zoe\" guestID=\"Zoe\" unlock=\"ballistic\"")(r);
         },
         "GameLevels.xml", "4-09 Zoe unlocks \"ballistic\" on day 18"},
        {"settings missing", gone(global), "GlobalSettings.xml", "does not read"},
        {"settings element missing", Edit(global, "<MegaTicSizeSettings", "<MegaTicSizes"),
         "GlobalSettings.xml", "does not read"},
        {"king damage table descending", Edit(global, "damage=\"4\"", "damage=\"0\""), "GlobalSettings.xml",
         "MegaTicDamageShrink is empty or not ascending"},
        {"a zone sprite without settings",
         Edit("CreatureSettings.xml", "sprite=\"Sprite_Shy\"", "sprite=\"Sprite_Bomb\""), "1-07 Zoe.xml",
         "Sprite_Shy has no creature settings"},
        {"level file missing", gone(first), "1-01 Harley.xml", "is missing"},
        {"black spool", Edit(first, "color=\"Red\"", "color=\"Black\""), first, "a spool of colour Black"},
        {"spool off the board", Edit(first, "x=\"680\" y=\"480\"", "x=\"760\" y=\"480\""), first,
         "the Blue spool lies outside"},
        {"basic colour without its spool", Edit(first, "<TrapType color=\"Blue\"", "<TrapType color=\"Red\""),
         first, "Blue creatures spawn, but there is no spool of their colour"},
        {"a kind of a colour no spool has",
         Edit("CreatureSettings.xml", "sprite=\"Sprite_Shy\" color=\"Any\"",
              "sprite=\"Sprite_Shy\" color=\"Yellow\""),
         "1-07 Zoe.xml", "Yellow creatures spawn, but there is no spool of their colour"},
        {"explodeColors left out", Edit(first, " explodeColors=\"0\"", ""), first,
         "Quota has no \"explodeColors\""},
        {"expert time not below the limit", Edit(first, "expertTime=\"150\"", "expertTime=\"240\""), first,
         "expertTime is not below timeLimit"},
        {"zone of any type", Edit(first, "type=\"Normal\"", "type=\"Any\""), first,
         "a FactoryZone of type \"Any\""},
        {"zone without a type",
         Edit(first, "</GremlinFactory>",
              "<FactoryZone type=\"PowerUp\" x=\"400\" y=\"300\"/></GremlinFactory>"),
         first, "the PowerUp FactoryZone of line 13 names no \"Type\": it spawns no creature"},
        {"sprite misspelt", Edit(first, "Sprite_BasicRed", "Sprite_Basicred"), first, "does not read"},
        {"obstacle image misspelt", Edit("1-07 Zoe.xml", "\"obst_Zoe_1\"", "\"obst_Zoe_9\""), "1-07 Zoe.xml",
         "the obstacle image \"obst_Zoe_9\" is not an image"},
        {"a guest's room gone", Edit("groups/Game.xml", "\"Miranda_BGImage\"", "\"Miranda_Room\""),
         "1-04 Miranda.xml", "its guest's room \"Miranda_BGImage\""},
        {"board missing", gone(board), board, "is missing"},
        {"board with a letter", Edit(board, "data=\"", "data=\"x"), board, "digits only"},
        {"board without gunk",
         [&](const fs::path& r)
         { WriteBytes(r / board, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Board/>\n"); },
         board, "holds no gunk"},
        {"endless level with an end", Edit(endless, "timeLimit=\"100000\"", "timeLimit=\"300\""), endless,
         "an endless level needs timeLimit 100000"},
        {"endless board of a set missing", gone("Endless Zoe-Board-B.xml"), "Endless Zoe-Board-B.xml",
         "is missing"},
        {"endless growth missing", Edit(endless, "<growthRate", "<growth"), endless, "does not read"},
        {"description missing",
         Edit("AllGameText_Export.xml", "\"1-01 Harley.description\"", "\"1-01 Harley.about\""),
         "AllGameText_Export.xml", "has no string \"1-01 Harley.description\""},
        {"an early level too crowded",
         Edit(first, "MaxWanderingGremlinsInLevel=\"5\"", "MaxWanderingGremlinsInLevel=\"200\""), first,
         "wandering creatures, week 2 only"},
    };

    for (const CampaignCase& c : cases)
        ExpectBrokenCopyNamed(c.what, c.breakIt, check, c.file, c.fragment);
}
