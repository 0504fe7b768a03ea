// Backgrounds (nine-slice panels) and the rectangle and ellipse shapes.
#include "Scene/BackgroundNode.h"
#include "Scene/ShapeNodes.h"

#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Framework/ObjectDatabase.h"
#include "Graphics/ImageList.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneResourceFactories.h"

#include "Scene/SceneTestSupport.h"
#include "SpriteTestSupport.h"
#include "Support/GraphicsFakes.h"
#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using namespace SceneTest;
using KestrinTest::RecordingCanvas;

namespace
{

class ShapeNodes : public SceneFixture
{
protected:
    ShapeNodes()
    {
        canvas.offersLine = true;
        SetCurrentCanvas(&canvas);
        for (int i = 0; i < 9; ++i)
            nine.AddOwnedImage(KestrinTest::FilledImage(2, 2, 0xFFFFFFFF).release());
        root = Node(nullptr, 0, 0, 800, 600);
        database.AddObject(root);
        root->RefreshTree();
    }
    ~ShapeNodes() override { SetCurrentCanvas(nullptr); }

    template <typename N> N* Add(N* node, SceneNode* parent = nullptr)
    {
        node->SetParent(parent ? parent : root);
        database.AddObject(node);
        return node;
    }
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> out;
        for (const auto& call : canvas.calls)
            out.push_back(call.what);
        return out;
    }

    RecordingCanvas canvas;
    ImageList nine;
    SceneNode* root = nullptr;
};

TEST_F(ShapeNodes, ABackgroundTakesOnlyItsAlphaFromItsColour)
{
    SceneNode* parent = Add(Node(nullptr, 5, 5, 100, 100));
    parent->SetAlpha(0.5f);
    auto* panel = Add(new BackgroundNode(NameId(), &nine, 30, 30), parent);
    panel->SetPosition(10, 20);
    panel->SetColor(ColorF(1, 0, 0, 0.8f));
    panel->SetSourceRect({0, 0, 40, 41.5f});
    EXPECT_FALSE(panel->AcceptsFocus());

    panel->DrawTree({1, 2});
    ASSERT_FALSE(canvas.calls.empty());
    EXPECT_EQ(canvas.calls[0].x, 16.0f);
    EXPECT_EQ(canvas.calls[0].y, 27.0f);
    for (const auto& call : canvas.calls)
    {
        EXPECT_EQ(call.state.imageColor, ColorF(1, 1, 1, 0.5f * 0.8f));
        EXPECT_EQ(call.state.clipRect, (Rect<int>(0, 0, 40, 41)));
    }
}

TEST_F(ShapeNodes, ABackgroundShowsNothingWithoutNineImagesASizeOrVisibility)
{
    ImageList eight;
    for (int i = 0; i < 8; ++i)
        eight.AddImage(nine.GetImageAt(i));
    SceneNode* hidden = Add(Node(nullptr, 0, 0, 100, 100));
    hidden->SetVisible(false);
    Add(new BackgroundNode(NameId(), &nine, 30, 30), hidden);
    Add(new BackgroundNode(NameId(), &eight, 30, 30));
    Add(new BackgroundNode(NameId(), nullptr, 30, 30));
    auto* empty = Add(new BackgroundNode(NameId(), &nine, 0, 0));
    empty->SetHitTest(true);

    root->RefreshTree();
    root->DrawTree({0, 0});
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(root->FindNodeAt({0, 0}), nullptr);
}

TEST_F(ShapeNodes, ShapesDrawInTheirBoxInTheirWorldColour)
{
    struct Case
    {
        bool ellipse;
        bool filled;
        float w, h;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {false, true, 10, 4, {"FillF"}},
        {false, false, 10, 4, {"Line", "Line", "Line", "Line"}},
        {true, true, 10, 4, {"FilledEllipse"}},
        {true, false, 10, 4, {"Ellipse"}},
        {false, true, 0, 4, {}},
        {false, false, 10, 0, {}},
        {true, true, 0, 0, {}},
    };
    SceneNode* parent = Add(Node(nullptr, 2, 3, 100, 100));
    parent->SetAlpha(0.5f);
    for (const Case& c : cases)
    {
        canvas.calls.clear();
        ShapeNode* shape = c.ellipse ? static_cast<ShapeNode*>(new EllipseNode(c.w, c.h, c.filled))
                                     : new RectNode(c.w, c.h, c.filled);
        Add(shape, parent);
        shape->SetPosition(5, 6);
        shape->SetColor(ColorF(0.25f, 0.5f, 1.0f, 0.5f));
        shape->DrawTree({1, 1});
        const std::string label = std::string(c.ellipse ? "ellipse " : "rect ") +
                                  (c.filled ? "filled " : "outline ") + std::to_string(int(c.w)) + "x" +
                                  std::to_string(int(c.h));
        EXPECT_EQ(Calls(), c.calls) << label;
        for (const auto& call : canvas.calls)
            EXPECT_EQ(call.state.color, ColorF(0.25f, 0.5f, 1.0f, 0.25f)) << label;
        if (!c.calls.empty() && c.calls[0] != "Line")
        {
            EXPECT_EQ(canvas.calls[0].rectF, (Rect<float>(8, 10, c.w, c.h))) << label;
        }
    }
}

