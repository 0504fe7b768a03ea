#include "Platform/Shim/Flash/FlashControl.h"
#include "swfgen/SwfGen.h"

#include "harness/FakeClock.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Kestrin::Shim;
using KestrinTest::FakeClock;
using KestrinTest::LogCapture;

namespace
{

std::vector<uint8_t> Movie(uint32_t rgb, unsigned frames, double fps, bool compress = false)
{
    return SwfGen::MakeMovie({rgb, frames, fps, compress});
}

void Load(FlashControl& c, const std::vector<uint8_t>& bytes, const std::string& name = "test.swf")
{
    c.PutMovieFromMemory(bytes.data(), bytes.size(), name);
}

class FlashControlTest : public ::testing::Test
{
protected:
    std::pair<FlashResult, int> State()
    {
        FlashPlayingState s = c.QueryPlaying();
        return {s.result, s.playing};
    }
    FakeClock clock;
    FlashControl c;
};

} // namespace

TEST_F(FlashControlTest, PlaysAsItsBackgroundForItsLength)
{
    EXPECT_EQ(State(), std::make_pair(FlashResult::NoMovie, 0));
    EXPECT_FALSE(c.IsPlaying());
    Load(c, Movie(0x3366CC, 24, 12));
    EXPECT_EQ(c.GetBackgroundColor(), (SwfRgb{0x33, 0x66, 0xCC}));
    EXPECT_EQ(c.GetPlayMilliseconds(), 2000u);
    EXPECT_EQ(State(), std::make_pair(FlashResult::Ok, 1));
    EXPECT_EQ(c.GetCurrentFrame(), 0);
    clock.Advance(1000);
    EXPECT_EQ(c.GetCurrentFrame(), 12);
    clock.Advance(999);
    EXPECT_TRUE(c.IsPlaying());
    EXPECT_EQ(c.GetCurrentFrame(), 23);
    clock.Advance(1);
    EXPECT_EQ(State(), std::make_pair(FlashResult::Ok, 0));
    EXPECT_EQ(c.GetCurrentFrame(), 23);
}

TEST_F(FlashControlTest, LengthIsCappedAndZeroRateOrCountGetDefaults)
{
    Load(c, Movie(0, 3000, 60, true)); // 50 s
    EXPECT_EQ(c.GetPlayMilliseconds(), FlashControl::kMaxPlayMilliseconds);
    clock.Advance(29999);
    EXPECT_TRUE(c.IsPlaying());
    clock.Advance(1);
    EXPECT_FALSE(c.IsPlaying());

    // 65535 frames at the slowest rate must not overflow on the way to the cap.
    SwfGen::SwfWriter slow(800, 600, 1, 65535);
    std::vector<uint8_t> f = slow.Finish(false);
    Load(c, f);
    EXPECT_EQ(c.GetPlayMilliseconds(), FlashControl::kMaxPlayMilliseconds);

    Load(c, Movie(0, 36, 0)); // 12 fps stands in for 0
    EXPECT_EQ(c.GetPlayMilliseconds(), 3000u);
    Load(c, Movie(0, 0, 10)); // one frame stands in for none
    EXPECT_EQ(c.GetPlayMilliseconds(), 100u);
    EXPECT_TRUE(c.IsPlaying());
    clock.Advance(100);
    EXPECT_FALSE(c.IsPlaying());
    EXPECT_EQ(c.GetCurrentFrame(), 0);
}

TEST_F(FlashControlTest, StopHaltsAndSkipEnds)
{
    Load(c, Movie(0, 100, 10));
    clock.Advance(2500);
    c.Stop();
    EXPECT_FALSE(c.IsPlaying());
    clock.Advance(3000);
    EXPECT_EQ(c.GetCurrentFrame(), 25);
    EXPECT_EQ(c.QueryPlaying().result, FlashResult::Ok);

    Load(c, Movie(0, 100, 10));
    EXPECT_TRUE(c.IsPlaying());
    clock.Advance(100);
    c.Skip();
    EXPECT_FALSE(c.IsPlaying());
    EXPECT_EQ(c.GetCurrentFrame(), 99);
    clock.Advance(100000);
    EXPECT_FALSE(c.IsPlaying());

    FlashControl empty; // nothing to act on: no crash, still no movie
    empty.Stop();
    empty.Skip();
    empty.GotoFrame(3);
    EXPECT_EQ(empty.QueryPlaying().result, FlashResult::NoMovie);
}

TEST_F(FlashControlTest, GotoFramePlaysOnFromThereOrStaysWhenStopped)
{
    Load(c, Movie(0, 50, 10)); // 5 s
    clock.Advance(1000);
    c.GotoFrame(40);
    EXPECT_EQ(c.GetCurrentFrame(), 40);
    EXPECT_EQ(c.GetPlayMilliseconds(), 1000u);
    clock.Advance(999);
    EXPECT_TRUE(c.IsPlaying());
    EXPECT_EQ(c.GetCurrentFrame(), 49);
    clock.Advance(1);
    EXPECT_FALSE(c.IsPlaying());

    Load(c, Movie(0, 50, 10));
    c.GotoFrame(-5);
    EXPECT_EQ(c.GetCurrentFrame(), 0);
    c.GotoFrame(1000);
    EXPECT_EQ(c.GetCurrentFrame(), 49);
    EXPECT_TRUE(c.IsPlaying());
    c.Stop();
    c.GotoFrame(7);
    clock.Advance(5000);
    EXPECT_EQ(c.GetCurrentFrame(), 7);
    EXPECT_FALSE(c.IsPlaying());
}

