#pragma once
// The first screen: the title picture, while the start-up groups load on the program's one worker
// thread beneath the movies and the splash. One second after the thread has finished and the
// screen is on top again it logs the load times and makes way for the main menu.
#include "Base/Threads.h"
#include "Framework/ResourceManager.h"
#include "Platform/Looper.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A unit of loading work, run on the worker thread.
class ILoadingTask
{
public:
    virtual ~ILoadingTask() = default;
    virtual void Run(Kestrin::IResourceLoadProgress* listener) = 0;
    // The group it loads, for the error box; empty when it loads none.
    virtual std::wstring GetGroupName() const { return {}; }
};

// Loads one resource group, with the file index on.
class ResourceLoadTask : public ILoadingTask
{
public:
    explicit ResourceLoadTask(std::wstring group) : m_group(std::move(group)) {}
    void Run(Kestrin::IResourceLoadProgress* listener) override;
    std::wstring GetGroupName() const override { return m_group; }

private:
    std::wstring m_group;
};

class LoadingMode : public SceneApplicationMode,
                    public Kestrin::IEntryPoint,
                    public Kestrin::IResourceLoadProgress,
                    public Kestrin::IQuitHandler
{
public:
    struct TaskEntry
    {
        std::unique_ptr<ILoadingTask> task;
        uint64_t weight = 0;
        uint64_t loadTime = 0; // microseconds, 0 until run
    };

    LoadingMode() = default;
    // Stops a worker that still runs (a quit that bypassed the quit handlers) and waits for it:
    // the worker uses the tasks and the screen.
    ~LoadingMode() override;

    // Takes the task; called before the screen is entered.
    void AddTask(ILoadingTask* task, uint64_t weight);

    // The title layout of "Title_MainMenu", the quit handler, the file index (kept on for the rest of
    // the run), then the worker. A broken title group costs the picture, not the loading.
    void Enter() override;
    void Exit() override;
    // Once the worker has finished and one more second has passed on top: the load times on the
    // log, the failures in one error box, then the quit asked for meanwhile or the main menu.
    void Update(float dt) override;

    // ---- the worker thread ----
    void Run() override;
    void OnProgress(float fraction) override;
    bool IsAborted() override { return m_quitRequested.load(); }

    // Refused while the worker is held (running, or finished and not yet collected): the quit is
    // remembered and carried out once loading is over.
    bool OnQuitRequest() override;

    const std::vector<TaskEntry>& GetTasks() const { return m_tasks; }
    bool HoldsThread() const { return m_thread != nullptr; }
    bool IsThreadFinished() const { return m_thread && m_thread->GetState() == Kestrin::IThread::Finished; }
    bool IsQuitRequested() const { return m_quitRequested.load(); }
    float GetCompletedShare() const;
    float GetCurrentTaskShare() const;
    float GetCurrentTaskFraction() const;

protected:
    // The end of Enter, before the worker starts.
    virtual void OnEnterFinished() {}
    // The game's cursor, then the main menu (replacing this screen).
    virtual void OnLoadingFinished();

private:
    struct Failure
    {
        size_t task;
        std::string what;
    };

    void CollectThread();
    void StopThread();

    ScreenGroup m_titleGroup{L"Title_MainMenu"};
    std::vector<TaskEntry> m_tasks;
    std::unique_ptr<Kestrin::IThread> m_thread;
    std::unique_ptr<Kestrin::IMutex> m_lock;
    // Written on the main thread, read by the worker.
    std::atomic<bool> m_quitRequested{false};
    bool m_quitHandlerAdded = false;
    // Under the lock.
    float m_currentTaskFraction = 0.0f;
    float m_currentTaskShare = 0.0f;
    float m_completedShare = 0.0f;
    std::vector<Failure> m_failures;
    float m_finishDelay = 1.0f;
};