TEST_F(ShapeNodes, AnOutlineLiesOnTheBoxsOwnPixelsAndKeepsTheClip)
{
    auto* box = Add(new RectNode(1, 1, false));
    box->SetPosition(4, 7);
    box->SetSourceRect({0, 0, 5, 5});
    box->DrawTree({0, 0});
    ASSERT_EQ(canvas.calls.size(), 4u);
    for (const auto& call : canvas.calls)
    {
        EXPECT_EQ(call.rectF, (Rect<float>(4, 7, 4, 7))); // from (4, 7) to (4, 7)
        EXPECT_EQ(call.state.clipRect, (Rect<int>(0, 0, 5, 5)));
    }
    EXPECT_EQ(CurrentDrawState(), GetDefaultDrawState()); // the clip did not stay behind

    canvas.calls.clear();
    auto* wide = Add(new RectNode(10.7f, 3, false));
    wide->DrawTree({0.5f, 0});
    ASSERT_EQ(canvas.calls.size(), 4u);
    EXPECT_EQ(canvas.calls[0].rectF, (Rect<float>(0, 0, 9, 0))); // right line at x + w - 1
    EXPECT_EQ(canvas.calls[1].rectF, (Rect<float>(9, 0, 9, 2)));

    // A canvas without ellipses draws none.
    canvas.calls.clear();
    canvas.offersEllipse = false;
    Add(new EllipseNode(5, 5, true))->DrawTree({0, 0});
    EXPECT_TRUE(canvas.calls.empty());
}

TEST(ShapeNodeFactories, ReadTheirAttributes)
{
    struct Case
    {
        const char* element;
        float w, h;
        bool filled;
    };
    const Case cases[] = {
        {R"(<rectnode width="10" height="4"/>)", 10, 4, true},
        {R"(<ellipsenode filled="false" width="3"/>)", 3, 0, false},
        {R"(<rectnode filled="nonsense" height="2"/>)", 0, 2, true},
    };
    RegisterSceneNodeFactories();
    for (const Case& c : cases)
    {
        MemoryStream stream(L"case", c.element, uint32_t(strlen(c.element)));
        XMLReader reader(&stream);
        XMLElement* element = reader.Next();
        while (element && !element->IsStart())
            element = reader.Next();
        ASSERT_NE(element, nullptr) << c.element;
        SceneNodeFactory* factory = GetSceneNodeFactories().Find(element->GetName());
        ASSERT_NE(factory, nullptr) << c.element;
        std::unique_ptr<SceneNodeDescriptor> descriptor(factory->Read(*element));
        std::unique_ptr<SceneNode> node(factory->Create(*descriptor));
        auto* shape = dynamic_cast<ShapeNode*>(node.get());
        ASSERT_NE(shape, nullptr) << c.element;
        EXPECT_EQ(shape->GetLocalState().width, c.w) << c.element;
        EXPECT_EQ(shape->GetLocalState().height, c.h) << c.element;
        EXPECT_EQ(shape->IsFilled(), c.filled) << c.element;
    }
}

class BackgroundLayouts : public KestrinTest::ResourceTest
{
protected:
    BackgroundLayouts()
    {
        RegisterSceneResourceFactories(*manager);
        SpriteTest::RegisterTestImageFactories(*manager);
        SetTopObjectDatabase(&database);
    }
    ~BackgroundLayouts() override { SetTopObjectDatabase(nullptr); }
    ObjectDatabase database;
};

TEST_F(BackgroundLayouts, TheImageListIsLookedUpWhenTheNodeIsBuilt)
{
    LoadText(L"Layouts", R"(<r><scenelayout name="Panel">
                              <backgroundnode images="Frame" width="50" height="40" x="3"/>
                            </scenelayout></r>)");
    LoadText(L"Art", R"(<r><testimages name="Frame" count="9"/></r>)");
    SceneNode* node = GetSceneLayout("Panel").second->Instantiate(database, nullptr);
    auto* panel = dynamic_cast<BackgroundNode*>(node);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetImages(), GetResource<IImageList>("Frame").second);
    EXPECT_EQ(panel->GetLocalState().width, 50.0f);
    EXPECT_EQ(panel->GetLocalState().height, 40.0f);
    EXPECT_EQ(panel->GetLocalState().x, 3.0f);
}

} // namespace
