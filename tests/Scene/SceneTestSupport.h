#pragma once
// A database made current for each scene test, and nodes that note what happens to them.
#include "Framework/ObjectDatabase.h"
#include "Scene/SceneNode.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace SceneTest
{

using Kestrin::ColorF;
using Kestrin::Rect;
using Kestrin::Vector2;

// A node that writes its hooks and messages to a shared list as "<label>:<what>".
class NotingNode : public SceneNode
{
public:
    NotingNode(std::string label_, std::vector<std::string>* notes_) : label(std::move(label_)), notes(notes_)
    {
    }
    ~NotingNode() override
    {
        if (notes)
            notes->push_back(label + ":deleted");
    }
    void HandleMessage(const Kestrin::Message& message) override
    {
        if (notes)
            notes->push_back(label + ":" + message.name.c_str());
        SceneNode::HandleMessage(message);
    }
    void Draw(const Vector2<float>& offset) override
    {
        if (notes)
            notes->push_back(label + ":draw");
        if (onDraw)
            onDraw(offset);
    }
    void OnRemoved() override
    {
        if (notes)
            notes->push_back(label + ":OnRemoved");
    }
    void OnChildAdded(SceneNode* child) override { Note("OnChildAdded", child); }
    void OnChildRemoved(SceneNode* child) override { Note("OnChildRemoved", child); }
    void OnParentChanged(SceneNode* parent) override { Note("OnParentChanged", parent); }
    void Update(float) override
    {
        if (onUpdate)
            onUpdate();
    }

    std::string label;
    std::vector<std::string>* notes;
    std::function<void(const Vector2<float>&)> onDraw;
    std::function<void()> onUpdate;

private:
    void Note(const char* what, SceneNode* other)
    {
        auto* noting = dynamic_cast<NotingNode*>(other);
        if (notes)
            notes->push_back(label + ":" + what + "(" +
                             (noting  ? noting->label
                              : other ? "?"
                                      : "null") +
                             ")");
    }
};

// Each test gets a database of its own as the top screen's.
class SceneFixture : public testing::Test
{
protected:
    SceneFixture() { Kestrin::SetTopObjectDatabase(&database); }
    ~SceneFixture() override { Kestrin::SetTopObjectDatabase(nullptr); }

    // A plain node at a position and size, attached under the parent when one is given.
    SceneNode* Node(SceneNode* parent, float x, float y, float w, float h, const char* nodeName = nullptr)
    {
        auto* node = new SceneNode;
        if (nodeName)
            node->SetNodeName(Kestrin::MakeName(nodeName));
        node->SetPosition(x, y);
        node->SetSize(w, h);
        if (parent)
            node->SetParent(parent);
        return node;
    }

    // Before the database: nodes that note their deletion outlive the test body.
    std::vector<std::string> notes;
    Kestrin::ObjectDatabase database;
};

} // namespace SceneTest