TEST(FlashControl, TimingHoldsAcrossTheClockWrap)
{
    FakeClock clock;
    clock.now = 0xFFFFFFFFu - 499;
    FlashControl c;
    Load(c, Movie(0, 20, 10)); // 2 s
    clock.Advance(1500);
    EXPECT_TRUE(c.IsPlaying());
    EXPECT_EQ(c.GetCurrentFrame(), 15);
    clock.Advance(500);
    EXPECT_FALSE(c.IsPlaying());
    // Once ended, a whole lap of the clock later it is still ended.
    clock.Advance(0xFFFFFFFFu - 1000);
    EXPECT_FALSE(c.IsPlaying());
}

TEST_F(FlashControlTest, NonMoviesAreLoggedAndEndAtOnce)
{
    LogCapture log;
    std::vector<uint8_t> junk = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    Load(c, junk, "Logos.swf");
    EXPECT_TRUE(c.HasMovie());
    EXPECT_EQ(c.GetMovieSize(), junk.size());
    EXPECT_EQ(c.GetHeaderStatus(), SwfStatus::NotSwf);
    EXPECT_EQ(State(), std::make_pair(FlashResult::Ok, 0));
    EXPECT_EQ(c.GetBackgroundColor(), (SwfRgb{0, 0, 0}));
    EXPECT_NE(
        log.Text().find("FlashPlayer: Logos.swf is not a playable SWF movie (not a SWF file, 10 bytes)"),
        std::string::npos)
        << log.Text();

    c.PutMovieFromMemory(nullptr, 0);
    EXPECT_FALSE(c.IsPlaying());
}

TEST_F(FlashControlTest, DamagedAndLzmaMoviesPlayWithWhatTheirHeaderGives)
{
    // Cut inside the tags: the frame info is there, the background is not.
    SwfGen::SwfWriter w(800, 600, 10 * 256, 30);
    w.AddTag(87, std::vector<uint8_t>(100, 1));
    w.SetBackgroundColor(1, 2, 3);
    std::vector<uint8_t> f = w.Finish(false);
    f.resize(40);
    Load(c, f);
    EXPECT_EQ(c.GetHeaderStatus(), SwfStatus::Truncated);
    EXPECT_EQ(c.GetPlayMilliseconds(), 3000u);
    EXPECT_EQ(c.GetBackgroundColor(), (SwfRgb{255, 255, 255}));
    EXPECT_TRUE(c.IsPlaying());

    std::vector<uint8_t> zws = {'Z', 'W', 'S', 13, 0x10, 0x27, 0, 0, 5, 0, 0, 0};
    Load(c, zws);
    EXPECT_EQ(c.GetHeaderStatus(), SwfStatus::HeaderOnly);
    EXPECT_EQ(c.GetPlayMilliseconds(), 83u); // one frame at 12 fps
    EXPECT_TRUE(c.IsPlaying());
    clock.Advance(83);
    EXPECT_FALSE(c.IsPlaying());
}

TEST(FlashControl, LogsEachMovieAndTheMissingRendererOnce)
{
    FakeClock clock;
    bool registeredBefore = IsFlashControlClassRegistered();
    LogCapture log;
    FlashControl a, b;
    EXPECT_TRUE(IsFlashControlClassRegistered());
    EXPECT_FALSE(RegisterFlashControlClass());
    const std::string
        note = "movies are shown as their background colour and their still, where the data has one",
        text = log.Text();
    EXPECT_EQ(text.find(note) == std::string::npos, registeredBefore);
    EXPECT_EQ(text.find(note), text.rfind(note)); // once at most

    Load(a, Movie(0x0A0B0C, 120, 12, true), "Intro-Commerical.swf");
    EXPECT_NE(log.Text().find(
                  "FlashPlayer: Intro-Commerical.swf (SWF 6, 120 frames at 12.00 fps, 800x600) shown as "
                  "#0A0B0C for 10.00 s"),
              std::string::npos)
        << log.Text();
}

TEST(FlashControl, KeepsAudioVariablesAndInputSettings)
{
    FlashControl c; // the setters are checked through the movie player
    EXPECT_TRUE(c.IsAudioEnabled() && c.IsInteractive());
    EXPECT_EQ(c.GetAudioVolume(), 65535);

    for (auto [level, expected] : {std::pair{70000, 65535}, {-3, 0}, {1234, 1234}})
    {
        c.PutAudioVolume(level);
        EXPECT_EQ(c.GetAudioVolume(), expected) << level;
    }
    for (auto [volume, expected] : {std::pair{1.5f, 65535}, {-0.2f, 0}, {0.5f, 32767}, {std::nanf(""), 0}})
    {
        c.SetVolume(volume);
        EXPECT_EQ(c.GetAudioVolume(), expected) << volume;
    }
    c.SetVolume(1.5f);
    EXPECT_FLOAT_EQ(c.GetVolume(), 1.0f);

    EXPECT_EQ(c.GetVariable(L"_root"), L"");
    c.SetVariable(L"_root", L"interstitial3");
    c.SetVariable(L"_root", L"interstitial4");
    EXPECT_EQ(c.GetVariable(L"_root"), L"interstitial4");
    EXPECT_FALSE(c.HasVariable(L"_ROOT"));
}
