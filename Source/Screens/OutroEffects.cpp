#include "Screens/OutroEffects.h"

#include "Base/Random.h"
#include "Framework/Tasks.h"
#include "Scene/CurrentScene.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"

namespace
{
constinit Kestrin::ConstantName SparkleImages{"blue_sml"};
} // namespace

StaticSpriteNode* MakeSparkle()
{
    return new StaticSpriteNode(SparkleImages.Get(), int(Kestrin::RandomFloatOrZero() * 10.0f));
}

void RevealTextWithSparkles(SceneApplicationMode* screen, SceneNode* text, float delay)
{
    if (!screen || !text)
        return;
    for (int i = 0; i < kSparklesPerBurst; ++i)
    {
        StaticSpriteNode* sparkle = MakeSparkle();
        sparkle->SetParentAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        sparkle->SetSelfAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        sparkle->SetParent(text);
        screen->AddObject(sparkle);
        const Kestrin::Vector2<float> direction = Kestrin::RandomBurstDirection();
        sparkle->GetTasks().Append(new Kestrin::TimedTask(delay));
        sparkle->GetTasks().Append(new Kestrin::SerialTask(
            new NodeLocationTask(kSparkleFlight * direction.x, kSparkleFlight * direction.y, 0.5f),
            new Kestrin::SelfDestructTask));
    }
    text->GetTasks().Append(
        new Kestrin::SerialTask(new Kestrin::TimedTask(delay), new NodeAlphaTask(1.0f, 1.0f)));
}

void LaunchFireworks(SceneApplicationMode* screen)
{
    if (!screen)
        return;
    SceneNode* root = GetCurrentSceneRoot();
    if (!root)
        root = screen->GetRootNode();
    for (int burst = 0; burst < kFireworksBursts; ++burst)
    {
        const float start = Kestrin::RandomFloatOrZero() + 5.0f;
        const float y = Kestrin::RandomFloatOrZero() * 450.0f + 50.0f;
        float x = 400.0f;
        while (y > 200.0f && x > 200.0f && x < 600.0f)
            x = Kestrin::RandomFloatOrZero() * 700.0f + 50.0f;
        for (int i = 0; i < kSparklesPerBurst; ++i)
        {
            StaticSpriteNode* sparkle = MakeSparkle();
            sparkle->SetParentAlignment(SceneNode::Align_Near, SceneNode::Align_Near);
            sparkle->SetSelfAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
            sparkle->SetParent(root);
            sparkle->SetAlpha(0.0f);
            sparkle->SetPosition(x, y);
            screen->AddObject(sparkle);
            const Kestrin::Vector2<float> direction = Kestrin::RandomBurstDirection();
            sparkle->GetTasks().Append(new Kestrin::TimedTask(start));
            sparkle->GetTasks().Append(new NodeAlphaTask(1.0f, 0.2f));
            sparkle->GetTasks().Append(
                new Kestrin::SerialTask(new NodeLocationTask(x + kSparkleFlight * direction.x,
                                                             y + kSparkleFlight * direction.y, 0.5f),
                                        new Kestrin::SelfDestructTask));
        }
    }
}
