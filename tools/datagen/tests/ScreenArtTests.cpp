// The screens' pictures against what their layouts expect: every name the hand-written groups use
// is made with its kind, frame count and size, the image lists load before the sprite types that
// name them, and baked text comes from the text table, fits its box and keeps clear of what the
// layouts put over it; the backgrounds stay light where the layouts write ink. The committed bytes are
// checked with all the art (ArtRegeneration).
#include "GameText.h"
#include "Generate.h"
#include "Guests.h"
#include "Rooms.h"
#include "Text.h"
#include "Tics.h"

#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <sstream>

using namespace DataGen;

namespace
{
const std::filesystem::path kData = DATAGEN_DATA_DIR;

std::string ReadText(const std::filesystem::path& p)
{
    const Bytes b = ReadFileBytes(p);
    return std::string(b.begin(), b.end());
}

const TextTable& Table()
{
    static const TextTable table = TextTable::Load(kData / TextTableFile);
    return table;
}

const Family& FamilyNamed(const std::string& name)
{
    for (const Family& f : Families())
        if (f.name == name)
            return f;
    throw std::runtime_error("no family " + name);
}

// Every string of `t` but those given, replaced.
TextTable Edited(const std::map<std::string, std::string>& changes)
{
    std::string xml = ReadText(kData / TextTableFile);
    for (const auto& [key, value] : changes)
    {
        const std::regex record("<string name=\"" + std::regex_replace(key, std::regex("\\."), "\\.") +
                                "\" value=\"[^\"]*\"/>");
        EXPECT_TRUE(std::regex_search(xml, record)) << key;
        xml = std::regex_replace(
            xml, record, value.empty() ? "" : "<string name=\"" + key + "\" value=\"" + value + "\"/>");
    }
    return TextTable::FromXml(xml);
}

int MaxDifference(const Canvas& a, const Canvas& b)
{
    const auto x = a.ToRgba8(), y = b.ToRgba8();
    int worst = 0;
    for (size_t i = 0; i < x.size(); ++i)
        worst = std::max(worst, std::abs(int(x[i]) - int(y[i])));
    return worst;
}

double MeanDifference(const Canvas& a, const Canvas& b)
{
    const auto x = a.ToRgba8(), y = b.ToRgba8();
    double sum = 0.0;
    for (size_t i = 0; i < x.size(); ++i)
        sum += std::abs(int(x[i]) - int(y[i]));
    return sum / double(x.size());
}

// A committed picture as the engine decodes it: ARGB pixels.
struct Decoded
{
    int width = 0, height = 0;
    std::unique_ptr<uint32_t[]> pixels;
    double Luma(int x, int y) const
    {
        const uint32_t p = pixels[size_t(y) * width + x];
        return (0.299 * ((p >> 16) & 0xFF) + 0.587 * ((p >> 8) & 0xFF) + 0.114 * (p & 0xFF)) / 255.0;
    }
};

Decoded Decode(const std::string& file)
{
    const Bytes bytes = ReadFileBytes(kData / "images" / file);
    Kestrin::MemoryStream stream(L"picture", bytes.data(), uint32_t(bytes.size()));
    Decoded d;
    d.pixels = file.ends_with(".jpg") ? Kestrin::DecodeJpeg(stream, d.width, d.height)
                                      : Kestrin::DecodePng(&stream, d.width, d.height);
    return d;
}

struct Expected
{
    std::string group, name, kind;
    size_t frames;
    int width, height;
};

// The rows of the names list the layouts' author keeps, with <Guest> and <kind> spelled out.
std::vector<Expected> NamesList()
{
    std::istringstream in(ReadText(kData / "groups/README-names.md"));
    const std::regex row(R"(^\| `([^`]+)` \| (image|imagelist) \| (\d+) \| (\d+)x(\d+) \|)");
    std::vector<Expected> out;
    std::string group;
    for (std::string line; std::getline(in, line);)
    {
        if (line.rfind("## ", 0) == 0)
            group = line.substr(3);
        std::smatch m;
        if (!std::regex_search(line, m, row))
            continue;
        std::vector<std::string> names = {m[1]};
        auto expand = [&](const std::string& mark, const std::vector<std::string>& values)
        {
            std::vector<std::string> next;
            for (const std::string& n : names)
            {
                const size_t at = n.find(mark);
                if (at == std::string::npos)
                    next.push_back(n);
                else
                    for (const std::string& v : values)
                        next.push_back(n.substr(0, at) + v + n.substr(at + mark.size()));
            }
            names = next;
        };
        expand("<Guest>", GuestNames());
        expand("<kind>", TicKinds());
        for (const std::string& n : names)
            out.push_back({group, n, m[2], std::stoul(m[3]), std::stoi(m[4]), std::stoi(m[5])});
    }
    return out;
}

// The committed manifest: width and height by file path.
std::map<std::string, std::pair<int, int>> Manifest()
{
    std::istringstream in(ReadText(kData / ManifestFile));
    std::map<std::string, std::pair<int, int>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line))
    {
        std::istringstream fields(line);
        std::string file;
        int w = 0, h = 0;
        fields >> file >> w >> h;
        rows[file.substr(file.rfind('/') + 1, file.rfind('.') - file.rfind('/') - 1)] = {w, h};
    }
    return rows;
}

