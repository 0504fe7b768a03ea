#include "Graphics/AnimationController.h"

#include "Framework/ObjectDatabase.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using Kestrin::MakeName;

namespace
{

constexpr float Step = 0.02f; // the main loop's fixed step

SpriteAnimation Anim(const std::vector<int>& indices, int plays, bool pingPong = false, float duration = 0.1f)
{
    SpriteAnimation a(plays, pingPong, {}, {});
    a.frames.clear();
    for (int i : indices)
        a.frames.push_back({i, duration});
    return a;
}

// Steps until the queue runs empty and lists each frame index as it comes up.
std::vector<int> Shown(AnimationController& c)
{
    std::vector<int> shown{c.GetCurrentFrame().index};
    for (int i = 0; i < 1000 && c.GetQueueLength() > 0; ++i)
    {
        c.Update(Step);
        if (c.GetCurrentFrame().index != shown.back())
            shown.push_back(c.GetCurrentFrame().index);
    }
    return shown;
}

// The step numbers (from 1) at which the frame index changed.
std::vector<int> ChangeSteps(AnimationController& c, int steps)
{
    std::vector<int> changes;
    for (int i = 1; i <= steps; ++i)
    {
        const int before = c.GetCurrentFrame().index;
        c.Update(Step);
        if (c.GetCurrentFrame().index != before)
            changes.push_back(i);
    }
    return changes;
}

} // namespace

