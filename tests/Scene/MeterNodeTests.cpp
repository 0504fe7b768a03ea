#include "Scene/MeterNodes.h"

#include "Graphics/ImageList.h"
#include "Scene/TextSpriteNode.h"

#include "Scene/NodeKindTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

const std::string kResources = "<testimages name=\"Fill\" count=\"1\" width=\"30\" height=\"8\"/>"
                               "<testimages name=\"FillAndEmpty\" count=\"2\" width=\"30\" height=\"8\"/>"
                               "<testimages name=\"Cell\" count=\"1\" width=\"10\" height=\"10\"/>"
                               "<testimages name=\"Cells\" count=\"2\" width=\"10\" height=\"10\"/>"
                               "<testfont name=\"F\" advance=\"6\" lineHeight=\"12\"/>";

// One image drawn: which frame of its list, where, and which part of it (w 0: the whole).
struct Piece
{
    int frame;
    float x, y;
    int from, w;
    bool operator==(const Piece&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Piece& p)
{
    return out << "{" << p.frame << " @" << p.x << "," << p.y << " [" << p.from << "+" << p.w << "]}";
}

class MeterNodes : public NodeKindTest
{
protected:
    MeterNodes() { Resources(kResources); }

    // Parts are read along y for a vertical bar.
    std::vector<Piece> Drawn(SceneNode* node, IImageList* list, bool vertical = false)
    {
        canvas.calls.clear();
        node->DrawTree({0, 0});
        auto* images = dynamic_cast<ImageList*>(list);
        std::vector<Piece> out;
        for (const auto& call : Calls("Image"))
        {
            int frame = -1;
            for (int i = 0; images && i < images->Count(); ++i)
                if (images->GetImageAt(i) == call.image)
                    frame = i;
            Piece piece{frame, call.x, call.y, 0, 0};
            if (call.state.flags & Graphics::DrawFlag_SourceRect)
            {
                const Rect<int>& r = call.state.sourceRect;
                piece.from = vertical ? r.y : r.x;
                piece.w = vertical ? r.h : r.w;
            }
            out.push_back(piece);
        }
        return out;
    }
};

} // namespace

