#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ResourceManager.h"
#include "Game/GameObstacle.h"
#include "Game/GameResourceFactories.h"
#include "Game/GremlinHome.h"
#include "Game/Line.h"
#include "Game/NimbalGunk.h"
#include "Game/SludgeLayerNode.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/ImageList.h"
#include "Platform/Looper.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/SceneResourceFactories.h"
#include "Scene/SpriteType.h"

#include "GameStubs/GameFakes.h"
#include "PlayfieldTestSupport.h"
#include "Scene/NodeKindTestSupport.h"
#include "Support/FakeRandom.h"
#include "Support/RecordedSounds.h"
#include "harness/LogCapture.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace GameTest;

namespace
{

constexpr int Red = int(GremlinColorType::Red);
constexpr int Green = int(GremlinColorType::Green);
constexpr int Blue = int(GremlinColorType::Blue);
constexpr int Purple = int(GremlinColorType::Purple);
constexpr int Black = int(GremlinColorType::Black);
constexpr int Any = int(GremlinColorType::Any);

// Every colour has a list of five 20 x 20 cells but red, which has three; every sparkle plays two
// frames at 10 fps.
std::string GunkResources()
{
    std::string xml =
        "<resources><testsound name=\"SFX_ClearGunk\"/><testsound name=\"SFX_Action-DeepClean\"/>"
        "<testimages name=\"SparkleFrames\" count=\"2\" width=\"8\" height=\"8\"/>";
    const std::string play =
        "\" images=\"SparkleFrames\"><animation name=\"play\" frameList=\"0,1\" fps=\"10\"/>"
        "</spritetype>";
    xml += "<spritetype name=\"LineSparkle" + play + "<spritetype name=\"DeepCleanSparkle" + play;
    for (const char* colour : EnumNames<GremlinColorType>::names)
    {
        xml += "<spritetype name=\"SludgeSparkle-" + std::string(colour) + play;
        if (std::string(colour) != "Any" && std::string(colour) != "Purple")
            xml += "<testimages name=\"sludgeBGImageList-" + std::string(colour) + "\" count=\"" +
                   (std::string(colour) == "Red" ? "3" : "5") + "\" width=\"20\" height=\"20\"/>";
    }
    return xml + "</resources>";
}

class Gunk : public testing::Test
{
protected:
    Gunk()
    {
        Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
        RegisterSceneResourceFactories(*resources);
        resources->RegisterFactory(L"testimages", new SceneTest::TestImagesFactory);
        resources->RegisterFactory(L"testimage", new SceneTest::TestImageFactory);
        resources->RegisterFactory(L"testsound", new SceneTest::TestSoundFactory);
        Load(L"GunkArt", GunkResources());
        Load(L"GunkCell",
             "<resources><testimage name=\"sludgeBGImage-Black\" width=\"20\" height=\"20\"/></resources>");
        Load(L"GunkPurple",
             "<resources><testimages name=\"sludgeBGImageList-Purple\" count=\"5\" width=\"20\" "
             "height=\"20\"/></resources>");
        Kestrin::Graphics::SetCurrentCanvas(&canvas);
        canvas.bounds = {0, 0, 800, 600};
        looper->PushModeNow(screen);
        screen->AddObject(level);
    }
    ~Gunk() override
    {
        lines.clear();
        Kestrin::Graphics::SetCurrentCanvas(nullptr);
        looper.reset();
        delete Kestrin::ResourceManager::Instance();
    }

    static void Load(const std::wstring& group, const std::string& xml)
    {
        Kestrin::MemoryStream stream(group, xml.data(), uint32_t(xml.size()));
        Kestrin::ResourceManager::Instance()->Load(group, &stream, nullptr);
    }
    void Steps(int count, float dt = 0.02f) { screen->Steps(*looper, count, dt); }
    GunkCell& Cell(int c, int r) { return board.cells[size_t(c)][size_t(r)]; }
    // Gunk in layers, bottom first, on the cell holding the point (radius 1 hits only that cell).
    void Stack(int c, int r, const GunkCell& colours)
    {
        for (int colour : colours)
            board.AddGunk(1, c * 20, r * 20, colour);
    }
    std::vector<SceneNode*> Sparkles() const
    {
        std::vector<SceneNode*> out;
        for (SceneNode* n = board.layerNode ? board.layerNode->GetFirstChild() : nullptr; n;
             n = n->GetNextSibling())
            out.push_back(n);
        return out;
    }
    // A loop of the line round the rectangle, closed as the player closes one: the head crosses the
    // first segment.
    Line* Loop(int colour, float left, float top, float right, float bottom, bool deepClean = false)
    {
        auto line = std::make_unique<Line>(left, top, nullptr, GremlinColorType(colour), GremlinKind::Basic);
        for (Vector2f corner :
             {Vector2f(right, top), Vector2f(right, bottom), Vector2f(left, bottom), Vector2f(left, top)})
            line->AddPathPoint(corner);
        line->OnSelfCrossing(line->headSegment, line->firstSegment);
        line->powerUpEffect = deepClean ? Line::PowerUpEffect::DeepClean : Line::PowerUpEffect::None;
        lines.push_back(std::move(line));
        return lines.back().get();
    }

