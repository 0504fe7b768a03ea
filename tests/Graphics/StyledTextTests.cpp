#include "Base/XMLReader.h"
#include "Graphics/StyledText.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::FakeFont;
using GraphicsTest::Placed;
using GraphicsTest::Placements;
using GraphicsTest::RecordingCanvas;

namespace
{

// Fonts by name for the layout.
struct FontTable
{
    std::map<NameId, Font*> fonts;
    void Add(const char* name, Font* font) { fonts[MakeName(name)] = font; }
    StyledTextFontLookup Lookup()
    {
        return [this](NameId id) -> Font*
        {
            auto it = fonts.find(id);
            return it == fonts.end() ? nullptr : it->second;
        };
    }
};

TextStyle BodyStyle()
{
    TextStyle style;
    style.color = {0, 0, 1, 1};
    style.bgColor = {1, 1, 0, 1};
    style.font = MakeName("Body");
    return style;
}

StyledTextRun MakeRun(const wchar_t* text, const char* font)
{
    StyledTextRun run;
    run.text = text;
    run.style.font = MakeName(font);
    return run;
}

std::vector<StyledTextLine> LinesOf(std::vector<StyledTextRun>& runs, int width, FontTable& table,
                                    StyledTextLayout* out = nullptr)
{
    StyledTextLayout layout;
    LayoutStyledTextLines(layout, runs, width, nullptr, table.Lookup());
    if (out)
        *out = layout;
    return layout.lines;
}

using Lines = std::vector<StyledTextLine>;

std::vector<std::wstring> Texts(const std::vector<StyledTextRun>& runs)
{
    std::vector<std::wstring> out;
    for (const StyledTextRun& run : runs)
        out.push_back(run.text);
    return out;
}

} // namespace

TEST(StyledTextParse, StyleTagsMakeRunsWithTheirAttributes)
{
    std::vector<StyledTextRun> runs;
    ParseStyledText(L"Hello <style color='#FF0000FF'>red</style> world", runs, BodyStyle());
    EXPECT_EQ(Texts(runs), (std::vector<std::wstring>{L"Hello ", L"red", L" world"}));
    TextStyle red = BodyStyle();
    red.color = {1, 0, 0, 1};
    EXPECT_EQ(runs[0].style, BodyStyle());
    EXPECT_EQ(runs[1].style, red);
    EXPECT_EQ(runs[2].style, BodyStyle());
    EXPECT_EQ(runs[2].font, nullptr);
    EXPECT_EQ(runs[2].position, -1);

    ParseStyledText(L"<style font=\"Big\" textMode=\"outline\" bgColor=\"#00FF0080\">x"
                    L"<style color=\"red\" textMode=\"glow\">y</style>z</style>"
                    L"<style textMode=\"dropShadow\" TextMode=\"outline\">w</style>",
                    runs, BodyStyle());
    EXPECT_EQ(Texts(runs), (std::vector<std::wstring>{L"x", L"y", L"z", L"w"}));
    EXPECT_EQ(runs[0].style.font, MakeName("big")); // names intern without regard to case
    EXPECT_EQ(runs[0].style.textMode, 1);
    EXPECT_EQ(runs[0].style.bgColor.g, 1.0f);
    EXPECT_NEAR(runs[0].style.bgColor.a, 128 / 255.0, 1e-6);
    EXPECT_EQ(runs[0].style.color, BodyStyle().color);
    // A colour that is no "#RRGGBBAA" changes nothing; an unknown mode is plain.
    EXPECT_EQ(runs[1].style.color, BodyStyle().color);
    EXPECT_EQ(runs[1].style.textMode, 0);
    EXPECT_EQ(runs[1].style.font, MakeName("Big"));
    EXPECT_EQ(runs[2].style.textMode, 1);
    // Attribute names are case-sensitive.
    EXPECT_EQ(runs[3].style.textMode, 2);
    EXPECT_EQ(runs[3].style.font, MakeName("Body"));

    // Entities, other tags and characters beyond 16 bits.
    ParseStyledText(L"a &lt; b &amp; c", runs, BodyStyle());
    EXPECT_EQ(Texts(runs), std::vector<std::wstring>{L"a < b & c"});
    ParseStyledText(L"a<b>c</b>d", runs, BodyStyle());
    EXPECT_EQ(Texts(runs), (std::vector<std::wstring>{L"a", L"c", L"d"}));
    EXPECT_EQ(runs[1].style, BodyStyle());
    ParseStyledText(L"caf\u00e9 \U0001F600!", runs, BodyStyle());
    EXPECT_EQ(Texts(runs), std::vector<std::wstring>{L"caf\u00e9 \U0001F600!"});
    ParseStyledText(L"", runs, BodyStyle());
    EXPECT_TRUE(runs.empty());
}

