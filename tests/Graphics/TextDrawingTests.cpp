#include "GraphicsTestSupport.h"
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/TextWrap.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::FakeFont;
using GraphicsTest::RecordingCanvas;

namespace
{
std::vector<int> Breaks(const std::wstring& text, int width, int advance = 1)
{
    FakeFont font(advance);
    WrappedLines lines;
    WrapText(text, &font, width, lines);
    return lines.breaks;
}
} // namespace

TEST(TextWidth, SumsAdvancesOfEachPair)
{
    FakeFont font(3);
    font.widths[L'W'] = 7;
    EXPECT_EQ(GetTextWidth(L"aWb", &font), 13);
    EXPECT_EQ(GetTextWidth(L"", &font), 0);
    EXPECT_EQ(GetTextWidth(L"abc", nullptr), 0);
}

TEST(WrapText, BreaksBeforeTheWordThatOverflows)
{
    EXPECT_EQ(Breaks(L"aaa bbb", 5), (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(Breaks(L"aaa bbb", 7), (std::vector<int>{0, 7}));
    // The spaces skipped at a break stay at the end of the line they follow.
    EXPECT_EQ(Breaks(L"aaa  bbb", 3), (std::vector<int>{0, 5, 8}));
}

TEST(WrapText, NewlinesEmptyTextsAndLongWords)
{
    EXPECT_EQ(Breaks(L"a\n\nb", 10), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(Breaks(L"", 10), (std::vector<int>{0, 0}));
    // A word wider than the line is cut before the character that overflowed.
    EXPECT_EQ(Breaks(L"abcdefg hi", 3), (std::vector<int>{0, 3, 6, 8, 10}));
}

TEST(WrapText, ALineNarrowerThanOneCharacterStillEnds)
{
    // Each character keeps a line of its own instead of breaking before itself forever.
    EXPECT_EQ(Breaks(L"abc", 0), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Breaks(L"ab", 2, 5), (std::vector<int>{0, 1, 2}));
}

TEST(WrapText, WidestLineAndPerLineWidths)
{
    FakeFont font(1);
    WrappedLines lines;
    WrapText(L"aaaa bb", &font, 6, lines);
    EXPECT_EQ(lines.breaks, (std::vector<int>{0, 5, 7}));
    EXPECT_EQ(lines.widest, 5); // the trailing space counts on its line

    struct Narrowing : ILineWidths
    {
        int GetWidth(int line, int width) const override { return line == 0 ? width : 2; }
    } narrowing;
    WrapText(L"aaa bbb", &font, 4, narrowing, lines);
    EXPECT_EQ(lines.breaks, (std::vector<int>{0, 4, 6, 7}));
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
    RecordingCanvas canvas;
    canvas.offersText = true;
    FakeFont font;
    DrawState s;
    s.font = &font;
    s.textMode = 1;
    s.color = {1, 1, 0, 0.5f};
    s.color2 = {0, 0, 1, 0.8f};
    EXPECT_EQ(DrawText(L"hi", 10, 20, s, &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 9u);
    int offsets = 0;
    for (int i = 0; i < 8; ++i)
    {
        const auto& c = canvas.calls[size_t(i)];
        EXPECT_EQ(c.text, L"hi");
        EXPECT_EQ(c.state.color, ColorF(0, 0, 1, 0.4f));
        EXPECT_TRUE((c.x == 8 || c.x == 10 || c.x == 12) && (c.y == 18 || c.y == 20 || c.y == 22));
        EXPECT_FALSE(c.x == 10 && c.y == 20);
        offsets |= 1 << int((c.x - 8) / 2 * 3 + (c.y - 18) / 2);
    }
    EXPECT_EQ(offsets, 0x1EF); // every position but the centre
    EXPECT_EQ(canvas.calls[8].state.color, s.color);
    EXPECT_FLOAT_EQ(canvas.calls[8].x, 10);
    EXPECT_FLOAT_EQ(canvas.calls[8].y, 20);
}

TEST(DrawText, ShadowThenTextAndAlignment)
{
    RecordingCanvas canvas;
    canvas.offersText = true;
    FakeFont font(1, 21);
    font.widths[L'w'] = 101;
    DrawState s;
    s.font = &font;
    s.textMode = 2;
    s.hAlign = 1;
    s.vAlign = 1;
    EXPECT_EQ(DrawText(L"w", 100, 50, s, &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 2u);
    // 101 wide: half is 50; line height 21: half is 10.
    EXPECT_FLOAT_EQ(canvas.calls[0].x, 52);
    EXPECT_FLOAT_EQ(canvas.calls[0].y, 42);
    EXPECT_FLOAT_EQ(canvas.calls[1].x, 50);
    EXPECT_FLOAT_EQ(canvas.calls[1].y, 40);
    EXPECT_EQ(canvas.calls[1].state.hAlign, 0);

    canvas.calls.clear();
    s.textMode = 0;
    s.hAlign = 2;
    s.vAlign = 2;
    const Rect<int> clip{1, 2, 3, 4};
    EXPECT_EQ(DrawText(L"w", 100, 50, s, &canvas, &clip), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_FLOAT_EQ(canvas.calls[0].x, -1);
    EXPECT_FLOAT_EQ(canvas.calls[0].y, 29);
    EXPECT_EQ(canvas.calls[0].state.clipRect, clip);
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

TEST(DrawWrappedText, CentredBlockAndOutRectangle)
{
    RecordingCanvas canvas;
    canvas.offersText = true;
    FakeFont font(2, 20);
    DrawState s;
    s.font = &font;
    s.vAlign = 1;
    s.hAlign = 1;
    Rect<float> out;
    // Width 7 holds "aaa" but not its space; "bb" and "c" follow on their own lines.
    EXPECT_EQ(DrawWrappedText(L"aaa bb c", 100, 100, 7.9f, &out, s, &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 3u);
    EXPECT_EQ(canvas.calls[0].text, L"aaa ");
    EXPECT_EQ(canvas.calls[1].text, L"bb ");
    EXPECT_EQ(canvas.calls[2].text, L"c");
    // Three lines of 20 centred on y: the top is 30 higher.
    EXPECT_FLOAT_EQ(canvas.calls[0].y, 70);
    EXPECT_FLOAT_EQ(canvas.calls[1].y, 90);
    EXPECT_FLOAT_EQ(canvas.calls[2].y, 110);
    // Each line centred on x by its own width.
    EXPECT_FLOAT_EQ(canvas.calls[0].x, 96);
    EXPECT_FLOAT_EQ(canvas.calls[1].x, 97);
    EXPECT_FLOAT_EQ(canvas.calls[2].x, 99);
    EXPECT_EQ(canvas.calls[0].state.hAlign, 0);
    EXPECT_EQ(canvas.calls[0].state.vAlign, 0);
    EXPECT_EQ(out, Rect<float>(96, 70, 8, 60));
}

TEST(DrawWrappedText, RightAlignedAndNullText)
{
    RecordingCanvas canvas;
    canvas.offersText = true;
    FakeFont font(1, 10);
    DrawState s;
    s.font = &font;
    s.hAlign = 2;
    s.vAlign = 2;
    Rect<float> out;
    EXPECT_EQ(DrawWrappedText(L"ab\nabcd", 50, 40, 100, &out, s, &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_FLOAT_EQ(canvas.calls[0].x, 47); // "ab\n" is three wide
    EXPECT_FLOAT_EQ(canvas.calls[0].y, 20);
    EXPECT_FLOAT_EQ(canvas.calls[1].x, 46);
    EXPECT_FLOAT_EQ(canvas.calls[1].y, 30);
    EXPECT_EQ(out, Rect<float>(46, 20, 4, 20));

    out = {1, 1, 1, 1};
    EXPECT_EQ(DrawWrappedText(nullptr, 50, 40, 100, &out, s, &canvas), 1);
    s.font = nullptr;
    EXPECT_EQ(DrawWrappedText(L"x", 50, 40, 100, &out, s, &canvas), 1);
    EXPECT_EQ(out, Rect<float>(1, 1, 1, 1));
}
