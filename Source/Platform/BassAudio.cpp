#include "Platform/BassAudio.h"

#include "Base/Clock.h"
#include "Base/Log.h"
#include "Framework/ResourceManager.h"
#include "Platform/SoundResources.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Kestrin
{

using namespace Shim::Bass;

namespace
{
// The platform between Initialize and Shutdown; channels outliving it touch nothing.
std::atomic<BASSAudioPlatform*> g_live{nullptr};

const char* const kModuleExtensions[] = {".mod", ".s3m", ".xm", ".it", ".mo3", ".mtm", ".umx"};

// A level as the layer's integer, saturating: a float beyond int's range has no conversion.
int Saturate(float value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, -1e9f, 1e9f));
}

[[noreturn]] void ThrowLoadFailure(const char* call)
{
    throw BASSSoundManagerException(KESTRIN_HERE,
                                    "(" + std::to_string(AudioOut::ErrorGetCode()) + ") " + call + " failed");
}
} // namespace

void SoundFileData::ReadNativeRate()
{
    uint32_t rate = 0;
    if (GetAudioOut().ChannelGetDefaultFrequency(m_handle, &rate) && rate)
        m_nativeRate = rate;
}

StreamSoundFileData::StreamSoundFileData(std::vector<unsigned char> bytes) : m_bytes(std::move(bytes))
{
    m_handle = GetAudioOut().StreamCreateMemory(m_bytes.data(), m_bytes.size());
    if (!m_handle)
        ThrowLoadFailure("BASS_StreamCreateFile");
    ReadNativeRate();
}

StreamSoundFileData::~StreamSoundFileData()
{
    // The voice must go before the bytes it reads.
    GetAudioOut().StreamFree(m_handle);
}

MusicSoundFileData::MusicSoundFileData(const std::vector<unsigned char>& bytes)
{
    m_handle = GetAudioOut().MusicLoadMemory(bytes.data(), bytes.size());
    if (!m_handle)
        ThrowLoadFailure("BASS_MusicLoad");
    ReadNativeRate();
}

MusicSoundFileData::~MusicSoundFileData()
{
    GetAudioOut().MusicFree(m_handle);
}

SampleSoundFileData::SampleSoundFileData(const std::vector<unsigned char>& bytes)
{
    m_handle = GetAudioOut().SampleLoadMemory(bytes.data(), bytes.size(), 32, true);
    if (!m_handle)
        ThrowLoadFailure("BASS_SampleLoad");
    uint32_t rate = 0;
    if (GetAudioOut().SampleGetDefaultFrequency(m_handle, &rate) && rate)
        m_nativeRate = rate;
}

SampleSoundFileData::~SampleSoundFileData()
{
    GetAudioOut().SampleFree(m_handle);
}

Shim::Bass::Handle SampleSoundFileData::CreateChannel() const
{
    return GetAudioOut().SampleGetChannel(m_handle);
}

std::shared_ptr<SoundFileData> MakeSoundFileData(const std::string& extension,
                                                 std::vector<unsigned char> bytes, bool streaming)
{
    for (const char* module : kModuleExtensions)
        if (extension == module)
            return std::make_shared<MusicSoundFileData>(bytes);
    if (!streaming)
        return std::make_shared<SampleSoundFileData>(bytes);
    return std::make_shared<StreamSoundFileData>(std::move(bytes));
}

// ---- channel

BASSSoundChannel::BASSSoundChannel(BASSAudioPlatform& platform, uintptr_t id)
    : m_platform(&platform), m_id(id)
{
}

BASSSoundChannel::~BASSSoundChannel()
{
    if (g_live == m_platform && m_platform->Mutex())
    {
        MutexLock lock(*m_platform->Mutex());
        StopVoice();
        m_platform->Forget(this);
    }
    if (m_controls)
        m_controls->Detach(this);
    SafeRelease(m_controls);
}

void BASSSoundChannel::Release()
{
    if (--m_refs == 0)
        delete this;
}

void BASSSoundChannel::StopVoice()
{
    if (!m_handle)
        return;
    AudioOut& out = GetAudioOut();
    if (m_sync)
        out.ChannelRemoveSync(m_handle, m_sync);
    out.ChannelStop(m_handle);
    m_handle = 0;
    m_sync = 0;
}

void BASSSoundChannel::Forget()
{
    if (m_handle && m_sync)
        GetAudioOut().ChannelRemoveSync(m_handle, m_sync);
    m_handle = 0;
    m_sync = 0;
    m_sound = nullptr;
}

bool BASSSoundChannel::StartFile(bool armSync)
{
    auto* sound = dynamic_cast<BASSSound*>(m_sound);
    if (!sound || sound->files.empty())
        return false;
    const auto& file = sound->files[m_platform->Pick(sound->files.size())];
    m_handle = file->CreateChannel();
    if (!m_handle)
        return false;
    m_platform->TakeOver(this, m_handle);
    m_sync = armSync ? GetAudioOut().ChannelSetEndSync(m_handle, &BASSAudioPlatform::EndProc,
                                                       reinterpret_cast<void*>(m_id))
                     : 0;
    m_baseFrequency = file->NativeRate();
    m_started = false;
    return true;
}

