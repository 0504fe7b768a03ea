#include "Scene/StyledTextSpriteNode.h"
#include "Scene/TextSpriteNode.h"

#include "Scene/NodeKindTestSupport.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

// F: 6 pixels a character, 12 high. W: 10 a character, spaces 0 wide, 12 high. Big: 30 high.
const std::string kFonts = "<testfont name=\"F\" advance=\"6\" lineHeight=\"12\"/>"
                           "<testfont name=\"W\" advance=\"10\" lineHeight=\"12\" spaceAdvance=\"0\"/>"
                           "<testfont name=\"Big\" advance=\"8\" lineHeight=\"30\"/>"
                           "<string name=\"Hello\" value=\"Hello\"/>"
                           "<string name=\"TwoRuns\" value=\"plain &lt;style font=&quot;Big&quot; "
                           "color=&quot;#00FF00FF&quot;&gt;big&lt;/style&gt;\"/>";

class TextNodes : public NodeKindTest
{
protected:
    TextNodes() { Resources(kFonts); }

    Rect<float> Bounds(SceneNode* node) { return node ? node->GetWorldRect() : Rect<float>(); }
};

} // namespace

TEST_F(TextNodes, ATextNodeReadsItsAttributesAndSizesToItsText)
{
    struct Case
    {
        std::string attributes;
        std::wstring text;
        int justify;
        float w, h;
    };
    const Case cases[] = {
        {"font=\"F\" text=\"abc\"", L"abc", 0, 18, 12},
        {"font=\"F\" text=\"abc\" textJustify=\"center\"", L"abc", 1, 18, 12},
        {"font=\"F\" text=\"abc\" textJustify=\"right\"", L"abc", 2, 18, 12},
        {"font=\"F\" text=\"abc\" textJustify=\"middle\"", L"abc", 0, 18, 12},
        {"font=\"F\" text=\"abc\" textJustify=\"Right\"", L"abc", 0, 18, 12},
        {"font=\"F\" text=\"abc\" textResource=\"Hello\"", L"Hello", 0, 30, 12},
        // A string resource that is not loaded gives no text.
        {"font=\"F\" text=\"abc\" textResource=\"Missing\"", L"", 0, 0, 0},
        {"font=\"Missing\" text=\"abc\"", L"abc", 0, 0, 0},
        {"font=\"F\"", L"", 0, 0, 0},
        // A negative wrap width is one line, as 0 is.
        {"font=\"F\" text=\"abc def\" width=\"-5\"", L"abc def", 0, 42, 12},
    };
    for (const Case& c : cases)
    {
        auto* node = BuildAs<TextSpriteNode>("<textspritenode " + c.attributes + "/>");
        if (!node)
            continue;
        EXPECT_EQ(node->GetText(), c.text) << c.attributes;
        EXPECT_EQ(node->GetJustify(), c.justify) << c.attributes;
        EXPECT_EQ(Bounds(node), Rect<float>(0, 0, c.w, c.h)) << c.attributes;
    }
    // No font: nothing is drawn.
    canvas.calls.clear();
    root->DrawTree({0, 0});
    EXPECT_EQ(Calls("Text").size(), 7u); // the cases with a font and a text
}

