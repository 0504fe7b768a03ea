#include "Game/GremlinHome.h"

#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Game/GameClock.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/LevelServices.h"
#include "Game/Line.h"
#include "Game/TutorialBubble.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/NodeTasks.h"
#include "Scene/SceneLayout.h"
#include "Scene/SpriteType.h"
#include "Scene/StaticSpriteNode.h"

#include <algorithm>
#include <string>

namespace
{
constexpr float BoxWidth = 40.0f;
constexpr float BoxHeight = 30.0f;
constexpr int Priority = 6;
constexpr float BlinkHalfPeriod = 0.1f;
constexpr float BlinkLength = 1.0f;
constexpr int BurstSparks = 20;
constexpr int BurstFrames = 5;
constexpr float BurstTime = 0.5f;

const Kestrin::ConstantName TrapLayout{"TrapLayout"};
const Kestrin::ConstantName MouseHandler{"MouseHandler"};
const Kestrin::ConstantName OpenLook{"open-100"};
const Kestrin::ConstantName ClosedLook{"closed-100"};
const Kestrin::ConstantName WindOff{"off"};
const Kestrin::ConstantName CaptureSprite{"TrapCaptureSpriteType"};
const Kestrin::ConstantName CapturePlay{"capture"};
const Kestrin::ConstantName ClickSound{"SFX_ClickTrap"};
const Kestrin::ConstantName BurstImages{"blue_sml"};
const char* const TrapSpriteTypeSuffix = "_TrapStateSpriteType";

// The layout's tree under an unnamed node, so that the paths start at "MouseHandler"; the node
// alone when the layout is not loaded.
SceneNode* BuildLayout()
{
    auto* top = new SceneNode;
    const SceneLayout* layout = GetSceneLayout(TrapLayout.Get()).second;
    if (layout && layout->GetRoot())
        SceneLayout::BuildNode(top, *layout->GetRoot());
    return top;
}

float AxisDistance(float value, float low, float high)
{
    return value < low ? low - value : value > high ? value - high : 0.0f;
}
} // namespace

GremlinHome::GremlinHome(GremlinColorType color_, Vector2f position_, GremlinKind kind_,
                         bool leavesAfterCapture_)
    : GameObject(position_.x, position_.y, BoxWidth, BoxHeight, false, true), position(position_),
      leavesAfterCapture(leavesAfterCapture_)
{
    color = color_;
    kind = kind_;
    layoutNode = BuildLayout();
    if (auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::TrapImage)))
    {
        const std::string type = std::string(NameOf(kind)) + NameOf(color) + TrapSpriteTypeSuffix;
        image->SetSpriteType(GetSpriteType(type.c_str()).second);
        image->PlayAnimation(ClosedLook.Get());
        image->UpdateSize();
        const SceneNode::NodeState& state = image->GetLocalState();
        if (state.width > 0 && state.height > 0)
            SetSize(state.width, state.height);
    }
    if ((m_handler = layoutNode->FindChild(MouseHandler.Get())))
    {
        m_down =
            m_handler->MouseDown.Connect([this](SceneNode*, Vector2f, Kestrin::MouseButton) { OnClick(); });
        m_leave = m_handler->MouseLeave.Connect([this](SceneNode*, Vector2f point) { OnDragOut(point); });
        m_up =
            m_handler->MouseUp.Connect([this](SceneNode*, Vector2f, Kestrin::MouseButton) { OnMouseUp(); });
    }
    // No clicks during the level's introduction: Start switches them on.
    if (LevelServices* level = FindLevel(); level && level->notStarted)
        SetHitTest(false);
    SyncNodePosition(GetCentre());
}

GremlinHome::~GremlinHome()
{
    for (Line* line : lines)
        if (line->trap == this)
            line->trap = nullptr;
    // Once in a screen the nodes are the database's and may be gone already.
    if (OwnsNodes())
        Disconnect();
    DeleteOwnedNodes(layoutNode);
}