void BASSSoundChannel::Play(ISound* sound, int playCount)
{
    if (g_live != m_platform || !m_platform->Mutex())
        return;
    MutexLock lock(*m_platform->Mutex());
    StopVoice();
    m_sound = sound;
    m_playsLeft = playCount;
    if (!m_platform->IsStarted())
        return;
    if (!StartFile(playCount == 0 || playCount > 1))
        return;
    m_startTime = GetClock().Now();
    Apply();
}

void BASSSoundChannel::OnEnd()
{
    m_sync = 0;
    if (!m_handle || !m_sound)
        return;
    if (m_playsLeft != 0)
    {
        if (--m_playsLeft < 1)
            return;
    }
    if (!StartFile(m_playsLeft == 0 || m_playsLeft > 1))
        return;
    Apply();
}

void BASSSoundChannel::Stop()
{
    if (g_live != m_platform || !m_platform->Mutex())
        return;
    MutexLock lock(*m_platform->Mutex());
    StopVoice();
    m_playsLeft = 0;
    m_sound = nullptr;
}

bool BASSSoundChannel::IsPlaying()
{
    if (g_live != m_platform || !m_platform->Mutex())
        return false;
    MutexLock lock(*m_platform->Mutex());
    return !IsIdle();
}

bool BASSSoundChannel::IsIdle()
{
    // An armed end notification means a repeat is due: between the end and the restart
    // the voice reads as ended, but the channel is still playing.
    return !m_handle || (!m_sync && GetAudioOut().ChannelIsActive(m_handle) == ActivityStopped);
}

void BASSSoundChannel::SetControls(IAudioControls* controls)
{
    auto* node = dynamic_cast<BASSAudioControls*>(controls);
    if (node == m_controls)
        return;
    // An end notification may be applying the old node on the mixing thread.
    std::optional<MutexLock> lock;
    if (g_live == m_platform && m_platform->Mutex())
        lock.emplace(*m_platform->Mutex());
    if (m_controls)
        m_controls->Detach(this);
    SafeRelease(m_controls);
    m_controls = node;
    if (m_controls)
    {
        m_controls->AddRef();
        m_controls->Attach(this);
    }
}

void BASSSoundChannel::Refresh()
{
    if (g_live != m_platform || !m_platform->Mutex())
        return;
    MutexLock lock(*m_platform->Mutex());
    if (m_controls && m_controls->IsChanged())
        Apply();
    if (IsIdle())
        m_sound = nullptr;
}

void BASSSoundChannel::Apply()
{
    if (!m_handle || !m_controls)
        return;
    AudioOut& out = GetAudioOut();
    if (m_controls->IsPaused())
    {
        // A paused voice keeps what it had; the values set meanwhile arrive on resume.
        if (out.ChannelIsActive(m_handle) == ActivityPlaying)
            out.ChannelPause(m_handle);
        return;
    }
    const float volume = m_controls->IsMuted() ? 0.0f : m_controls->GetVolume();
    out.ChannelSetAttributes(m_handle, Saturate(m_controls->GetFrequencyScale() * float(m_baseFrequency)),
                             Saturate(volume * 100.0f), Saturate(m_controls->GetPan() * 100.0f));
    if (m_started)
    {
        if (out.ChannelIsActive(m_handle) == ActivityPaused)
            out.ChannelPlay(m_handle, false);
    }
    else
    {
        out.ChannelPlay(m_handle, true);
        m_started = true;
    }
}

// ---- platform

BASSAudioPlatform::BASSAudioPlatform()
{
    SetAudioPlatform(this);
}

BASSAudioPlatform::~BASSAudioPlatform()
{
    if (m_mutex)
        Shutdown();
}

NameId BASSAudioPlatform::GetName()
{
    static constinit ConstantName name{"BASS Audio"};
    return name;
}

bool BASSAudioPlatform::Initialize()
{
    // The platform keeps the creator's reference on the tree until Shutdown, so the clean-up in
    // Update, which frees nodes held only by its list, never frees them.
    m_master = static_cast<BASSAudioControls*>(CreateControls(nullptr));
    for (auto*& category : m_categories)
    {
        category = static_cast<BASSAudioControls*>(CreateControls(m_master));
        category->SetVolume(0.5f);
    }

    AudioOut& out = GetAudioOut();
    m_started = out.Init(-1, 44100);
    if (!m_started)
    {
        LogPrintf("BASS Initialization failed on default device");
        int count = 0;
        while (out.GetDeviceDescription(count + 1))
            ++count;
        for (int device = 1; device <= count && !m_started; ++device)
        {
            m_started = out.Init(device, 44100);
            if (!m_started)
                LogPrintf("BASS Initialization failed on device %d", device);
        }
        if (!m_started)
            LogPrintf("BASS Initialization failed on all devices");
    }
    if (m_started)
    {
        m_paused = false;
        SetActive(false);
    }
    m_mutex = CreateMutex();
    g_live = this;
    SetSoundPlayer(&PlaySoundOnPlatform);
    return m_started;
}