// The frames' stems of the record `name` in a group's image section; its kind in `kind`.
std::vector<std::string> Record(const std::string& section, const std::string& name, std::string& kind)
{
    std::smatch m;
    if (std::regex_search(section, m, std::regex("<image name=\"" + name + "\" src=\"([^\"]+)\"/>")))
    {
        kind = "image";
        return {m[1]};
    }
    const size_t at = section.find("<imagelist name=\"" + name + "\">");
    if (at == std::string::npos)
        return {};
    kind = "imagelist";
    std::vector<std::string> stems;
    const std::string body = section.substr(at, section.find("</imagelist>", at) - at);
    const std::regex frame("<image src=\"([^\"]+)\"/>");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), frame); it != std::sregex_iterator(); ++it)
        stems.push_back((*it)[1]);
    return stems;
}
} // namespace

TEST(ScreenArt, EveryPictureTheGroupsNameIsMadeWithItsKindFramesAndSize)
{
    std::vector<Expected> expected = NamesList();
    ASSERT_GT(expected.size(), 120u) << "the names list could not be read";
    // The playing screen's words, which no layout names yet.
    for (const std::string& b : BannerNames())
        expected.push_back({"Game", "bannerMSG_" + b, "image", 1, 640, 120});
    expected.push_back({"Game", "FeedbackWords", "imagelist", FeedbackAnimations().size(), 240, 56});
    for (const std::string& g : GuestNames())
        expected.push_back({"Game_Interface_EndlessMode", "TextImage_" + g, "image", 1, 320, 44});
    const auto manifest = Manifest();
    std::map<std::string, std::string> sections;
    for (const Expected& e : expected)
    {
        SCOPED_TRACE(e.group + " / " + e.name);
        if (!sections.count(e.group))
            sections[e.group] = ExtractSection(ReadText(kData / GroupFile(e.group)), ImageSection);
        std::string kind;
        const std::vector<std::string> stems = Record(sections[e.group], e.name, kind);
        ASSERT_FALSE(stems.empty()) << "no record in the group's image section";
        EXPECT_EQ(kind, e.kind);
        EXPECT_EQ(stems.size(), e.frames);
        for (const std::string& stem : stems)
        {
            const auto it = manifest.find(stem);
            ASSERT_NE(it, manifest.end()) << stem;
            EXPECT_EQ(it->second, std::make_pair(e.width, e.height)) << stem;
        }
    }
}

TEST(ScreenArt, ImageListsComeBeforeTheSpriteTypesThatNameThem)
{
    for (const auto& entry : std::filesystem::directory_iterator(kData / "groups"))
    {
        if (entry.path().extension() != ".xml")
            continue;
        const std::string text = ReadText(entry.path());
        const size_t end = text.find("<!-- end image section -->"), sprite = text.find("<spritetype");
        if (end != std::string::npos && sprite != std::string::npos)
        {
            EXPECT_LT(end, sprite) << entry.path().filename();
        }
    }
}

