#include "Platform/Shim/Bass/AudioOut.h"

#include "Platform/Shim/Bass/Voice.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

namespace Kestrin::Shim::Bass
{
namespace
{

thread_local int t_error = ErrorNone;
// Set on the driver's thread while it renders: Free there would wait for itself.
thread_local bool t_rendering = false;

bool Fail(Error code)
{
    t_error = code;
    return false;
}

Handle FailHandle(Error code)
{
    t_error = code;
    return 0;
}

bool Succeed()
{
    t_error = ErrorNone;
    return true;
}

Error FromOpenResult(OpenResult result)
{
    switch (result)
    {
    case OpenResult::Ok:
        return ErrorNone;
    case OpenResult::UnknownFormat:
        return ErrorFileFormat;
    case OpenResult::OutOfMemory:
        return ErrorMemory;
    case OpenResult::Malformed:
        break;
    }
    return ErrorDecode;
}

// What `open` makes of the caller's bytes, or null with the error set: why they did not open, or
// that memory ran out.
template <typename Open> auto OpenOrFail(Open open) -> decltype(open(std::declval<OpenResult&>()))
{
    try
    {
        OpenResult result;
        auto made = open(result);
        if (!made)
            Fail(FromOpenResult(result));
        return made;
    }
    catch (const std::bad_alloc&)
    {
        Fail(ErrorMemory);
        return nullptr;
    }
}

constexpr int kMinOutputRate = 8000;
constexpr int kMaxOutputRate = 192000;
constexpr int kMinFrequency = 100;
constexpr int kMaxFrequency = 100000;

} // namespace

AudioOut::AudioOut(std::unique_ptr<IOutputDriver> driver) : m_driver(std::move(driver)) {}

AudioOut::~AudioOut()
{
    Free();
}

int AudioOut::ErrorGetCode()
{
    return t_error;
}

bool AudioOut::Init(int device, int frequency)
{
    int index = -1;
    {
        std::lock_guard lock(m_lock);
        if (m_open || m_opening || m_closing)
            return Fail(ErrorAlreadyStarted);
        if (frequency < kMinOutputRate || frequency > kMaxOutputRate)
            return Fail(ErrorParameter);
        if (device != -1)
        {
            if (device < 1 || device > m_driver->DeviceCount())
                return Fail(ErrorNoDevice);
            index = device - 1;
        }
        m_rate = uint32_t(frequency);
        m_paused = true;
        m_opening = true;
    }
    // Outside the lock: opening may wait on the driver's own lock, which its thread holds
    // while it renders, and rendering takes ours.
    bool opened = m_driver->Open(index, uint32_t(frequency), this);
    std::lock_guard lock(m_lock);
    m_opening = false;
    if (!opened)
        return Fail(ErrorDeviceOpen);
    m_open = true;
    return Succeed();
}

const char* AudioOut::GetDeviceDescription(int device)
{
    std::lock_guard lock(m_lock);
    if (device < 1 || device > m_driver->DeviceCount())
    {
        Fail(ErrorNoDevice);
        return nullptr;
    }
    std::string name = m_driver->DeviceName(device - 1);
    std::string& kept = m_descriptions[device];
    if (kept != name)
        kept = name;
    Succeed();
    return kept.c_str();
}

bool AudioOut::Pause()
{
    return SetPaused(true);
}

bool AudioOut::Start()
{
    return SetPaused(false);
}

bool AudioOut::SetPaused(bool paused)
{
    std::lock_guard lock(m_lock);
    if (!m_open)
        return Fail(ErrorNotStarted);
    m_paused = paused;
    return Succeed();
}

bool AudioOut::Free()
{
    {
        std::lock_guard lock(m_lock);
        if (!m_open || m_closing)
            return Fail(ErrorNotStarted);
        if (t_rendering)
            return Fail(ErrorWrongThread);
        m_closing = true;
    }
    // Outside the lock: a notification running on the mixing thread may still call in.
    m_driver->Close();
    std::map<Handle, Channel> channels;
    std::map<Handle, Sample> samples;
    {
        std::lock_guard lock(m_lock);
        channels.swap(m_channels);
        samples.swap(m_samples);
        m_due.clear();
        m_open = false;
        m_closing = false;
        m_paused = false;
    }
    return Succeed(); // the decoders close here, outside the lock
}

Handle AudioOut::NewHandle()
{
    if (m_nextHandle == 0) // wrapped: 0 means failure
        m_nextHandle = 1;
    return m_nextHandle++;
}

Handle AudioOut::AddChannel(Kind kind, std::unique_ptr<Voice> voice, Handle sample)
{
    Handle handle = NewHandle();
    Channel& channel = m_channels[handle];
    channel.kind = kind;
    channel.voice = std::move(voice);
    channel.sample = sample;
    return handle;
}

AudioOut::Channel* AudioOut::FindChannel(Handle channel)
{
    auto it = m_channels.find(channel);
    return it == m_channels.end() ? nullptr : &it->second;
}

void AudioOut::DropDue(Handle channel)
{
    m_due.erase(
        std::remove_if(m_due.begin(), m_due.end(), [&](const Due& d) { return d.channel == channel; }),
        m_due.end());
}

void AudioOut::DropChannel(Handle channel)
{
    m_channels.erase(channel);
    DropDue(channel);
}

Handle AudioOut::StreamCreateMemory(const void* bytes, size_t length)
{
    if (!bytes || length == 0)
        return FailHandle(ErrorParameter);
    {
        std::lock_guard lock(m_lock);
        if (!m_open)
            return FailHandle(ErrorNotStarted);
    }
    // Header parsing happens outside the lock so loading never holds up the mixer.
    std::unique_ptr<Source> source =
        OpenOrFail([&](OpenResult& result) { return OpenSoundFile(bytes, length, result); });
    if (!source)
        return 0;
    auto voice = std::make_unique<Voice>(std::move(source));
    std::lock_guard lock(m_lock);
    if (!m_open || m_closing)
        return FailHandle(ErrorNotStarted);
    Handle handle = AddChannel(Kind::Stream, std::move(voice), 0);
    Succeed();
    return handle;
}

bool AudioOut::FreeChannelOfKind(Handle handle, Kind kind)
{
    std::unique_ptr<Voice> doomed; // declared before the lock, so the decoder closes after it is released
    std::lock_guard lock(m_lock);
    Channel* channel = FindChannel(handle);
    if (!channel || channel->kind != kind)
        return Fail(ErrorHandle);
    doomed = std::move(channel->voice);
    DropChannel(handle);
    return Succeed();
}

bool AudioOut::StreamFree(Handle stream)
{
    return FreeChannelOfKind(stream, Kind::Stream);
}

Handle AudioOut::MusicLoadMemory(const void* bytes, size_t length)
{
    if (!bytes || length == 0)
        return FailHandle(ErrorParameter);
    uint32_t rate;
    {
        std::lock_guard lock(m_lock);
        if (!m_open)
            return FailHandle(ErrorNotStarted);
        rate = m_rate;
    }
    std::unique_ptr<Source> source =
        OpenOrFail([&](OpenResult& result) { return OpenModule(bytes, length, rate, result); });
    if (!source)
        return 0;
    auto voice = std::make_unique<Voice>(std::move(source));
    std::lock_guard lock(m_lock);
    if (!m_open || m_closing || rate != m_rate)
        return FailHandle(ErrorNotStarted);
    Handle handle = AddChannel(Kind::Music, std::move(voice), 0);
    Succeed();
    return handle;
}

bool AudioOut::MusicFree(Handle music)
{
    return FreeChannelOfKind(music, Kind::Music);
}

Handle AudioOut::SampleLoadMemory(const void* bytes, size_t length, int maxPlaybacks, bool overrideByPosition)
{
    if (!bytes || length == 0 || maxPlaybacks < 1 || maxPlaybacks > 65535)
        return FailHandle(ErrorParameter);
    {
        std::lock_guard lock(m_lock);
        if (!m_open)
            return FailHandle(ErrorNotStarted);
    }
    std::shared_ptr<const Pcm> pcm =
        OpenOrFail([&](OpenResult& result) { return DecodeSoundFile(bytes, length, result); });
    if (!pcm)
        return 0;
    std::lock_guard lock(m_lock);
    if (!m_open || m_closing)
        return FailHandle(ErrorNotStarted);
    Handle handle = NewHandle();
    m_samples[handle] = Sample{std::move(pcm), maxPlaybacks, overrideByPosition, {}};
    Succeed();
    return handle;
}

bool AudioOut::SampleGetDefaultFrequency(Handle sample, uint32_t* frequency)
{
    std::lock_guard lock(m_lock);
    auto it = m_samples.find(sample);
    if (it == m_samples.end())
        return Fail(ErrorHandle);
    if (frequency)
        *frequency = it->second.pcm->rate;
    return Succeed();
}

Handle AudioOut::SampleGetChannel(Handle sample)
{
    std::unique_ptr<Voice> doomed;
    std::lock_guard lock(m_lock);
    auto it = m_samples.find(sample);
    if (it == m_samples.end())
        return FailHandle(ErrorHandle);
    Sample& s = it->second;
    auto busy = [&](Handle h)
    {
        const Channel& c = m_channels.at(h);
        Voice::State state = c.voice->GetState();
        return state == Voice::State::Playing || state == Voice::State::Paused ||
               (state == Voice::State::Stopped && c.fresh);
    };
    if (int(s.channels.size()) >= s.maxPlaybacks)
    {
        // Reuse a finished playback; failing that, take over the one furthest along.
        auto victim = std::find_if(s.channels.begin(), s.channels.end(), [&](Handle h) { return !busy(h); });
        if (victim == s.channels.end())
        {
            if (!s.overrideByPosition)
                return FailHandle(ErrorNoFreeChannel);
            victim = std::max_element(
                s.channels.begin(), s.channels.end(),
                [&](Handle a, Handle b)
                { return m_channels.at(a).voice->Position() < m_channels.at(b).voice->Position(); });
        }
        doomed = std::move(m_channels.at(*victim).voice);
        DropChannel(*victim);
        s.channels.erase(victim);
    }
    Handle handle = AddChannel(Kind::SampleChannel, std::make_unique<Voice>(PlayPcm(s.pcm)), sample);
    s.channels.push_back(handle);
    Succeed();
    return handle;
}

bool AudioOut::SampleFree(Handle sample)
{
    std::vector<std::unique_ptr<Voice>> doomed;
    std::lock_guard lock(m_lock);
    auto it = m_samples.find(sample);
    if (it == m_samples.end())
        return Fail(ErrorHandle);
    for (Handle h : it->second.channels)
    {
        doomed.push_back(std::move(m_channels.at(h).voice));
        DropChannel(h);
    }
    m_samples.erase(it);
    return Succeed();
}

SyncHandle AudioOut::ChannelSetEndSync(Handle channel, SyncProc proc, void* user)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return FailHandle(ErrorHandle);
    if (!proc)
        return FailHandle(ErrorParameter);
    if (m_nextSync == 0)
        m_nextSync = 1;
    SyncHandle id = m_nextSync++;
    c->syncs.push_back(Sync{id, proc, user});
    Succeed();
    return id;
}

