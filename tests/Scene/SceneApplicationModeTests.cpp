#include "Scene/SceneApplicationMode.h"

#include "Framework/ErrorBox.h"
#include "Graphics/Canvas.h"
#include "Platform/GraphicsPlatform.h"
#include "Scene/SceneNode.h"

#include "Scene/SceneTestSupport.h"
#include "Support/EngineFakes.h"
#include "Support/GraphicsFakes.h"
#include "harness/ErrorBoxRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

class TestScreen : public SceneApplicationMode
{
};

// A drawable of the database (a widget, say), drawn after the scene.
class Widget : public DrawableObject
{
public:
    explicit Widget(std::vector<std::string>* notes_) : notes(notes_) {}
    void Draw() override { notes->push_back("widget:draw"); }
    void Update(float) override { notes->push_back("widget:update"); }
    std::vector<std::string>* notes;
};

class SceneScreens : public testing::Test
{
protected:
    ~SceneScreens() override
    {
        Graphics::SetCurrentCanvas(nullptr);
        KestrinTest::ResetEngineGlobals();
    }
    KestrinTest::Journal journal; // the fake graphics platforms write to it when deleted
    std::vector<std::string> notes;
    TestScreen screen;
};

} // namespace

TEST_F(SceneScreens, BeforeEnterAnUpdateRunsOnlyTheDatabase)
{
    screen.AddObject(new Widget(&notes));
    EXPECT_EQ(screen.GetRootNode(), nullptr);
    screen.Update(0.02f);
    screen.Draw();
    EXPECT_EQ(notes, (std::vector<std::string>{"widget:update", "widget:draw"}));
}

TEST_F(SceneScreens, TheRootIsRefreshedAfterTheDatabaseAndDrawnBeforeItsOtherDrawables)
{
    screen.Enter();
    SceneNode* root = screen.GetRootNode();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(screen.CreateRootNode(), root);
    EXPECT_EQ(root->GetName(), NameId());
    EXPECT_TRUE(screen.IsValidHandle(root->GetHandle()));

    auto* panel = new NotingNode("panel", &notes);
    auto* label = new NotingNode("label", &notes);
    auto* button = new NotingNode("button", &notes);
    panel->SetParent(root);
    label->SetParent(panel);
    button->SetParent(root);
    panel->SetPosition(10, 20);
    label->SetPosition(1, 2);
    panel->RegisterTree(screen);
    screen.AddObject(button);
    screen.AddObject(new Widget(&notes));
    // A node moved during the update is where it belongs by the end of the same update.
    panel->onUpdate = [panel] { panel->SetX(30); };
    notes.clear();

    screen.Update(0.02f);
    EXPECT_EQ(label->GetDepth(), 2.0f);
    EXPECT_EQ(button->GetDepth(), 3.0f);
    EXPECT_EQ(label->GetDirtyMask(), 0u);
    EXPECT_EQ(label->GetWorldRect(), (Rect<float>{31, 22, 0, 0}));
    notes.clear();
    screen.Draw();
    EXPECT_EQ(notes, (std::vector<std::string>{"panel:draw", "label:draw", "button:draw", "widget:draw"}));

    // A removed root is forgotten, and the screen runs on without it.
    screen.RemoveObject(root->GetHandle());
    EXPECT_EQ(screen.GetRootNode(), nullptr);
    screen.Update(0.02f);
    notes.clear();
    screen.Draw();
    EXPECT_EQ(notes, (std::vector<std::string>{"widget:draw"}));
}

TEST_F(SceneScreens, TheBackdropDimsOnlyOnTheHardwarePlatform)
{
    KestrinTest::RecordingCanvas canvas;
    canvas.bounds = {0, 0, 800, 600};
    Graphics::SetCurrentCanvas(&canvas);
    const Graphics::DrawState before = Graphics::CurrentDrawState();

    SetGraphicsPlatform(new KestrinTest::FakeGraphicsPlatform(GraphicsCaps_Software, journal));
    screen.DrawBackdrop();
    EXPECT_TRUE(canvas.calls.empty());

    delete GetGraphicsPlatform();
    SetGraphicsPlatform(new KestrinTest::FakeGraphicsPlatform(GraphicsCaps_Hardware3D, journal));
    screen.DrawBackdrop();
    ASSERT_EQ(canvas.calls.size(), 1u);
    const KestrinTest::CanvasCall& fill = canvas.calls[0];
    EXPECT_EQ(fill.what, "Fill");
    EXPECT_EQ(fill.rect, (Rect<int>{0, 0, 800, 600}));
    EXPECT_EQ(fill.state.color, ColorF(0, 0, 0, 0.5f));
    EXPECT_TRUE(fill.state.flags & Graphics::DrawFlag_Blend);
    EXPECT_EQ(Graphics::CurrentDrawState(), before);
}

TEST_F(SceneScreens, ErrorMessageBoxesGoThroughTheSink)
{
    KestrinTest::ErrorBoxRecorder boxes;
    ShowErrorMessageBox(L"scene has no root node",
                        L"There was an error loading Options.xml. Fix the problem and press F5 to reload");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption,
              L"There was an error loading Options.xml. Fix the problem and press F5 to reload");
    EXPECT_EQ(boxes.boxes[0].text, L"scene has no root node");
}