    BoostRandomNumberStream random{20261210};
    Kestrin::ScopedRandomStream scopedRandom{&random};
    KestrinTest::RecordingCanvas canvas;
    KestrinTest::LogCapture log;
    std::vector<std::string> played;
    KestrinTest::RecordedSounds recorded{played};
    NimbalGunk board;
    std::unique_ptr<Kestrin::Looper> looper = std::make_unique<Kestrin::Looper>();
    PlayfieldScreen* screen = new PlayfieldScreen({.paths = {NodePath::TerrainLayerNode}});
    FakeLevel* level = new FakeLevel;
    std::vector<std::unique_ptr<Line>> lines;
};

} // namespace

TEST_F(Gunk, BuildCutsTheScreenIntoCellsOfTheImageAndDecoratesThemFromTheStream)
{
    // Per cell u1, u2 (the offsets y and x), then flags 1, 2 and 4; the last draw repeats.
    KestrinTest::FakeRandomStream scripted(
        {0.0f, 0.99f, 0.4f, 0.6f, 0.1f, 0.5f, 0.3f, 0.5f, 0.5f, 0.99f, 0.75f});
    Kestrin::ScopedRandomStream use(&scripted);
    ASSERT_TRUE(board.Build());
    EXPECT_EQ((std::vector<int>{board.cellWidth, board.cellHeight, board.columns, board.rows}),
              (std::vector<int>{20, 20, 40, 30}));
    EXPECT_FLOAT_EQ(board.capacity, 4968.75f);
    auto decoration = [&](int c, int r)
    {
        const GunkCellDecoration& d = board.decorations[size_t(c)][size_t(r)];
        return std::vector<float>{d.offsetX, d.offsetY, float(d.flags)};
    };
    EXPECT_EQ(decoration(0, 0), (std::vector<float>{3, -3, 5}));
    EXPECT_EQ(decoration(0, 1), (std::vector<float>{-1, 0, 0}));
    EXPECT_EQ(decoration(39, 29), (std::vector<float>{2, 2, 0}));
    ASSERT_NE(board.layerNode, nullptr);
    EXPECT_EQ(board.layerNode->GetParent(), screen->At(NodePath::TerrainLayerNode));

    // The level again on the same scene: an empty board and one layer node.
    board.AddGunk(50, 400, 300, Red);
    ASSERT_TRUE(board.Build());
    EXPECT_FALSE(board.HasGunk());
    Steps(1);
    EXPECT_EQ(screen->At(NodePath::TerrainLayerNode)->GetChildCount(), 1u);
    EXPECT_EQ(InstalledGunkBoard(), nullptr) << "building a board installs none";
}

TEST_F(Gunk, WithoutTheCellImageTheBoardIsNotBuiltAndNothingBreaks)
{
    Kestrin::ResourceManager::Instance()->UnloadFile(L"GunkCell");
    EXPECT_FALSE(board.Build());
    EXPECT_NE(log.Text().find("\"sludgeBGImage-Black\" is not loaded"), std::string::npos) << log.Text();
    EXPECT_EQ(board.columns, 0);
    board.AddGunk(100, 400, 300, Red);
    board.LoadPatch("55", 2, 100, 100, 1, Red);
    EXPECT_FALSE(board.CleanLoop(Loop(Red, 0, 0, 800, 600, true)));
    EXPECT_EQ(board.GetGunkFraction(), 0.0f);
    EXPECT_EQ(level->calls, (std::vector<std::string>{"OnGunkReturned", "OnGunkCleared"}));
}

