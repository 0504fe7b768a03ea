// The playfield's art: creature atlases the shared animation lists can play, effects that end,
// yarn that tiles, gunk that deepens, shadows that fit, and the records written after the images.
#include "Blobs.h"
#include "Creatures.h"
#include "Generate.h"
#include "Playfield.h"
#include "Tics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace DataGen;

namespace
{
const FamilyArt& Painted(const std::string& family)
{
    static std::map<std::string, FamilyArt> painted;
    if (!painted.count(family))
        for (const Family& f : Families())
            if (f.name == family)
                painted.emplace(family, PaintFamily(f, nullptr));
    return painted.at(family);
}

const Resource& Get(const std::string& family, const std::string& name)
{
    for (const Resource& r : Painted(family).resources)
        if (r.name == name)
            return r;
    throw std::runtime_error("no resource " + name + " in " + family);
}

double AlphaSum(const Canvas& c)
{
    double sum = 0.0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            sum += c.At(x, y).a;
    return sum;
}

// The coverage along the canvas's four edges.
double EdgeAlpha(const Canvas& c)
{
    double sum = 0.0;
    for (int x = 0; x < c.Width(); ++x)
        sum += c.At(x, 0).a + c.At(x, c.Height() - 1).a;
    for (int y = 1; y + 1 < c.Height(); ++y)
        sum += c.At(0, y).a + c.At(c.Width() - 1, y).a;
    return sum;
}

// Mean straight colour over the covered pixels.
Rgba MeanColor(const Canvas& c)
{
    double r = 0, g = 0, b = 0, a = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const Rgba p = c.At(x, y); // premultiplied: sums weigh by coverage
            r += p.r;
            g += p.g;
            b += p.b;
            a += p.a;
        }
    return a > 0 ? Rgba{float(r / a), float(g / a), float(b / a), 1.0f} : Rgba{};
}

double ColumnDifference(const Canvas& c, int x0, int x1)
{
    double d = 0.0;
    for (int y = 0; y < c.Height(); ++y)
    {
        const Rgba a = c.At(x0, y), b = c.At(x1, y);
        d += std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b) + std::fabs(a.a - b.a);
    }
    return d;
}

struct AnimationRecord
{
    std::string frames;
    int plays;
};

// The animations of one list or sprite type record in `xml`, by name.
std::map<std::string, AnimationRecord> Animations(const std::string& xml, const std::string& opening)
{
    const size_t at = xml.find(opening);
    EXPECT_NE(at, std::string::npos) << opening;
    const std::string body = xml.substr(at, xml.find("</", at) - at);
    std::map<std::string, AnimationRecord> found;
    const std::regex animation("<animation name=\"([^\"]+)\" frameList=\"([0-9,-]+)\" fps=\"[0-9]+\" "
                               "numPlays=\"([0-9]+)\"/>");
    for (std::sregex_iterator it(body.begin(), body.end(), animation), end; it != end; ++it)
        found[(*it)[1]] = {(*it)[2], std::stoi((*it)[3])};
    return found;
}

// The highest frame index a frame list names.
int HighestFrame(const std::string& frames)
{
    int highest = -1;
    const std::regex number("[0-9]+");
    for (std::sregex_iterator it(frames.begin(), frames.end(), number), end; it != end; ++it)
        highest = std::max(highest, std::stoi(it->str()));
    return highest;
}
} // namespace

