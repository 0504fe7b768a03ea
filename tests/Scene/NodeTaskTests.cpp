// Value generators, timed task bases and the node tasks, alone and in task lists.
#include "Scene/NodeTasks.h"

#include "Base/Random.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SceneResourceFactories.h"
#include "Scene/SpriteType.h"

#include "Scene/SceneTestSupport.h"
#include "Support/FakeRandom.h"
#include "Support/GraphicsFakes.h"
#include "Support/ResourceTestSupport.h"
#include "Support/TaskTestSupport.h"
#include "Support/Thrown.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <string>
#include <vector>

namespace Kestrin
{
// For the checks below (found by argument lookup).
bool operator==(const TaskStatus& a, const TaskStatus& b)
{
    return a.running == b.running && a.timeUsed == b.timeUsed;
}
std::ostream& operator<<(std::ostream& out, const TaskStatus& s)
{
    return out << "{" << (s.running ? "running" : "done") << ", " << s.timeUsed << "}";
}
} // namespace Kestrin

using namespace Kestrin;
using namespace SceneTest;
using KestrinTest::ScriptedTask;

namespace
{

// Answers its values in turn (the last repeats) and notes each draw under its label.
class ScriptedGenerator : public NumberGenerator<float>
{
public:
    ScriptedGenerator(std::vector<float> values, std::string label = {},
                      std::vector<std::string>* draws = nullptr)
        : m_values(std::move(values)), m_label(std::move(label)), m_draws(draws)
    {
    }
    float Generate() override
    {
        if (m_draws)
            m_draws->push_back(m_label);
        return m_values[std::min(m_next++, m_values.size() - 1)];
    }
    std::shared_ptr<NumberGenerator<float>> Clone() const override
    {
        if (m_draws)
            m_draws->push_back("clone " + m_label);
        return std::make_shared<ScriptedGenerator>(m_values, m_label, m_draws);
    }

private:
    std::vector<float> m_values;
    size_t m_next = 0;
    std::string m_label;
    std::vector<std::string>* m_draws;
};

const TaskStatus Running = TaskRunning;
TaskStatus Done(float used)
{
    return {false, used};
}

TEST(TimedTasks, AnswerOnlyThePartOfTheStepTheyNeeded)
{
    struct Case
    {
        std::vector<float> durations;
        std::vector<float> steps;
        std::vector<TaskStatus> expected;
    };
    const Case cases[] = {
        {{0.0f}, {0.5f}, {Done(0.0f)}},
        {{1.0f}, {0.375f, 0.375f, 0.375f}, {Running, Running, Done(0.25f)}},
        {{0.5f}, {0.5f}, {Done(0.5f)}},
        // A step of 0 leaves the run fresh: the next update draws the duration again.
        {{5.0f, 0.25f}, {0.0f, 0.5f}, {Running, Done(0.25f)}},
        // A negative duration or none at all counts as 0, never as more time than the step had.
        {{-1.0f}, {0.5f}, {Done(0.0f)}},
        {{NAN}, {0.5f}, {Done(0.0f)}},
    };
    for (const Case& c : cases)
    {
        BetterTimedTask task(std::make_shared<ScriptedGenerator>(c.durations));
        for (size_t i = 0; i < c.steps.size(); ++i)
            EXPECT_EQ(task.Update(nullptr, c.steps[i]), c.expected[i])
                << "duration " << c.durations[0] << ", step " << i;
    }
}

TEST(TimedTasks, ClonesStartAfreshAndDrawTheirOwnDuration)
{
    auto durations = std::make_shared<ScriptedGenerator>(std::vector<float>{1.0f, 2.0f, 3.0f});
    BetterTimedTask task(durations);
    task.Update(nullptr, 0.5f);
    std::unique_ptr<Task> clone(task.Clone());
    auto* timed = dynamic_cast<BetterTimedTask*>(clone.get());
    ASSERT_NE(timed, nullptr);
    EXPECT_EQ(timed->GetElapsed(), 0.0f);
    EXPECT_EQ(timed->GetDurationGenerator(), durations); // shared, not copied
    EXPECT_EQ(timed->Update(nullptr, 1.5f), Running);
    EXPECT_EQ(timed->GetDuration(), 2.0f);

    // A node task's clone copies its generators and shares its interpolator.
    NodeAlphaTask fade(0.0f, 1.0f);
    std::unique_ptr<Task> fadeClone(fade.Clone());
    auto* copy = dynamic_cast<NodeAlphaTask*>(fadeClone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->GetDurationGenerator(), fade.GetDurationGenerator());
    EXPECT_NE(copy->GetTargetGenerator(), fade.GetTargetGenerator());
    EXPECT_EQ(copy->GetInterpolator(), fade.GetInterpolator());
}

TEST(ValueGenerators, DrawAndCloneTheirPartsInTheirOrder)
{
    std::vector<std::string> draws;
    auto part = [&](const char* label, float value)
    { return std::make_shared<ScriptedGenerator>(std::vector<float>{value}, label, &draws); };

    ColorFGenerator color(part("r", 0.1f), part("g", 0.2f), part("b", 0.3f), part("a", 0.4f));
    EXPECT_EQ(color.Generate(), ColorF(0.1f, 0.2f, 0.3f, 0.4f));
    std::shared_ptr<ColorFGenerator> colorClone = color.Clone();
    Vector2Generator<float> point(part("x", 1.0f), part("y", 2.0f));
    EXPECT_EQ(point.Generate(), (Vector2<float>(1.0f, 2.0f)));
    std::shared_ptr<Vector2Generator<float>> pointClone = point.Clone();
    EXPECT_EQ(draws, (std::vector<std::string>{"a", "b", "g", "r", "clone a", "clone b", "clone g", "clone r",
                                               "y", "x", "clone y", "clone x"}));

    // Built from constants, a clone yields the same and shares no part.
    const ColorF tint(0.5f, 0.25f, 1.0f, 0.75f);
    ColorFGenerator constant(tint);
    std::shared_ptr<ColorFGenerator> copy = constant.Clone();
    EXPECT_EQ(constant.Generate(), tint);
    EXPECT_EQ(copy->Generate(), tint);
    for (auto [a, b] : {std::pair{constant.r, copy->r},
                        {constant.g, copy->g},
                        {constant.b, copy->b},
                        {constant.a, copy->a}})
        EXPECT_NE(a, b);
}

TEST(ValueGenerators, RandomRangesDrawFromTheCurrentStream)
{
    KestrinTest::FakeRandomStream scripted({0.0f, 0.25f, 0.999f});
    ScopedRandomStream current(&scripted);
    RandomRangeGenerator range(RandomRange{2.0f, 6.0f});
    EXPECT_EQ(range.Generate(), 2.0f);
    EXPECT_EQ(range.Generate(), 3.0f);
    EXPECT_LT(range.Generate(), 6.0f);

    // Two runs from one seed see the same durations.
    auto durations = [](uint32_t seed)
    {
        BoostRandomNumberStream stream(seed);
        ScopedRandomStream scope(&stream);
        std::vector<float> out;
        BetterTimedTask task(std::make_shared<RandomRangeGenerator>(RandomRange{0.5f, 1.5f}));
        for (int i = 0; i < 8; ++i)
        {
            std::unique_ptr<Task> run(task.Clone());
            run->Update(nullptr, 0.01f);
            out.push_back(dynamic_cast<BetterTimedTask&>(*run).GetDuration());
        }
        return out;
    };
    const std::vector<float> first = durations(7);
    EXPECT_EQ(durations(7), first);
    for (float d : first)
    {
        EXPECT_GE(d, 0.5f);
        EXPECT_LT(d, 1.5f);
    }
    EXPECT_NE(first[0], first[1]);
}

using RandomRangeResources = KestrinTest::ResourceTest;

TEST_F(RandomRangeResources, TheSceneGraphReadsThem)
{
    RegisterSceneResourceFactories(*manager);
    LoadText(L"Values", R"(<r><randomrange name="Delay" min="1" max="3"/></r>)");
    const auto* delay = GetValueResource<RandomRange>("Delay");
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->value.min, 1.0f);
    EXPECT_EQ(delay->value.max, 3.0f);
}

