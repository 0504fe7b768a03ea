#include "Game/ImmovableObstacle.h"

#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Framework/Tasks.h"
#include "Game/GameObstacle.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"

namespace
{
using Rectf = Kestrin::Rect<float>;

// Blocks (left, top, width, height) relative to the obstacle's corner, by image name (case
// counts). An empty list means the whole image.
struct BlockRow
{
    const char* image;
    std::vector<Rectf> blocks;
};

const std::vector<BlockRow>& BlockTable()
{
    static const std::vector<BlockRow> table = {
        {"obstacle_heather_1", {{0, 0, 30, 30}, {20, 10, 30, 30}, {30, 30, 30, 30}}},
        {"obstacle_heather_2", {{0, 30, 30, 30}, {20, 20, 30, 30}, {30, 0, 30, 30}}},
        {"obstacle_heather_3", {{0, 0, 30, 30}, {10, 20, 30, 30}, {30, 30, 30, 30}}},
        {"obstacle_heather_4", {{0, 30, 30, 30}, {10, 10, 30, 30}, {30, 0, 30, 30}}},
        {"obstacle_miranda_1", {{10, 40, 82, 65}, {25, 0, 50, 40}}},
        {"obstacle_jason_3", {}},
    };
    return table;
}

// A missing scale value counts as the whole side; said once per value name.
float ScaleValue(const std::string& name)
{
    if (auto* value = Kestrin::GetValueResource<float>(name))
        return value->value;
    static Kestrin::LogOnce missing;
    missing.Printf(name, "Obstacle: no float value \"%s\"; its block takes the whole image side\n",
                   name.c_str());
    return 1.0f;
}

constexpr int SparkCount = 20;
constexpr int SparkFrames = 5;
constexpr float SparkFlight = 0.5f;
constexpr float FadeTime = 0.5f;
constexpr float ShadowOffset = 2.0f;
constexpr float FlashHalfPeriod = 0.1f;
constexpr float FlashLength = 1.0f;
} // namespace

ImmovableObstacle::ImmovableObstacle(Vector2f position, const std::string& image)
{
    root = new SceneNode;
    auto* shadow = new StaticSpriteNode(Kestrin::MakeName(image + "_shadow"));
    shadow->SetPosition(position.x + ShadowOffset, position.y + ShadowOffset);
    shadow->AttachToParent(root, Kestrin::MakeName("shadow"));
    auto* picture = new StaticSpriteNode(Kestrin::MakeName(image));
    picture->SetPosition(position.x, position.y);
    picture->AttachToParent(root, Kestrin::MakeName("image"));

    float w = picture->GetLocalState().width, h = picture->GetLocalState().height;
    std::vector<Rectf> rects;
    auto row = std::find_if(BlockTable().begin(), BlockTable().end(),
                            [&image](const BlockRow& r) { return image == r.image; });
    if (row != BlockTable().end())
        rects = row->blocks.empty() ? std::vector<Rectf>{{0, 0, w, h}} : row->blocks;
    else
    {
        float bw = w * ScaleValue(image + "_xscale"), bh = h * ScaleValue(image + "_yscale");
        rects.push_back({(w - bw) / 2, (h - bh) / 2, bw, bh});
    }
    for (const Rectf& r : rects)
        blocks.push_back(
            std::make_unique<GameObstacle>(Vector2f{position.x + r.x, position.y + r.y}, r.w, r.h, this));
}

ImmovableObstacle::~ImmovableObstacle()
{
    // Last made, first gone; the vector's own destructor promises no order.
    while (!blocks.empty())
        blocks.pop_back();
    DeleteOwnedNodes(root);
}

SceneNode* ImmovableObstacle::CreateNode()
{
    return root;
}

void ImmovableObstacle::Update(float)
{
    if (!looped)
        return;
    looped = false;
    SceneNode* picture = root->FindChild("image");
    if (!picture)
        return;
    using namespace Kestrin;
    static const ColorF white(1, 1, 1, 1), black(0, 0, 0, 1);
    auto* blink = new RepeatingTask(new SerialTask(new NodeColorTask(white), new TimedTask(FlashHalfPeriod)),
                                    new SerialTask(new NodeColorTask(black), new TimedTask(FlashHalfPeriod)));
    auto* limited = new ParallelTask(ParallelTask::Any, new TimedTask(FlashLength), blink);
    picture->SetChannelTask(GameNames::GotLooped, new SerialTask(limited, new NodeColorTask(white)));
}

void ImmovableObstacle::Disappear()
{
    SceneNode* picture = root->FindChild("image");
    if (SceneNode* shadow = root->FindChild("shadow"))
        shadow->SetAlpha(0.0f);
    if (!picture)
        return;
    using namespace Kestrin;
    float w = picture->GetLocalState().width, h = picture->GetLocalState().height;
    ObjectDatabase* database = DatabaseOf(picture);
    static const NameId sparks = MakeName("blue_sml");
    for (int i = 0; i < SparkCount; ++i)
    {
        auto* spark = new StaticSpriteNode(sparks, int(RandomFloatOrZero() * SparkFrames));
        spark->SetParentAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        spark->SetSelfAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        spark->SetParent(picture);
        if (database)
            database->AddObject(spark);
        const Vector2<float> direction = RandomBurstDirection();
        spark->AddTask(
            new SerialTask(new NodeLocationTask(direction.x * w * 0.5f, direction.y * h * 0.5f, SparkFlight),
                           new SelfDestructTask));
    }
    picture->AddTask(new SerialTask(new NodeAlphaTask(0.0f, FadeTime), new NodeVisibleTask(false)));
}
