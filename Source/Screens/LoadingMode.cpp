#include "Screens/LoadingMode.h"

#include "Base/Clock.h"
#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/FileSystem.h"
#include "Graphics/GraphicsResources.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Platform.h"
#include "Screens/MainMenuMode.h"

#include <exception>

void ResourceLoadTask::Run(Kestrin::IResourceLoadProgress* listener)
{
    Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
    resources->LoadFile(m_group, listener, true);
    // The manager passes over a missing file in silence.
    if (resources->GetLoadCount(m_group) <= 0 && !(listener && listener->IsAborted()))
        Kestrin::LogPrintf("LoadingMode: no group file %s.xml\n", Kestrin::ToUtf8(m_group).c_str());
}

namespace
{
// Under the lock when there is one: before Enter and after collection only one thread is left.
template <typename F> auto Locked(Kestrin::IMutex* lock, F f)
{
    if (!lock)
        return f();
    Kestrin::MutexLock held(*lock);
    return f();
}
} // namespace

LoadingMode::~LoadingMode()
{
    StopThread();
}

void LoadingMode::AddTask(ILoadingTask* task, uint64_t weight)
{
    TaskEntry entry;
    entry.task.reset(task);
    entry.weight = weight;
    m_tasks.push_back(std::move(entry));
}

void LoadingMode::Enter()
{
    CreateRootNode();
    if (m_titleGroup.Load())
        m_titleGroup.Instantiate(*this, "titlescreenLayout");

    if (Kestrin::Looper* looper = Kestrin::Looper::Current())
    {
        looper->AddQuitHandler(this);
        m_quitHandlerAdded = true;
    }
    // Never lowered: from now on files are found by name in any folder of the data tree.
    if (Kestrin::IFileSystem* files = Kestrin::GetFileSystem())
        files->BeginIndexing();
    OnEnterFinished();

    m_lock.reset(Kestrin::CreateMutex());
    m_thread = std::make_unique<Win32Thread>(this);
    m_thread->Start();
}

void LoadingMode::Exit()
{
    if (m_quitHandlerAdded)
    {
        if (Kestrin::Looper* looper = Kestrin::Looper::Current())
            looper->RemoveQuitHandler(this);
        m_quitHandlerAdded = false;
    }
    StopThread();
}

void LoadingMode::StopThread()
{
    if (!m_thread)
        return;
    // The tasks still to come return at once; the thread's destructor waits for the one running.
    m_quitRequested = true;
    m_thread.reset();
    m_lock.reset();
}

void LoadingMode::Run()
{
    uint64_t total = 0;
    for (const TaskEntry& entry : m_tasks)
        total += entry.weight;

    // After a quit the tasks still to come are not started: the program ends once the thread has.
    for (size_t i = 0; i < m_tasks.size() && !m_quitRequested; ++i)
    {
        TaskEntry& entry = m_tasks[i];
        Locked(m_lock.get(),
               [&]
               {
                   m_currentTaskFraction = 0.0f;
                   m_currentTaskShare = total ? float(entry.weight) / float(total) : 0.0f;
               });

        const uint64_t start = Kestrin::GetClock().Micros();
        try
        {
            entry.task->Run(this);
        }
        catch (const std::exception& e)
        {
            // One broken group must not take the others, or the process, with it.
            Kestrin::LogPrintf("LoadingMode: task %zu failed: %s\n", i, e.what());
            Locked(m_lock.get(), [&] { m_failures.push_back({i, e.what()}); });
        }
        entry.loadTime = Kestrin::GetClock().Micros() - start;

        Locked(m_lock.get(),
               [&]
               {
                   // A task stopped by the quit did not complete its share.
                   if (!m_quitRequested)
                       m_completedShare += m_currentTaskShare;
                   m_currentTaskFraction = 0.0f;
                   m_currentTaskShare = 0.0f;
               });
    }
    if (!m_quitRequested)
        Locked(m_lock.get(), [&] { m_completedShare = 1.0f; });
}

void LoadingMode::OnProgress(float fraction)
{
    Locked(m_lock.get(), [&] { m_currentTaskFraction = fraction; });
}

bool LoadingMode::OnQuitRequest()
{
    if (!m_thread)
        return true;
    m_quitRequested = true;
    return false;
}

float LoadingMode::GetCompletedShare() const
{
    return Locked(m_lock.get(), [&] { return m_completedShare; });
}

float LoadingMode::GetCurrentTaskShare() const
{
    return Locked(m_lock.get(), [&] { return m_currentTaskShare; });
}

float LoadingMode::GetCurrentTaskFraction() const
{
    return Locked(m_lock.get(), [&] { return m_currentTaskFraction; });
}

void LoadingMode::Update(float dt)
{
    SceneApplicationMode::Update(dt);
    if (!m_thread || m_thread->GetState() != Kestrin::IThread::Finished)
        return;
    if (!CountdownOver(m_finishDelay))
    {
        m_finishDelay -= dt;
        return;
    }
    CollectThread();

    if (m_quitRequested)
    {
        // Nothing refuses now: the thread is gone.
        if (Kestrin::Looper* looper = Kestrin::Looper::Current())
            looper->RequestQuit();
        return;
    }
    OnLoadingFinished();
}

void LoadingMode::CollectThread()
{
    Kestrin::LogPrintf("LoadingMode Actual Load Times: \n");
    for (size_t i = 0; i < m_tasks.size(); ++i)
        Kestrin::LogPrintf("\tTask %d - %d\n", int(i), int(uint32_t(m_tasks[i].loadTime)));

    m_thread.reset();
    m_lock.reset();

    if (m_failures.empty())
        return;
    // One box for them all, captioned by the first group that failed.
    std::wstring text;
    for (const Failure& failure : m_failures)
    {
        const std::wstring group = m_tasks[failure.task].task->GetGroupName();
        if (!text.empty())
            text += L"\n";
        text += (group.empty() ? L"Task " + std::to_wstring(failure.task) : group + L".xml") + L": " +
                Kestrin::FromUtf8(failure.what);
    }
    const std::wstring first = m_tasks[m_failures.front().task].task->GetGroupName();
    if (first.empty())
        ShowErrorMessageBox(text, L"There was an error loading the game's data");
    else
        ScreenGroup(first).ShowError(text);
    m_failures.clear();
}

void LoadingMode::OnLoadingFinished()
{
    if (Kestrin::IGraphicsPlatform* graphics = Kestrin::GetGraphicsPlatform())
    {
        if (Kestrin::IImage* cursor = Kestrin::GetImageByName("CursorArrow").second)
            graphics->SetCursorImage(cursor, Kestrin::Vector2<int>(0, 0));
        else
        {
            // An enabled custom cursor without an image would leave the player without one.
            Kestrin::LogPrintf("LoadingMode: no image \"CursorArrow\"; the system cursor is used.\n");
            graphics->SetCustomCursorEnabled(false);
        }
    }
    Kestrin::UseSystemArrowCursor();
    Kestrin::ChangeMode(new MainMenuMode(true));
}