TEST(GameplayArt, CreatureAtlasesHoldTheBoxAndEveryPose)
{
    struct Expect
    {
        const char* family;
        size_t lists;
        size_t frames;
        int box, size;
    };
    for (const Expect& e : {Expect{"Tics", 10, 28, 56, 64}, Expect{"TicsAny", 5, 28, 56, 64},
                            Expect{"Kings", 3, 28, 80, 96}, Expect{"PosiTics", 5, 11, 40, 48}})
    {
        SCOPED_TRACE(e.family);
        const FamilyArt& art = Painted(e.family);
        ASSERT_EQ(art.resources.size(), e.lists);
        for (const Resource& list : art.resources)
        {
            SCOPED_TRACE(list.name);
            ASSERT_EQ(list.frames.size(), e.frames);
            // Frame 0 is the collision box: only its size counts.
            EXPECT_EQ(list.frames[0].canvas.Width(), e.box);
            EXPECT_EQ(list.frames[0].canvas.Height(), e.box);
            EXPECT_EQ(AlphaSum(list.frames[0].canvas), 0.0);
            for (size_t f = 1; f < list.frames.size(); ++f)
            {
                EXPECT_EQ(list.frames[f].canvas.Width(), e.size);
                // Ink in every frame, if only the droplets of the burst (22).
                EXPECT_GT(AlphaSum(list.frames[f].canvas), e.size * e.size * (f == 22 ? 0.04 : 0.08))
                    << "frame " << f;
                // Nothing painted up to the border, where it would be cut off.
                EXPECT_LT(EdgeAlpha(list.frames[f].canvas), 0.5) << "frame " << f;
            }
            // The sprite type names the list and plays it through the shared animations.
            const std::string type = list.name.substr(0, list.name.size() - 7) + CreatureTypeSuffix;
            EXPECT_NE(art.records.find("<spritetype name=\"" + type + "\" images=\"" + list.name + "\""),
                      std::string::npos);
        }
    }
    // The poses read apart: walking squashes, freaking out deepens the colour (not towards red: the
    // data check holds every frame's hue), the ice glaze is pale, and the burst leaves less of the
    // body than the swell before it.
    const Resource& blue = Get("Tics", "BasicBlue_Frames");
    const Canvas& idle = blue.frames[1].canvas;
    EXPECT_NE(AlphaSum(blue.frames[3].canvas), AlphaSum(blue.frames[5].canvas));
    const auto upset = MeanColor(blue.frames[17].canvas), rest = MeanColor(idle);
    EXPECT_LT(upset.b, rest.b - 0.05);
    EXPECT_GT(upset.b - upset.r, (rest.b - rest.r) * 0.6);
    EXPECT_GT(MeanColor(blue.frames[23].canvas).r, MeanColor(idle).r + 0.1);
    EXPECT_GT(MeanColor(blue.frames[23].canvas).b, MeanColor(idle).b);
    EXPECT_LT(AlphaSum(blue.frames[22].canvas), AlphaSum(blue.frames[20].canvas) * 0.7);
    // The shielded frames carry a bubble beyond the body.
    EXPECT_GT(AlphaSum(blue.frames[24].canvas), AlphaSum(idle) * 1.1);
}

TEST(GameplayArt, AnimationListsNameEveryStateWithinTheAtlasAndEndWhereTheyMust)
{
    const auto creature = Animations(CreatureAnimationList(), "<spriteanimationlist name=\"CreatureAnims\">");
    EXPECT_EQ(creature.size(), 51u);
    for (const char* variant : {"Normal-", "Special-"})
    {
        for (const char* facing : {"Idle-", "WalkUp-", "WalkDown-", "WalkLeft-", "WalkRight-", "Speared-"})
            for (const char* state : {"FadeIn", "Wander", "FreakOut", "Exploding"})
            {
                const std::string name = std::string(variant) + facing + state;
                ASSERT_TRUE(creature.count(name)) << name;
                // Exploding plays once; the rest hold or loop.
                EXPECT_EQ(creature.at(name).plays, std::string(state) == "Exploding" ? 1 : 0) << name;
            }
        EXPECT_TRUE(creature.count(std::string(variant) + "Affected-Continuous"));
    }
    EXPECT_EQ(creature.at("Special-WalkLeft-Wander").frames, "26");
    EXPECT_EQ(creature.at("Normal-Affected-Continuous").frames, "23");
    for (const auto& [name, record] : creature)
        EXPECT_LT(HighestFrame(record.frames), CreatureFrameCount) << name;

    const auto gem = Animations(PowerUpAnimationList(), "<spriteanimationlist name=\"PowerUpAnims\">");
    EXPECT_EQ(gem.size(), 5u);
    EXPECT_EQ(gem.at("PowerUp-Enter").plays, 1);
    EXPECT_EQ(gem.at("PowerUp-Idle").plays, 0);
    for (const auto& [name, record] : gem)
        EXPECT_LT(HighestFrame(record.frames), PowerUpFrameCount) << name;
}