bool AudioOut::ChannelRemoveSync(Handle channel, SyncHandle sync)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return Fail(ErrorHandle);
    auto armed = std::find_if(c->syncs.begin(), c->syncs.end(), [&](const Sync& s) { return s.id == sync; });
    if (armed != c->syncs.end())
    {
        c->syncs.erase(armed);
        return Succeed();
    }
    // Due but not yet run: it can still be called off.
    auto due = std::find_if(m_due.begin(), m_due.end(),
                            [&](const Due& d) { return d.channel == channel && d.sync.id == sync; });
    if (due != m_due.end())
    {
        m_due.erase(due);
        return Succeed();
    }
    return Fail(ErrorHandle);
}

bool AudioOut::ChannelGetDefaultFrequency(Handle channel, uint32_t* frequency)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return Fail(ErrorHandle);
    if (frequency)
        *frequency = c->voice->NativeRate();
    return Succeed();
}

bool AudioOut::ChannelSetAttributes(Handle channel, int frequency, int volume, int pan)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return Fail(ErrorHandle);
    // 0 keeps the native rate: a rate scale so small that it truncates to 0 Hz plays unchanged.
    if (frequency != 0)
        frequency = std::clamp(frequency, kMinFrequency, kMaxFrequency);
    c->voice->SetAttributes(frequency, std::clamp(volume, 0, 100), std::clamp(pan, -100, 100));
    return Succeed();
}