// ---- node tasks ----

class NodeTasks : public SceneFixture
{
protected:
    NodeTasks()
    {
        root = Node(nullptr, 0, 0, 800, 600);
        node = Node(root, 0, 0, 10, 10);
        database.AddObject(root);
        database.AddObject(node);
        root->RefreshTree();
    }

    SceneNode* root = nullptr;
    SceneNode* node = nullptr;
};

TEST_F(NodeTasks, AFadeWritesTheLocalAlphaStepByStepAndEndsExactly)
{
    root->SetAlpha(0.5f);
    NodeAlphaTask fade(0.0f, 1.0f);
    const float expected[] = {0.75f, 0.5f, 0.25f, 0.0f};
    for (int i = 0; i < 4; ++i)
    {
        root->RefreshTree();
        const TaskStatus status = fade.Update(node, 0.25f);
        EXPECT_EQ(status, i < 3 ? Running : Done(0.25f)) << i;
        EXPECT_EQ(node->GetLocalState().color.a, expected[i]) << i;
        EXPECT_EQ(node->GetDirtyMask(), uint32_t(SceneNode::Dirty_Color)) << i;
        EXPECT_EQ(node->GetWorldColor().a, 0.5f * expected[i]) << i;
    }
}

TEST_F(NodeTasks, MovesAndScalesReachTheirTargetExactlyAndPassOnTheRestOfTheStep)
{
    node->SetPosition(1.0f, 1.0f);
    auto* next = new ScriptedTask("next", nullptr);
    node->AddTask(new SerialTask(new NodeLocationTask(Vector2<float>(0.3f, 0.7f), 0.5f), next));
    node->Tick(0.75f);
    EXPECT_EQ(node->GetLocalState().x, 0.3f);
    EXPECT_EQ(node->GetLocalState().y, 0.7f);
    EXPECT_EQ(next->lastDt, 0.25f);
    EXPECT_EQ(node->GetWorldRect().x, 0.3f);

    NodeScaleTask scale(3.0f, 0.5f, 1.0f);
    EXPECT_EQ(scale.Update(node, 0.5f), Running);
    EXPECT_EQ(node->GetLocalState().scaleX, 2.0f);
    EXPECT_EQ(node->GetLocalState().scaleY, 0.75f);
    EXPECT_EQ(node->GetDirtyMask() & SceneNode::Dirty_Scale, uint32_t(SceneNode::Dirty_Scale));
    EXPECT_EQ(scale.Update(node, 0.75f), Done(0.5f));
    EXPECT_EQ(node->GetWorldScale(), (Vector2<float>(3.0f, 0.5f)));

    NodeLocationTask whole(4, -2, 0.0f); // whole numbers, at once
    EXPECT_EQ(whole.Update(node, 0.1f), Done(0.0f));
    EXPECT_EQ(node->GetLocalState().x, 4.0f);
    EXPECT_EQ(node->GetLocalState().y, -2.0f);
}

