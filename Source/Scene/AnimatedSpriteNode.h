#pragma once
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

#include <memory>

class AnimationController;
class SpriteType;

// Shows a sprite type's animations, played by an animation controller: the node's own, or the one
// that every node of the type shares in a database (so they move in step). The node is always the
// size of the frame shown; a node without a sprite type is inert (0 x 0, draws nothing, never hit).
//
// Controllers are objects of the node's database, which updates and deletes them. The own
// controller joins the database when the node does (before that, the node holds it), and leaves it
// with the node or when the sprite type changes. Both controllers are held by handle, so a
// controller removed behind the node's back is never touched again: the shared one is fetched
// afresh, the own one counts as gone.
class AnimatedSpriteNode : public SceneNode
{
public:
    // The loaded sprite type of that name; none when it is not loaded.
    explicit AnimatedSpriteNode(Kestrin::NameId spriteTypeId = Kestrin::NameId());
    explicit AnimatedSpriteNode(SpriteType* spriteType);
    ~AnimatedSpriteNode() override;

    // A new type gets a new own controller; the old one leaves the database. The same type again
    // changes nothing.
    void SetSpriteType(SpriteType* spriteType);
    SpriteType* GetSpriteType() const { return m_spriteType; }

    // The shared controller (fetched from the node's database, or the current one before the node
    // is added) when the node uses it, else the own one; null without a sprite type.
    AnimationController* GetAnimationController();
    void SetUseSharedAnimationController(bool useShared) { m_useShared = useShared; }
    bool GetUseSharedAnimationController() const { return m_useShared; }
    void SetAlphaSensitivity(int alphaSensitivity) { m_alphaSensitivity = alphaSensitivity; }
    int GetAlphaSensitivity() const { return m_alphaSensitivity; }

    // By the animation's name in the sprite type; a name the type lacks does nothing.
    // Makes it the only animation queued; the running one asked for again goes on unless restart.
    void PlayAnimation(Kestrin::NameId animation, bool restart = false);
    // Plays it at once; the interrupted one plays again afterwards.
    void InterruptWithAnimation(Kestrin::NameId animation);
    // Appends it; it starts at once when nothing else is queued.
    void QueueAnimation(Kestrin::NameId animation);
    // Whether it is the controller's current animation.
    bool IsPlayingAnimation(Kestrin::NameId animation);

    // The index of the frame shown, -1 when there is none (no sprite type, or outside the list).
    int GetFrameIndex();
    // Makes the node the size of the frame shown, or 0 x 0.
    void UpdateSize();

    // ---- SceneNode ----
    void Update(float dt) override;
    // "Add" also adds the own controller to the node's database.
    void HandleMessage(const Kestrin::Message& message) override;
    bool HitTest(const Vector2f& point) override;
    void Draw(const Vector2f& offset) override;
    void OnRemoved() override;

private:
    struct HeldController
    {
        Kestrin::ObjectDatabase* database = nullptr;
        Kestrin::ObjectHandle handle = Kestrin::NoObjectHandle;
        AnimationController* Get() const;
    };

    AnimationController* OwnController() const;
    // Removes the own controller from its database, or deletes it while the node holds it.
    void DropOwnController();
    // The own controller joins the node's database.
    void RegisterOwnController();

    SpriteType* m_spriteType = nullptr;
    HeldController m_own;
    // The own controller until the node joins a database.
    std::unique_ptr<AnimationController> m_pendingOwn;
    HeldController m_shared;
    bool m_useShared = false;
    int m_alphaSensitivity = 0;
};

// "animatedspritenode": "initialAnimation" (read only when present), "spriteType",
// "alphaSensitivity" (0), "useSharedAnimationController" (false).
class AnimatedSpriteNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId spriteType;
    Kestrin::NameId initialAnimation;
    bool useSharedAnimationController = false;
    int alphaSensitivity = 0;
};

class AnimatedSpriteNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    // The flag is set after the node got its own controller, so every built node owns one, and the
    // initial animation plays on the controller the flag picks.
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