TEST(GameplayArt, EffectsEndAndTheirFramesFitTheirLists)
{
    for (const char* family : {"Effects", "Traps"})
    {
        const FamilyArt& art = Painted(family);
        for (const Resource& list : art.resources)
        {
            // Each list has its sprite type; none names a frame it lacks.
            const std::string name = list.name.substr(0, list.name.size() - 7);
            const size_t at = art.records.find("images=\"" + list.name + "\"");
            ASSERT_NE(at, std::string::npos) << list.name;
            const size_t open = art.records.rfind("<spritetype", at);
            const auto anims = Animations(art.records.substr(open), "<spritetype");
            EXPECT_FALSE(anims.empty()) << list.name;
            for (const auto& [anim, record] : anims)
            {
                EXPECT_LT(HighestFrame(record.frames), int(list.frames.size())) << list.name << " " << anim;
                if (anim == "play" || anim == "capture" || anim == "extract" || anim == "retract")
                {
                    EXPECT_EQ(record.plays, 1) << list.name << " " << anim;
                }
            }
        }
    }
    // The spools' open frames glow over the closed one.
    const Resource& trap = Get("Traps", "Trap_Blue_Frames");
    ASSERT_EQ(trap.frames.size(), 3u);
    EXPECT_EQ(trap.frames[0].canvas.Width(), 56);
    EXPECT_EQ(trap.frames[0].canvas.Height(), 44);
    const Canvas top0 = trap.frames[0].canvas.Crop(14, 4, 28, 14),
                 top2 = trap.frames[2].canvas.Crop(14, 4, 28, 14);
    EXPECT_GT(MeanColor(top2).g, MeanColor(top0).g);
}

TEST(GameplayArt, YarnTilesGunkDeepensAndShadowsFit)
{
    const Resource& lines = Get("PlayfieldPieces", "LineImages");
    ASSERT_EQ(lines.frames.size(), 7u);
    for (const ImageFile& f : lines.frames)
    {
        SCOPED_TRACE(f.stem);
        ASSERT_EQ(f.canvas.Width(), 20);
        ASSERT_EQ(f.canvas.Height(), 12);
        // Strips are drawn one after another: the right edge runs on into the left one.
        double steepest = 0.0;
        for (int x = 0; x + 1 < 20; ++x)
            steepest = std::max(steepest, ColumnDifference(f.canvas, x, x + 1));
        EXPECT_LE(ColumnDifference(f.canvas, 19, 0), steepest + 1e-6);
    }
    // The tinted strips are grey, so the code's tint gives the line its colour.
    const Rgba grey = MeanColor(lines.frames[0].canvas);
    EXPECT_NEAR(grey.r, grey.g, 0.03);

    const Resource& red = Get("Gunk", "sludgeBGImageList-Red");
    ASSERT_EQ(red.frames.size(), 5u);
    EXPECT_GE(red.rotations, 4);
    for (size_t d = 1; d < red.frames.size(); ++d)
    {
        EXPECT_GE(AlphaSum(red.frames[d].canvas), AlphaSum(red.frames[d - 1].canvas)) << "depth " << d + 1;
        EXPECT_LE(MeanColor(red.frames[d].canvas).r, MeanColor(red.frames[d - 1].canvas).r + 0.01);
    }
    EXPECT_NEAR(AlphaSum(red.frames[0].canvas) / 400.0, 0.7, 0.15);
    EXPECT_GT(AlphaSum(red.frames[1].canvas), AlphaSum(red.frames[0].canvas) + 20.0);
    EXPECT_TRUE(red.frames[4].canvas.IsOpaque());

    const FamilyArt& obstacles = Painted("Obstacles");
    std::map<std::string, const Canvas*> byName;
    for (const Resource& r : obstacles.resources)
        byName[r.name] = &r.frames[0].canvas;
    for (const auto& [name, canvas] : byName)
    {
        if (name.ends_with("_shadow"))
            continue;
        SCOPED_TRACE(name);
        ASSERT_TRUE(byName.count(name + "_shadow"));
        const Canvas& shadow = *byName.at(name + "_shadow");
        ASSERT_EQ(shadow.Width(), canvas->Width());
        ASSERT_EQ(shadow.Height(), canvas->Height());
        EXPECT_NEAR(AlphaSum(shadow), AlphaSum(*canvas) * 0.45, AlphaSum(*canvas) * 0.01);
        const bool generic = name.starts_with("obst_");
        EXPECT_EQ(obstacles.records.find("<float name=\"" + name + "_xscale\"") != std::string::npos,
                  generic);
        EXPECT_EQ(obstacles.records.find("<float name=\"" + name + "_yscale\"") != std::string::npos,
                  generic);
    }

    const Resource& health = Get("PlayfieldPieces", "MegaNegaTicHealthImages");
    ASSERT_EQ(health.frames.size(), 6u);
    // Each pip more is redder.
    for (size_t i = 1; i < health.frames.size(); ++i)
        EXPECT_GT(MeanColor(health.frames[i].canvas).r, MeanColor(health.frames[i - 1].canvas).r);
}

