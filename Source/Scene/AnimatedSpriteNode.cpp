#include "Scene/AnimatedSpriteNode.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/AnimationController.h"
#include "Graphics/ImageList.h"
#include "Scene/NodeDrawing.h"
#include "Scene/SpriteType.h"

using namespace Kestrin;

namespace
{

SpriteType* FindSpriteType(NameId id)
{
    return id ? GetSpriteTypeById(id).second : nullptr;
}

// The node's database while it is live in one.
ObjectDatabase* LiveDatabase(const SceneNode& node)
{
    ObjectDatabase* database = node.GetDatabase();
    return database && database->IsValidHandle(node.GetHandle()) ? database : nullptr;
}

} // namespace

AnimationController* AnimatedSpriteNode::HeldController::Get() const
{
    if (!database || !database->IsValidHandle(handle))
        return nullptr;
    return dynamic_cast<AnimationController*>(database->GetObject(handle));
}

AnimatedSpriteNode::AnimatedSpriteNode(NameId spriteTypeId) : AnimatedSpriteNode(FindSpriteType(spriteTypeId))
{
}

AnimatedSpriteNode::AnimatedSpriteNode(SpriteType* spriteType)
{
    SetSpriteType(spriteType);
}

AnimatedSpriteNode::~AnimatedSpriteNode() = default;

void AnimatedSpriteNode::SetSpriteType(SpriteType* spriteType)
{
    if (spriteType == m_spriteType)
        return;
    m_spriteType = spriteType;
    DropOwnController();
    m_shared = {};
    if (spriteType)
    {
        m_pendingOwn = std::make_unique<AnimationController>();
        RegisterOwnController();
    }
    UpdateSize();
}

AnimationController* AnimatedSpriteNode::OwnController() const
{
    return m_pendingOwn ? m_pendingOwn.get() : m_own.Get();
}

void AnimatedSpriteNode::DropOwnController()
{
    m_pendingOwn.reset();
    if (m_own.Get())
        m_own.database->RemoveObject(m_own.handle);
    m_own = {};
}

void AnimatedSpriteNode::RegisterOwnController()
{
    ObjectDatabase* database = LiveDatabase(*this);
    if (!database)
        return;
    if (!m_pendingOwn && m_spriteType && !m_own.Get())
        m_pendingOwn = std::make_unique<AnimationController>(); // added again after its removal
    if (!m_pendingOwn)
        return;
    AnimationController* controller = m_pendingOwn.release();
    m_own = {database, database->AddObject(controller)};
}

AnimationController* AnimatedSpriteNode::GetAnimationController()
{
    if (!m_spriteType)
        return nullptr;
    if (m_useShared)
    {
        ObjectDatabase* database = LiveDatabase(*this);
        if (!database)
            database = GetCurrentObjectDatabase();
        if (database)
        {
            if (m_shared.database == database)
                if (AnimationController* shared = m_shared.Get())
                    return shared;
            if (AnimationController* shared = m_spriteType->GetSharedAnimationController(database))
            {
                m_shared = {database, shared->GetHandle()};
                return shared;
            }
        }
        // No database to share one in: the node plays on its own.
    }
    return OwnController();
}

void AnimatedSpriteNode::PlayAnimation(NameId animation, bool restart)
{
    if (!m_spriteType)
        return;
    if (AnimationController* controller = GetAnimationController())
        controller->PlayAnimation(m_spriteType->FindAnimation(animation), restart);
    UpdateSize();
}

void AnimatedSpriteNode::InterruptWithAnimation(NameId animation)
{
    if (!m_spriteType)
        return;
    if (AnimationController* controller = GetAnimationController())
        controller->InterruptAnimation(m_spriteType->FindAnimation(animation));
    UpdateSize();
}

void AnimatedSpriteNode::QueueAnimation(NameId animation)
{
    if (!m_spriteType)
        return;
    if (AnimationController* controller = GetAnimationController())
        controller->QueueAnimation(m_spriteType->FindAnimation(animation));
    UpdateSize();
}

bool AnimatedSpriteNode::IsPlayingAnimation(NameId animation)
{
    if (!m_spriteType)
        return false;
    const SpriteAnimation* record = m_spriteType->FindAnimation(animation);
    if (!record)
        return false;
    AnimationController* controller = GetAnimationController();
    return controller && controller->IsCurrentAnimation(record);
}

int AnimatedSpriteNode::GetFrameIndex()
{
    AnimationController* controller = GetAnimationController();
    IImageList* list = m_spriteType ? m_spriteType->GetImageList() : nullptr;
    if (!controller || !list)
        return -1;
    const int index = controller->GetCurrentFrame().index;
    return index >= 0 && index < list->Count() ? index : -1;
}

void AnimatedSpriteNode::UpdateSize()
{
    const int index = GetFrameIndex();
    float width = 0.0f, height = 0.0f;
    if (index >= 0)
    {
        width = float(m_spriteType->GetImageList()->GetWidth(index));
        height = float(m_spriteType->GetImageList()->GetHeight(index));
    }
    // Unchanged, the world state holds: the refresh need not visit the node.
    if (width != GetLocalState().width || height != GetLocalState().height)
        SetSize(width, height);
}

void AnimatedSpriteNode::Update(float)
{
    UpdateSize();
}

void AnimatedSpriteNode::HandleMessage(const Message& message)
{
    SceneNode::HandleMessage(message);
    if (message.name == Names::Add)
        RegisterOwnController();
}

bool AnimatedSpriteNode::HitTest(const Vector2f& point)
{
    if (!m_spriteType)
        return false;
    // The controller may have moved on since the node's own update this step.
    UpdateSize();
    const int index = GetFrameIndex();
    if (index < 0)
        return false;
    IImageList* list = m_spriteType->GetImageList();
    return HitTestNodePixels(*this, point, m_alphaSensitivity,
                             [&](int x, int y) { return list->GetAlpha(index, x, y); });
}

void AnimatedSpriteNode::Draw(const Vector2f& offset)
{
    if (!m_spriteType || !IsWorldVisible())
        return;
    UpdateSize();
    const int index = GetFrameIndex();
    if (index >= 0)
        DrawNodeFrame(*this, m_spriteType->GetImageList(), index, offset);
}

void AnimatedSpriteNode::OnRemoved()
{
    DropOwnController();
}

SceneNodeDescriptor* AnimatedSpriteNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* descriptor = new AnimatedSpriteNodeDescriptor;
    if (attributes.HasAttribute(L"initialAnimation"))
        descriptor->initialAnimation = MakeNameFromWString(attributes.GetString(L"initialAnimation"));
    if (attributes.HasAttribute(L"spriteType"))
        descriptor->spriteType = MakeNameFromWString(attributes.GetString(L"spriteType"));
    descriptor->alphaSensitivity = attributes.GetInt(L"alphaSensitivity", 0);
    descriptor->useSharedAnimationController = attributes.GetBool(L"useSharedAnimationController", false);
    return descriptor;
}

SceneNode* AnimatedSpriteNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const AnimatedSpriteNodeDescriptor*>(&descriptor);
    if (!d)
        return new AnimatedSpriteNode;
    auto* node = new AnimatedSpriteNode(d->spriteType);
    node->SetUseSharedAnimationController(d->useSharedAnimationController);
    if (d->initialAnimation)
        node->PlayAnimation(d->initialAnimation, false);
    node->SetAlphaSensitivity(d->alphaSensitivity);
    return node;
}
