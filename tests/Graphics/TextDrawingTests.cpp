#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/TextWrap.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::FakeFont;
using GraphicsTest::Placed;
using GraphicsTest::Placements;
using GraphicsTest::RecordingCanvas;
using Breaks = std::vector<int>;

namespace
{
Breaks BreaksOf(const std::wstring& text, int width, int advance = 1)
{
    FakeFont font(advance);
    WrappedLines lines;
    WrapText(text, &font, width, lines);
    return lines.breaks;
}

// A recording canvas with text drawing, and a state with a fixed-advance font.
struct TextScene
{
    explicit TextScene(int advance = 1, int lineHeight = 20) : font(advance, lineHeight)
    {
        canvas.offersText = true;
        s.font = &font;
    }
    RecordingCanvas canvas;
    FakeFont font;
    DrawState s;
};
} // namespace

TEST(TextWidth, SumsAdvancesOfEachPair)
{
    FakeFont font(3);
    font.widths[L'W'] = 7;
    EXPECT_EQ(GetTextWidth(L"aWb", &font), 13);
    EXPECT_EQ(GetTextWidth(L"", &font), 0);
    EXPECT_EQ(GetTextWidth(L"abc", nullptr), 0);
}

TEST(WrapText, BreakPositions)
{
    const struct
    {
        const wchar_t* text;
        int width, advance;
        Breaks breaks;
    } cases[] = {
        {L"aaa bbb", 5, 1, {0, 4, 7}}, // before the word that overflows
        {L"aaa bbb", 7, 1, {0, 7}},
        {L"aaa  bbb", 3, 1, {0, 5, 8}}, // skipped spaces stay at the end of their line
        {L"a\n\nb", 10, 1, {0, 2, 3, 4}},
        {L"", 10, 1, {0, 0}},
        {L"abcdefg hi", 3, 1, {0, 3, 6, 8, 10}}, // a long word is cut before the overflowing character
        // A line narrower than one character: each keeps a line of its own instead of looping.
        {L"abc", 0, 1, {0, 1, 2, 3}},
        {L"ab", 2, 5, {0, 1, 2}},
        {L"ab\u00a0cd ef", 5, 1, {0, 6, 8}}, // the no-break space keeps its words together
        // Two 1e9 advances and a third are past the int range: the third word must still break.
        {L"a a", INT_MAX, 1000000000, {0, 2, 3}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BreaksOf(c.text, c.width, c.advance), c.breaks) << c.width;

    // Far beyond any fixed word buffer: cut every 10 characters.
    const Breaks breaks = BreaksOf(std::wstring(300, L'x'), 10);
    ASSERT_EQ(breaks.size(), 31u);
    for (size_t i = 0; i < breaks.size(); ++i)
        EXPECT_EQ(breaks[i], int(i) * 10);
}

TEST(WrapText, WidestLinePerLineWidthsAndMeasuredSize)
{
    FakeFont font(1);
    WrappedLines lines;
    WrapText(L"aaaa bb", &font, 6, lines);
    EXPECT_EQ(lines.breaks, (Breaks{0, 5, 7}));
    EXPECT_EQ(lines.widest, 5); // the trailing space counts on its line

    struct Narrowing : ILineWidths
    {
        int GetWidth(int line, int width) const override { return line == 0 ? width : 2; }
    } narrowing;
    WrapText(L"aaa bbb", &font, 4, narrowing, lines);
    EXPECT_EQ(lines.breaks, (Breaks{0, 4, 6, 7}));

    FakeFont huge(1000000000);
    WrapText(L"a a", &huge, INT_MAX, lines);
    EXPECT_EQ(lines.widest, 2000000000);

    FakeFont two(2, 15);
    EXPECT_EQ(MeasureWrappedText(L"", &two, 100), (Vector2<int>{0, 15}));
    EXPECT_EQ(MeasureWrappedText(L"aa bbb c", &two, 8), (Vector2<int>{8, 45}));
    EXPECT_EQ(MeasureWrappedText(L"a\n\nb", &two, 100), (Vector2<int>{4, 45}));
}

TEST(DrawText, NothingWithoutFontTextOrCanvas)
{
    RecordingCanvas canvas;
    FakeFont font;
    DrawState s;
    EXPECT_EQ(DrawText(L"x", 0, 0, s, &canvas), 1);
    s.font = &font;
    EXPECT_EQ(DrawText(nullptr, 0, 0, s, &canvas), 1);
    EXPECT_EQ(DrawText(L"x", 0, 0, s, nullptr), 1);
    canvas.offersQuad = false;
    EXPECT_EQ(DrawText(L"x", 0, 0, s, &canvas), -2);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST(DrawText, OutlineDrawsEightCopiesInTheSecondColourFirst)
{
    TextScene t;
    t.s.textMode = 1;
    t.s.color = {1, 1, 0, 0.5f};
    t.s.color2 = {0, 0, 1, 0.8f};
    EXPECT_EQ(DrawText(L"hi", 10, 20, t.s, &t.canvas), 0);
    const auto& calls = t.canvas.calls;
    ASSERT_EQ(calls.size(), 9u);
    int offsets = 0;
    for (int i = 0; i < 8; ++i)
    {
        const auto& c = calls[size_t(i)];
        EXPECT_EQ(c.text, L"hi");
        EXPECT_EQ(c.state.color, ColorF(0, 0, 1, 0.4f));
        EXPECT_TRUE((c.x == 8 || c.x == 10 || c.x == 12) && (c.y == 18 || c.y == 20 || c.y == 22));
        offsets |= 1 << int((c.x - 8) / 2 * 3 + (c.y - 18) / 2);
    }
    EXPECT_EQ(offsets, 0x1EF); // every position but the centre
    EXPECT_EQ(calls[8].state.color, t.s.color);
    EXPECT_FLOAT_EQ(calls[8].x, 10);
    EXPECT_FLOAT_EQ(calls[8].y, 20);
}

TEST(DrawText, ShadowThenTextAndAlignment)
{
    TextScene t(1, 21);
    t.font.widths[L'w'] = 101;
    t.s.textMode = 2;
    t.s.hAlign = 1;
    t.s.vAlign = 1;
    EXPECT_EQ(DrawText(L"w", 100, 50, t.s, &t.canvas), 0);
    t.s.textMode = 0;
    t.s.hAlign = 2;
    t.s.vAlign = 2;
    const Rect<int> clip{1, 2, 3, 4};
    EXPECT_EQ(DrawText(L"w", 100, 50, t.s, &t.canvas, &clip), 0);
    const auto& calls = t.canvas.calls;
    // 101 wide: half is 50; line height 21: half is 10. The shadow comes first, 2 down and right.
    EXPECT_EQ(Placements(t.canvas), (std::vector<Placed>{{L"w", 52, 42}, {L"w", 50, 40}, {L"w", -1, 29}}));
    EXPECT_EQ(calls[1].state.hAlign, 0);
    EXPECT_EQ(calls[2].state.clipRect, clip);
}

TEST(DrawText, GlyphByGlyphWithoutATextInterface)
{
    RecordingCanvas canvas;
    Image glyphs(1024, 20);
    FakeFont font(6);
    font.image = &glyphs;
    DrawState s;
    s.font = &font;
    s.color = {1, 0, 0, 1};
    s.hAlign = 1;
    EXPECT_EQ(DrawText(L"A B", 10, 5, s, &canvas), 0);
    // The space has no glyph but still advances.
    ASSERT_EQ(canvas.calls.size(), 2u);
    const auto& a = canvas.calls[0];
    EXPECT_EQ(a.what, "Image");
    EXPECT_EQ(a.image, &glyphs);
    EXPECT_FLOAT_EQ(a.x, 1); // 18 wide, anchored at its centre
    EXPECT_FLOAT_EQ(a.y, 5);
    EXPECT_TRUE(a.state.flags & DrawFlag_SourceRect);
    EXPECT_EQ(a.state.sourceRect, Rect<int>('A' * 4, 0, 3, 20));
    EXPECT_EQ(a.state.imageColor, s.color);
    EXPECT_EQ(a.state.hAlign, 0);
    EXPECT_FLOAT_EQ(canvas.calls[1].x, 13);
    EXPECT_EQ(canvas.calls[1].state.sourceRect.x, 'B' * 4);

    canvas.calls.clear();
    canvas.answer = -1;
    EXPECT_EQ(DrawText(L"AB", 10, 5, s, &canvas), -1);
    EXPECT_EQ(canvas.calls.size(), 1u);
}

TEST(DrawWrappedText, AlignedLinesAndOutRectangle)
{
    auto check = [](const RecordingCanvas& canvas, const std::vector<Placed>& lines)
    {
        EXPECT_EQ(Placements(canvas), lines);
        for (const auto& call : canvas.calls)
            EXPECT_TRUE(call.state.hAlign == 0 && call.state.vAlign == 0);
    };
    TextScene centred(2, 20);
    centred.s.vAlign = centred.s.hAlign = 1;
    Rect<float> out;
    // Width 7 holds "aaa" but not its space; three lines of 20 centred on y, each on x by its own width.
    EXPECT_EQ(DrawWrappedText(L"aaa bb c", 100, 100, 7.9f, &out, centred.s, &centred.canvas), 0);
    check(centred.canvas, {{L"aaa ", 96, 70}, {L"bb ", 97, 90}, {L"c", 99, 110}});
    EXPECT_EQ(out, Rect<float>(96, 70, 8, 60));

    TextScene right(1, 10);
    right.s.hAlign = right.s.vAlign = 2;
    EXPECT_EQ(DrawWrappedText(L"ab\nabcd", 50, 40, 100, &out, right.s, &right.canvas), 0);
    check(right.canvas, {{L"ab\n", 47, 20}, {L"abcd", 46, 30}}); // "ab\n" is three wide
    EXPECT_EQ(out, Rect<float>(46, 20, 4, 20));

    out = {1, 1, 1, 1};
    EXPECT_EQ(DrawWrappedText(nullptr, 50, 40, 100, &out, right.s, &right.canvas), 1);
    right.s.font = nullptr;
    EXPECT_EQ(DrawWrappedText(L"x", 50, 40, 100, &out, right.s, &right.canvas), 1);
    EXPECT_EQ(out, Rect<float>(1, 1, 1, 1));
}
