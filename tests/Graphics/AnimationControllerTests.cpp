#include "Graphics/AnimationController.h"

#include "Framework/ObjectDatabase.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using Kestrin::MakeName;

namespace
{

constexpr float Step = 0.02f; // the main loop's fixed step

SpriteAnimation Anim(const std::vector<int>& indices, float duration, int plays, bool pingPong = false)
{
    SpriteAnimation a(plays, pingPong, {}, {});
    a.frames.clear();
    for (int i : indices)
        a.frames.push_back({i, duration});
    return a;
}

// Steps until the queue runs empty (or the limit) and lists each frame index as it comes up,
// starting with the one shown before the first step.
std::vector<int> Shown(AnimationController& c, int maxSteps = 1000)
{
    std::vector<int> shown{c.GetCurrentFrame().index};
    for (int i = 0; i < maxSteps && c.GetQueueLength() > 0; ++i)
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
    int last = c.GetCurrentFrame().index;
    for (int i = 1; i <= steps; ++i)
    {
        c.Update(Step);
        if (c.GetCurrentFrame().index != last)
            changes.push_back(i);
        last = c.GetCurrentFrame().index;
    }
    return changes;
}

} // namespace

TEST(AnimationController, ShowsFrameZeroUntilSomethingPlays)
{
    AnimationController c;
    EXPECT_TRUE(c.GetName().IsNull());
    EXPECT_EQ(c.GetCurrentFrame(), (SpriteAnimationFrame{0, 1.0f}));
    c.Update(5.0f);
    EXPECT_EQ(c.GetCurrentFrame(), (SpriteAnimationFrame{0, 1.0f}));
    EXPECT_EQ(c.GetCurrentAnimation(), nullptr);
    EXPECT_FALSE(c.IsCurrentAnimation(nullptr));

    // Null animations are ignored wherever they are offered.
    c.PlayAnimation(nullptr, true);
    c.QueueAnimation(nullptr);
    c.InterruptAnimation(nullptr);
    EXPECT_EQ(c.GetQueueLength(), 0u);
    c.StartCurrentAnimation();
    EXPECT_EQ(c.GetCurrentFrame(), (SpriteAnimationFrame{0, 1.0f}));
}