TEST_F(Gunk, GunkLiesOnlyInsideThePlayfieldOffItsTopCornersAndClearOfTrapsAndObstacles)
{
    ASSERT_TRUE(board.Build());
    // Trap box 300..340 x 200..230; obstacle box 500..560 x 400..420.
    GremlinHome trap(GremlinColorType::Red, {300, 200}, GremlinKind::Basic, false);
    GameObstacle block({500, 400}, 60, 20, nullptr);
    board.AddGunk(2000, 400, 300, Blue);
    struct Case
    {
        int c, r, depth;
        const char* why;
    };
    const Case cases[] = {
        {0, 10, 0, "column 0"},
        {10, 0, 0, "row 0"},
        {1, 10, 0, "left edge 10"},
        {2, 10, 1, "left edge 30"},
        {38, 10, 1, "right edge 770"},
        {39, 10, 0, "right edge 790"},
        {20, 1, 0, "top edge 10"},
        {20, 27, 1, "bottom edge 550"},
        {20, 28, 0, "bottom edge 570"},
        {2, 2, 0, "top-left corner cut"},
        {4, 2, 1, "past the left cut"},
        {37, 2, 0, "top-right corner cut"},
        {36, 2, 1, "past the right cut"},
        {16, 10, 0, "inside the trap"},
        {14, 9, 0, "trap corner 28 px"},
        {14, 8, 1, "trap corner 45 px"},
        {16, 12, 0, "under the trap 10 px"},
        {17, 13, 1, "under the trap 30 px"},
        {24, 22, 0, "block corner 28 px"},
        {24, 23, 1, "block corner 45 px"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(board.Depth(c.c, c.r), c.depth) << c.why << " (" << c.c << ", " << c.r << ")";
    EXPECT_EQ(level->calls, std::vector<std::string>{"OnGunkReturned"});

    // A board that filled before the trap came is cleared around the trap's box.
    board.AddGunk(2000, 400, 300, Blue);
    GremlinHome late(GremlinColorType::Red, {100, 300}, GremlinKind::Basic, false);
    board.ClearAround(late);
    EXPECT_EQ(
        (std::vector<int>{board.Depth(6, 16), board.Depth(4, 14), board.Depth(6, 18), board.Depth(8, 18)}),
        (std::vector<int>{0, 0, 2, 2}))
        << "inside, corner 28 px, straight below exactly 30 px (kept) and corner 36 px away";
}

TEST_F(Gunk, CellsKeepFiveLayersAndPatchesLayDigitsWhereTheGridReaches)
{
    ASSERT_TRUE(board.Build());
    Stack(10, 10, {0, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Cell(10, 10), (GunkCell{2, 3, 4, 5, 6}));
    board.AddGunk(30, -500, -500, Red);
    EXPECT_EQ(level->calls, std::vector<std::string>(8, "OnGunkReturned")) << "even when nothing changed";
    EXPECT_FLOAT_EQ(board.GetGunkFraction(), 5.0f / 4968.75f);

    board.LoadPatch("0123", 4, 100, 100, 2, Blue);
    EXPECT_EQ((std::vector<int>{board.Depth(5, 5), board.Depth(6, 5), board.Depth(5, 6), board.Depth(6, 6)}),
              (std::vector<int>{0, 1, 2, 3}));
    // Past every edge, from negative points: nothing written outside the grid.
    for (auto [x, y] : {std::pair{780, 540}, {-40, -40}, {9000, 100}, {100, 9000}})
        board.LoadPatch("999999999", 9, x, y, 3, Red);
    EXPECT_FLOAT_EQ(board.GetGunkFraction() * board.capacity, 11.0f);
    EXPECT_THROW(board.LoadPatch("1a", 2, 100, 100, 2, Red), boost::bad_lexical_cast);
    EXPECT_THROW(board.LoadPatch("11", 2, 100, 100, 0, Red), std::invalid_argument);
    EXPECT_EQ(level->calls.size(), 8u) << "patches are no news to the level";

    // Seeded circles: never a sixth layer, and the circle's colour on top wherever it may lie.
    for (int i = 0; i < 100; ++i)
    {
        const int x = int(random.NextFloat() * 800), y = int(random.NextFloat() * 600);
        const int radius = int(random.NextFloat() * 120), colour = int(random.NextFloat() * 7);
        board.AddGunk(radius, x, y, colour);
        for (int c = 0; c < board.columns; ++c)
            for (int r = 0; r < board.rows; ++r)
            {
                ASSERT_LE(board.Depth(c, r), 5);
                const int dx = x - c * 20, dy = y - r * 20;
                const bool reached =
                    dx * dx + dy * dy < radius * radius && c > 0 && r > 0 && board.CanHoldGunk(c, r);
                ASSERT_TRUE(!reached || Cell(c, r).back() == colour) << c << "," << r;
            }
    }
}

TEST_F(Gunk, LoopsCleanOneTopLayerOfTheirColourBlackOrAnyAndDeepCleansEmptyAll)
{
    ASSERT_TRUE(board.Build());
    struct Case
    {
        GunkCell before;
        int loop;
        GunkCell after;
    };
    const Case cases[] = {
        {{Red, Blue}, Red, {Red, Blue}}, {{Blue, Red}, Red, {Blue}}, {{Red, Red}, Red, {Red}},
        {{Blue, Black}, Red, {Blue}},    {{Red, Any}, Blue, {Red}},  {{Blue}, Red, {Blue}},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        Stack(5 + int(i), 5, cases[i].before);
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        played.clear();
        const float x = float((5 + int(i)) * 20);
        const bool cleaned = board.CleanLoop(Loop(cases[i].loop, x - 5, 95, x + 5, 105));
        EXPECT_EQ(Cell(5 + int(i), 5), cases[i].after) << "case " << i;
        EXPECT_EQ(cleaned, cases[i].after != cases[i].before) << "case " << i;
        EXPECT_EQ(played, cleaned ? std::vector<std::string>{"SFX_ClearGunk"} : std::vector<std::string>{});
    }

    // A deep clean empties every cell inside, each with a sparkle.
    board.AddGunk(60, 200, 300, Blue);
    board.AddGunk(60, 200, 300, Red);
    Stack(30, 20, {Green});
    played.clear();
    EXPECT_TRUE(board.CleanLoop(Loop(Purple, 5, 5, 390, 590, true)));
    EXPECT_EQ(played, (std::vector<std::string>{"SFX_Action-DeepClean", "SFX_ClearGunk"}));
    EXPECT_EQ(Cell(30, 20), GunkCell{Green});
    EXPECT_EQ(board.RandomGunkCell(), Vector2f(600, 400)) << "the only gunk left";
    EXPECT_GT(Sparkles().size(), 20u);
    EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "OnGunkCleared"), 0);

    // Nothing inside: no sound, yet the board is checked after every loop.
    played.clear();
    EXPECT_FALSE(board.CleanLoop(Loop(Purple, 5, 5, 390, 590, true)));
    EXPECT_TRUE(played.empty());
    EXPECT_TRUE(board.CleanLoop(Loop(Green, 590, 390, 610, 410)));
    EXPECT_EQ(board.RandomGunkCell(), Vector2f(400, 300)) << "a clean board";
    EXPECT_FALSE(board.CleanLoop(Loop(Red, 700, 500, 710, 510)));
    EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "OnGunkCleared"), 2);
}

