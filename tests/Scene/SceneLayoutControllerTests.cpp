#include "Scene/SceneLayoutController.h"

#include "Base/Exceptions.h"
#include "Framework/ObjectDatabase.h"
#include "Scene/SceneNode.h"

#include "Scene/SceneTestSupport.h"
#include "Support/Thrown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

using Notes = std::vector<std::string>;

class TestController : public SceneLayoutController
{
public:
    TestController(Notes* notes_, SceneNode* made_) : notes(notes_), made(made_) {}
    void HandleMessage(const Message& message) override
    {
        notes->push_back(std::string("controller:") + message.name.c_str());
        SceneLayoutController::HandleMessage(message);
    }

    Notes* notes;
    SceneNode* made;
    bool nodeSeenOnRemoving = false;

protected:
    SceneNode* CreateNode() override { return made; }
    void OnRemoving() override
    {
        notes->push_back("controller:OnRemoving");
        nodeSeenOnRemoving = GetNode() != nullptr;
    }
    void OnAddedToScene() override { notes->push_back("controller:OnAddedToScene"); }
};

using SceneLayoutControllers = SceneFixture;

} // namespace

TEST_F(SceneLayoutControllers, AddsItselfThenTheSubtreeChildrenFirstThenTheNodeAndAttachesIt)
{
    auto* layer = new NotingNode("layer", &notes);
    database.AddObject(layer);
    auto* node = new NotingNode("node", &notes);
    auto* a = new NotingNode("a", &notes);
    auto* a1 = new NotingNode("a1", &notes);
    auto* b = new NotingNode("b", &notes);
    a->SetParent(node);
    a1->SetParent(a);
    b->SetParent(node);
    auto* controller = new TestController(&notes, node);
    notes.clear();
    controller->AddToScene(database, layer);

    Notes adds;
    for (const std::string& n : notes)
        if (n.find(":Add") != std::string::npos || n.find("OnAdded") != std::string::npos)
            adds.push_back(n);
    EXPECT_EQ(adds,
              (Notes{"controller:Add", "a1:Add", "a:Add", "b:Add", "node:Add", "controller:OnAddedToScene"}));
    EXPECT_LT(controller->GetHandle() & 0xFFFF, a1->GetHandle() & 0xFFFF);
    EXPECT_LT(b->GetHandle() & 0xFFFF, node->GetHandle() & 0xFFFF);
    EXPECT_EQ(node->GetController(), controller);
    EXPECT_EQ(controller->GetNode(), node);
    EXPECT_EQ(node->GetParent(), layer);
    EXPECT_EQ(layer->GetLastChild(), node);
}

TEST_F(SceneLayoutControllers, ANullParentRegistersEverythingAndAttachesNothing)
{
    auto* node = new SceneNode;
    auto* child = new SceneNode;
    child->SetParent(node);
    auto* controller = new TestController(&notes, node);
    controller->AddToScene(database, nullptr);
    EXPECT_TRUE(database.IsValidHandle(controller->GetHandle()));
    EXPECT_TRUE(database.IsValidHandle(node->GetHandle()));
    EXPECT_TRUE(database.IsValidHandle(child->GetHandle()));
    EXPECT_EQ(node->GetParent(), nullptr);

    // Never added: deleting it touches nothing.
    auto* loose = new SceneNode;
    database.AddObject(loose);
    delete new TestController(&notes, loose);
    EXPECT_TRUE(database.IsValidHandle(loose->GetHandle()));
    EXPECT_EQ(loose->GetController(), nullptr);
}

TEST_F(SceneLayoutControllers, RemovingTheControllerRemovesTheNodeThenFiresOnce)
{
    auto* node = new NotingNode("node", &notes);
    auto* child = new NotingNode("child", &notes);
    child->SetParent(node);
    auto* controller = new TestController(&notes, node);
    controller->AddToScene(database, nullptr);
    int fired = 0;
    SceneNode* nodeSeenBySignal = node;
    controller->Removed.Connect(
        [&](SceneLayoutController* c)
        {
            ++fired;
            nodeSeenBySignal = c->GetNode();
            notes.push_back("signal");
        });
    notes.clear();

    // From another screen's turn: the node still leaves the controller's database.
    ObjectDatabase other;
    {
        ScopedCurrentObjectDatabase scope(&other);
        database.RemoveObject(controller->GetHandle());
    }
    EXPECT_EQ(notes, (Notes{"controller:Remove", "controller:OnRemoving", "node:Remove",
                            "child:OnParentChanged(null)", "child:Remove", "child:OnRemoved",
                            "node:OnRemoved", "signal"}));
    EXPECT_TRUE(controller->nodeSeenOnRemoving);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(nodeSeenBySignal, nullptr);
    EXPECT_EQ(node->GetController(), nullptr);
    EXPECT_FALSE(database.IsValidHandle(node->GetHandle()));
    EXPECT_FALSE(database.IsValidHandle(child->GetHandle()));

    // A second "Remove" with no node left still runs the hook and fires.
    notes.clear();
    controller->HandleMessage(Message(NoObjectHandle, Names::Remove));
    EXPECT_EQ(notes, (Notes{"controller:Remove", "controller:OnRemoving", "signal"}));
    EXPECT_EQ(fired, 2);
    database.Update(0.0f);
}

TEST_F(SceneLayoutControllers, RemovingTheNodeFirstRemovesTheControllerOnce)
{
    auto* node = new NotingNode("node", &notes);
    auto* controller = new TestController(&notes, node);
    controller->AddToScene(database, nullptr);
    int fired = 0;
    controller->Removed.Connect([&](SceneLayoutController*) { ++fired; });
    notes.clear();
    database.RemoveObject(node->GetHandle());
    EXPECT_EQ(notes, (Notes{"node:Remove", "controller:Remove", "controller:OnRemoving", "node:OnRemoved"}));
    EXPECT_FALSE(controller->nodeSeenOnRemoving);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(database.IsValidHandle(controller->GetHandle()));
}

TEST_F(SceneLayoutControllers, ANodelessControllerIsRefusedAndTakenOutAgain)
{
    auto* controller = new TestController(&notes, nullptr);
    EXPECT_EQ(KestrinTest::ThrownWhat<engine_error>([&] { controller->AddToScene(database, nullptr); }),
              "CreateNode returned null");
    EXPECT_FALSE(database.IsValidHandle(controller->GetHandle()));
    database.Update(0.0f); // the database deletes it
}