TEST(GameplayArt, DerivedRecordsFollowTheImageSection)
{
    const std::string images = "<!-- begin image section -->\n<image a/>\n<!-- end image section -->\n";
    const std::string sprites1 =
        "<!-- begin sprite section -->\n<spritetype a/>\n<!-- end sprite section -->\n";
    const std::string sprites2 =
        "<!-- begin sprite section -->\n<spritetype b/>\n<!-- end sprite section -->\n";
    const std::string hand = "<scenelayout/>\n";
    const std::string file = "<resources>\n" + images + hand + "</resources>\n";
    // Added after the images it names, before the hand-written rest; replaced in place later.
    const std::string added = SpliceSection(file, SpriteSection, sprites1);
    EXPECT_EQ(added, "<resources>\n" + images + sprites1 + hand + "</resources>\n");
    EXPECT_EQ(SpliceSection(added, SpriteSection, sprites2),
              "<resources>\n" + images + sprites2 + hand + "</resources>\n");
    // The image section is replaced without moving the sprite section.
    const std::string images2 = "<!-- begin image section -->\n<image b/>\n<!-- end image section -->\n";
    EXPECT_EQ(SpliceSection(added, ImageSection, images2),
              "<resources>\n" + images2 + sprites1 + hand + "</resources>\n");
}