TEST_F(Gunk, SparklesWaitShowPlayOnceAndGo)
{
    KestrinTest::FakeRandomStream scripted({0.5f});
    ASSERT_TRUE(board.Build());
    Stack(10, 5, {Red});
    board.decorations[10][5] = {2, -3, 0};
    {
        Kestrin::ScopedRandomStream use(&scripted);
        ASSERT_TRUE(board.CleanLoop(Loop(Red, 190, 90, 210, 110)));
    }
    ASSERT_EQ(Sparkles().size(), 1u);
    auto* sparkle = dynamic_cast<AnimatedSpriteNode*>(Sparkles()[0]);
    ASSERT_NE(sparkle, nullptr);
    EXPECT_EQ(sparkle->GetSpriteType(), GetSpriteType("LineSparkle").second);
    EXPECT_EQ(Vector2f(sparkle->GetLocalState().x, sparkle->GetLocalState().y), Vector2f(192, 87));
    EXPECT_EQ(sparkle->GetSelfHAlign(), SceneNode::Align_Center);
    Steps(9); // the wait: 0.5 x 0.4 s
    EXPECT_FALSE(sparkle->GetLocalState().visible);
    Steps(2);
    EXPECT_TRUE(sparkle->GetLocalState().visible);
    Steps(15);
    EXPECT_TRUE(Sparkles().empty()) << "two frames at 10 fps, then gone";

    // A sparkle without its sprite type is skipped, and said once.
    for (int i = 0; i < 2; ++i)
        board.SpawnSparkle(10, 5, Kestrin::MakeName("NoSuchSparkle"));
    EXPECT_TRUE(Sparkles().empty());
    const std::string text = log.Text(), line = "no sprite type \"NoSuchSparkle\"";
    ASSERT_NE(text.find(line), std::string::npos) << text;
    EXPECT_EQ(text.find(line, text.find(line) + 1), std::string::npos) << "logged once: " << text;
}