TEST_F(TextNodes, AWrappedTextIsAsWideAsItsWidestLineAndEachLineIsJustifiedInTheBox)
{
    // Spaces are 0 wide: "aaaaaaa bb " is 90 pixels, "ccc" 30.
    auto* node = BuildAs<TextSpriteNode>(
        "<textspritenode font=\"W\" text=\"aaaaaaa bb ccc\" width=\"100\" textJustify=\"center\" x=\"100\" "
        "y=\"20\" color=\"#FF000080\"/>");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Bounds(node), Rect<float>(100, 20, 90, 24));
    root->DrawTree({0, 0});
    std::vector<KestrinTest::Placed> lines;
    for (const auto& call : Calls("Text"))
    {
        lines.push_back({call.text, call.x, call.y});
        EXPECT_EQ(call.state.color, ColorF(1, 0, 0, 128.0f / 255.0f));
    }
    // Centred on x 145.
    EXPECT_EQ(lines, (std::vector<KestrinTest::Placed>{{L"aaaaaaa bb ", 100, 20}, {L"ccc", 130, 32}}));

    // Right-justified against x 190; the size does not depend on the justification.
    node->SetJustify(2);
    EXPECT_EQ(Bounds(node), Rect<float>(100, 20, 90, 24));
    canvas.calls.clear();
    root->DrawTree({5, 0});
    lines.clear();
    for (const auto& call : Calls("Text"))
        lines.push_back({call.text, call.x, call.y});
    EXPECT_EQ(lines, (std::vector<KestrinTest::Placed>{{L"aaaaaaa bb ", 105, 20}, {L"ccc", 165, 32}}));

    // One line again, left-justified.
    node->SetWidth(0);
    node->SetJustify(0);
    EXPECT_EQ(Bounds(node), Rect<float>(100, 20, 120, 12));
    node->SetText(L"");
    EXPECT_EQ(Bounds(node), Rect<float>(100, 20, 0, 0));
    canvas.calls.clear();
    root->DrawTree({0, 0});
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(TextNodes, CharactersBeyondLatin1AreLeftOutOfMeasuringAndDrawing)
{
    auto* node = BuildAs<TextSpriteNode>("<textspritenode font=\"F\" text=\"a\"/>");
    ASSERT_NE(node, nullptr);
    node->SetText(L"a\u4E2D\U0001F600b\u00E9");
    EXPECT_EQ(node->GetText(), L"a\u4E2D\U0001F600b\u00E9");
    EXPECT_EQ(node->GetWorldRect().w, 18.0f);
    root->DrawTree({0, 0});
    ASSERT_EQ(Calls("Text").size(), 1u);
    EXPECT_EQ(Calls("Text")[0].text, L"ab\u00E9");

    auto* styled = BuildAs<StyledTextSpriteNode>("<styledtextspritenode font=\"F\" text=\"x\"/>");
    ASSERT_NE(styled, nullptr);
    styled->SetText(L"\u4E2Dxy");
    EXPECT_EQ(styled->GetWorldRect().w, 12.0f);
}

TEST_F(TextNodes, SetNodeTextReachesEitherTextKindAndLogsAMiss)
{
    auto* plain = BuildAs<TextSpriteNode>("<textspritenode font=\"F\"/>");
    auto* styled = BuildAs<StyledTextSpriteNode>("<styledtextspritenode font=\"F\"/>");
    SceneNode* other = Build("<scenenode nodeName=\"panel\"/>");
    ASSERT_TRUE(plain && styled && other);

    KestrinTest::LogCapture log;
    EXPECT_TRUE(SetNodeText(plain, L"one"));
    EXPECT_TRUE(SetNodeText(styled, L"two"));
    EXPECT_EQ(plain->GetWorldRect().w, 18.0f);
    EXPECT_EQ(styled->GetWorldRect().w, 18.0f);
    EXPECT_EQ(log.Text(), "");
    EXPECT_FALSE(SetNodeText(other, L"three"));
    EXPECT_FALSE(SetNodeText(nullptr, L"four"));
    // Named as first spelled, perhaps by another test.
    EXPECT_EQ(log.Text(), "SetNodeText: node \"" + std::string(other->GetNodeName().c_str()) +
                              "\" shows no text\nSetNodeText: no node\n");
}

TEST_F(TextNodes, AStyledTextNodeReadsItsDefaultStyle)
{
    struct Case
    {
        std::string attributes;
        ColorF color, bgColor;
        int textMode;
    };
    const ColorF white(1, 1, 1, 1), black(0, 0, 0, 1);
    const Case cases[] = {
        {"", white, white, 0},
        {"color=\"#FF000080\"", ColorF(1, 0, 0, 128.0f / 255.0f), white, 0},
        {"color=\"red\" bgColor=\"#0000FFFF\"", black, ColorF(0, 0, 1, 1), 0},
        // The first character is not looked at.
        {"color=\"xFF0000FF\"", ColorF(1, 0, 0, 1), white, 0},
        {"textMode=\"outline\"", white, white, 1},
        {"textMode=\"dropShadow\"", white, white, 2},
        {"textMode=\"dropshadow\"", white, white, 0},
    };
    for (const Case& c : cases)
    {
        auto* node = BuildAs<StyledTextSpriteNode>("<styledtextspritenode font=\"F\" text=\"ab\" " +
                                                   c.attributes + "/>");
        if (!node)
            continue;
        EXPECT_EQ(node->GetDefaultStyle().color, c.color) << c.attributes;
        EXPECT_EQ(node->GetDefaultStyle().bgColor, c.bgColor) << c.attributes;
        EXPECT_EQ(node->GetDefaultStyle().textMode, c.textMode) << c.attributes;
        EXPECT_EQ(node->GetDefaultStyle().font, MakeName("F")) << c.attributes;
        ASSERT_EQ(node->GetRuns().size(), 1u);
        EXPECT_EQ(node->GetRuns()[0].style, node->GetDefaultStyle());
    }
}

