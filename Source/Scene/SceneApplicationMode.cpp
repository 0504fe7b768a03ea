#include "Scene/SceneApplicationMode.h"

#include "Scene/SceneNode.h"

void SceneApplicationMode::Enter()
{
    CreateRootNode();
}

SceneNode* SceneApplicationMode::CreateRootNode()
{
    if (m_root)
        return m_root;
    m_root = new SceneNode;
    // A removed root is deleted after the next update; the screen must not keep it.
    m_root->Removed.Connect(
        [this](SceneNode* node)
        {
            if (m_root == node)
                m_root = nullptr;
        });
    AddObject(m_root);
    return m_root;
}

void SceneApplicationMode::Update(float dt)
{
    ApplicationMode::Update(dt);
    if (m_root)
        m_root->RefreshTree();
}

void SceneApplicationMode::Draw()
{
    VisitTree();
    ApplicationMode::Draw();
}

void SceneApplicationMode::VisitTree()
{
    if (m_root)
        m_root->DrawTree(SceneNode::Vector2f(0.0f, 0.0f));
}