namespace
{

Kestrin::Image* CellImage(GremlinColorType colour, int index)
{
    auto* list =
        dynamic_cast<Kestrin::ImageList*>(Kestrin::GetResource<Kestrin::IImageList>(
                                              (std::string("sludgeBGImageList-") + NameOf(colour)).c_str())
                                              .second);
    return list ? dynamic_cast<Kestrin::Image*>(list->GetImageAt(index)) : nullptr;
}

class SludgeLayer : public Gunk
{
protected:
    SludgeLayer()
    {
        EXPECT_TRUE(board.Build());
        node = board.layerNode;
    }
    ~SludgeLayer() override { Kestrin::Graphics::CurrentDrawState() = saved; }
    std::vector<KestrinTest::CanvasCall> Draw()
    {
        canvas.calls.clear();
        node->Draw({0, 0});
        return canvas.calls;
    }

    Kestrin::Graphics::DrawState saved = Kestrin::Graphics::CurrentDrawState();
    SludgeLayerNode* node = nullptr;
};

} // namespace

TEST_F(SludgeLayer, EachGunkCellDrawsTheImageOfItsDepthAndTopColourPlacedByItsDecoration)
{
    using namespace Kestrin::Graphics;
    Stack(5, 5, {Blue, Red, Red, Red});     // 4 deep on a list of 3
    Stack(6, 5, {Red, Red, Red, Red, Red}); // 5 deep
    Stack(7, 5, {Red, Blue});
    Stack(8, 5, {Blue, Any});
    board.decorations[5][5] = {1, -2, 4};
    board.decorations[6][5] = {0, 0, 0};
    board.decorations[7][5] = {0, 0, 7};
    board.decorations[8][5] = {-3, 3, 4};
    CurrentDrawState().flags = DrawFlag_Blend | DrawFlag_MirrorX;
    const auto calls = Draw();
    ASSERT_EQ(calls.size(), 4u);
    struct Expected
    {
        Kestrin::Image* image;
        float centreX, centreY, angle;
        uint32_t flags;
    };
    const float quarter = float(std::acos(-1.0) / 2);
    const Expected expected[] = {
        // Anchor (91, 88), drawn as it is: the centre half a cell further.
        {CellImage(GremlinColorType::Red, 2), 101, 98, 0, DrawFlag_Blend},
        // Anchor (110, 90) turned a quarter about (130, 90): the same square.
        {CellImage(GremlinColorType::Red, 2), 120, 100, quarter, DrawFlag_Blend},
        {CellImage(GremlinColorType::Blue, 1), 140, 100, 0,
         DrawFlag_Blend | DrawFlag_MirrorX | DrawFlag_MirrorY},
        {CellImage(GremlinColorType::Black, 1), 157, 103, 0, DrawFlag_Blend},
    };
    for (size_t i = 0; i < 4; ++i)
    {
        EXPECT_EQ(calls[i].image, expected[i].image) << i;
        EXPECT_NEAR(calls[i].x, expected[i].centreX, 1e-4) << i;
        EXPECT_NEAR(calls[i].y, expected[i].centreY, 1e-4) << i;
        EXPECT_FLOAT_EQ(calls[i].rectF.x, expected[i].angle) << i;
        EXPECT_EQ(calls[i].state.flags, expected[i].flags) << i;
    }
    EXPECT_EQ(CurrentDrawState().flags, DrawFlag_Blend | DrawFlag_MirrorX)
        << "the current state is left alone";

    // A hidden terrain layer hides the gunk with it.
    screen->At(NodePath::TerrainLayerNode)->SetVisible(false);
    EXPECT_TRUE(Draw().empty());
    screen->At(NodePath::TerrainLayerNode)->SetVisible(true);
    EXPECT_EQ(Draw().size(), 4u);
}