TEST(BakedText, EveryTextFamilyReadsItsWordsFromTheTable)
{
    // With an empty table each family stops at its first key and names it.
    const TextTable empty = TextTable::FromXml("<texts/>", "the empty table");
    size_t families = 0;
    for (const Family& f : Families())
    {
        if (!f.paintText)
            continue;
        ++families;
        SCOPED_TRACE(f.name);
        try
        {
            PaintFamily(f, &empty);
            ADD_FAILURE() << "painted without its texts";
        }
        catch (const std::runtime_error& e)
        {
            EXPECT_TRUE(
                std::regex_search(e.what(), std::regex("text key (Img|GuestFullName)\\.\\S+ is missing")))
                << e.what();
        }
        EXPECT_THROW(PaintFamily(f, nullptr), std::runtime_error);
    }
    EXPECT_GE(families, 14u);

    // A changed word changes its own picture and no other.
    const TextTable edited = Edited({{"Img.Feedback.TooLong", "Far too long"}});
    const FamilyArt before = PaintFamily(FamilyNamed("FeedbackWords"), &Table());
    const FamilyArt after = PaintFamily(FamilyNamed("FeedbackWords"), &edited);
    const auto& a = before.resources.at(0).frames;
    const auto& b = after.resources.at(0).frames;
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
    {
        if (a[i].stem == "Feedback_TooLong")
            EXPECT_GT(MeanDifference(a[i].canvas, b[i].canvas), 1.0);
        else
            EXPECT_EQ(MaxDifference(a[i].canvas, b[i].canvas), 0) << a[i].stem;
    }
}

TEST(BakedText, ATextThatDoesNotFitStopsTheRunInsteadOfBeingCut)
{
    const TextTable longTime =
        Edited({{"Img.Appt.3", "a quarter past three in the afternoon, give or take"}});
    try
    {
        PaintFamily(FamilyNamed("ApptTimeImages"), &longTime);
        FAIL() << "a time too long for its label was drawn";
    }
    catch (const std::runtime_error& e)
    {
        EXPECT_NE(std::string(e.what()).find("does not fit"), std::string::npos) << e.what();
    }
}

TEST(BakedText, TutorialBubblesKeepTheirTextClearOfTheOkButton)
{
    const FamilyArt art = PaintFamily(FamilyNamed("TutorialImages"), &Table());
    const auto& frames = art.resources.at(0).frames;
    ASSERT_EQ(frames.size(), 17u);
    // Tutorial 8 is only recorded: its bubble is blank, the reference for the others.
    ASSERT_TRUE(Table().Get("Img.Tutorial.8").empty());
    const Canvas& blank = frames[8].canvas;
    for (size_t i = 0; i < frames.size(); ++i)
    {
        SCOPED_TRACE(frames[i].stem);
        ASSERT_EQ(frames[i].canvas.Width(), 320);
        ASSERT_EQ(frames[i].canvas.Height(), 140);
        // The button (110 x 34, 8 px from the right, 6 from the bottom) covers only bare bubble.
        EXPECT_EQ(MaxDifference(frames[i].canvas.Crop(198, 96, 122, 44), blank.Crop(198, 96, 122, 44)), 0);
        // Every other bubble carries ink where the text goes.
        int ink = 0;
        for (int y = 10; y < 98; ++y)
            for (int x = 20; x < 300; ++x)
            {
                const Rgba p = frames[i].canvas.StraightAt(x, y);
                ink += p.r < 0.4f && p.g < 0.4f && p.b < 0.4f;
            }
        if (i == 8)
        {
            EXPECT_EQ(ink, 0);
        }
        else
            EXPECT_GT(ink, 150);
    }
}

TEST(ScreenArt, EveryKindHasItsOwnPortraitAndTheLockedLookHidesIt)
{
    std::vector<Canvas> portraits;
    for (int k = 0; k < 18; ++k)
    {
        Canvas c(120, 120);
        DrawTicPortrait(c, k, {60, 62}, 40);
        portraits.push_back(c);
    }
    for (size_t i = 0; i < portraits.size(); ++i)
        for (size_t j = i + 1; j < portraits.size(); ++j)
            EXPECT_GT(MeanDifference(portraits[i], portraits[j]), 3.0)
                << TicKinds()[i] << " and " << TicKinds()[j];

    const FamilyArt buttons = PaintFamily(FamilyNamed("TicButtons"), &Table());
    ASSERT_EQ(buttons.resources.size(), 18u);
    const Canvas& locked = buttons.resources[0].frames.at(3).canvas;
    for (const Resource& r : buttons.resources)
    {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(r.frames.size(), 5u);
        // The disabled frame is the one locked look, the same for every kind.
        EXPECT_EQ(MaxDifference(r.frames[3].canvas, locked), 0);
        EXPECT_GT(MeanDifference(r.frames[0].canvas, r.frames[3].canvas), 10.0);
    }
}