TEST(MeterComponents, TheValueStaysBetweenZeroAndTheMaximum)
{
    MeterComponent meter;
    meter.SetValue(5);
    EXPECT_EQ(meter.GetValue(), 0.0f) << "no room above a maximum of 0";
    meter.SetMax(10);
    struct Step
    {
        float value, expected;
    };
    const Step steps[] = {{-3, 0}, {4.5f, 4.5f}, {10, 10}, {12, 10}, {std::nanf(""), 0}};
    for (const Step& s : steps)
    {
        meter.SetValue(s.value);
        EXPECT_EQ(meter.GetValue(), s.expected) << s.value;
    }
    meter.SetValue(8);
    meter.SetMax(6);
    EXPECT_EQ(meter.GetValue(), 6.0f);
    meter.SetMax(-1);
    EXPECT_EQ(meter.GetMax(), 0.0f);
    EXPECT_EQ(meter.GetValue(), 0.0f);

    struct Fill
    {
        float value, max;
        int length, filled;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Fill fills[] = {{0, 0, 100, 0},       {5, 0, 100, 0},  {50, 100, 100, 50}, {100, 100, 100, 100},
                          {150, 100, 100, 100}, {1, 3, 100, 33}, {inf, inf, 100, 0}, {2.5f, 5, 5, 2}};
    for (const Fill& f : fills)
        EXPECT_EQ(MeterFill(f.value, f.max, f.length), f.filled) << f.value << "/" << f.max;
}

TEST_F(MeterNodes, ABarFillsItsShareOfTheLengthWithTilesAlignedToItsNearEnd)
{
    // 100 pixels filled from the right to the half: pixels 50-99, the tiles cut where they would
    // fall if tiled from the left end (30, 60, 90).
    auto* bar = BuildAs<MeterBarNode>("<meterbarnode images=\"Fill\" size=\"100\" direction=\"rightToLeft\" "
                                      "max=\"10\" start=\"5\" x=\"10\"/>");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetWorldRect(), Rect<float>(10, 0, 100, 8));
    EXPECT_EQ(Drawn(bar, bar->GetImages()),
              (std::vector<Piece>{{0, 60, 0, 20, 10}, {0, 70, 0, 0, 0}, {0, 100, 0, 0, 10}}));

    // The empty bar goes under the whole length first.
    auto* both =
        BuildAs<MeterBarNode>("<meterbarnode images=\"FillAndEmpty\" size=\"40\" max=\"4\" start=\"1\"/>");
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(Drawn(both, both->GetImages()),
              (std::vector<Piece>{{1, 0, 0, 0, 0}, {1, 30, 0, 0, 10}, {0, 0, 0, 0, 10}}));

    // Size 0 is the length of image 0, which a full bar covers once; no maximum, no fill.
    auto* full = BuildAs<MeterBarNode>("<meterbarnode images=\"Fill\" max=\"3\" start=\"7\"/>");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->GetWorldRect(), Rect<float>(0, 0, 30, 8));
    EXPECT_EQ(full->GetValue(), 3.0f);
    EXPECT_EQ(Drawn(full, full->GetImages()), (std::vector<Piece>{{0, 0, 0, 0, 0}}));
    auto* none = BuildAs<MeterBarNode>("<meterbarnode images=\"FillAndEmpty\" start=\"7\"/>");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(Drawn(none, none->GetImages()), (std::vector<Piece>{{1, 0, 0, 0, 0}}));

    // Upward from the bottom: 20 of 40 pixels, the lower half.
    auto* up = BuildAs<MeterBarNode>(
        "<meterbarnode images=\"Fill\" size=\"40\" direction=\"bottomToTop\" max=\"2\" start=\"1\"/>");
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->GetWorldRect(), Rect<float>(0, 0, 30, 40));
    EXPECT_EQ(Drawn(up, up->GetImages(), true),
              (std::vector<Piece>{{0, 0, 20, 4, 4}, {0, 0, 24, 0, 0}, {0, 0, 32, 0, 0}}));

    // The direction word is matched exactly; a missing list is 0 x 0 and draws nothing.
    auto* wrongCase = BuildAs<MeterBarNode>("<meterbarnode images=\"Fill\" direction=\"LeftToRight\"/>");
    ASSERT_NE(wrongCase, nullptr);
    EXPECT_EQ(wrongCase->GetDirection(), Meter_LeftToRight);
    auto* missing =
        BuildAs<MeterBarNode>("<meterbarnode images=\"Nothing\" size=\"50\" max=\"1\" start=\"1\"/>");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetWorldRect(), Rect<float>(0, 0, 0, 0));
    EXPECT_TRUE(Drawn(missing, nullptr).empty());
}