void GremlinHome::OnRemoving()
{
    GameObject::OnRemoving();
    Disconnect();
}

void GremlinHome::Disconnect()
{
    if (!m_handler)
        return;
    m_handler->MouseDown.Disconnect(m_down);
    m_handler->MouseLeave.Disconnect(m_leave);
    m_handler->MouseUp.Disconnect(m_up);
    m_handler = nullptr;
}

Kestrin::NameId GremlinHome::GetRole() const
{
    return GameNames::GremlinHomeRole;
}

int GremlinHome::GetCollisionPriority() const
{
    return Priority;
}

void GremlinHome::OnLineContact(LineSegment*) {}
void GremlinHome::OnCollision(CollisionTreeComponent*) {}

void GremlinHome::SyncNodePosition(Vector2f centre)
{
    if (!layoutNode)
        return;
    SceneNode* image = FindNodeAtPath(layoutNode, NodePath::TrapImage);
    if (!image)
    {
        layoutNode->SetPosition(centre.x, centre.y);
        return;
    }
    // Where the image's centre sits relative to the trap's node, wherever the node is now.
    const SceneNode::Rectf top = layoutNode->GetWorldRect();
    const SceneNode::Rectf rect = image->GetWorldRect();
    const Vector2f offset(rect.x + rect.w / 2 - top.x, rect.y + rect.h / 2 - top.y);
    layoutNode->SetPosition(centre.x - offset.x, centre.y - offset.y);
}

void GremlinHome::SetHitTest(bool enabled)
{
    if (SceneNode* image = FindNodeAtPath(layoutNode, NodePath::TrapImage))
        image->SetHitTest(enabled);
    pressed = false;
}

void GremlinHome::Start()
{
    SetHitTest(true);
}

void GremlinHome::OnClick()
{
    if (pressed)
        return;
    const uint32_t now = GetMillisecondTime();
    LevelServices* level = FindLevel();
    if (level && level->drawing && level->currentLine &&
        IsPastClickTime(now, GlobalSettings::Instance().clickTime))
    {
        level->currentLine->retracting = true;
        level->RetractLine();
    }
    SetLastTrapClickTime(now);
    pressed = true;
    open = true;
    Kestrin::PlaySoundById(ClickSound.Get());
}

void GremlinHome::OnDragOut(Vector2f point)
{
    if (!pressed)
        return;
    pressed = false;
    if (LevelServices* level = FindLevel())
        if (Line* line = level->BeginLine(point, this, color, kind))
            if (std::find(lines.begin(), lines.end(), line) == lines.end())
                lines.push_back(line);
    OnRelease();
}

void GremlinHome::OnMouseUp()
{
    // The trap takes every release over it: a line dragged out of it ends here too.
    if (LevelServices* level = FindLevel())
        level->OnPlayfieldPress();
    OnRelease();
}

void GremlinHome::OnRelease()
{
    if (LevelServices* level = FindLevel())
        level->ShowTrapTutorial();
    releaseSignal();
}

void GremlinHome::Update(float)
{
    if (m_gone)
        return;
    if (lines.empty())
    {
        if (leaving)
        {
            m_gone = true;
            if (LevelServices* level = FindLevel())
                level->ReleaseTrap(this);
            leaveSignal(GlobalSettings::Instance().trapSpawnDelay);
            if (Kestrin::ObjectDatabase* database = GetDatabase())
                database->RemoveObject(GetHandle());
            return;
        }
        if (!pressed)
            open = false;
    }
    if (!layoutNode || !layoutNode->GetFirstChild())
        return;
    auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::TrapImage));
    if (!image)
        return;
    if (open)
        image->PlayAnimation(OpenLook.Get());
    else
    {
        if (auto* wind = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::TrapWindFX)))
            wind->PlayAnimation(WindOff.Get());
        image->PlayAnimation(ClosedLook.Get());
    }
}