TEST(AnimationController, AFrameGivesWayOnlyOnceItsDurationIsExceeded)
{
    SpriteAnimation a = Anim({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0.1f, -1);
    AnimationController c;
    c.PlayAnimation(&a, false);
    EXPECT_EQ(c.GetCurrentFrame().index, 0);
    // After five steps 0.1 s has been reached but not exceeded.
    EXPECT_EQ(ChangeSteps(c, 30), (std::vector<int>{6, 11, 16, 21, 26}));
    EXPECT_EQ(c.GetCurrentFrame().index, 5);
}

TEST(AnimationController, ALongStepSkipsFramesAndKeepsTheRemainder)
{
    SpriteAnimation a = Anim({10, 11, 12, 13, 14, 15}, 0.1f, 1);
    AnimationController c;
    c.PlayAnimation(&a, false);
    c.Update(0.35f);
    EXPECT_EQ(c.GetCurrentFrame().index, 13);
    EXPECT_EQ(c.GetFramePosition(), 3);
    c.Update(0.04f);
    EXPECT_EQ(c.GetCurrentFrame().index, 13);
    c.Update(0.02f); // 0.05 + 0.06 > 0.1
    EXPECT_EQ(c.GetCurrentFrame().index, 14);
}

TEST(AnimationController, PlaysRepeatAndStopOnTheLastFrame)
{
    SpriteAnimation a = Anim({1, 2, 3}, 0.1f, 2);
    AnimationController c;
    c.PlayAnimation(&a, false);
    EXPECT_EQ(c.GetPlaysLeft(), 2);
    EXPECT_EQ(Shown(c), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(c.GetQueueLength(), 0u);
    EXPECT_FALSE(c.IsCurrentAnimation(&a));
    c.Update(10.0f);
    EXPECT_EQ(c.GetCurrentFrame().index, 3);
}

TEST(AnimationController, PingPongCountsEachDirectionAsAPlay)
{
    SpriteAnimation three = Anim({1, 2, 3}, 0.1f, 3, true);
    AnimationController c;
    c.PlayAnimation(&three, false);
    EXPECT_EQ(Shown(c), (std::vector<int>{1, 2, 3, 2, 1, 2, 3}));
    EXPECT_EQ(c.GetQueueLength(), 0u);

    SpriteAnimation two = Anim({1, 2}, 0.1f, 4, true);
    c.PlayAnimation(&two, false);
    EXPECT_EQ(Shown(c), (std::vector<int>{1, 2, 1, 2, 1}));
    EXPECT_EQ(c.GetCurrentFrame().index, 1);
}

TEST(AnimationController, SingleFramePingPongStaysOnItsFrame)
{
    SpriteAnimation a = Anim({7}, 0.1f, 3, true);
    AnimationController c;
    c.PlayAnimation(&a, false);
    std::vector<bool> directions;
    int steps = 0;
    while (c.GetQueueLength() > 0 && steps < 100)
    {
        c.Update(Step);
        ++steps;
        if (c.GetQueueLength() > 0)
        {
            EXPECT_EQ(c.GetFramePosition(), 0) << "step " << steps;
        }
        EXPECT_EQ(c.GetCurrentFrame().index, 7);
        if (directions.empty() || directions.back() != c.IsReversed())
            directions.push_back(c.IsReversed());
    }
    // Three plays of 0.1 s each, the last exceeded in step 16.
    EXPECT_EQ(steps, 16);
    EXPECT_EQ(directions, (std::vector<bool>{false, true, false}));
}

TEST(AnimationController, EndlessAnimationsRunUntilReplaced)
{
    SpriteAnimation endless = Anim({1, 2, 3}, 0.1f, -1);
    SpriteAnimation other = Anim({8, 9}, 0.1f, 1);
    AnimationController c;
    c.PlayAnimation(&endless, false);
    for (int i = 0; i < 5000; ++i)
        c.Update(Step);
    EXPECT_TRUE(c.IsCurrentAnimation(&endless));
    EXPECT_EQ(c.GetPlaysLeft(), -1);

    c.PlayAnimation(&other, false);
    EXPECT_TRUE(c.IsCurrentAnimation(&other));
    EXPECT_EQ(c.GetQueueLength(), 1u);
    EXPECT_EQ(c.GetCurrentFrame().index, 8);
    EXPECT_EQ(ChangeSteps(c, 6), (std::vector<int>{6}));
}

TEST(AnimationController, PlayingTheRunningAnimationAgainRestartsOnlyWhenAsked)
{
    SpriteAnimation a = Anim({1, 2, 3, 4}, 0.1f, -1);
    SpriteAnimation b = Anim({5}, 0.1f, 1);
    AnimationController c;
    c.PlayAnimation(&a, false);
    c.Update(0.25f);
    ASSERT_EQ(c.GetCurrentFrame().index, 3);

    c.QueueAnimation(&b);
    c.PlayAnimation(&a, false);
    EXPECT_EQ(c.GetQueueLength(), 1u) << "the queue is replaced either way";
    EXPECT_EQ(c.GetCurrentFrame().index, 3);
    c.Update(0.04f); // 0.05 + 0.04 < 0.1: the frame clock was not reset either
    EXPECT_EQ(c.GetCurrentFrame().index, 3);
    c.Update(0.02f);
    EXPECT_EQ(c.GetCurrentFrame().index, 4);

    c.PlayAnimation(&a, true);
    EXPECT_EQ(c.GetCurrentFrame().index, 1);
    EXPECT_EQ(c.GetFramePosition(), 0);
    EXPECT_EQ(ChangeSteps(c, 6), (std::vector<int>{6}));
}

TEST(AnimationController, ALinkCarriesTheRemainderAQueuedAnimationStartsAfresh)
{
    SpriteAnimation next = Anim({20, 21}, 0.1f, 1);
    SpriteAnimation linked = Anim({10}, 0.1f, 1);
    linked.linkedAnimation = &next;
    SpriteAnimation plain = Anim({10}, 0.1f, 1);

    AnimationController c;
    c.PlayAnimation(&linked, false);
    // The link starts in step 6 with 0.02 s already used, so its second frame comes in step 11.
    EXPECT_EQ(ChangeSteps(c, 20), (std::vector<int>{6, 11}));
    EXPECT_EQ(c.GetQueueLength(), 0u);

    AnimationController q;
    q.PlayAnimation(&plain, false);
    q.QueueAnimation(&next);
    EXPECT_TRUE(q.IsCurrentAnimation(&plain));
    // The queued one starts in step 6 from nothing, so its second frame needs six more steps.
    EXPECT_EQ(ChangeSteps(q, 20), (std::vector<int>{6, 12}));

    // One long step: the link gets the whole remainder.
    c.PlayAnimation(&linked, true);
    c.Update(0.25f);
    EXPECT_TRUE(c.IsCurrentAnimation(&next));
    EXPECT_EQ(c.GetCurrentFrame().index, 21);
}

TEST(AnimationController, ALinkGoesInFrontOfWhateverIsQueued)
{
    SpriteAnimation after = Anim({30}, 0.1f, 1);
    SpriteAnimation queued = Anim({40}, 0.1f, 1);
    SpriteAnimation first = Anim({10}, 0.1f, 1);
    first.linkedAnimation = &after;

    AnimationController c;
    c.PlayAnimation(&queued, false);
    c.InterruptAnimation(&first);
    EXPECT_EQ(c.GetQueueLength(), 2u);
    EXPECT_EQ(Shown(c), (std::vector<int>{10, 30, 40}));
}

TEST(AnimationController, QueueAndInterrupt)
{
    SpriteAnimation a = Anim({1, 2, 3}, 0.1f, 1);
    SpriteAnimation b = Anim({7, 8}, 0.1f, 1);
    SpriteAnimation d = Anim({5}, 0.1f, 1);
    AnimationController c;

    c.QueueAnimation(&a);
    EXPECT_TRUE(c.IsCurrentAnimation(&a)) << "queued into an empty queue it starts";
    c.Update(0.15f);
    ASSERT_EQ(c.GetCurrentFrame().index, 2);
    c.QueueAnimation(&d);
    EXPECT_TRUE(c.IsCurrentAnimation(&a));
    EXPECT_EQ(c.GetCurrentFrame().index, 2) << "queueing behind does not restart the head";

    c.InterruptAnimation(&b);
    EXPECT_TRUE(c.IsCurrentAnimation(&b));
    EXPECT_EQ(c.GetCurrentFrame().index, 7);
    EXPECT_EQ(c.GetQueueLength(), 3u);
    // The interrupted animation then plays again from its first frame, and the queue goes on.
    EXPECT_EQ(Shown(c), (std::vector<int>{7, 8, 1, 2, 3, 5}));
}

TEST(AnimationController, AnAnimationWithoutFramesIsRejected)
{
    SpriteAnimation empty = Anim({}, 0.1f, 1);
    AnimationController c;
    EXPECT_THROW(c.PlayAnimation(&empty, false), std::out_of_range);
}

TEST(AnimationController, TinyDurationsCannotHangAnUpdate)
{
    // A record made in code can bypass the reader's floor; the controller applies it too.
    SpriteAnimation fast = Anim({0, 1, 2, 3, 4, 5, 6}, 1.0f / 1e9f, -1);
    AnimationController c;
    c.PlayAnimation(&fast, false);
    c.Update(0.01505f); // 150 advances of 1e-4 s
    EXPECT_EQ(c.GetFramePosition(), 150 % 7);
    for (int i = 0; i < 100; ++i)
        c.Update(Step);
    EXPECT_TRUE(c.IsCurrentAnimation(&fast));
}

TEST(AnimationController, AHugeStepDropsWhatItCannotPlay)
{
    SpriteAnimation endless = Anim({1, 2, 3}, 0.1f, -1);
    AnimationController c;
    c.PlayAnimation(&endless, false);
    c.Update(1e9f);
    EXPECT_TRUE(c.IsCurrentAnimation(&endless));
    const int shown = c.GetCurrentFrame().index;
    c.Update(0.09f);
    EXPECT_EQ(c.GetCurrentFrame().index, shown) << "the frame starts afresh after the cut";
    c.Update(0.02f);
    EXPECT_NE(c.GetCurrentFrame().index, shown);

    // A finite animation is simply played to its end.
    SpriteAnimation twice = Anim({4, 5, 6}, 0.1f, 2);
    c.PlayAnimation(&twice, false);
    c.Update(1e9f);
    EXPECT_EQ(c.GetQueueLength(), 0u);
    EXPECT_EQ(c.GetCurrentFrame().index, 6);
}

TEST(AnimationController, AnEndlessAnimationKeepsItsBeatForHours)
{
    SpriteAnimation a = Anim({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0.1f, -1);
    AnimationController c;
    c.PlayAnimation(&a, false);
    for (int i = 0; i < 500000; ++i) // 10,000 s of play
        c.Update(Step);
    std::vector<int> changes = ChangeSteps(c, 50);
    ASSERT_EQ(changes.size(), 10u);
    for (size_t i = 1; i < changes.size(); ++i)
        EXPECT_EQ(changes[i] - changes[i - 1], 5);
}

TEST(AnimationController, SharedControllerIsNamedAfterItsSpriteTypeAndRunsInItsDatabase)
{
    EXPECT_EQ(MakeSharedAnimationControllerName("Tic"), MakeName("TicSharedAnimationController"));
    EXPECT_EQ(MakeSharedAnimationControllerName(""), MakeName("SharedAnimationController"));

    SpriteAnimation a = Anim({1, 2}, 0.1f, 1);
    Kestrin::ObjectDatabase db;
    auto* shared = new AnimationController(MakeSharedAnimationControllerName("Tic"));
    db.AddObject(shared);
    EXPECT_EQ(db.FindObject(MakeName("ticsharedanimationcontroller")), shared);
    EXPECT_EQ(db.FindObject(MakeName("GremlinSharedAnimationController")), nullptr);

    shared->PlayAnimation(&a, false);
    db.Update(0.12f);
    EXPECT_EQ(shared->GetCurrentFrame().index, 2) << "the database's update drives the controller";
}
