#include "Base/Exceptions.h"
#include "Framework/Object.h"
#include "Framework/Task.h"
#include "Framework/Tasks.h"
#include "TaskTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Kestrin;
using KestrinTest::EventLog;
using KestrinTest::LoggingObject;
using KestrinTest::ScriptedTask;

namespace
{

// A wait that reports what it hands back to the list.
class ProbeWait : public TimedTask
{
public:
    explicit ProbeWait(float duration, std::vector<TaskStatus>* answers) : TimedTask(duration), m_answers(answers) {}
    TaskStatus Update(Object* target, float dt) override
    {
        TaskStatus s = TimedTask::Update(target, dt);
        m_answers->push_back(s);
        return s;
    }

private:
    std::vector<TaskStatus>* m_answers;
};

} // namespace

TEST(TaskList, FinishedWaitHandsItsUnusedTimeToTheNextInTheSameStep)
{
    std::vector<TaskStatus> first, second;
    TaskList list;
    list.Append(new ProbeWait(0.5f, &first));
    list.Append(new ProbeWait(0.25f, &second));
    Object target;

    // Step 1: the first wait runs through the whole step and blocks the second.
    EXPECT_FLOAT_EQ(list.Run(&target, 0.375f), FLT_MAX);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(first[0].running);
    EXPECT_TRUE(second.empty());

    // Step 2: the first needs 0.125 s; the second gets the other 0.25 s and finishes with it.
    EXPECT_FLOAT_EQ(list.Run(&target, 0.375f), 0.375f);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_FALSE(first[1].running);
    EXPECT_FLOAT_EQ(first[1].timeUsed, 0.125f);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_FALSE(second[0].running);
    EXPECT_FLOAT_EQ(second[0].timeUsed, 0.25f);
    EXPECT_EQ(list.ActiveCount(), 0u);
    EXPECT_EQ(list.FinishedCount(), 2u);
    EXPECT_FALSE(list.HasActiveTasks());
}

TEST(TaskList, ZeroStepRunsNothingAndFinishingWithTheWholeStepDefersTheNext)
{
    EventLog log;
    TaskList list;
    list.Append(new ScriptedTask("a", &log, TaskFinished));
    list.Append(new ScriptedTask("b", &log, {false, 0.0f}));
    list.Append(new ScriptedTask("c", &log, TaskRunning));
    Object target;

    EXPECT_EQ(list.Run(&target, 0.0f), 0.0f);
    EXPECT_TRUE(log.empty());

    // "a" takes the whole step; "b" (no time used) and "c" wait for the next one, then run together.
    list.Run(&target, 0.02f);
    EXPECT_EQ(log, (EventLog{"a"}));
    list.Run(&target, 0.02f);
    EXPECT_EQ(log, (EventLog{"a", "b", "c"}));
    EXPECT_EQ(list.FinishedCount(), 2u);
    EXPECT_TRUE(list.HasActiveTasks());
}

TEST(TaskList, MessageEndsATaskButEveryActiveTaskSeesIt)
{
    EventLog log;
    TaskList list;
    auto* waiting = new ScriptedTask("w", &log, TaskRunning);
    waiting->messageAnswer = false;
    auto* behind = new ScriptedTask("b", &log, TaskRunning);
    list.Append(waiting);
    list.Append(behind);
    Object target;

    list.HandleMessage(&target, Message(NoObjectHandle, MakeName("Poke")));
    EXPECT_EQ(log, (EventLog{"w:Poke", "b:Poke"}));
    EXPECT_EQ(list.FinishedCount(), 1u);
    EXPECT_EQ(behind->updates, 0); // runs at the next pass, not during the message pass

    list.HandleMessage(&target, Message(NoObjectHandle, MakeName("Again")));
    EXPECT_EQ(waiting->messages, 1); // finished tasks are not asked again

    list.Run(&target, 0.1f);
    EXPECT_EQ(waiting->updates, 0);
    EXPECT_EQ(behind->updates, 1);
}

TEST(TaskList, CloneOfAFinishedListReplaysInFinishingOrder)
{
    EventLog log;
    TaskList list;
    list.Append(new ScriptedTask("a", &log, {false, 0.0f}));
    list.Append(new ScriptedTask("b", &log, {false, 0.0f}));
    auto* still = new ScriptedTask("c", &log, TaskRunning);
    list.Append(still);
    Object target;
    list.Run(&target, 1.0f);
    EXPECT_EQ(log, (EventLog{"a", "b", "c"}));

    auto copy = list.Clone();
    EXPECT_EQ(copy->ActiveCount(), 3u);
    EXPECT_EQ(copy->FinishedCount(), 0u);
    log.clear();
    copy->Run(&target, 1.0f);
    EXPECT_EQ(log, (EventLog{"a", "b", "c"}));

    // Cleared entries are not cloned.
    list.Clear();
    EXPECT_EQ(list.Clone()->ActiveCount(), 0u);
}