TEST(GameplayArt, ANewGroupFileGetsItsImagesBeforeTheRecordsNamingThem)
{
    const fs::path dir = fs::temp_directory_path() / ("datagen-sprites-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    Generated g;
    g.manifest = "file\twidth\theight\tbytes\tfnv1a64\n";
    g.sections["Field"] =
        "<!-- begin image section -->\n<imagelist name=\"L\"/>\n<!-- end image section -->\n";
    g.spriteSections["Field"] =
        "<!-- begin sprite section -->\n<spritetype images=\"L\"/>\n<!-- end sprite section -->\n";
    WriteAll(dir / "data", dir / "docs", g);
    const Bytes made = ReadFileBytes(dir / "data" / GroupFile("Field"));
    std::string text(made.begin(), made.end());
    const size_t images = text.find("<imagelist"), sprites = text.find("<spritetype");
    ASSERT_NE(images, std::string::npos);
    ASSERT_NE(sprites, std::string::npos);
    EXPECT_LT(images, sprites);
    // Hand-written records after both stay where they are on the next run.
    text.insert(text.find("</resources>"), "<scenelayout name=\"Hand\"/>\n");
    WriteFileBytes(dir / "data" / GroupFile("Field"), Bytes(text.begin(), text.end()));
    g.spriteSections["Field"] =
        "<!-- begin sprite section -->\n<spritetype images=\"L\" new=\"1\"/>\n<!-- end sprite section -->\n";
    WriteAll(dir / "data", dir / "docs", g);
    const Bytes again = ReadFileBytes(dir / "data" / GroupFile("Field"));
    const std::string second(again.begin(), again.end());
    EXPECT_LT(second.find("<imagelist"), second.find("new=\"1\""));
    EXPECT_LT(second.find("new=\"1\""), second.find("<scenelayout name=\"Hand\"/>"));
    EXPECT_EQ(second.find("<spritetype images=\"L\"/>"), std::string::npos);
    fs::remove_all(dir);
}

TEST(GameplayArt, PortraitsShowEachColourOfTheirKind)
{
    auto meanOf = [](const Canvas& c, int x0, int x1)
    {
        const Canvas part = c.Crop(x0, 0, x1 - x0, c.Height());
        return MeanColor(part);
    };
    // The Tic that cannot pick a colour is green on its left and purple on its right.
    Canvas eclectic(160, 160);
    DrawTicPortrait(eclectic, 10, {80, 84}, 50);
    const Rgba left = meanOf(eclectic, 20, 70), right = meanOf(eclectic, 90, 140);
    EXPECT_GT(left.g, left.r);
    EXPECT_GT(right.r + right.b, 2.0f * right.g);
    // The neurotic pair: a red Tic behind a blue one.
    Canvas neurotic(160, 160);
    DrawTicPortrait(neurotic, 0, {80, 84}, 50);
    EXPECT_GT(meanOf(neurotic, 20, 60).r, meanOf(neurotic, 20, 60).b);
    EXPECT_GT(meanOf(neurotic, 100, 140).b, meanOf(neurotic, 100, 140).r);
}

// The spool and the gunk cell painted larger for the posters are the playfield's, not a blow-up.
TEST(GameplayArt, PlayfieldPiecesPaintLargerForOtherPictures)
{
    auto meanDifference = [](const Canvas& a, const Canvas& b)
    {
        const auto x = a.ToRgba8(), y = b.ToRgba8();
        double sum = 0.0;
        for (size_t i = 0; i < x.size(); ++i)
            sum += std::abs(int(x[i]) - int(y[i]));
        return sum / double(x.size());
    };
    for (int frame : {0, 2})
    {
        const Canvas big = SpoolPicture(TicColors::Blue, frame, 2.0);
        ASSERT_EQ(big.Width(), 112);
        ASSERT_EQ(big.Height(), 88);
        EXPECT_LT(meanDifference(Resize(big, 56, 44), SpoolPicture(TicColors::Blue, frame)), 4.0) << frame;
    }
    const Canvas cell = GunkCell(TicColors::Red, 3, 11, 1.6);
    ASSERT_EQ(cell.Width(), 32);
    EXPECT_LT(meanDifference(Resize(cell, 20, 20), GunkCell(TicColors::Red, 3, 11)), 6.0);
}

// A Tic that any spool catches shows every spool's colour, in the playfield and in its portrait.
TEST(GameplayArt, StripedTicsShowEverySpoolsColour)
{
    // Hue in turns of the pixels that carry colour.
    auto hues = [](const Canvas& c)
    {
        std::vector<double> found;
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x)
            {
                const Rgba p = c.StraightAt(x, y);
                const double hi = std::max({p.r, p.g, p.b}), lo = std::min({p.r, p.g, p.b});
                if (p.a < 0.9f || hi - lo < 0.25)
                    continue;
                double h = hi == p.r   ? (p.g - p.b) / (hi - lo)
                           : hi == p.g ? 2.0 + (p.b - p.r) / (hi - lo)
                                       : 4.0 + (p.r - p.g) / (hi - lo);
                found.push_back(h < 0 ? h / 6.0 + 1.0 : h / 6.0);
            }
        return found;
    };
    auto shows = [](const std::vector<double>& found, Rgba colour)
    {
        const double hi = std::max({colour.r, colour.g, colour.b}),
                     lo = std::min({colour.r, colour.g, colour.b});
        double h = hi == colour.r   ? (colour.g - colour.b) / (hi - lo)
                   : hi == colour.g ? 2.0 + (colour.b - colour.r) / (hi - lo)
                                    : 4.0 + (colour.r - colour.g) / (hi - lo);
        h = h < 0 ? h / 6.0 + 1.0 : h / 6.0;
        return std::count_if(found.begin(), found.end(),
                             [h](double f)
                             { return std::min(std::fabs(f - h), 1.0 - std::fabs(f - h)) < 0.04; });
    };
    Canvas portrait(160, 160);
    DrawTicPortrait(portrait, 17, {80, 84}, 50); // pessimistic
    std::vector<std::pair<std::string, std::vector<double>>> pictures = {{"portrait", hues(portrait)}};
    for (const Resource& list : Painted("TicsAny").resources)
        pictures.push_back({list.name, hues(list.frames[1].canvas)});
    for (const auto& [name, found] : pictures)
        for (const Rgba& colour : AnySpoolStripes())
            EXPECT_GE(shows(found, colour), 12)
                << name << " lacks " << colour.r << "," << colour.g << "," << colour.b;
}
