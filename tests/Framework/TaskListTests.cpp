#include "Base/Exceptions.h"
#include "Framework/Object.h"
#include "Framework/Task.h"
#include "Framework/Tasks.h"
#include "Support/TaskTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Kestrin;
using KestrinTest::EventLog;
using KestrinTest::LoggingObject;
using KestrinTest::ScriptedTask;

TEST(TaskList, UnusedTimeGoesToTheNextTaskInTheSameStepAndAWholeStepDefersIt)
{
    TaskList list;
    auto* first = new TimedTask(0.5f);
    auto* second = new TimedTask(0.25f);
    list.Append(first);
    list.Append(second);
    Object target;

    EXPECT_EQ(list.Run(&target, 0.0f), 0.0f); // a zero step runs nothing
    EXPECT_EQ(first->GetElapsed(), 0.0f);
    EXPECT_EQ(list.Run(&target, 0.375f), FLT_MAX);
    EXPECT_EQ(second->GetElapsed(), 0.0f); // blocked behind the running wait
    // The first needs 0.125 s of step 2; the second gets the other 0.25 s and finishes with it.
    EXPECT_EQ(list.Run(&target, 0.375f), 0.375f);
    EXPECT_EQ(first->GetElapsed(), 0.75f); // overshot by 0.25 s, so it used 0.125 s
    EXPECT_EQ(second->GetElapsed(), 0.25f);
    EXPECT_EQ(list.FinishedCount(), 2u);
    EXPECT_FALSE(list.HasActiveTasks());

    // A task using the whole step defers the next; one using none does not.
    EventLog log;
    list.Append(new ScriptedTask("a", &log, TaskFinished));
    list.Append(new ScriptedTask("b", &log, {false, 0.0f}));
    list.Append(new ScriptedTask("c", &log, TaskRunning));
    list.Run(&target, 0.02f);
    EXPECT_EQ(log, (EventLog{"a"}));
    list.Run(&target, 0.02f);
    EXPECT_EQ(log, (EventLog{"a", "b", "c"}));
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
    list.HandleMessage(&target, Message(NoObjectHandle, MakeName("Again")));
    EXPECT_EQ(log, (EventLog{"w:Poke", "b:Poke", "b:Again"}));
    EXPECT_EQ(list.FinishedCount(), 1u);
    EXPECT_EQ(behind->updates, 0); // it runs at the next pass
    list.Run(&target, 0.1f);
    EXPECT_EQ(waiting->updates, 0);
    EXPECT_EQ(behind->updates, 1);
}

TEST(TaskList, CloneReplaysFinishedThenActiveTasksAndSkipsCleared)
{
    EventLog log;
    TaskList list;
    list.Append(new ScriptedTask("a", &log, {false, 0.0f}));
    list.Append(new ScriptedTask("b", &log, {false, 0.0f}));
    list.Append(new ScriptedTask("c", &log, TaskRunning));
    Object target;
    list.Run(&target, 1.0f);

    auto copy = list.Clone();
    EXPECT_EQ(copy->ActiveCount(), 3u);
    log.clear();
    copy->Run(&target, 1.0f);
    EXPECT_EQ(log, (EventLog{"a", "b", "c"}));
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
        }
        // The clone of "a" made before the failure is gone; the source list is untouched.
        EXPECT_EQ(ScriptedTask::alive, withList);
        EXPECT_EQ(list.ActiveCount(), 2u);
    }
    EXPECT_EQ(ScriptedTask::alive, before);
}

TEST(TaskList, TaskThatClearsItsOwnListLivesUntilThePassEndsEvenThroughANestedMessage)
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
    EXPECT_EQ(ScriptedTask::survivedCallbacks, survived + 1);
    EXPECT_EQ(log, (EventLog{"clearing"}));
    // It answered finished after being cancelled: deleted, not kept as finished.
    EXPECT_EQ(owner.GetTasks().FinishedCount(), 0u);
    EXPECT_EQ(ScriptedTask::alive, before);

    // A message pass nested in the task's update leaves the clean-up to the outer pass.
    auto* nesting = new ScriptedTask("nesting", nullptr, TaskRunning);
    nesting->onUpdate = [](Object* target)
    {
        target->ClearTasks();
        target->DeliverMessage(Message(NoObjectHandle, MakeName("Nested")));
    };
    owner.AddTask(nesting);
    owner.Tick(0.1f);
    EXPECT_EQ(ScriptedTask::survivedCallbacks, survived + 2);
    EXPECT_EQ(ScriptedTask::alive, before);
}

