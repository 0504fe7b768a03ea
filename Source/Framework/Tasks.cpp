#include "Framework/Tasks.h"

#include "Base/Random.h"
#include "Framework/Components.h"
#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"

#include <algorithm>
#include <map>

namespace Kestrin
{

// ---- TimedTask

Task* TimedTask::Clone() const
{
    return new TimedTask(m_duration);
}

TaskStatus TimedTask::Update(Object*, float dt)
{
    m_elapsed += dt;
    if (m_elapsed < m_duration)
        return TaskRunning;
    return {false, dt - (m_elapsed - m_duration)};
}

// ---- SerialTask

SerialTask::SerialTask() : m_list(std::make_unique<TaskList>()) {}

SerialTask::SerialTask(Task* a) : SerialTask()
{
    m_list->Append(a);
}

SerialTask::SerialTask(Task* a, Task* b) : SerialTask()
{
    m_list->Append(a);
    m_list->Append(b);
}

Task* SerialTask::Clone() const
{
    return new SerialTask(m_list->Clone());
}

TaskStatus SerialTask::Update(Object* target, float dt)
{
    float used = m_list->Run(target, dt);
    if (m_list->HasActiveTasks())
        return TaskRunning;
    return {false, used};
}

bool SerialTask::HandleMessage(Object* target, const Message& message)
{
    m_list->HandleMessage(target, message);
    return m_list->HasActiveTasks();
}

// ---- ParallelTask

ParallelTask::ParallelTask(int mode) : m_mode(mode) {}

ParallelTask::ParallelTask(int mode, Task* a, Task* b) : m_mode(mode)
{
    AddBranch(a);
    AddBranch(b);
}

void ParallelTask::AddBranch(Task* task)
{
    auto branch = std::make_unique<TaskList>();
    branch->Append(task);
    m_branches.push_back(std::move(branch));
}

Task* ParallelTask::Clone() const
{
    auto copy = std::make_unique<ParallelTask>(m_mode);
    for (const auto& branch : m_branches)
        copy->m_branches.push_back(branch->Clone());
    return copy.release();
}

TaskStatus ParallelTask::Update(Object* target, float dt)
{
    // No branch can ever finish: done at once, in either mode.
    if (m_branches.empty())
        return {false, 0.0f};

    float largest = 0.0f;
    bool anyDone = false;
    bool anyRunning = false;
    for (const auto& branch : m_branches)
    {
        float used = branch->Run(target, dt);
        if (branch->HasActiveTasks())
        {
            anyRunning = true;
            used = FLT_MAX;
        }
        else
        {
            anyDone = true;
        }
        largest = std::max(largest, used);
    }

    if (m_mode == All)
        return anyRunning ? TaskRunning : TaskStatus{false, largest};
    // The branches still running are dropped with the task.
    return anyDone ? TaskStatus{false, largest} : TaskRunning;
}

bool ParallelTask::HandleMessage(Object* target, const Message& message)
{
    for (const auto& branch : m_branches)
        branch->HandleMessage(target, message);
    return StillRunning();
}

bool ParallelTask::StillRunning() const
{
    if (m_branches.empty())
        return false;
    if (m_mode == All)
        return std::any_of(m_branches.begin(), m_branches.end(),
                           [](const auto& b) { return b->HasActiveTasks(); });
    return std::all_of(m_branches.begin(), m_branches.end(),
                       [](const auto& b) { return b->HasActiveTasks(); });
}

// ---- RepeatingTask

RepeatingTask::RepeatingTask(Task* a) : m_list(std::make_unique<TaskList>())
{
    m_list->Append(a);
}

RepeatingTask::RepeatingTask(Task* a, Task* b) : RepeatingTask(a)
{
    m_list->Append(b);
}

TaskStatus RepeatingTask::Update(Object* target, float dt)
{
    while (dt > 0.0f)
    {
        float used = m_list->Run(target, dt);
        if (!m_list->HasActiveTasks())
            m_list = m_list->Clone();
        // A body that used no time would repeat for ever within this step: end the step instead.
        if (!(used > 0.0f))
            break;
        dt -= used;
    }
    return TaskRunning;
}

bool RepeatingTask::HandleMessage(Object* target, const Message& message)
{
    m_list->HandleMessage(target, message);
    return m_list->HasActiveTasks();
}

// ---- SelfDestructTask

TaskStatus SelfDestructTask::Update(Object* target, float)
{
    if (!target)
        return TaskFinished;
    // Handles are per database: use the current one only when the handle names this very object
    // there, else the database the target was added to.
    ObjectDatabase* database = GetCurrentObjectDatabase();
    if (!database || database->GetObject(target->GetHandle()) != target)
        database = target->GetDatabase();
    if (database)
        database->RemoveObject(target->GetHandle());
    return TaskFinished;
}

// ---- EnableTask

Task* EnableTask::Clone() const
{
    return new EnableTask(m_enabled);
}

TaskStatus EnableTask::Update(Object* target, float)
{
    auto* enable = dynamic_cast<IEnable*>(target);
    if (!enable)
        throw std::runtime_error("EnableTask applied to an object that does not implement IEnable");
    enable->SetEnabled(m_enabled);
    return {false, 0.0f};
}

// ---- CuePoint

namespace
{
// Main thread only, like every task.
std::map<NameId, CuePoint*>& CuePoints()
{
    static std::map<NameId, CuePoint*> cues;
    return cues;
}
unsigned g_nextCuePoint = 0;
} // namespace

CuePoint* CuePoint::Create()
{
    return new CuePoint(InternNameF("Kestrin::CuePoint:%u", g_nextCuePoint++));
}

CuePoint* CuePoint::Find(NameId id)
{
    auto it = CuePoints().find(id);
    return it == CuePoints().end() ? nullptr : it->second;
}

size_t CuePoint::LiveCount()
{
    return CuePoints().size();
}

CuePoint::CuePoint(NameId id) : m_id(id)
{
    CuePoints()[id] = this;
}

CuePoint::~CuePoint()
{
    auto it = CuePoints().find(m_id);
    if (it != CuePoints().end() && it->second == this)
        CuePoints().erase(it);
}

void CuePoint::Bind(CuePointTask* task)
{
    m_bound.push_back(task);
}

void CuePoint::Arrive(CuePointTask* task)
{
    if (std::find(m_arrived.begin(), m_arrived.end(), task) == m_arrived.end())
        m_arrived.push_back(task);
}

void CuePoint::Leave(CuePointTask* task)
{
    std::erase(m_bound, task);
    std::erase(m_arrived, task);
    if (m_bound.empty() && m_arrived.empty())
        delete this;
}

CuePointTask::CuePointTask(CuePoint* cue) : m_cue(cue)
{
    if (m_cue)
        m_cue->Bind(this);
}

CuePointTask::~CuePointTask()
{
    if (m_cue)
        m_cue->Leave(this);
}

TaskStatus CuePointTask::Update(Object*, float)
{
    if (!m_cue)
        return TaskFinished;
    m_cue->Arrive(this);
    if (!m_cue->AllArrived())
        return TaskRunning;
    CuePoint* cue = m_cue;
    m_cue = nullptr;
    cue->Leave(this);
    return TaskFinished;
}

// ---- AudioPlayTask

AudioPlayTask::AudioPlayTask(NameId soundName, const SoundPlayParams& params)
    : m_sound(FindSoundByName(soundName)), m_params(params)
{
}

AudioPlayTask::AudioPlayTask(ISound* sound, const SoundPlayParams& params) : m_sound(sound), m_params(params)
{
}

AudioPlayTask::~AudioPlayTask()
{
    SafeRelease(m_channel);
}

Task* AudioPlayTask::Clone() const
{
    auto* copy = new AudioPlayTask(m_sound, m_params);
    copy->m_waitForEnd = m_waitForEnd;
    return copy;
}

void AudioPlayTask::StartSound()
{
    ISoundChannel* channel = nullptr;
    PlaySound(m_sound, m_params, &channel);
    SafeRelease(m_channel);
    m_channel = channel;
}

TaskStatus AudioPlayTask::Update(Object*, float)
{
    if (m_channel)
    {
        if (!m_channel->IsPlaying())
            SafeRelease(m_channel);
    }
    else if (m_sound)
    {
        if (m_waitForEnd)
            StartSound();
        else
            PlaySound(m_sound, m_params, nullptr);
    }
    // A missing sound (a typo in the data) ends here without playing.
    if (m_channel)
        return TaskRunning;
    return {false, 0.0f};
}

// ---- Interpolators

float LinearInterpolator::Interpolate(float from, float to, float elapsed, float duration)
{
    if (duration == 0.0f || elapsed >= duration)
        return to;
    return from + (to - from) * (elapsed / duration);
}

} // namespace Kestrin

// ---- RatioRandom

RatioRandom::RatioRandom(const std::vector<float>& ratios)
{
    SetRatios(ratios);
}

void RatioRandom::SetRatios(const std::vector<float>& ratios)
{
    m_table.clear();
    m_total = 0.0f;
    for (size_t i = 0; i < ratios.size(); ++i)
    {
        float r = ratios[i];
        if (r > 0.0f)
        {
            m_table.push_back({m_total + r, int(i)});
            m_total += r;
        }
    }
}

int RatioRandom::Pick() const
{
    if (m_table.empty())
        throw IllegalRatioRandom();
    float x = Kestrin::RandomFloat(0.0f, m_total);
    for (const Item& item : m_table)
        if (item.cumulative > x)
            return item.index;
    return -1;
}

Kestrin::Task* MakeCueThenTask(Kestrin::CuePoint* cue, Kestrin::Task* task)
{
    return new Kestrin::SerialTask(new Kestrin::CuePointTask(cue), task);
}

Kestrin::Task* MakeTaskThenCue(Kestrin::Task* task, Kestrin::CuePoint* cue)
{
    return new Kestrin::SerialTask(task, new Kestrin::CuePointTask(cue));
}