TEST(TaskList, FailedCloneThrowsNamesTheClassAndLeaksNothing)
{
    int before = ScriptedTask::alive;
    {
        TaskList list;
        list.Append(new ScriptedTask("a", nullptr));
        auto* stubborn = new ScriptedTask("b", nullptr);
        stubborn->clonable = false;
        list.Append(stubborn);
        list.Append(new ScriptedTask("c", nullptr));
        int withList = ScriptedTask::alive;

        try
        {
            list.Clone();
            FAIL() << "Clone should throw";
        }
        catch (const engine_error& e)
        {
            EXPECT_STREQ(e.what(), "KestrinTest::ScriptedTask does not implement Task::Clone.");
            EXPECT_EQ(e.SourceFile(), "Source/Framework/Task.cpp");
            EXPECT_GT(e.Line(), 0);
        }
        // The clone of "a" made before the failure is gone; the source list is untouched.
        EXPECT_EQ(ScriptedTask::alive, withList);
        EXPECT_EQ(list.ActiveCount(), 3u);
    }
    EXPECT_EQ(ScriptedTask::alive, before);
}

TEST(TaskList, TaskThatClearsItsOwnListLivesUntilThePassEndsThenIsDeleted)
{
    int before = ScriptedTask::alive;
    EventLog log;
    Object owner;
    auto* clearing = new ScriptedTask("clearing", &log, {false, 0.0f});
    clearing->onUpdate = [](Object* target) { target->ClearTasks(); };
    owner.AddTask(clearing);
    owner.AddTask(new ScriptedTask("behind", &log));

    int survived = ScriptedTask::survivedCallbacks;
    owner.Tick(0.1f);
    // It answered finished after being cancelled: deleted, not kept as finished.
    EXPECT_EQ(ScriptedTask::survivedCallbacks, survived + 1);
    EXPECT_EQ(log, (EventLog{"clearing"}));
    EXPECT_EQ(owner.GetTasks().FinishedCount(), 0u);
    EXPECT_EQ(owner.GetTasks().ActiveCount(), 0u);
    EXPECT_EQ(ScriptedTask::alive, before);
}

TEST(TaskList, TasksAppendedDuringAPassRunInItWhenTimeIsLeft)
{
    EventLog log;
    Object owner;
    auto* spawner = new ScriptedTask("spawner", &log, {false, 0.25f});
    spawner->onUpdate = [&log](Object* target) {
        // Enough appends to move the list's storage while the pass is on it.
        for (int i = 0; i < 64; ++i)
            target->AddTask(new ScriptedTask("n" + std::to_string(i), &log, {false, 0.0f}));
        target->AddTask(new ScriptedTask("last", &log, TaskRunning));
    };
    owner.AddTask(spawner);

    owner.Tick(1.0f);
    ASSERT_EQ(log.size(), 66u);
    EXPECT_EQ(log.front(), "spawner");
    EXPECT_EQ(log[1], "n0");
    EXPECT_EQ(log.back(), "last");
    EXPECT_EQ(owner.GetTasks().FinishedCount(), 65u);
}

TEST(TaskList, MessageDeliveredFromARunningTaskDoesNotDeleteIt)
{
    // The nested message pass must not clean up while the outer pass still runs the task.
    int before = ScriptedTask::alive;
    Object owner;
    auto* task = new ScriptedTask("t", nullptr, TaskRunning);
    task->onUpdate = [](Object* target) {
        target->ClearTasks();
        target->DeliverMessage(Message(NoObjectHandle, MakeName("Nested")));
    };
    owner.AddTask(task);
    int survived = ScriptedTask::survivedCallbacks;
    owner.Tick(0.1f);
    EXPECT_EQ(ScriptedTask::survivedCallbacks, survived + 1);
    EXPECT_EQ(ScriptedTask::alive, before);
}