TEST(TaskList, TasksAppendedDuringAPassRunInItWhenTimeIsLeft)
{
    EventLog log;
    Object owner;
    auto* spawner = new ScriptedTask("spawner", &log, {false, 0.25f});
    spawner->onUpdate = [&log](Object* target)
    {
        // Enough appends to move the list's storage while the pass is on it.
        for (int i = 0; i < 64; ++i)
            target->AddTask(new ScriptedTask("n" + std::to_string(i), &log, {false, 0.0f}));
        target->AddTask(new ScriptedTask("last", &log, TaskRunning));
    };
    owner.AddTask(spawner);
    owner.Tick(1.0f);
    ASSERT_EQ(log.size(), 66u);
    EXPECT_EQ(log[1], "n0");
    EXPECT_EQ(log.back(), "last");
}

TEST(Object, TicksAndMessagesGoToTheDefaultListThenChannelsInIdOrderThenTheObject)
{
    EventLog log;
    LoggingObject object(&log);
    std::vector<NameId> channels{MakeName("ChannelOne"), MakeName("ChannelTwo"), MakeName("ChannelThree")};
    std::vector<ScriptedTask*> tasks;
    for (NameId c : channels)
    {
        tasks.push_back(new ScriptedTask(c.c_str(), &log, {true, 0.1f}));
        object.SetChannelTask(c, tasks.back());
    }
    auto* main = new ScriptedTask("default", &log, {true, 0.1f});
    main->messageAnswer = false;
    object.AddTask(main);

    object.Tick(0.3f);
    std::sort(channels.begin(), channels.end());
    EventLog expected{"default"};
    for (NameId c : channels)
        expected.push_back(c.c_str());
    expected.push_back("object.Update");
    EXPECT_EQ(log, expected);
    for (ScriptedTask* t : tasks)
        EXPECT_EQ(t->lastDt, 0.3f); // the whole dt, whatever the others used

    log.clear();
    object.DeliverMessage(Message(7, MakeName("Hi")));
    object.DeliverMessage(Message(7, MakeName("Bye")));
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[0], "default:Hi");
    EXPECT_EQ(log[4], "object.Handle:Hi");
    EXPECT_EQ(log[5], std::string(channels[0].c_str()) + ":Bye"); // "default" declined and ended
}

TEST(Object, ReplacingTheChannelTaskFromItsOwnUpdateIsSafe)
{
    int before = ScriptedTask::alive;
    EventLog log;
    Object object;
    NameId move = MakeName("MovementAITask");
    auto* old = new ScriptedTask("old", &log, TaskRunning);
    old->onUpdate = [&log, move](Object* target)
    { target->SetChannelTask(move, new ScriptedTask("new", &log, TaskRunning)); };
    object.SetChannelTask(move, old);

    int survived = ScriptedTask::survivedCallbacks;
    object.Tick(0.1f);
    EXPECT_EQ(ScriptedTask::survivedCallbacks, survived + 1);
    EXPECT_EQ(ScriptedTask::alive, before + 1); // the old one is gone after its pass
    object.Tick(0.1f);
    EXPECT_EQ(log, (EventLog{"old", "new"}));
}

TEST(Object, ChannelBusyAnswersWithoutCreatingChannels)
{
    Object object;
    EXPECT_FALSE(object.IsChannelBusy(MakeName("NeverUsed")));
    EXPECT_EQ(object.ChannelCount(), 0u);

    NameId c = MakeName("Once");
    object.SetChannelTask(c, new ScriptedTask("once", nullptr, TaskFinished));
    EXPECT_TRUE(object.IsChannelBusy(c));
    object.Tick(0.1f);
    EXPECT_FALSE(object.IsChannelBusy(c)); // its only task finished
    object.SetChannelTask(c, new ScriptedTask("again", nullptr, TaskRunning));
    object.ClearChannel(c);
    EXPECT_FALSE(object.IsChannelBusy(c));
}

TEST(Object, ClearAllTasksAndDestructionDeleteEveryTask)
{
    int before = ScriptedTask::alive;
    EventLog log;
    {
        Object object;
        object.AddTask(new ScriptedTask("a", &log, TaskRunning));
        object.SetChannelTask(MakeName("X"), new ScriptedTask("x", &log, TaskRunning));
        object.ClearAllTasks();
        object.Tick(0.1f);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(ScriptedTask::alive, before);
        object.AddTask(new ScriptedTask("b", &log, TaskFinished));
        object.SetChannelTask(MakeName("Y"), new ScriptedTask("y", &log, TaskRunning));
        object.Tick(0.1f); // "b" now sits in the finished list
    }
    EXPECT_EQ(ScriptedTask::alive, before);
}