TEST(ScreenArt, GuestsPhotosAreTheirOwnAndJilliansSecondVisitDiffers)
{
    std::vector<Canvas> photos;
    for (const std::string& g : GuestNames())
        photos.push_back(GuestPhoto(g, 90, 110));
    photos.push_back(GuestPhoto("Jillian2", 90, 110));
    for (size_t i = 0; i < photos.size(); ++i)
    {
        // A photo is opaque to its edges: the guest's room fills it.
        EXPECT_EQ(ToByte(photos[i].At(0, 0).a), 255);
        EXPECT_EQ(ToByte(photos[i].At(89, 109).a), 255);
        for (size_t j = i + 1; j < photos.size(); ++j)
            EXPECT_GT(MeanDifference(photos[i], photos[j]), 8.0) << i << " and " << j;
    }
    EXPECT_THROW(GuestPhoto("Nobody", 90, 110), std::invalid_argument);
}

TEST(ScreenArt, PlacesWhereTheLayoutsWriteInkAreLightAndCalm)
{
    // Rectangles (x0, y0, x1, y1) of a picture where a layout draws ink-coloured text.
    struct Place
    {
        const char* file;
        int x0, y0, x1, y1;
    };
    const Place places[] = {
        {"Credits/CreditsBG.jpg", 250, 44, 550, 85},                    // the title
        {"Encyclopedia/TictionaryBG.jpg", 100, 114, 700, 530},          // the guide's pages
        {"Level_Select_EndlessMode/EndlessBG.jpg", 190, 16, 610, 136},  // the texts
        {"Level_Select_EndlessMode/EndlessBG.jpg", 346, 438, 640, 468}, // the record
        {"Level_Select_Month/AgendaBG.jpg", 700, 116, 778, 140},        // "Films"
        {"Level_Select_Day/DayBG.png", 30, 10, 520, 52},                // the date
        {"LevelIntroMode/IntroCard.png", 30, 28, 560, 250},             // date and description
        {"LevelIntroMode/GoalPanel.png", 100, 12, 440, 108},            // the goal's lines
        {"Tic_Intro/IntroPanel.png", 60, 40, 500, 340},                 // under the picture
    };
    for (const Place& p : places)
    {
        SCOPED_TRACE(p.file);
        const Decoded d = Decode(p.file);
        ASSERT_TRUE(d.pixels);
        int dark = 0, total = 0;
        for (int y = p.y0; y < p.y1; ++y)
            for (int x = p.x0; x < p.x1; ++x, ++total)
                dark += d.Luma(x, y) < 0.62;
        // Ink text needs a light ground; a rule or a stitch may cross it.
        EXPECT_LT(dark, total / 50) << dark << " of " << total << " pixels are dark";
    }
}

TEST(ScreenArt, TheCalendarPrintsEachDaysNumberAboveItsCell)
{
    const Decoded d = Decode("Level_Select_Month/AgendaBG.jpg");
    ASSERT_TRUE(d.pixels);
    for (int day = 0; day < 20; ++day)
    {
        const int x = 89 + 116 * (day % 5), y = 126 + 94 * (day / 5);
        int ink = 0;
        for (int yy = y - 16; yy < y - 1; ++yy)
            for (int xx = x; xx < x + 24; ++xx)
                ink += d.Luma(xx, yy) < 0.35;
        EXPECT_GT(ink, 8) << "no number above day " << day + 1;
    }
}

TEST(BakedText, ASetOfTextsSharesTheSizeItsLongestOneFits)
{
    const TextStyle style{Face::SansBold, 30, Palette::Ink, Align::Left};
    const int shortOnly = FittedSize({"Hi"}, 120, 40, style, 8);
    const int both = FittedSize({"Hi", "A good deal longer"}, 120, 40, style, 8);
    EXPECT_EQ(shortOnly, 30);
    EXPECT_LT(both, shortOnly);
    // The longer one fits at the shared size, wrapped or not, and no larger size fits it.
    TextStyle at = style;
    at.pixels = both;
    EXPECT_LE(TextHeight("A good deal longer", at, 120), 40);
    at.pixels = both + 1;
    EXPECT_THROW(FittedSize({"A good deal longer"}, 120, 40, at, both + 1), std::runtime_error);
}