TEST_F(SludgeLayer, SparklesFallDueOnTheTimerAndCellsWithoutImagesAreSkipped)
{
    KestrinTest::FakeRandomStream scripted({0.25f, 0.75f});
    Kestrin::ScopedRandomStream use(&scripted);
    node->Update(0.02f);
    EXPECT_TRUE(node->sparkleDue) << "the timer starts at 0";
    EXPECT_FLOAT_EQ(node->sparkleTimer, 0.75f);
    Draw();
    EXPECT_TRUE(node->sparkleDue) << "a clean board keeps it due";

    Kestrin::ResourceManager::Instance()->UnloadFile(L"GunkPurple");
    Stack(4, 6, {Purple});
    Stack(9, 2, {Blue, Any});
    EXPECT_EQ(Draw().size(), 1u);
    EXPECT_FALSE(node->sparkleDue);
    ASSERT_EQ(Sparkles().size(), 1u);
    auto* sparkle = dynamic_cast<AnimatedSpriteNode*>(Sparkles()[0]);
    ASSERT_NE(sparkle, nullptr);
    EXPECT_EQ(sparkle->GetSpriteType(), GetSpriteType("SludgeSparkle-Any").second)
        << "the second cell, by 0.75";
    EXPECT_EQ(Draw().size(), 1u);
    EXPECT_EQ(Sparkles().size(), 1u) << "one per due time";
    const std::string text = log.Text(), line = "no image list \"sludgeBGImageList-Purple\"";
    ASSERT_NE(text.find(line), std::string::npos) << text;
    EXPECT_EQ(text.find(line, text.find(line) + 1), std::string::npos) << "logged once: " << text;
}

TEST_F(SludgeLayer, OnTheImageCanvasACellCoversItsSquareAsItIsOrTurned)
{
    // Image 0 of the red list: left half red, right half blue, with four turns cached.
    Kestrin::Image* image = CellImage(GremlinColorType::Red, 0);
    ASSERT_NE(image, nullptr);
    constexpr uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
    for (int i = 0; i < 400; ++i)
        image->Pixels()[i] = i % 20 < 10 ? red : blue;
    image->hasAlpha = false;
    image->MarkPixelsChanged();
    Kestrin::BuildRotationCache(*image, 4);

    Stack(10, 10, {Red});
    Stack(12, 10, {Red});
    board.decorations[10][10] = {0, 0, 4}; // as it is
    board.decorations[12][10] = {0, 0, 0}; // a quarter turn
    Kestrin::Image target(800, 600);
    Kestrin::Graphics::cImageCanvas imageCanvas(target);
    Kestrin::Graphics::SetCurrentCanvas(&imageCanvas);
    node->Draw({0, 0});
    auto at = [&](int x, int y) { return target.GetPixel(x, y); };
    // The plain cell covers 190..209 x 190..209; the turned one 230..249 x 190..209, its left
    // half turned to the top.
    EXPECT_EQ((std::vector<uint32_t>{at(190, 190), at(199, 209), at(200, 190), at(209, 209)}),
              (std::vector<uint32_t>{red, red, blue, blue}));
    EXPECT_EQ((std::vector<uint32_t>{at(230, 190), at(249, 199), at(230, 200), at(249, 209)}),
              (std::vector<uint32_t>{red, red, blue, blue}));
    for (auto [x, y] : {std::pair{189, 195}, {210, 195}, {229, 195}, {250, 195}, {240, 189}, {240, 210}})
        EXPECT_EQ(at(x, y), 0u) << x << "," << y;
}

TEST_F(SludgeLayer, TheGameRegistersTheNodeKindForLayouts)
{
    RegisterGameResourceFactories(*Kestrin::ResourceManager::Instance());
    SceneNodeFactory* factory = GetSceneNodeFactories().Find(L"sludgelayernode");
    ASSERT_NE(factory, nullptr);
    std::unique_ptr<SceneNodeDescriptor> descriptor(factory->Read(Kestrin::AttributeContainer()));
    std::unique_ptr<SceneNode> made(factory->Create(*descriptor));
    auto* layer = dynamic_cast<SludgeLayerNode*>(made.get());
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->board, &NimbalGunk::Instance());
    EXPECT_FALSE(layer->sparkleDue);
}
