#include "Platform/Shim/Win32/Window.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace Kestrin::Shim;

TEST(WindowShim, ClientToLogicalStretchesAndTruncatesTowardZero)
{
    Rect<int> p = PresentationRect(1600, 1200, 800, 600, false);
    int x, y;
    ClientToLogical(p, 800, 600, 1599, 1199, x, y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    ClientToLogical(p, 800, 600, 1, 1, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ClientToLogical(p, 800, 600, -1, -3, x, y); // captured outside the window
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, -1);

    ClientToLogical(PresentationRect(0, 0, 800, 600, false), 800, 600, 10, 10, x, y); // minimised
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(WindowShim, LetterboxKeepsTheAspectAndMapsThroughTheBars)
{
    // A 16:9 desktop: pillars left and right.
    Rect<int> p = PresentationRect(1920, 1080, 800, 600, true);
    EXPECT_EQ(p, (Rect<int>{240, 0, 1440, 1080}));
    int x, y;
    ClientToLogical(p, 800, 600, 240, 0, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ClientToLogical(p, 800, 600, 1679, 1079, x, y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    // A tall area: bars above and below.
    EXPECT_EQ(PresentationRect(800, 1000, 800, 600, true), (Rect<int>{0, 200, 800, 600}));
    // The same aspect: the whole area, as without letterbox.
    EXPECT_EQ(PresentationRect(1024, 768, 800, 600, true), PresentationRect(1024, 768, 800, 600, false));
}

TEST(WindowShim, PumpLooksAheadOneEventWithoutLosingIt)
{
    std::string error;
    ASSERT_TRUE(StartVideo(error)) << error;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    EventPump pump;
    EXPECT_FALSE(pump.HasPending());

    SDL_Event e{};
    e.type = SDL_USEREVENT;
    e.user.code = 7;
    SDL_PushEvent(&e);
    e.user.code = 8;
    SDL_PushEvent(&e);
    ASSERT_TRUE(pump.HasPending());
    EXPECT_TRUE(pump.HasPending()); // still the same one
    EXPECT_TRUE(pump.Wait());
    SDL_Event got{};
    ASSERT_TRUE(pump.Take(got));
    EXPECT_EQ(got.user.code, 7);
    ASSERT_TRUE(pump.Take(got));
    EXPECT_EQ(got.user.code, 8);
    EXPECT_FALSE(pump.HasPending());
    StopVideo();
}

TEST(WindowShim, WindowOnTheDummyDriver)
{
    std::string error;
    ASSERT_TRUE(StartVideo(error)) << error;
    WindowOptions o;
    o.title = "Tanglewisp";
    SDL_Window* w = CreateWindow(o, error);
    ASSERT_NE(w, nullptr) << error;
    int cw, ch;
    GetClientSize(w, cw, ch);
    EXPECT_EQ(cw, 800);
    EXPECT_EQ(ch, 600);
    EXPECT_FALSE(IsMinimized(w));
    int dw = 0, dh = 0;
    EXPECT_TRUE(GetDesktopSize(dw, dh));
    EXPECT_GE(dw, 800);
    DestroyWindow(w);
    StopVideo();
}
