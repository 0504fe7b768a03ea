#include "Scene/SceneLayoutController.h"

#include "Base/Exceptions.h"
#include "Framework/ObjectDatabase.h"
#include "Scene/SceneNode.h"

using namespace Kestrin;

SceneLayoutController::SceneLayoutController() = default;

SceneLayoutController::~SceneLayoutController() = default;

NameId SceneLayoutController::GetName() const
{
    return {};
}

NameId SceneLayoutController::GetRole() const
{
    return {};
}

void SceneLayoutController::Update(float) {}

void SceneLayoutController::HandleMessage(const Message& message)
{
    if (message.name == Names::Remove)
        OnRemoved();
}

void SceneLayoutController::OnRemoving() {}

void SceneLayoutController::OnAddedToScene() {}

void SceneLayoutController::AddToScene(ObjectDatabase& database, SceneNode* parent)
{
    database.AddObject(this);
    SceneNode* node = CreateNode();
    if (!node)
    {
        // The database owns the controller now; taken out again, it is deleted after the update.
        database.RemoveObject(GetHandle());
        throw engine_error(KESTRIN_HERE, "CreateNode returned null");
    }
    m_node = node;
    node->SetController(this);
    m_nodeRemoved = node->Removing.Connect([this](SceneNode*) { OnNodeRemoved(); });
    for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
        child->RegisterTree(database);
    database.AddObject(node);
    m_ownsNodes = false;
    if (parent)
        node->SetParent(parent);
    OnAddedToScene();
}

namespace
{
void DeleteTree(SceneNode* node)
{
    while (SceneNode* child = node->GetFirstChild())
    {
        node->RemoveChild(child);
        DeleteTree(child);
    }
    delete node;
}
} // namespace

void SceneLayoutController::DeleteOwnedNodes(SceneNode* root)
{
    if (m_ownsNodes && root)
        DeleteTree(root);
}

void SceneLayoutController::OnRemoved()
{
    OnRemoving();
    if (SceneNode* node = m_node)
    {
        // Cut first, so the node's own removal does not come back here.
        node->Removing.Disconnect(m_nodeRemoved);
        node->SetController(nullptr);
        // Its own database: the current one may be another screen's.
        if (ObjectDatabase* database = node->GetDatabase())
            database->RemoveObject(node->GetHandle());
        m_node = nullptr;
    }
    Removed(this);
}

void SceneLayoutController::OnNodeRemoved()
{
    if (!m_node)
        return;
    m_node->SetController(nullptr);
    m_node = nullptr;
    if (ObjectDatabase* database = GetDatabase())
        database->RemoveObject(GetHandle());
}