TEST(Object, TickRunsDefaultListThenChannelsInIdOrderThenUpdateWithTheSameStep)
{
    EventLog log;
    LoggingObject object(&log);
    NameId c1 = MakeName("ChannelOne"), c2 = MakeName("ChannelTwo"), c3 = MakeName("ChannelThree");
    std::vector<NameId> channels{c1, c2, c3};
    std::vector<ScriptedTask*> tasks;
    for (NameId c : channels)
    {
        tasks.push_back(new ScriptedTask(c.c_str(), &log, TaskRunning));
        object.SetChannelTask(c, tasks.back());
    }
    auto* main = new ScriptedTask("default", &log, TaskRunning);
    object.AddTask(main);

    object.Tick(0.3f);
    std::sort(channels.begin(), channels.end());
    EventLog expected{"default"};
    for (NameId c : channels)
        expected.push_back(c.c_str());
    expected.push_back("object.Update");
    EXPECT_EQ(log, expected);
    EXPECT_FLOAT_EQ(main->lastDt, 0.3f);
    for (ScriptedTask* t : tasks)
        EXPECT_FLOAT_EQ(t->lastDt, 0.3f); // the whole dt, whatever the others used
}

TEST(Object, DeliverMessageGoesToTasksFirstAndEndsThoseThatDecline)
{
    EventLog log;
    LoggingObject object(&log);
    auto* declines = new ScriptedTask("d", &log, TaskRunning);
    declines->messageAnswer = false;
    object.AddTask(declines);
    object.SetChannelTask(MakeName("Move"), new ScriptedTask("m", &log, TaskRunning));

    object.DeliverMessage(Message(7, MakeName("Hello")));
    object.DeliverMessage(Message(7, MakeName("Bye")));
    EXPECT_EQ(log, (EventLog{"d:Hello", "m:Hello", "object.Handle:Hello", "m:Bye", "object.Handle:Bye"}));
}

TEST(Object, ReplacingTheChannelTaskFromItsOwnUpdateIsSafe)
{
    int before = ScriptedTask::alive;
    EventLog log;
    Object object;
    NameId move = MakeName("MovementAITask");
    auto* old = new ScriptedTask("old", &log, TaskRunning);
    old->onUpdate = [&log, move](Object* target) {
        target->SetChannelTask(move, new ScriptedTask("new", &log, TaskRunning));
    };
    object.SetChannelTask(move, old);

    int survived = ScriptedTask::survivedCallbacks;
    object.Tick(0.1f);
    EXPECT_EQ(ScriptedTask::survivedCallbacks, survived + 1);
    EXPECT_EQ(log, (EventLog{"old"}));
    EXPECT_EQ(ScriptedTask::alive, before + 1); // the old one is gone after its pass
    EXPECT_TRUE(object.IsChannelBusy(move));

    object.Tick(0.1f);
    EXPECT_EQ(log, (EventLog{"old", "new"}));
}

TEST(Object, ChannelBusyAnswersWithoutCreatingChannels)
{
    Object object;
    NameId unknown = MakeName("NeverUsed");
    EXPECT_FALSE(object.IsChannelBusy(unknown));
    EXPECT_EQ(object.ChannelCount(), 0u);

    NameId c = MakeName("Once");
    object.SetChannelTask(c, new ScriptedTask("once", nullptr, TaskFinished));
    EXPECT_TRUE(object.IsChannelBusy(c));
    object.Tick(0.1f);
    EXPECT_FALSE(object.IsChannelBusy(c)); // its only task finished

    object.SetChannelTask(c, new ScriptedTask("again", nullptr, TaskRunning));
    object.ClearChannel(c);
    EXPECT_FALSE(object.IsChannelBusy(c));
    EXPECT_EQ(object.ChannelCount(), 1u);
}

TEST(Object, ClearAllTasksAndDestructionDeleteEveryTask)
{
    int before = ScriptedTask::alive;
    EventLog log;
    {
        Object object;
        object.AddTask(new ScriptedTask("a", &log, TaskRunning));
        object.SetChannelTask(MakeName("X"), new ScriptedTask("x", &log, TaskRunning));
        object.SetChannelTask(MakeName("Y"), new ScriptedTask("y", &log, TaskRunning));
        object.ClearAllTasks();
        object.Tick(0.1f);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(ScriptedTask::alive, before);

        object.AddTask(new ScriptedTask("b", &log, TaskFinished));
        object.SetChannelTask(MakeName("X"), new ScriptedTask("x2", &log, TaskRunning));
        object.Tick(0.1f); // "b" now sits in the finished list
        EXPECT_EQ(ScriptedTask::alive, before + 2);
    }
    EXPECT_EQ(ScriptedTask::alive, before);
}
