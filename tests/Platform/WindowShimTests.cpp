#include "Platform/Shim/Win32/Window.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace Kestrin::Shim;

namespace
{
std::pair<int, int> Map(const Rect<int>& p, int x, int y)
{
    std::pair<int, int> out;
    ClientToLogical(p, 800, 600, x, y, out.first, out.second);
    return out;
}
} // namespace

TEST(WindowShim, ClientToLogicalStretchesLetterboxesAndTruncatesTowardZero)
{
    Rect<int> p = PresentationRect(1600, 1200, 800, 600, false);
    EXPECT_EQ(Map(p, 1599, 1199), std::make_pair(799, 599));
    EXPECT_EQ(Map(p, 1, 1), std::make_pair(0, 0));
    EXPECT_EQ(Map(p, -1, -3), std::make_pair(0, -1)); // captured outside the window
    EXPECT_EQ(Map(PresentationRect(0, 0, 800, 600, false), 10, 10), std::make_pair(0, 0)); // minimised

    // A 16:9 desktop: pillars left and right, mapped through.
    p = PresentationRect(1920, 1080, 800, 600, true);
    EXPECT_EQ(p, (Rect<int>{240, 0, 1440, 1080}));
    EXPECT_EQ(Map(p, 240, 0), std::make_pair(0, 0));
    EXPECT_EQ(Map(p, 1679, 1079), std::make_pair(799, 599));
    EXPECT_EQ(PresentationRect(800, 1000, 800, 600, true), (Rect<int>{0, 200, 800, 600}));
    EXPECT_EQ(PresentationRect(1024, 768, 800, 600, true), PresentationRect(1024, 768, 800, 600, false));
}

// Window creation on the dummy driver is exercised by the window platform's tests; the desktop
// size, which those tests script, is read here.
TEST(WindowShim, PumpLooksAheadOneEventWithoutLosingItAndTheDesktopIsMeasured)
{
    std::string error;
    ASSERT_TRUE(StartVideo(error)) << error;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    EventPump pump;
    EXPECT_FALSE(pump.HasPending());
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    for (int code : {7, 8})
        e.user.code = code, SDL_PushEvent(&e);
    ASSERT_TRUE(pump.HasPending());
    EXPECT_TRUE(pump.HasPending()); // still the same one
    EXPECT_TRUE(pump.Wait());
    for (int code : {7, 8})
    {
        SDL_Event got{};
        ASSERT_TRUE(pump.Take(got));
        EXPECT_EQ(got.user.code, code);
    }
    EXPECT_FALSE(pump.HasPending());
    int width = 0, height = 0;
    EXPECT_TRUE(GetDesktopSize(width, height));
    EXPECT_GE(width, 800);
    StopVideo();
}

// The error box's text as SDL draws it: no tab reaches it, and the labels still line up.
TEST(WindowShim, ErrorBoxTextHasItsTabsLaidOutAsSpaces)
{
    struct Case
    {
        const char* text;
        const char* shown;
    };
    for (const Case& c :
         {Case{"Unhandled Exception\n\nFile:\tSource/Platform/P.cpp\nLine:\t299\n\nCould not",
               "Unhandled Exception\n\nFile:   Source/Platform/P.cpp\nLine:   299\n\nCould not"},
          Case{"\t", "        "}, Case{"12345678\tx", "12345678        x"},
          Case{"a\tb\tc", "a       b       c"},
          Case{"\xc3\xa9\tx", "\xc3\xa9       x"}, // one column for a two-byte character
          Case{"no tabs", "no tabs"}})
        EXPECT_EQ(ExpandTabs(c.text), c.shown) << c.text;
}