void GremlinHome::OnCapture(Gremlin* creature)
{
    ++captures;
    LevelServices* level = FindLevel();
    if (level && creature && creature->metaType == GremlinMetaType::Normal)
        ++level->captureCount;
    SceneNode* captureFX = FindNodeAtPath(layoutNode, NodePath::TrapCaptureFX);
    SpriteType* type = GetSpriteTypeById(CaptureSprite.Get()).second;
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    // A trap taken out this frame (the failure outro's) still catches what it hauls, but its nodes
    // are deleted with it: an effect under them would outlive its parent.
    if (captureFX && captureFX->GetDatabase() &&
        !captureFX->GetDatabase()->IsValidHandle(captureFX->GetHandle()))
        captureFX = nullptr;
    if (captureFX && type && database)
    {
        auto* sprite = new AnimatedSpriteNode(type);
        sprite->SetColor({1, 1, 1, 1});
        database->AddObject(sprite);
        sprite->SetParent(captureFX);
        sprite->AddTask(new NodeAnimationTask(CapturePlay.Get(), NodeAnimationTask::Play, 1));
        sprite->AddTask(new Kestrin::SelfDestructTask);
    }
    if (leavesAfterCapture)
        leaving = true;
}

bool GremlinHome::IsBlocked() const
{
    if (CollisionTreeComponent::IsBlocked())
        return true;
    const float limit = GlobalSettings::Instance().minTrapDistanceSquared;
    const Vector2f c = GetCentre();
    const float hw = GetHalfWidth(), hh = GetHalfHeight();
    bool tooNear = false;
    HeldObject<GremlinHome>::ForEach(
        [&](GremlinHome* other)
        {
            if (other == this || tooNear)
                return;
            const Vector2f o = other->GetCentre();
            const float dx = AxisDistance(o.x, c.x - hw, c.x + hw);
            const float dy = AxisDistance(o.y, c.y - hh, c.y + hh);
            tooNear = dx * dx + dy * dy < limit;
        });
    return tooNear;
}

void GremlinHome::OnLooped()
{
    SceneNode* image = FindNodeAtPath(layoutNode, NodePath::TrapImage);
    if (!image)
        return;
    using namespace Kestrin;
    const ColorF black{0, 0, 0, 1}, white{1, 1, 1, 1};
    auto* blink = new RepeatingTask(new SerialTask(new NodeColorTask(black), new TimedTask(BlinkHalfPeriod)),
                                    new SerialTask(new NodeColorTask(white), new TimedTask(BlinkHalfPeriod)));
    auto* limited = new ParallelTask(ParallelTask::Any, new TimedTask(BlinkLength), blink);
    image->SetChannelTask(GameNames::GotLooped, new SerialTask(limited, new NodeColorTask(white)));
}

void GremlinHome::CelebrationBurst()
{
    SceneNode* image = FindNodeAtPath(layoutNode, NodePath::TrapImage);
    Kestrin::IImageList* sparks = Kestrin::GetResource<Kestrin::IImageList>(BurstImages.Get()).second;
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    if (!image)
        return;
    // The wind, not the image: alpha multiplies down the tree, and the sparks hang under the image.
    if (SceneNode* wind = FindNodeAtPath(layoutNode, NodePath::TrapWindFX))
        wind->SetChannelTask(GameNames::FadingOutTask, new NodeAlphaTask(0.0f, BurstTime));
    if (!sparks || !database)
        return;
    const SceneNode::NodeState& size = image->GetLocalState();
    for (int i = 0; i < BurstSparks; ++i)
    {
        auto* spark = new StaticSpriteNode(sparks, Kestrin::RandomInt(0, BurstFrames - 1));
        database->AddObject(spark);
        spark->SetParent(image);
        // From the image's centre, so the offsets spread round it.
        spark->SetParentAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        spark->SetSelfAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        const float x = Kestrin::RandomFloat(-size.width / 2, size.width / 2);
        const float y = Kestrin::RandomFloat(-size.height / 2, size.height / 2);
        spark->AddTask(new NodeLocationTask(x, y, BurstTime));
        spark->AddTask(new Kestrin::SelfDestructTask);
    }
}