TEST_F(MeterNodes, ADiscreteBarShowsWholeCellsWithItsFullCellsAtTheFarEndWhenReversed)
{
    auto* row = BuildAs<DiscreteMeterBarNode>(
        "<discretemeterbarnode images=\"Cells\" size=\"5\" offset=\"2\" max=\"10\" start=\"5\"/>");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetWorldRect(), Rect<float>(0, 0, 58, 10));
    EXPECT_EQ(Drawn(row, row->GetImages()),
              (std::vector<Piece>{
                  {0, 0, 0, 0, 0}, {0, 12, 0, 0, 0}, {1, 24, 0, 0, 0}, {1, 36, 0, 0, 0}, {1, 48, 0, 0, 0}}));

    // Reversed and without an empty-cell image: the empty cells keep their places.
    auto* reversed =
        BuildAs<DiscreteMeterBarNode>("<discretemeterbarnode images=\"Cell\" size=\"5\" offset=\"2\" "
                                      "direction=\"rightToLeft\" max=\"10\" start=\"5\"/>");
    ASSERT_NE(reversed, nullptr);
    EXPECT_EQ(Drawn(reversed, reversed->GetImages()),
              (std::vector<Piece>{{0, 36, 0, 0, 0}, {0, 48, 0, 0, 0}}));

    auto* column =
        BuildAs<DiscreteMeterBarNode>("<discretemeterbarnode images=\"Cells\" size=\"3\" offset=\"1\" "
                                      "direction=\"bottomToTop\" max=\"3\" start=\"1\"/>");
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->GetWorldRect(), Rect<float>(0, 0, 10, 32));
    EXPECT_EQ(Drawn(column, column->GetImages()),
              (std::vector<Piece>{{1, 0, 0, 0, 0}, {1, 0, 11, 0, 0}, {0, 0, 22, 0, 0}}));

    // Without a maximum only empty cells show; with no cells there is nothing, not a negative size.
    auto* empty =
        BuildAs<DiscreteMeterBarNode>("<discretemeterbarnode images=\"Cells\" size=\"2\" start=\"1\"/>");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(Drawn(empty, empty->GetImages()), (std::vector<Piece>{{1, 0, 0, 0, 0}, {1, 10, 0, 0, 0}}));
    auto* noCells =
        BuildAs<DiscreteMeterBarNode>("<discretemeterbarnode images=\"Cells\" size=\"-4\" offset=\"-3\"/>");
    ASSERT_NE(noCells, nullptr);
    EXPECT_EQ(noCells->GetWorldRect(), Rect<float>(0, 0, 0, 10));
    EXPECT_TRUE(Drawn(noCells, noCells->GetImages()).empty());

    // A billion cells: those up to the canvas's edge (800 pixels, a cell every 12) are drawn.
    auto* many = BuildAs<DiscreteMeterBarNode>(
        "<discretemeterbarnode images=\"Cells\" size=\"1000000000\" offset=\"2\" max=\"1\" start=\"1\"/>");
    ASSERT_NE(many, nullptr);
    const std::vector<Piece> drawn = Drawn(many, many->GetImages());
    ASSERT_EQ(drawn.size(), 67u);
    EXPECT_EQ(drawn.back(), (Piece{0, 792, 0, 0, 0}));
}

TEST_F(MeterNodes, AFractionMeterShowsValueSlashMaximumInItsOwnColour)
{
    auto* meter = BuildAs<FractionTextMeterNode>(
        "<fractiontextmeternode font=\"F\" max=\"10\" start=\"3.7\" color=\"#00FF00FF\" x=\"5\"/>");
    ASSERT_NE(meter, nullptr);
    TextSpriteNode* text = meter->GetTextNode();
    EXPECT_EQ(text->GetText(), L"3/10");
    EXPECT_EQ(meter->GetWorldRect(), Rect<float>(5, 0, 24, 12));
    EXPECT_EQ(text->GetDatabase(), &database);

    // Lowering the maximum clamps the value and rewrites the text.
    meter->SetMax(2.9f);
    EXPECT_EQ(text->GetText(), L"2/2");
    meter->SetMax(100);
    meter->SetValue(-1);
    EXPECT_EQ(text->GetText(), L"0/100");
    meter->SetValue(99.99f);
    EXPECT_EQ(meter->GetWorldRect().w, 6 * 6.0f);
    root->RefreshTree();
    canvas.calls.clear();
    root->DrawTree({0, 0});
    ASSERT_EQ(Calls("Text").size(), 1u);
    EXPECT_EQ(Calls("Text")[0].text, L"99/100");
    EXPECT_EQ(Calls("Text")[0].x, 5.0f);
    EXPECT_EQ(Calls("Text")[0].state.color, ColorF(0, 1, 0, 1));

    // No "color" is opaque black, no "max" shows 0/0.
    auto* plain = BuildAs<FractionTextMeterNode>("<fractiontextmeternode font=\"F\" start=\"4\"/>");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetTextNode()->GetText(), L"0/0");
    EXPECT_EQ(plain->GetTextNode()->GetLocalState().color, ColorF(0, 0, 0, 1));

    // Made by code and added alone, it brings its text into the database.
    auto* coded = new FractionTextMeterNode(nullptr, ColorF(1, 1, 1, 1), 0);
    database.AddObject(coded);
    EXPECT_EQ(coded->GetTextNode()->GetDatabase(), &database);
    EXPECT_EQ(coded->GetWorldRect().w, 0.0f);

    // Its text removed on its own and deleted, the meter still takes values (a use after free before).
    database.RemoveObject(meter->GetTextNode()->GetHandle());
    database.Update(0.02f);
    EXPECT_EQ(meter->GetTextNode(), nullptr);
    meter->SetValue(3);
    meter->SetMax(5);
    EXPECT_EQ(meter->GetValue(), 3.0f);
}