void BASSAudioPlatform::SetActive(bool active)
{
    if (!m_started)
        return;
    if (!active && !m_paused)
    {
        m_paused = true;
        GetAudioOut().Pause();
    }
    else if (active && m_paused)
    {
        m_paused = false;
        GetAudioOut().Start();
    }
}

void BASSAudioPlatform::Update(float dt)
{
    if (!m_mutex)
        return;
    std::vector<BASSSoundChannel*> idle;
    {
        MutexLock lock(*m_mutex);
        for (BASSSoundChannel* channel : m_channels)
            channel->Apply();
        for (BASSSoundChannel* channel : m_channels)
            if (channel->GetRefCount() == 1 && channel->IsIdle())
                idle.push_back(channel);
    }
    for (BASSSoundChannel* channel : idle)
        channel->Release();

    // The tree is read by end notifications on the mixing thread.
    MutexLock lock(*m_mutex);
    for (auto it = m_controls.begin(); it != m_controls.end();)
    {
        (*it)->Update(dt);
        if ((*it)->GetRefCount() == 1)
        {
            (*it)->Release();
            it = m_controls.erase(it);
        }
        else
            ++it;
    }
}

ISoundChannel* BASSAudioPlatform::GetFreeChannel()
{
    auto* channel = new BASSSoundChannel(*this, m_nextChannelId++);
    if (m_mutex)
    {
        MutexLock lock(*m_mutex);
        m_channels.push_back(channel);
    }
    else
        m_channels.push_back(channel);
    channel->AddRef();
    return channel;
}

IAudioControls* BASSAudioPlatform::GetCategoryControls(int category)
{
    if (category < 0 || category >= AudioCategory_Count)
        return nullptr;
    return m_categories[category];
}

IAudioControls* BASSAudioPlatform::CreateControls(IAudioControls* parent)
{
    auto* node = new BASSAudioControls(parent);
    m_controls.push_back(node);
    node->AddRef();
    return node;
}

bool BASSAudioPlatform::WasPlayedWithin(ISound* sound, unsigned milliseconds)
{
    if (!m_mutex)
        return false;
    uint32_t now = GetClock().Now();
    MutexLock lock(*m_mutex);
    for (BASSSoundChannel* channel : m_channels)
        if (channel->GetSound() == sound && channel->IsPlaying() &&
            now - channel->StartTime() <= milliseconds)
            return true;
    return false;
}

void BASSAudioPlatform::Forget(BASSSoundChannel* channel)
{
    m_channels.remove(channel);
}

void BASSAudioPlatform::TakeOver(BASSSoundChannel* owner, Handle handle)
{
    for (BASSSoundChannel* channel : m_channels)
        if (channel != owner && channel->GetHandle() == handle)
            channel->Forget();
}

size_t BASSAudioPlatform::Pick(size_t count)
{
    if (count <= 1)
        return 0;
    float r = float(m_random() >> 8) * (1.0f / 16777216.0f);
    return std::min(count - 1, size_t(r * float(count)));
}

void BASSAudioPlatform::EndProc(SyncHandle, Handle, uint32_t, void* user)
{
    BASSAudioPlatform* platform = g_live;
    if (!platform || !platform->m_mutex)
        return;
    auto id = reinterpret_cast<uintptr_t>(user);
    MutexLock lock(*platform->m_mutex);
    for (BASSSoundChannel* channel : platform->m_channels)
        if (channel->Id() == id)
        {
            channel->OnEnd();
            return;
        }
}

void BASSAudioPlatform::Shutdown()
{
    if (!m_mutex)
        return;
    SetSoundPlayer(nullptr);
    {
        MutexLock lock(*m_mutex);
        std::vector<BASSSoundChannel*> channels(m_channels.begin(), m_channels.end());
        for (BASSSoundChannel* channel : channels)
            channel->Release();
        m_channels.clear();
        for (BASSAudioControls* node : m_controls)
            node->Release();
        m_controls.clear();
        for (auto*& category : m_categories)
            SafeRelease(category);
        SafeRelease(m_master);
        g_live = nullptr;
    }
    // Free waits for the mixing thread, which may be waiting for our mutex in an end notification.
    if (m_started)
        GetAudioOut().Free();
    m_started = false;
    delete m_mutex;
    m_mutex = nullptr;
}

IAudioPlatform* MakeBASSAudioPlatform()
{
    return new BASSAudioPlatform;
}

} // namespace Kestrin