TEST(AnimationController, FramesGiveWayOnlyOnceTheirDurationIsExceeded)
{
    AnimationController c;
    EXPECT_EQ(c.GetCurrentFrame(), (SpriteAnimationFrame{0, 1.0f}));
    c.PlayAnimation(nullptr, true);
    c.QueueAnimation(nullptr);
    c.InterruptAnimation(nullptr);
    EXPECT_EQ(c.GetQueueLength(), 0u);

    SpriteAnimation a = Anim({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -1);
    c.PlayAnimation(&a, false);
    // After five steps 0.1 s is reached but not exceeded.
    EXPECT_EQ(ChangeSteps(c, 30), (std::vector<int>{6, 11, 16, 21, 26}));

    c.PlayAnimation(&a, true);
    c.Update(0.35f);
    EXPECT_EQ(c.GetFramePosition(), 3);
    c.Update(0.04f);
    EXPECT_EQ(c.GetFramePosition(), 3);
    c.Update(0.02f); // the 0.05 s left over from the long step counts
    EXPECT_EQ(c.GetFramePosition(), 4);
}

TEST(AnimationController, PlaysAndPingPong)
{
    SpriteAnimation twice = Anim({1, 2, 3}, 2);
    SpriteAnimation bounce = Anim({1, 2, 3}, 3, true);
    SpriteAnimation pair = Anim({1, 2}, 4, true);
    AnimationController c;
    c.PlayAnimation(&twice, false);
    EXPECT_EQ(Shown(c), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    c.Update(10.0f);
    EXPECT_EQ(c.GetCurrentFrame().index, 3) << "the last frame stays";
    c.PlayAnimation(&bounce, false);
    EXPECT_EQ(Shown(c), (std::vector<int>{1, 2, 3, 2, 1, 2, 3}));
    c.PlayAnimation(&pair, false);
    EXPECT_EQ(Shown(c), (std::vector<int>{1, 2, 1, 2, 1}));

    SpriteAnimation single = Anim({7}, 3, true);
    c.PlayAnimation(&single, false);
    int steps = 0;
    for (; c.GetQueueLength() > 0; ++steps)
    {
        EXPECT_EQ(c.GetFramePosition(), 0);
        c.Update(Step);
    }
    EXPECT_EQ(steps, 16) << "three plays of 0.1 s, the last exceeded in step 16";
}

TEST(AnimationController, PlayAnimationReplacesTheQueueAndRestartsOnlyWhenAsked)
{
    SpriteAnimation endless = Anim({1, 2, 3, 4}, -1);
    SpriteAnimation other = Anim({8, 9}, 1);
    AnimationController c;
    c.PlayAnimation(&endless, false);
    for (int i = 0; i < 5000; ++i)
        c.Update(Step);
    EXPECT_TRUE(c.IsCurrentAnimation(&endless));

    c.PlayAnimation(&endless, true);
    c.Update(0.25f);
    c.QueueAnimation(&other);
    c.PlayAnimation(&endless, false);
    EXPECT_EQ(c.GetQueueLength(), 1u);
    EXPECT_EQ(c.GetCurrentFrame().index, 3);
    EXPECT_EQ(ChangeSteps(c, 3), (std::vector<int>{3})) << "its frame clock ran on too";
    c.PlayAnimation(&endless, true);
    EXPECT_EQ(c.GetCurrentFrame().index, 1);

    c.PlayAnimation(&other, false);
    EXPECT_TRUE(c.IsCurrentAnimation(&other));
    EXPECT_EQ(c.GetCurrentFrame().index, 8);
}

TEST(AnimationController, LinksCarryTheRemainderAndGoInFrontOfTheQueue)
{
    SpriteAnimation next = Anim({20, 21}, 1);
    SpriteAnimation linked = Anim({10}, 1);
    linked.linkedAnimation = &next;
    SpriteAnimation plain = Anim({10}, 1);

    AnimationController c;
    c.PlayAnimation(&linked, false);
    // The link starts in step 6 with 0.02 s already used, so its second frame comes in step 11.
    EXPECT_EQ(ChangeSteps(c, 20), (std::vector<int>{6, 11}));
    // A queued animation starts from nothing and needs six steps.
    c.PlayAnimation(&plain, false);
    c.QueueAnimation(&next);
    EXPECT_EQ(ChangeSteps(c, 20), (std::vector<int>{6, 12}));

    SpriteAnimation queued = Anim({40}, 1);
    c.PlayAnimation(&queued, false);
    c.InterruptAnimation(&linked);
    EXPECT_EQ(Shown(c), (std::vector<int>{10, 20, 21, 40}));
}

TEST(AnimationController, QueueAndInterrupt)
{
    SpriteAnimation a = Anim({1, 2, 3}, 1);
    SpriteAnimation b = Anim({7, 8}, 1);
    SpriteAnimation d = Anim({5}, 1);
    AnimationController c;
    c.QueueAnimation(&a);
    EXPECT_TRUE(c.IsCurrentAnimation(&a)) << "queued into an empty queue it starts";
    c.Update(0.15f);
    c.QueueAnimation(&d);
    EXPECT_EQ(c.GetCurrentFrame().index, 2) << "queueing behind leaves the head alone";
    c.InterruptAnimation(&b);
    EXPECT_EQ(c.GetCurrentFrame().index, 7);
    // The interrupted animation plays again from its first frame, then the queue goes on.
    EXPECT_EQ(Shown(c), (std::vector<int>{7, 8, 1, 2, 3, 5}));

    SpriteAnimation empty = Anim({}, 1);
    EXPECT_THROW(c.PlayAnimation(&empty, false), std::out_of_range);
}

TEST(AnimationController, TinyFramesAndHugeStepsCannotHangAnUpdate)
{
    // A record made in code can bypass the reader's floor; the controller applies it too.
    SpriteAnimation fast = Anim({0, 1, 2, 3, 4, 5, 6}, -1, false, 1e-9f);
    AnimationController c;
    c.PlayAnimation(&fast, false);
    c.Update(0.01505f); // 150 frames of 1e-4 s
    EXPECT_EQ(c.GetFramePosition(), 150 % 7);

    SpriteAnimation slow = Anim({1, 2, 3}, -1);
    c.PlayAnimation(&slow, false);
    c.Update(1e9f);
    const int shown = c.GetCurrentFrame().index;
    c.Update(0.09f);
    EXPECT_EQ(c.GetCurrentFrame().index, shown) << "what could not be played was dropped";
    c.Update(0.02f);
    EXPECT_NE(c.GetCurrentFrame().index, shown);
}

TEST(AnimationController, AnEndlessAnimationKeepsItsBeatForHours)
{
    SpriteAnimation a = Anim({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -1);
    AnimationController c;
    c.PlayAnimation(&a, false);
    for (int i = 0; i < 500000; ++i) // 10,000 s
        c.Update(Step);
    std::vector<int> changes = ChangeSteps(c, 50);
    ASSERT_EQ(changes.size(), 10u);
    for (size_t i = 1; i < changes.size(); ++i)
        EXPECT_EQ(changes[i] - changes[i - 1], 5);
}

TEST(AnimationController, SharedControllerIsNamedAfterItsSpriteType)
{
    EXPECT_EQ(MakeSharedAnimationControllerName("Tic"), MakeName("TicSharedAnimationController"));
    SpriteAnimation a = Anim({1, 2}, 1);
    Kestrin::ObjectDatabase db;
    auto* shared = new AnimationController(MakeSharedAnimationControllerName("Tic"));
    db.AddObject(shared);
    EXPECT_EQ(db.FindObject(MakeName("ticsharedanimationcontroller")), shared);
    shared->PlayAnimation(&a, false);
    db.Update(0.12f);
    EXPECT_EQ(shared->GetCurrentFrame().index, 2) << "the database's update drives it";
}
