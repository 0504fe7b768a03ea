#include "Platform/Shim/Win32/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

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

    // Moves behind a move come as one, with the way travelled; another mouse's move, or anything
    // else, ends it.
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    for (int x : {1, 3, 6})
    {
        move.motion.xrel = x - move.motion.x;
        move.motion.x = x;
        SDL_PushEvent(&move);
    }
    move.motion.which = SDL_TOUCH_MOUSEID;
    SDL_PushEvent(&move);
    SDL_PushEvent(&e);
    SDL_Event got{};
    ASSERT_TRUE(pump.HasPending());
    ASSERT_TRUE(pump.Take(got));
    EXPECT_EQ(std::make_pair(got.motion.x, got.motion.xrel), std::make_pair(6, 6));
    ASSERT_TRUE(pump.Take(got));
    EXPECT_EQ(got.motion.which, SDL_TOUCH_MOUSEID);
    ASSERT_TRUE(pump.Take(got));
    EXPECT_EQ(got.type, Uint32(SDL_USEREVENT));
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

namespace
{
std::vector<std::string> Split(const std::string& text, const char* separators)
{
    std::vector<std::string> parts;
    for (size_t start = 0; start < text.size();)
    {
        const size_t end = std::min(text.find_first_of(separators, start), text.size());
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

size_t Width(const std::string& line)
{
    return size_t(
        std::count_if(line.begin(), line.end(), [](char c) { return (uint8_t(c) & 0xC0) != 0x80; }));
}
} // namespace

// A window system cuts a long title short ("There... reload"): the program's name is the title, and
// the caption and the whole text are in the body, wrapped at spaces.
TEST(WindowShim, AnErrorBoxIsTitledWithTheProgramAndShowsCaptionAndTextWrapped)
{
    const ErrorBoxLayout box = LayoutErrorBox(
        "Tanglewisp", "There was an error loading Account.xml. Fix the problem and press F5 to reload",
        "Error opening file \"Account.xml\": file doesn't exist");
    EXPECT_EQ(box.title, "Tanglewisp");
    EXPECT_EQ(box.body, "There was an error loading Account.xml. Fix the problem and\n"
                        "press F5 to reload\n\n"
                        "Error opening file \"Account.xml\": file doesn't exist");
    EXPECT_EQ(LayoutErrorBox("T", "", "text\tonly").body, "text    only");

    struct Case
    {
        const char* text;
        size_t columns;
        const char* shown;
    };
    for (const Case& c :
         {Case{"aa bb cc", 5, "aa bb\ncc"}, Case{"aa  bb   cc", 6, "aa  bb\ncc"},
          Case{"  indented words here", 10, "  indented\nwords here"},
          Case{"/a/very/long/path/name.xml is missing", 10, "/a/very/long/path/name.xml\nis missing"},
          Case{"\xc3\xa9\xc3\xa9\xc3\xa9 abc", 7, "\xc3\xa9\xc3\xa9\xc3\xa9 abc"},
          Case{"kept\n\nbreaks  \n   \nend", 20, "kept\n\nbreaks\n\nend"}})
        EXPECT_EQ(WrapAtSpaces(c.text, c.columns), c.shown) << c.text;

    // Seeded texts: every word stays, in order; a line is too wide only when it is one word; a
    // break is made only where the next word would not fit; laying out again changes nothing.
    std::mt19937 random(29);
    const char* const pieces[] = {"a", "bc", "\xc3\xa9", "defgh", "Account.xml", "/home/player/.local/share"};
    for (int round = 0; round < 200; ++round)
    {
        const size_t columns = 8 + random() % 60;
        std::string text;
        for (int words = 1 + int(random() % 30); words > 0; --words)
        {
            for (int n = 1 + int(random() % 3); n > 0; --n)
                text += pieces[random() % std::size(pieces)];
            text += ' ';
        }
        const std::string shown = WrapAtSpaces(text, columns);
        SCOPED_TRACE(text + " at " + std::to_string(columns));
        EXPECT_EQ(Split(shown, " \n"), Split(text, " "));
        const std::vector<std::string> lines = Split(shown, "\n");
        for (size_t i = 0; i < lines.size(); ++i)
        {
            EXPECT_TRUE(Width(lines[i]) <= columns || lines[i].find(' ') == std::string::npos) << lines[i];
            if (i + 1 < lines.size())
            {
                EXPECT_GT(Width(lines[i]) + 1 + Width(Split(lines[i + 1], " ").front()), columns);
            }
        }
        EXPECT_EQ(WrapAtSpaces(shown, columns), shown);
    }
}
