// The guest portraits and the start-up screens' art: sizes the screens rely on, guests that
// read apart, the hero picture's mask through the engine's loader and the hand-written group
// files. That the committed bytes are the generator's is checked with all the art (ArtRegeneration).
#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Generate.h"
#include "Graphics/Image.h"
#include "Graphics/ImageDecoders.h"
#include "Graphics/ImageLoader.h"
#include "Guests.h"
#include "Title.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>

using namespace DataGen;

namespace
{
const char* const kGuests[] = {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"};
const std::filesystem::path kData = DATAGEN_DATA_DIR;

// The committed manifest's rows by file: width, height. Painting everything is slow, so only the
// regeneration paints it; the others read the committed tree it checks.
std::map<std::string, std::pair<int, int>> Manifest()
{
    const Bytes b = ReadFileBytes(kData / ManifestFile);
    std::istringstream in(std::string(b.begin(), b.end()));
    std::map<std::string, std::pair<int, int>> rows;
    std::string line;
    std::getline(in, line); // the heading
    while (std::getline(in, line))
    {
        std::istringstream row(line);
        std::string file;
        int w = 0, h = 0;
        row >> file >> w >> h;
        rows[file] = {w, h};
    }
    return rows;
}

FamilyArt PaintGuest(const std::string& guest)
{
    for (const Family& f : Families())
        if (f.name == guest + "_icon")
            return f.paint();
    ADD_FAILURE() << "no family " << guest << "_icon";
    return {};
}

double Luma(Rgba c)
{
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

// Mean colour distance over the pixels, alpha included.
double Difference(const Canvas& a, const Canvas& b)
{
    double sum = 0.0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
        {
            const Rgba p = a.At(x, y), q = b.At(x, y);
            sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b) + std::fabs(p.a - q.a);
        }
    return sum / (4.0 * a.Width() * a.Height());
}

std::string ReadText(const std::filesystem::path& p)
{
    const Bytes b = ReadFileBytes(p);
    return std::string(b.begin(), b.end());
}

struct Record
{
    std::string kind, name, src, value;
};

// The top-level records of a group file's text, read with the engine's XML reader.
std::vector<Record> ReadGroup(const std::string& bytes)
{
    Kestrin::MemoryStream stream(L"group", bytes.data(), uint32_t(bytes.size()));
    Kestrin::XMLReader reader(&stream);
    std::vector<Record> out;
    int depth = 0;
    auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
    while (!reader.IsAtEnd())
    {
        Kestrin::XMLElement* e = reader.Next();
        if (!e)
            break;
        if (e->IsStart())
        {
            if (depth == 1)
                out.push_back({narrow(e->GetName()), narrow(e->GetString(L"name")),
                               narrow(e->GetString(L"src")), narrow(e->GetString(L"value"))});
            ++depth;
        }
        else if (e->GetType() == Kestrin::XMLElement::EndNode)
            --depth;
    }
    return out;
}
} // namespace

TEST(TitleArt, FilesHaveTheSizesFormatsAndGroupsTheScreensUse)
{
    struct Expected
    {
        const char* path;
        int w, h;
    };
    std::vector<Expected> expected = {
        {"images/Loading/Splash_BG.jpg", 800, 600},
        {"images/Title_MainMenu/TitleBG.jpg", 800, 600},
        {"images/Title_MainMenu/MainMenu_BG.jpg", 800, 600},
        {"images/Title_MainMenu/TitleLogo.png", 520, 190},
        {"images/Title_MainMenu/MenuTable.png", 800, 137},
        {"images/Title_MainMenu/Nameplate.png", 270, 44},
        {"images/Title_MainMenu/GlowHalo.png", 600, 260},
        {"images/Title_MainMenu/titlescreen_image_odalee.jpg", 320, 300},
        {"images/Title_MainMenu/titlescreen_image_odalee_mask.png", 320, 300},
    };
    std::vector<std::string> guestPaths;
    for (const char* g : kGuests)
    {
        guestPaths.push_back("images/resources/" + std::string(g) + "_icon_face.png");
        guestPaths.push_back("images/resources/" + std::string(g) + "_icon_head.png");
    }
    for (size_t i = 0; i < guestPaths.size(); ++i)
        expected.push_back({guestPaths[i].c_str(), i % 2 == 0 ? 32 : 64, i % 2 == 0 ? 32 : 64});
    const auto manifest = Manifest();
    for (const Expected& e : expected)
    {
        const auto it = manifest.find(e.path);
        ASSERT_NE(it, manifest.end()) << e.path;
        EXPECT_EQ(it->second, std::make_pair(e.w, e.h)) << e.path;
        EXPECT_TRUE(std::filesystem::exists(kData / e.path)) << e.path;
    }
    const std::string resources = ReadText(kData / ResourceFile);
    const std::string section = ExtractSection(resources, ImageSection);
    // The icons are two-frame lists in "resources": face first, then head.
    for (const char* g : kGuests)
    {
        const std::string n = std::string(g) + "_icon";
        const std::string record = "<imagelist name=\"" + n + "\">\n  <image src=\"" + n +
                                   "_face\"/>\n  <image src=\"" + n + "_head\"/>\n</imagelist>\n";
        EXPECT_NE(section.find(record), std::string::npos) << n;
    }
    // Other groups' records are written by hand, never into resources.xml.
    EXPECT_EQ(resources.find("TitleBG"), std::string::npos);
    EXPECT_EQ(resources.find("Splash_BG"), std::string::npos);
}

TEST(GuestIcons, EveryGuestReadsApartFromEveryOther)
{
    std::vector<FamilyArt> arts;
    for (const char* g : kGuests)
        arts.push_back(PaintGuest(g));
    for (size_t frame = 0; frame < 2; ++frame)
        for (size_t i = 0; i < arts.size(); ++i)
            for (size_t j = i + 1; j < arts.size(); ++j)
            {
                const Canvas& a = arts[i].resources.at(0).frames.at(frame).canvas;
                const Canvas& b = arts[j].resources.at(0).frames.at(frame).canvas;
                // Two records that differ in one colour score below 0.01; the closest real pair
                // (dark hair, brown skin, different hair and accessory) scores about 0.05.
                EXPECT_GT(Difference(a, b), 0.04)
                    << kGuests[i] << " and " << kGuests[j] << ", frame " << frame;
            }
}

TEST(GuestIcons, RoundBadgesWithAnInkRim)
{
    for (const char* g : kGuests)
    {
        const FamilyArt art = PaintGuest(g);
        ASSERT_EQ(art.resources.size(), 1u);
        const Resource& r = art.resources[0];
        ASSERT_EQ(r.frames.size(), 2u) << g;
        for (const ImageFile& f : r.frames)
        {
            const Canvas& c = f.canvas;
            const int s = c.Width();
            // A round badge: the corners stay clear for whatever the HUD puts behind it.
            for (auto [x, y] : {std::pair{0, 0}, {s - 1, 0}, {0, s - 1}, {s - 1, s - 1}})
                EXPECT_EQ(c.At(x, y).a, 0.0f) << f.stem << " corner " << x << "," << y;
            // The middle is fully painted.
            EXPECT_EQ(ToByte(c.At(s / 2, s / 2).a), 255) << f.stem;
        }
        // Head frame: the badge's rim is ink at its left edge.
        const Canvas& head = r.frames[1].canvas;
        double darkest = 1.0;
        for (int x = 0; x < 5; ++x)
            darkest = std::min(darkest, Luma(head.StraightAt(x, 32)));
        EXPECT_LT(darkest, Luma(Palette::Ink) + 0.1) << g;
    }
}

TEST(TitleArt, TheHeroPictureTakesItsAlphaFromItsMaskThroughTheEngine)
{
    const Bytes jpeg = ReadFileBytes(kData / "images/Title_MainMenu/titlescreen_image_odalee.jpg");
    const Bytes mask = ReadFileBytes(kData / "images/Title_MainMenu/titlescreen_image_odalee_mask.png");
    const std::map<std::wstring, const Bytes*> files = {{L"titlescreen_image_odalee.jpg", &jpeg},
                                                        {L"titlescreen_image_odalee_mask.png", &mask}};
    auto opener = [&](const std::wstring& name, const std::wstring& ext) -> std::shared_ptr<Kestrin::IStream>
    {
        auto it = files.find(name + ext);
        if (it == files.end())
            return nullptr;
        return std::make_shared<Kestrin::MemoryStream>(L"file", it->second->data(),
                                                       uint32_t(it->second->size()));
    };
    Kestrin::Image image;
    ASSERT_NE(Kestrin::LoadImage(L"titlescreen_image_odalee", image, opener), nullptr);
    ASSERT_EQ(image.GetWidth(), 320);
    ASSERT_EQ(image.GetHeight(), 300);
    EXPECT_EQ(image.GetPixel(0, 0) >> 24, 0u) << "clear around the nest";
    EXPECT_EQ(image.GetPixel(319, 0) >> 24, 0u);
    // The blue Tic at the top of the bundle is solid and blue.
    const uint32_t blue = image.GetPixel(136, 122);
    EXPECT_EQ(blue >> 24, 255u);
    EXPECT_GT(blue & 0xFF, (blue >> 16) & 0xFF);
    // The Tic is lit from the top-left: a point left of and above its middle is brighter than
    // the mirrored point (both clear of the eyes and the smile).
    auto luma = [](uint32_t argb)
    { return 0.299 * ((argb >> 16) & 0xFF) + 0.587 * ((argb >> 8) & 0xFF) + 0.114 * (argb & 0xFF); };
    EXPECT_GT(luma(image.GetPixel(127, 87)), luma(image.GetPixel(193, 113)) + 20.0);
    // The nest's front is solid; the soft shadow under it is partly transparent.
    EXPECT_EQ(image.GetPixel(160, 250) >> 24, 255u);
    const uint32_t shadow = image.GetPixel(160, 292) >> 24;
    EXPECT_GT(shadow, 0u);
    EXPECT_LT(shadow, 255u);
}

TEST(TitleArt, TheMenuRoomHasNoTicsPaintedIn)
{
    // The entrance slides the hero picture to (102, 103) at 0.88 while the menu's layout holds
    // the resting Tics hidden: Tics painted into the room would make a second set during the
    // slide. Where the blue Tic (at (160, 100) of the picture) comes to rest is wallpaper.
    const Bytes jpeg = ReadFileBytes(kData / "images/Title_MainMenu/MainMenu_BG.jpg");
    Kestrin::MemoryStream stream(L"MainMenu_BG.jpg", jpeg.data(), uint32_t(jpeg.size()));
    int w = 0, h = 0;
    const auto pixels = Kestrin::DecodeJpeg(stream, w, h);
    ASSERT_TRUE(pixels);
    ASSERT_EQ(w, 800);
    auto at = [&](int x, int y) { return pixels[size_t(y) * w + x]; };
    for (const auto& [x, y] : {std::pair{102 + 141, 103 + 97}, {102 + 76, 103 + 118}, {102 + 183, 103 + 160}})
    {
        const uint32_t p = at(x, y);
        EXPECT_GT(int((p >> 16) & 0xFF), 180) << std::hex << p;
        EXPECT_GT(int((p >> 16) & 0xFF), int(p & 0xFF)) << std::hex << p << ": warm wallpaper";
    }
}

TEST(TitleArt, GroupFilesHoldImageRecordsOnlyInTheirGeneratedSection)
{
    // Every picture is generated, so a hand-written image record beside the section would be a
    // stale copy or a second resource of one name.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kData / "groups"))
    {
        if (entry.path().extension() != ".xml")
            continue;
        ++files;
        std::string text = ReadText(entry.path());
        const std::string section = ExtractSection(text, ImageSection);
        if (!section.empty())
            text.erase(text.find(section), section.size());
        for (const Record& r : ReadGroup(text))
            EXPECT_TRUE(r.kind != "image" && r.kind != "imagelist")
                << entry.path().filename() << " names " << r.name << " outside its image section";
    }
    EXPECT_GE(files, 3u);
    bool found = false;
    for (const Record& r : ReadGroup(ReadText(kData / "groups" / "Loading.xml")))
        if (r.name == "PublisherDisplayTime")
        {
            found = true;
            EXPECT_EQ(r.kind, "float");
            EXPECT_EQ(r.value, "2.5");
        }
    EXPECT_TRUE(found) << "the splash's display time is read unguarded";
}