TEST(StyledTextParse, BadlyFormedTagsThrowAndKeepTheRuns)
{
    std::vector<StyledTextRun> runs;
    ParseStyledText(L"kept", runs, BodyStyle());
    EXPECT_THROW(ParseStyledText(L"<style color='#FF0000FF'>open", runs, BodyStyle()), xml_error);
    EXPECT_THROW(ParseStyledText(L"1 < 2", runs, BodyStyle()), xml_error);
    EXPECT_THROW(ParseStyledText(L"fish & chips", runs, BodyStyle()), xml_error);
    EXPECT_THROW(ParseStyledText(L"a</style>", runs, BodyStyle()), xml_error);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, L"kept");
}

namespace
{
struct Scene
{
    FakeFont one{1, 20}, wide{10, 20}, two{2, 30}, huge{1000000000, 20};
    FakeFont tiny{1, 15}, small{1, 20}, large{1, 30};
    FontTable table;
    RecordingCanvas canvas;
    Scene()
    {
        for (auto [name, font] : {std::pair<const char*, Font*>{"One", &one},
                                  {"Wide", &wide},
                                  {"Two", &two},
                                  {"Huge", &huge},
                                  {"Tiny", &tiny},
                                  {"Small", &small},
                                  {"Large", &large}})
            table.Add(name, font);
        canvas.offersText = true;
    }
};
} // namespace

TEST(StyledTextLayout, LinesOfRunsAcrossFontsAndWidths)
{
    const int big = 1000000000;
    const struct
    {
        std::vector<StyledTextRun> runs;
        int width;
        Lines lines;
        int layoutWidth, layoutHeight;
    } cases[] = {
        {{MakeRun(L"aaa bbb", "One")}, 5, {{4, 3, 20}, {3, 3, 20}}, 3, 40},
        {{MakeRun(L"a\n", "One")}, 5, {{2, 2, 20}, {0, 0, 0}}, 2, 20},
        {{MakeRun(L"", "One")}, 5, {}, 0, 0},
        // Trailing white space counts in the characters, never in the width.
        {{MakeRun(L"ab   ", "One")}, 10, {{5, 2, 20}}, 2, 20},
        {{MakeRun(L"abcdefg", "One")}, 3, {{3, 3, 20}, {3, 3, 20}, {1, 1, 20}}, 3, 60},
        // A one-character word wider than the limit still takes a line of its own.
        {{MakeRun(L"a b", "Wide")}, 5, {{2, 10, 20}, {1, 10, 20}}, 10, 40},
        // Width 0: a character a line, and the layout ends.
        {{MakeRun(L"abc", "One")}, 0, {{1, 1, 20}, {1, 1, 20}, {1, 1, 20}}, 1, 60},
        // "bbcc" is one word across two fonts: 6 wide, it no longer fits behind "aa " and moves whole.
        {{MakeRun(L"aa ", "One"), MakeRun(L"bb", "One"), MakeRun(L"cc", "Two")},
         6,
         {{3, 2, 20}, {4, 6, 30}},
         6,
         50},
        {{MakeRun(L"aa ", "One"), MakeRun(L"bb", "One"), MakeRun(L"cc", "Two")}, 9, {{7, 9, 30}}, 9, 30},
        // Runs naming no loaded font take no part; the lines before them are still laid out.
        {{MakeRun(L"ab cd", "One"), MakeRun(L"zz", "Missing")}, 100, {{5, 5, 20}}, 5, 20},
        {{MakeRun(L"aa", "One"), MakeRun(L"XXXX", "Missing"), MakeRun(L"bb", "One"), MakeRun(L"", "Missing")},
         100,
         {{4, 4, 20}},
         4,
         20},
        {{MakeRun(L"only", "Missing")}, 100, {}, 0, 0},
        // Sums past the int range still break instead of wrapping round.
        {{MakeRun(L"a a a", "Huge")}, INT_MAX, {{2, big, 20}, {2, big, 20}, {1, big, 20}}, big, 60},
    };
    Scene scene;
    for (const auto& c : cases)
    {
        std::vector<StyledTextRun> runs = c.runs;
        StyledTextLayout layout;
        EXPECT_EQ(LinesOf(runs, c.width, scene.table, &layout), c.lines) << runs[0].text.c_str();
        EXPECT_EQ(layout.width, c.layoutWidth) << runs[0].text.c_str();
        EXPECT_EQ(layout.height, c.layoutHeight) << runs[0].text.c_str();
        for (const StyledTextRun& run : runs)
            EXPECT_EQ(run.font, scene.table.Lookup()(run.style.font));
    }

    struct Narrowing : ILineWidths
    {
        int GetWidth(int line, int width) const override { return line == 0 ? width : 2; }
    } narrowing;
    std::vector<StyledTextRun> runs{MakeRun(L"aaa bb cc", "One")};
    StyledTextLayout layout;
    LayoutStyledTextLines(layout, runs, 6, &narrowing, scene.table.Lookup());
    EXPECT_EQ(layout.lines, (Lines{{7, 6, 20}, {2, 2, 20}}));
}