TEST_F(NodeTasks, SideBySideTasksHandTheRestOfTheStepOnWhenTheLastEnds)
{
    auto* next = new ScriptedTask("next", nullptr, TaskRunning);
    auto* both = new ParallelTask(ParallelTask::All, new NodeLocationTask(10.0f, 0.0f, 0.5f),
                                  new NodeAlphaTask(0.0f, 0.25f));
    node->AddTask(new SerialTask(both, next));
    node->Tick(0.375f);
    EXPECT_EQ(node->GetLocalState().x, 7.5f);
    EXPECT_EQ(node->GetLocalState().color.a, 0.0f);
    EXPECT_EQ(next->updates, 0);
    node->Tick(0.25f);
    EXPECT_EQ(node->GetLocalState().x, 10.0f);
    EXPECT_EQ(next->lastDt, 0.125f);
}

TEST_F(NodeTasks, AColourAfterAFadeRestoresItsOwnAlpha)
{
    node->AddTask(new SerialTask(new NodeAlphaTask(0.0f, 0.5f), new NodeColorTask(ColorF(1, 0, 0, 0.8f))));
    node->Tick(0.5f);
    EXPECT_EQ(node->GetLocalState().color, ColorF(1, 1, 1, 0));
    node->Tick(0.02f);
    EXPECT_EQ(node->GetLocalState().color, ColorF(1, 0, 0, 0.8f));
    EXPECT_FALSE(node->GetTasks().HasActiveTasks());
}

TEST_F(NodeTasks, ImmediateTasksLetTheNextTaskRunInTheSameStep)
{
    std::vector<std::string> log;
    auto* after = new ScriptedTask("after", &log, TaskRunning);
    after->onUpdate = [&](Object*) { log.push_back(node->IsWorldVisible() ? "visible" : "hidden"); };
    auto* serial = new SerialTask(new NodeVisibleTask(false), new NodeAlphaTask(0.25f));
    node->AddTask(new SerialTask(serial, after));
    node->Tick(0.1f);
    EXPECT_EQ(log, (std::vector<std::string>{"after", "hidden"}));
    EXPECT_EQ(after->lastDt, 0.1f);
    EXPECT_EQ(node->GetLocalState().color.a, 0.25f);
}

TEST_F(NodeTasks, AClonedFadeStartsFromWhereTheNodeIsThen)
{
    NodeAlphaTask fade(0.0f, 1.0f);
    fade.Update(node, 1.0f);
    node->SetAlpha(0.6f);
    std::unique_ptr<Task> again(fade.Clone());
    again->Update(node, 0.5f);
    EXPECT_FLOAT_EQ(node->GetLocalState().color.a, 0.3f);

    // Repeating lists clone their bodies: a back-and-forth ends every pass exactly where it should.
    node->SetPosition(0, 0);
    node->AddTask(
        new RepeatingTask(new NodeLocationTask(10.0f, 0.0f, 0.3f), new NodeLocationTask(0.0f, 0.0f, 0.2f)));
    for (int i = 0; i < 5; ++i)
        node->Tick(0.1f);
    EXPECT_EQ(node->GetLocalState().x, 0.0f);
    node->Tick(0.3f);
    EXPECT_EQ(node->GetLocalState().x, 10.0f);
}