bool AudioOut::ChannelGetAttributes(Handle channel, int* frequency, int* volume, int* pan)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return Fail(ErrorHandle);
    if (frequency)
        *frequency = c->voice->Frequency();
    if (volume)
        *volume = c->voice->Volume();
    if (pan)
        *pan = c->voice->Pan();
    return Succeed();
}

bool AudioOut::ChannelPlay(Handle channel, bool restart)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return Fail(ErrorHandle);
    if (restart || c->fresh)
    {
        c->fresh = false;
        return c->voice->Restart() ? Succeed() : Fail(ErrorDecode);
    }
    return c->voice->Resume() ? Succeed() : Fail(ErrorEnded);
}

bool AudioOut::ChannelPause(Handle channel)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return Fail(ErrorHandle);
    return c->voice->Pause() ? Succeed() : Fail(ErrorNotPlaying);
}

bool AudioOut::ChannelStop(Handle channel)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
        return Fail(ErrorHandle);
    c->voice->Stop();
    DropDue(channel);
    return Succeed();
}

int AudioOut::ChannelIsActive(Handle channel)
{
    std::lock_guard lock(m_lock);
    Channel* c = FindChannel(channel);
    if (!c)
    {
        Fail(ErrorHandle);
        return ActivityStopped;
    }
    Succeed();
    switch (c->voice->GetState())
    {
    case Voice::State::Playing:
        return ActivityPlaying;
    case Voice::State::Paused:
        return ActivityPaused;
    default:
        return ActivityStopped;
    }
}