TEST(StyledTextDraw, PiecesSitOnTheBottomOfTheirLine)
{
    Scene scene;
    std::vector<StyledTextRun> runs{MakeRun(L"ab", "Small"), MakeRun(L"cd e", "Large"),
                                    MakeRun(L"fg", "Small")};
    StyledTextLayout layout;
    LayoutStyledTextLines(layout, runs, 6, nullptr, scene.table.Lookup());
    ASSERT_EQ(layout.lines, (Lines{{5, 4, 30}, {3, 3, 30}}));

    DrawState node;
    EXPECT_EQ(DrawStyledText(runs, layout, 10, 100, nullptr, node, &scene.canvas), 0);
    // 20 high on a 30 high line: 10 down.
    EXPECT_EQ(Placements(scene.canvas),
              (std::vector<Placed>{{L"ab", 10, 110}, {L"cd ", 12, 100}, {L"e", 10, 130}, {L"fg", 11, 140}}));
    EXPECT_EQ(scene.canvas.calls[3].state.font, &scene.small);
}

TEST(StyledTextDraw, RunColoursWithTheNodesAlphas)
{
    Scene scene;
    std::vector<StyledTextRun> runs{MakeRun(L"x", "Small")};
    runs[0].style.color = {1, 0, 0, 0};
    runs[0].style.bgColor = {0, 0, 1, 1};
    runs[0].style.textMode = 2;
    StyledTextLayout layout;
    LayoutStyledTextLines(layout, runs, 100, nullptr, scene.table.Lookup());
    DrawState node;
    node.color = {1, 1, 1, 0.5f};
    node.color2 = {1, 1, 1, 0.25f};
    node.hAlign = 1;
    EXPECT_EQ(DrawStyledText(runs, layout, 10, 0, nullptr, node, &scene.canvas), 0);
    ASSERT_EQ(scene.canvas.calls.size(), 2u); // the shadow, then the text
    const auto& text = scene.canvas.calls[1];
    EXPECT_EQ(text.state.color, ColorF(1, 0, 0, 0.5f));
    EXPECT_EQ(text.state.color2, ColorF(0, 0, 1, 0.25f));
    EXPECT_EQ(text.state.textMode, 2);
    EXPECT_EQ(text.state.hAlign, 0);
    EXPECT_FLOAT_EQ(text.x, 9); // centred on 10, rounded down
    const auto& shadow = scene.canvas.calls[0];
    EXPECT_EQ(shadow.state.color, ColorF(0, 0, 1, 0.125f));
    EXPECT_FLOAT_EQ(shadow.x, 11);
    EXPECT_FLOAT_EQ(shadow.y, 2);
}

TEST(StyledTextDraw, BoundsAndFailures)
{
    Scene scene;
    std::vector<StyledTextRun> runs{MakeRun(L"abc\n", "Tiny"), MakeRun(L"abcdefg", "Large")};
    StyledTextLayout layout;
    LayoutStyledTextLines(layout, runs, 100, nullptr, scene.table.Lookup());
    // An odd total height shows that the block's anchor is not rounded.
    ASSERT_EQ(layout.lines, (Lines{{4, 4, 15}, {7, 7, 30}}));
    ASSERT_EQ(layout.height, 45);

    DrawState node;
    node.hAlign = 2;
    node.vAlign = 1;
    Rect<float> bounds;
    EXPECT_EQ(DrawStyledText(runs, layout, 100, 50, &bounds, node, &scene.canvas), 0);
    EXPECT_EQ(bounds, Rect<float>(93, 27.5f, 7, 45));
    // Right-aligned by each line's own width; line tops rounded down when centred.
    EXPECT_EQ(Placements(scene.canvas), (std::vector<Placed>{{L"abc\n", 96, 27}, {L"abcdefg", 93, 42}}));

    // A failed piece ends the drawing and leaves the bounds alone.
    scene.canvas.calls.clear();
    scene.canvas.answer = -2;
    bounds = {1, 2, 3, 4};
    EXPECT_EQ(DrawStyledText(runs, layout, 100, 50, &bounds, node, &scene.canvas), -2);
    EXPECT_EQ(scene.canvas.calls.size(), 1u);
    EXPECT_EQ(bounds, Rect<float>(1, 2, 3, 4));

    // Nothing to draw: 0, bounds untouched.
    StyledTextLayout empty;
    EXPECT_EQ(DrawStyledText(runs, empty, 100, 50, &bounds, node, &scene.canvas), 0);
    EXPECT_EQ(DrawStyledText({}, layout, 100, 50, &bounds, node, &scene.canvas), 0);
    EXPECT_EQ(bounds, Rect<float>(1, 2, 3, 4));
}