TEST(ScreenArt, FreeStandingPicturesAreNotCutAtTheirEdges)
{
    // Symbols, labels, panels and words stand on whatever is behind them: a shape that reaches
    // the picture's edge has been cut off.
    const char* const files[] = {
        "Level_Select_Introduction/SessionLocked.png",
        "Level_Select_Introduction/SessionOpen.png",
        "Level_Select_Introduction/SessionCheck.png",
        "Level_Select_Introduction/SessionStar.png",
        "Level_Select_Introduction/WelcomeBanner.png",
        "Level_Select_Introduction/LabelSessions.png",
        "Level_Select_Introduction/LabelNewGuest.png",
        "Level_Select_Introduction/Jillian_intro_photo.png",
        "Level_Select_Introduction/Jason_intro_form.png",
        "Level_Select_Month/StarSmall.png",
        "Level_Select_Month/Zoe_iconImages_completed.png",
        "Level_Select_Day/CheckBig.png",
        "Level_Select_Day/StarBig.png",
        "Level_Select_Day/ApptTime_2.png",
        "Level_Select_Day/Heather_ApptBtn_normal.png",
        "Level_Select_EndlessMode/Harley_EndlessBtn_normal.png",
        "Level_Select_EndlessMode/EndlessIntroText.png",
        "Level_Select_EndlessMode/Miranda_RecordPlate.png",
        "LevelIntroMode/IntroCard.png",
        "Level_Outro_NormalWin/ResultPanel.png",
        "Tic_Intro/TicIntro_apocalyptic.png",
        "Encyclopedia/TicButton_erratic_normal.png",
        "Encyclopedia_Tics/TicProfile_pessimistic.png",
        "Tutorial_Window/Tut_Arrow_RD.png",
        "Credits/CreditsPage_1.png",
        "Game/bannerMSG_gunkClear.png",
        "Game/Feedback_UnifyColors_Used.png",
        "Game_Interface_EndlessMode/TextImage_Heather.png",
    };
    for (const char* file : files)
    {
        SCOPED_TRACE(file);
        const Decoded d = Decode(file);
        ASSERT_TRUE(d.pixels);
        uint32_t edge = 0;
        for (int x = 0; x < d.width; ++x)
            edge = std::max(
                {edge, d.pixels[size_t(x)] >> 24, d.pixels[size_t(d.height - 1) * d.width + x] >> 24});
        for (int y = 0; y < d.height; ++y)
            edge = std::max({edge, d.pixels[size_t(y) * d.width] >> 24,
                             d.pixels[size_t(y) * d.width + d.width - 1] >> 24});
        EXPECT_LT(edge, 40u);
    }
}

TEST(ScreenArt, BannersAreCentredForTheirScaleFromTheMiddle)
{
    // The level scales a banner from 0.2 to 1 about its middle: the words must sit in the middle.
    for (const std::string& b : BannerNames())
    {
        SCOPED_TRACE(b);
        const Decoded d = Decode("Game/bannerMSG_" + b + ".png");
        ASSERT_TRUE(d.pixels);
        int x0 = d.width, x1 = 0, y0 = d.height, y1 = 0;
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x)
                if ((d.pixels[size_t(y) * d.width + x] >> 24) > 128)
                {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y);
                }
        ASSERT_LT(x0, x1);
        EXPECT_NEAR((x0 + x1) / 2.0, d.width / 2.0, 1.5);
        EXPECT_NEAR((y0 + y1) / 2.0, d.height / 2.0, 1.5);
    }
}

TEST(ScreenArt, RoomsAreMidToLightAndTellTheGuestsApart)
{
    // Behind faces and controls the rooms stay mid-to-light, and each guest's reads as its own.
    std::vector<Canvas> rooms;
    for (const std::string& g : GuestNames())
    {
        SCOPED_TRACE(g);
        Canvas c(96, 96);
        PaintRoom(c, g, 30.0);
        double luma = 0.0;
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 96; ++x)
            {
                const Rgba p = c.StraightAt(x, y);
                luma += 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
            }
        luma /= 96.0 * 96.0;
        EXPECT_GT(luma, 0.45);
        EXPECT_LT(luma, 0.92);
        rooms.push_back(std::move(c));
    }
    for (size_t i = 0; i < rooms.size(); ++i)
        for (size_t j = i + 1; j < rooms.size(); ++j)
            EXPECT_GT(MeanDifference(rooms[i], rooms[j]), 5.0)
                << GuestNames()[i] << " and " << GuestNames()[j];
}