void AudioOut::Render(float* stereo, int frames)
{
    t_rendering = true;
    for (int done = 0; done < frames; done += kSliceFrames)
    {
        int n = std::min(kSliceFrames, frames - done);
        float* out = stereo + 2 * done;
        std::fill(out, out + 2 * n, 0.0f);
        {
            std::lock_guard lock(m_lock);
            if (!m_open || m_paused)
                continue;
            for (auto& [handle, channel] : m_channels)
            {
                if (channel.voice->MixInto(out, n, m_rate))
                {
                    // One-shot: the syncs leave the voice as they become due.
                    for (const Sync& sync : channel.syncs)
                        m_due.push_back(Due{handle, sync});
                    channel.syncs.clear();
                }
            }
            for (int i = 0; i < 2 * n; ++i)
                out[i] = std::clamp(out[i], -1.0f, 1.0f);
        }
        RunDueSyncs();
    }
    t_rendering = false;
}

void AudioOut::RunDueSyncs()
{
    for (;;)
    {
        Due due;
        {
            std::lock_guard lock(m_lock);
            if (m_due.empty())
                return;
            due = m_due.front();
            m_due.pop_front();
        }
        due.sync.proc(due.sync.id, due.channel, 0, due.sync.user);
    }
}

namespace
{
std::atomic<AudioOut*> g_installed{nullptr};
}

AudioOut& GetAudioOut()
{
    if (AudioOut* out = g_installed.load())
        return *out;
    static AudioOut s_default(std::make_unique<SdlOutputDriver>());
    return s_default;
}

void SetAudioOut(AudioOut* out)
{
    g_installed = out;
}

} // namespace Kestrin::Shim::Bass