TEST_F(NodeTasks, EveryTaskRefusesAnObjectOfTheWrongKindWithItsOwnText)
{
    struct Case
    {
        std::shared_ptr<Task> task;
        const char* text;
    };
    const Case cases[] = {
        {std::make_shared<NodeAlphaTask>(0.5f), "NodeAlphaTask must be applied to a SceneNode"},
        {std::make_shared<NodeLocationTask>(1.0f, 2.0f, 1.0f),
         "NodeLocationTask must be applied to a SceneNode"},
        {std::make_shared<NodeScaleTask>(1.0f, 2.0f, 1.0f), "NodeScaleTask must be applied to a SceneNode"},
        {std::make_shared<NodeColorTask>(ColorF(1, 0, 0, 1)), "NodeColorTask must be applied to a SceneNode"},
        {std::make_shared<NodeVisibleTask>(false), "NodeVisibleTask must be applied to a SceneNode"},
        {std::make_shared<NodeAnimationTask>(MakeName("walk")),
         "NodeAnimationTask applied to a non-AnimatedSpriteNode object"},
    };
    Object plain;
    for (const Case& c : cases)
        EXPECT_EQ(KestrinTest::ThrownWhat<std::runtime_error>([&] { c.task->Update(&plain, 0.1f); }), c.text);
    // A plain node is no animated sprite either; the node is left as it was.
    EXPECT_EQ(KestrinTest::ThrownWhat<std::runtime_error>([&] { cases[5].task->Update(node, 0.1f); }),
              cases[5].text);
    EXPECT_EQ(node->GetLocalState(), SceneNode::NodeState({0, 0, 10, 10}));
}

TEST_F(NodeTasks, AnimationTasksStartOnceAndWaitWhileTheirAnimationPlays)
{
    ImageList images;
    images.AddOwnedImage(KestrinTest::FilledImage(4, 4, 0xFFFFFFFF).release());
    SpriteType type;
    type.SetName(MakeName("Flag"));
    type.SetImageList(&images);
    SpriteAnimation wave(0, false, MakeName("wave"), NameId()); // for ever
    SpriteAnimation dip(1, false, MakeName("dip"), NameId());
    dip.frames = {{0, 0.1f}, {0, 0.1f}};
    type.AddAnimation(wave);
    type.AddAnimation(dip);
    auto* sprite = new AnimatedSpriteNode(&type);
    sprite->SetParent(root);
    database.AddObject(sprite);

    NodeAnimationTask endless(MakeName("wave"));
    for (int i = 0; i < 50; ++i)
    {
        ASSERT_EQ(endless.Update(sprite, 0.1f), Running) << i;
        database.Update(0.1f);
    }
    EXPECT_TRUE(endless.HasStarted());

    NodeAnimationTask queued(MakeName("dip"), NodeAnimationTask::Queue);
    // Queued behind "wave", which never ends: it is not playing, so nothing holds the task.
    EXPECT_EQ(queued.Update(sprite, 0.1f), TaskFinished);
    EXPECT_TRUE(sprite->IsPlayingAnimation(MakeName("wave")));

    NodeAnimationTask interrupt(MakeName("dip"), NodeAnimationTask::Interrupt);
    EXPECT_EQ(interrupt.Update(sprite, 0.1f), Running);
    database.Update(0.25f); // two frames of 0.1 s: "dip" is over, "wave" plays again
    EXPECT_EQ(interrupt.Update(sprite, 0.1f), TaskFinished);

    NodeAnimationTask once(MakeName("dip"), NodeAnimationTask::Play, 0);
    EXPECT_EQ(once.Update(sprite, 0.1f), TaskFinished);
    EXPECT_TRUE(sprite->IsPlayingAnimation(MakeName("dip")));
    std::unique_ptr<Task> clone(once.Clone());
    EXPECT_FALSE(dynamic_cast<NodeAnimationTask&>(*clone).HasStarted());

    NodeAnimationTask nothing(MakeName("wave"), 7, 0); // no such mode: starts nothing
    EXPECT_EQ(nothing.Update(sprite, 0.1f), TaskFinished);
    EXPECT_TRUE(sprite->IsPlayingAnimation(MakeName("dip")));
}

} // namespace
