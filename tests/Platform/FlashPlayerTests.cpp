#include "Platform/Shim/Flash/FlashControl.h"
#include "Platform/Win32/FlashPlayer.h"

#include "Support/EngineFakes.h"
#include "Support/FakeFileSystem.h"
#include "harness/FakeClock.h"
#include "harness/LogCapture.h"
#include "swfgen/SwfGen.h"

#include "Base/FileExceptions.h"
#include "Base/Text.h"
#include "Framework/CommandLine.h"
#include "Framework/ResourceManager.h"
#include "Graphics/GraphicsFactories.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"
#include "Platform/Display.h"
#include "Platform/Looper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <tuple>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

class MoviePlayback : public ::testing::Test
{
protected:
    // A movie of `frames` frames at `fps` over the colour, stored as game data under name.swf.
    void AddMovie(const std::wstring& name, uint32_t rgb, unsigned frames, double fps, bool compress = false)
    {
        std::vector<uint8_t> bytes = SwfGen::MakeMovie({rgb, frames, fps, compress});
        files.AddFile(FileSpec(1, name, L".swf"), std::string(bytes.begin(), bytes.end()));
    }
    // The backdrop colour while a movie covers the game, 0 when none does.
    static uint32_t Backdrop()
    {
        ColorF color;
        return GetMovieBackdropColor(color) ? color.ToARGB() : 0u;
    }
    static MovieSettings Named(const std::wstring& name)
    {
        MovieSettings s;
        s.fileName = name;
        return s;
    }

    // The committed studio card (360 x 250) as game data under card.png, and the group "posters"
    // loaded from its text, as the game loads its pictures.
    ResourceManager* LoadPosters(const std::wstring& card, const std::string& group)
    {
        std::ifstream in(std::string(KESTRIN_SOURCE_DIR) + "/data/images/Title_MainMenu/Logos_poster.png",
                         std::ios::binary);
        files.AddFile(FileSpec::FromNameAndExtension(card, L".png"),
                      std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        ResourceManager* resources = ResourceManager::Instance();
        RegisterGraphicsResourceFactories(*resources);
        MemoryStream stream(L"posters", group.data(), uint32_t(group.size()));
        resources->Load(L"posters", &stream, nullptr);
        return resources;
    }

    FakeClock clock;
    FakeFileSystem files;
    ScopedFileSystem scope{&files};
};

// The game's window, which the software graphics platform draws into a picture of w x h.
struct PictureWindow
{
    PictureWindow(int w, int h) : target(w, h), canvas(target)
    {
        new FakePlatform(journal);
        graphics = new FakeGraphicsPlatform(1, journal);
        SetGraphicsPlatform(graphics);
        graphics->canvas = &canvas;
    }

    std::tuple<Journal&, FakeGraphicsPlatform*&, Image&> Parts() { return {journal, graphics, target}; }