TEST_F(TextNodes, AStyledTextNodeLaysOutItsRunsAndWrapsOnlyForAPositiveWidth)
{
    // A resource's escaped tags give a second run in a taller font: the line grows to it.
    auto* node = BuildAs<StyledTextSpriteNode>("<styledtextspritenode font=\"F\" textResource=\"TwoRuns\"/>");
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->GetRuns().size(), 2u);
    EXPECT_EQ(node->GetRuns()[0].text, L"plain ");
    EXPECT_EQ(node->GetRuns()[1].text, L"big");
    EXPECT_EQ(node->GetRuns()[1].style.color, ColorF(0, 1, 0, 1));
    EXPECT_EQ(node->GetWorldRect(), Rect<float>(0, 0, 6 * 6 + 3 * 8, 30));

    const std::string words = "text=\"aaaa bbbb cccc\" font=\"F\"";
    for (const char* width : {"0", "-5"})
    {
        auto* line =
            BuildAs<StyledTextSpriteNode>("<styledtextspritenode " + words + " width=\"" + width + "\"/>");
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->GetWorldRect().h, 12.0f) << width;
        EXPECT_EQ(line->GetWorldRect().w, 14 * 6.0f) << width;
    }
    auto* wrapped = BuildAs<StyledTextSpriteNode>("<styledtextspritenode " + words + " width=\"40\"/>");
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(wrapped->GetWorldRect().h, 36.0f);
    wrapped->SetWidth(0);
    EXPECT_EQ(wrapped->GetWorldRect().h, 12.0f);
    wrapped->SetText(L"");
    EXPECT_EQ(wrapped->GetWorldRect(), Rect<float>(0, 0, 0, 0));
    EXPECT_TRUE(wrapped->GetRuns().empty());
}

TEST_F(TextNodes, AStyledTextNodeDrawsItsRunsJustifiedWithTheNodesAlpha)
{
    auto* node = BuildAs<StyledTextSpriteNode>("<styledtextspritenode font=\"F\" textResource=\"TwoRuns\" "
                                               "textJustify=\"right\" x=\"10\" y=\"5\" alpha=\"0.5\"/>");
    ASSERT_NE(node, nullptr);
    root->DrawTree({0, 0});
    const auto texts = Calls("Text");
    ASSERT_EQ(texts.size(), 2u);
    // The block (60 wide) ends at x 70; the smaller font sits on the line's bottom.
    EXPECT_EQ(texts[0].text, L"plain ");
    EXPECT_EQ(texts[0].x, 10.0f);
    EXPECT_EQ(texts[0].y, 5.0f + 30 - 12);
    EXPECT_EQ(texts[1].x, 46.0f);
    EXPECT_EQ(texts[0].state.color, ColorF(1, 1, 1, 0.5f));
    EXPECT_EQ(texts[1].state.color, ColorF(0, 1, 0, 0.5f));

    node->SetVisible(false);
    canvas.calls.clear();
    root->DrawTree({0, 0});
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(TextNodes, ABadlyFormedStyledTextSetAtRunTimeIsShownAsItStands)
{
    auto* node = BuildAs<StyledTextSpriteNode>("<styledtextspritenode font=\"F\" text=\"ok\"/>");
    ASSERT_NE(node, nullptr);
    KestrinTest::LogCapture log;
    EXPECT_NO_THROW(node->SetText(L"1 < 2 & <style>"));
    EXPECT_NE(log.Text().find("Styled text \"1 < 2 & <style>\" is not well formed"), std::string::npos)
        << log.Text();
    ASSERT_EQ(node->GetRuns().size(), 1u);
    EXPECT_EQ(node->GetRuns()[0].text, L"1 < 2 & <style>");
    EXPECT_EQ(node->GetWorldRect().w, 15 * 6.0f);
}