    Journal journal;
    FakeGraphicsPlatform* graphics = nullptr;
    Image target;
    Graphics::cImageCanvas canvas;
};

TEST_F(MoviePlayback, PlayCopiesTheSettingsAndHandsThemToTheControl)
{
    AddMovie(L"AllAnimations", 0x102030, 40, 10);
    MovieSettings s = Named(L"AllAnimations");
    s.setRootVariable = true;
    s.rootVariable = L"interstitial3";
    s.goToFrame = true;
    s.frameNumber = 7;
    s.audioEnabled = false;
    s.interactive = false;
    FlashPlayer player;
    player.Play(s);
    s.fileName = L"changed"; // the player keeps its own copy
    s.rootVariable = L"changed";
    EXPECT_EQ(player.GetSettings().fileName, L"AllAnimations");
    EXPECT_EQ(player.GetSettings().rootVariable, L"interstitial3");
    Shim::FlashControl& c = player.GetControl();
    EXPECT_EQ(c.GetVariable(L"_root"), L"interstitial3");
    EXPECT_FALSE(c.IsAudioEnabled());
    EXPECT_FALSE(c.IsInteractive());
    EXPECT_EQ(c.GetAudioVolume(), Shim::FlashControl::kMaxAudioVolume); // set-volume was off
    EXPECT_EQ(c.GetCurrentFrame(), 7);
    EXPECT_EQ(c.GetMovieSize(), files.files.begin()->second.size());

    // Without the flags, neither the variable nor the frame is touched. Stop and Skip reach the
    // control, and a replay starts the movie again.
    FlashPlayer plain;
    plain.Play(Named(L"AllAnimations"));
    EXPECT_FALSE(plain.GetControl().HasVariable(L"_root"));
    EXPECT_EQ(plain.GetControl().GetCurrentFrame(), 0);
    plain.Stop();
    EXPECT_FALSE(plain.IsPlaying());
    plain.Play(Named(L"AllAnimations"));
    EXPECT_TRUE(plain.IsPlaying());
    plain.Skip();
    EXPECT_FALSE(plain.IsPlaying());
    EXPECT_EQ(plain.GetControl().GetCurrentFrame(), 39);
}

TEST_F(MoviePlayback, VolumeIsClampedAndTruncatedOnlyWhenAskedFor)
{
    AddMovie(L"Logos", 0, 1, 12);
    for (auto [volume, level] : {std::pair{1.5f, 65535},
                                 {-0.2f, 0},
                                 {0.5f, 32767},
                                 {1.0f, 65535},
                                 {0.0f, 0},
                                 {0.25f, 16383},
                                 {NAN, 0}})
    {
        SCOPED_TRACE(volume);
        EXPECT_EQ(MovieVolumeLevel(volume), level);
        MovieSettings s = Named(L"Logos");
        s.volume = volume;
        s.setVolume = true;
        FlashPlayer player;
        player.Play(s);
        EXPECT_EQ(player.GetControl().GetAudioVolume(), level);
    }
}

TEST_F(MoviePlayback, EachPlayerSuspendsDrawingOnceUntilItIsDestroyed)
{
    AddMovie(L"Logos", 0, 24, 12);
    AddMovie(L"Intro-Commerical", 0, 24, 12);
    const int before = GetDrawSuspendCount();
    {
        FlashPlayer player;
        EXPECT_EQ(GetDrawSuspendCount(), before);
        player.Play(Named(L"Logos"));
        EXPECT_EQ(GetDrawSuspendCount(), before + 1);
        player.Play(Named(L"Logos")); // the screen activated again
        player.Play(Named(L"Intro-Commerical"));
        EXPECT_EQ(GetDrawSuspendCount(), before + 1);
        EXPECT_TRUE(player.HoldsDrawing());
        {
            FlashPlayer second;
            second.Play(Named(L"Logos"));
            EXPECT_EQ(GetDrawSuspendCount(), before + 2);
        }
        EXPECT_EQ(GetDrawSuspendCount(), before + 1);
    }
    EXPECT_EQ(GetDrawSuspendCount(), before);
}

TEST_F(MoviePlayback, AMissingMovieThrowsItsExactTextAndSuspendsNothing)
{
    const int before = GetDrawSuspendCount();
    auto expectMissing = [](FlashPlayer& player, const MovieSettings& s, const std::string& file)
    {
        try
        {
            player.Play(s);
            ADD_FAILURE() << "no exception";
        }
        catch (const FileOpenException& e)
        {
            EXPECT_GT(e.GetLine(), 0);
            EXPECT_EQ(std::string(e.what()), "(" + std::to_string(e.GetLine()) + ") Error opening file \"" +
                                                 file + "\": file doesn't exist");
            EXPECT_EQ(e.GetFileName(), file);
        }
    };
    {
        FlashPlayer player;
        expectMissing(player, Named(L"Logos"), "Logos.swf");
        EXPECT_EQ(GetDrawSuspendCount(), before);
        EXPECT_FALSE(player.HoldsDrawing());
        EXPECT_FALSE(player.IsPlaying());
    }
    EXPECT_EQ(GetDrawSuspendCount(), before);

    // A failed replay keeps the movie that holds drawing, and its one hold.
    AddMovie(L"Logos", 0, 1, 12);
    FlashPlayer playing;
    playing.Play(Named(L"Logos"));
    expectMissing(playing, Named(L"basics_part02"), "basics_part02.swf");
    EXPECT_EQ(GetDrawSuspendCount(), before + 1);
    EXPECT_TRUE(playing.HoldsDrawing());
}

TEST_F(MoviePlayback, TheMovieEndsAfterItsLengthOnTheClockButHoldsDrawingTillDestroyed)
{
    AddMovie(L"basics_part01", 0xFF8000, 36, 12, true); // 3 s, compressed
    FlashPlayer player;
    EXPECT_EQ(player.QueryPlaying().result, Shim::FlashResult::NoMovie); // counts as ended
    player.Play(Named(L"basics_part01"));
    EXPECT_EQ(player.GetControl().GetHeader().frameCount, 36);
    clock.Advance(2999);
    EXPECT_EQ(player.QueryPlaying().playing, 1);
    clock.Advance(1);
    Shim::FlashPlayingState s = player.QueryPlaying();
    EXPECT_EQ(s.result, Shim::FlashResult::Ok);
    EXPECT_EQ(s.playing, 0);
    EXPECT_TRUE(player.HoldsDrawing());
}

TEST_F(MoviePlayback, TheWindowShowsTheNewestMoviesBackgroundAlsoAfterAnExpose)
{
    Journal journal;
    FakePlatform* platform = new FakePlatform(journal);
    AddMovie(L"Logos", 0x3366CC, 24, 12);
    AddMovie(L"AllAnimations", 0x00FF00, 24, 12);
    EXPECT_EQ(Backdrop(), 0u);
    EXPECT_FALSE(TakeMovieBackdropFill());
    {
        FlashPlayer logos;
        logos.Play(Named(L"Logos"));
        EXPECT_EQ(Backdrop(), 0xFF3366CCu);
        EXPECT_TRUE(TakeMovieBackdropFill()); // once when the movie starts
        EXPECT_FALSE(TakeMovieBackdropFill());
        platform->repaint = true; // expose
        EXPECT_TRUE(TakeMovieBackdropFill());
        EXPECT_FALSE(platform->repaint);
        EXPECT_FALSE(TakeMovieBackdropFill());

        clock.Advance(5000); // ended, still covering the game until destroyed
        EXPECT_EQ(Backdrop(), 0xFF3366CCu);
        {
            FlashPlayer interstitial;
            interstitial.Play(Named(L"AllAnimations"));
            EXPECT_TRUE(TakeMovieBackdropFill());
            EXPECT_EQ(Backdrop(), 0xFF00FF00u);
        }
        EXPECT_EQ(Backdrop(), 0xFF3366CCu);
        EXPECT_TRUE(TakeMovieBackdropFill()); // the older movie shows through again
    }
    EXPECT_EQ(Backdrop(), 0u);
    platform->repaint = true;
    EXPECT_FALSE(TakeMovieBackdropFill()); // the game draws again and answers the expose itself
    EXPECT_TRUE(platform->repaint);
    ResetEngineGlobals();
}

TEST_F(MoviePlayback, WhileAMovieCoversTheGameTheLoopPaintsItsBackgroundOnlyWhenDue)
{
    PictureWindow window(4, 3);
    auto [journal, graphics, target] = window.Parts();
    AddMovie(L"Logos", 0x3366CC, 24, 12);
    Looper looper;
    {
        FlashPlayer logos;
        logos.Play(Named(L"Logos"));
        looper.DrawFrame();
        EXPECT_EQ(journal.Count("graphicsSoftware.BeginFrame"), 1u);
        EXPECT_EQ(journal.Count("graphicsSoftware.EndFrame"), 1u);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(target.GetPixel(x, y), 0xFF3366CCu) << x << "," << y;
        looper.DrawFrame(); // nothing new to show: the window keeps its picture
        EXPECT_EQ(journal.Count("graphicsSoftware.BeginFrame"), 1u);
    }
    graphics->canvas = nullptr;
    ResetEngineGlobals();
}

TEST(MoviePoster, FadesInHoldsAndFadesOutOverTheMovie)
{
    const struct
    {
        uint32_t elapsed, length;
        float opacity;
    } cases[] = {
        {0, 3000, 0.0f},    {375, 3000, 0.5f},     {750, 3000, 1.0f},  {1500, 3000, 1.0f}, {2250, 3000, 1.0f},
        {2625, 3000, 0.5f}, {2999, 3000, 0.0013f}, {3000, 3000, 0.0f}, {9000, 3000, 0.0f}, // ended
        {2500, 5000, 1.0f}, {4700, 5000, 0.4f},    {150, 600, 0.75f},  {300, 600, 1.0f},   // a third each way
        {0, 0, 0.0f},       {1, 1, 0.0f},          {0, 2, 0.0f},       {1, 2, 1.0f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(MoviePosterOpacity(c.elapsed, c.length), c.opacity, 0.001f)
            << c.elapsed << " of " << c.length;
}

TEST_F(MoviePlayback, ThePosterFadesInOverTheBackgroundAndOutBeforeTheEnd)
{
    PictureWindow window(400, 300);
    auto [journal, graphics, target] = window.Parts();
    const std::string group = "<resources><image name=\"Logos_poster\" src=\"Logos_poster\"/></resources>";
    ResourceManager* resources = LoadPosters(L"Logos_poster", group);
    AddMovie(L"Logos", 0x3366CC, 36, 12); // 3 s
    AddMovie(L"AllAnimations", 0x00FF00, 24, 12);

    auto channel = [](uint32_t argb, int shift) { return int((argb >> shift) & 0xFF); };
    // The dome of the emblem, opaque on the card, lies at (180, 82) of it, centred on the canvas.
    IImage* poster = nullptr;
    auto expectDome = [&](float opacity)
    {
        const uint32_t back = 0xFF3366CCu, painted = poster->GetPixel(180, 82);
        const uint32_t dome = target.GetPixel(20 + 180, 25 + 82);
        ASSERT_EQ(painted >> 24, 0xFFu);
        for (int shift : {16, 8, 0})
        {
            const float want =
                channel(back, shift) + (channel(painted, shift) - channel(back, shift)) * opacity;
            EXPECT_NEAR(channel(dome, shift), want, 3.0f) << std::hex << dome << " at opacity " << opacity;
        }
        EXPECT_EQ(target.GetPixel(5, 5), 0xFF3366CCu) << "the background round the poster";
    };
    Looper looper;
    {
        FlashPlayer logos;
        logos.Play(Named(L"Logos"));
        poster = logos.GetPoster();
        ASSERT_NE(poster, nullptr);
        EXPECT_EQ(poster->GetWidth(), 360);
        // Its group unloaded while the movie plays, the poster stays the movie's.
        files.AddFile(FileSpec::FromNameAndExtension(L"posters", L".xml"), group);
        resources->UnloadFile(L"posters");
        EXPECT_EQ(GetImageByName("Logos_poster").second, nullptr);
        looper.DrawFrame();
        EXPECT_EQ(target.GetPixel(200, 107), 0xFF3366CCu) << "not shown yet";
        clock.Advance(375);
        looper.DrawFrame();
        expectDome(0.5f);
        const uint32_t half = target.GetPixel(200, 107);
        clock.Advance(1125);
        looper.DrawFrame();
        expectDome(1.0f);
        EXPECT_NE(target.GetPixel(200, 107), half);
        const size_t frames = journal.Count("graphicsSoftware.BeginFrame");
        clock.Advance(100);
        looper.DrawFrame(); // held at full: nothing new to show
        EXPECT_EQ(journal.Count("graphicsSoftware.BeginFrame"), frames);

        {
            // A movie without a poster shows its background alone.
            FlashPlayer plain;
            plain.Play(Named(L"AllAnimations"));
            EXPECT_EQ(plain.GetPoster(), nullptr);
            looper.DrawFrame();
            EXPECT_EQ(target.GetPixel(200, 107), 0xFF00FF00u);
        }
        looper.DrawFrame();
        expectDome(1.0f);
        clock.Advance(1500); // ended: the background stays until the screen goes
        looper.DrawFrame();
        EXPECT_EQ(target.GetPixel(200, 107), 0xFF3366CCu);
    }
    graphics->canvas = nullptr;
    delete ResourceManager::Instance();
    ResetEngineGlobals();
}

// The story films are one movie told apart by their label: each finds its own poster, and a label
// without one falls back to the movie's.
TEST_F(MoviePlayback, ALabelledFilmShowsItsOwnPosterAndOtherwiseTheMovies)
{
    LoadPosters(L"Card", "<resources><image name=\"AllAnimations_poster\" src=\"Card\"/>"
                         "<image name=\"AllAnimations_interstitial2_poster\" src=\"Card\"/></resources>");
    AddMovie(L"AllAnimations", 0x6A4C9C, 24, 12);
    IImage* movies = GetImageByName("AllAnimations_poster").second;
    IImage* second = GetImageByName("AllAnimations_interstitial2_poster").second;
    ASSERT_TRUE(movies && second && movies != second);

    const struct
    {
        const wchar_t* label;
        bool set;
        IImage* poster;
        std::vector<std::string> names;
    } cases[] = {
        {L"interstitial2", true, second, {"AllAnimations_interstitial2_poster", "AllAnimations_poster"}},
        {L"interstitial3", true, movies, {"AllAnimations_interstitial3_poster", "AllAnimations_poster"}},
        {L"interstitial2", false, movies, {"AllAnimations_poster"}}, // a label never handed over
        {L"", true, movies, {"AllAnimations_poster"}},
    };
    for (const auto& c : cases)
    {
        MovieSettings settings = Named(L"AllAnimations");
        settings.rootVariable = c.label;
        settings.setRootVariable = c.set;
        EXPECT_EQ(MoviePosterNames(settings), c.names);
        FlashPlayer player;
        player.Play(settings);
        EXPECT_EQ(player.GetPoster(), c.poster) << ToUtf8(c.label) << " " << c.set;
    }
    delete ResourceManager::Instance();
    ResetEngineGlobals();
}

// A movie screen's handler: ends its movie at once by destroying the player.
struct EndingScreen : IWindowModeChangeHandler
{
    void OnWindowModeChanged() override { player.reset(); }
    std::unique_ptr<FlashPlayer> player = std::make_unique<FlashPlayer>();
};

TEST_F(MoviePlayback, AWindowModeChangeKeepsTheMovieUntilItsScreenEndsIt)
{
    Journal journal;
    new FakePlatform(journal);
    FakeGraphicsFactory factory{journal};
    TestApplication app{journal};
    const char* args[] = {"Tanglewisp"};
    SetCommandLine(1, args);
    DisplaySettings windowed{0, 1, 800, 600};
    ApplyDisplaySettings(windowed, false);

    AddMovie(L"Logos", 0, 120, 12);
    FlashPlayer kept;
    kept.Play(Named(L"Logos"));
    EndingScreen screen;
    screen.player->Play(Named(L"Logos"));
    GetWindowModeChangeHandlers() = {&screen};
    EXPECT_EQ(GetDrawSuspendCount(), 2);

    SetWindowMode(1);
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
    EXPECT_EQ(screen.player, nullptr);
    EXPECT_EQ(GetDrawSuspendCount(), 1);
    EXPECT_TRUE(kept.IsPlaying()); // no window of its own to lose
    EXPECT_TRUE(kept.HoldsDrawing());
    ResetEngineGlobals();
}

} // namespace
