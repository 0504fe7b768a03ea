#pragma once
#include "Base/Exceptions.h"
#include "Base/Threads.h"
#include "Platform/AudioControls.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Shim/Bass/AudioOut.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace Kestrin
{

class BASSSoundManagerException : public engine_error
{
public:
    using engine_error::engine_error;
};

// The decoded form of one sound file; a stream or module handle is one voice.
class SoundFileData
{
public:
    virtual ~SoundFileData() = default;
    // A stream or module is its own single voice; a sample makes a new one each time.
    virtual Shim::Bass::Handle CreateChannel() const { return m_handle; }
    // The native rate, read once: the handle's frequency attribute must not feed back into it.
    uint32_t NativeRate() const { return m_nativeRate; }

protected:
    void ReadNativeRate();
    Shim::Bass::Handle m_handle = 0;
    uint32_t m_nativeRate = 44100;
};

// Decoded on demand from bytes it keeps for the stream's life.
class StreamSoundFileData : public SoundFileData
{
public:
    explicit StreamSoundFileData(std::vector<unsigned char> bytes);
    ~StreamSoundFileData() override;

private:
    std::vector<unsigned char> m_bytes;
};

// Tracker music; the layer copies the bytes.
class MusicSoundFileData : public SoundFileData
{
public:
    explicit MusicSoundFileData(const std::vector<unsigned char>& bytes);
    ~MusicSoundFileData() override;
};

// Decoded whole at load; up to 32 playbacks at once, the one furthest in taken over after that.
class SampleSoundFileData : public SoundFileData
{
public:
    explicit SampleSoundFileData(const std::vector<unsigned char>& bytes);
    ~SampleSoundFileData() override;
    Shim::Bass::Handle CreateChannel() const override;
};

// Picks the data kind from the file extension (with its dot, lower case): modules for the
// tracker formats; streams for everything else, or samples when streaming is not wanted.
std::shared_ptr<SoundFileData> MakeSoundFileData(const std::string& extension,
                                                 std::vector<unsigned char> bytes, bool streaming = true);

class BASSSound : public ISound
{
public:
    int GetCategory() const override { return category; }
    float GetVolume() const override { return volume; }
    float GetRate() const override { return rate; }
    float GetPan() const override { return pan; }
    int GetPlayCount() const override { return playCount; }

    std::vector<std::shared_ptr<SoundFileData>> files;
    int category = AudioCategory_Effects;
    float volume = 1.0f;
    float rate = 1.0f;
    float pan = 0.0f;
    int playCount = 1;
};

class BASSAudioPlatform;

class BASSSoundChannel : public ISoundChannel
{
public:
    BASSSoundChannel(BASSAudioPlatform& platform, uintptr_t id);
    ~BASSSoundChannel() override;

    void AddRef() override { ++m_refs; }
    void Release() override;
    int GetRefCount() const { return m_refs; }

    void Play(ISound* sound, int playCount) override;
    void Stop() override;
    bool IsPlaying() override;
    ISound* GetSound() override { return m_sound; }
    IAudioControls* GetControls() override { return m_controls; }
    void SetControls(IAudioControls* controls) override;
    void Refresh() override;

    // Under the audio mutex.
    void Apply();
    bool IsIdle();
    uintptr_t Id() const { return m_id; }
    Shim::Bass::Handle GetHandle() const { return m_handle; }
    uint32_t StartTime() const { return m_startTime; }
    // Another channel now plays our voice: forget it without touching it.
    void Forget();
    void OnEnd();

private:
    void StopVoice();
    // Starts the voice of a file picked from the sound; false when there is none.
    bool StartFile(bool armSync);

    BASSAudioPlatform* m_platform;
    uintptr_t m_id;
    std::atomic<int> m_refs{1};
    Shim::Bass::Handle m_handle = 0;
    Shim::Bass::SyncHandle m_sync = 0;
    ISound* m_sound = nullptr;
    BASSAudioControls* m_controls = nullptr;
    int m_playsLeft = 0;
    bool m_started = false;
    uint32_t m_baseFrequency = 44100;
    uint32_t m_startTime = 0;
};

class BASSAudioPlatform : public IAudioPlatform
{
public:
    BASSAudioPlatform();
    ~BASSAudioPlatform() override;

    bool Initialize() override;
    void Shutdown() override;
    void SetActive(bool active) override;
    void Update(float dt) override;
    NameId GetName() override;
    ISoundChannel* GetFreeChannel() override;
    IAudioControls* GetMasterControls() override { return m_master; }
    IAudioControls* GetCategoryControls(int category) override;
    IAudioControls* CreateControls(IAudioControls* parent) override;
    bool WasPlayedWithin(ISound* sound, unsigned milliseconds) override;

    bool IsStarted() const { return m_started; }
    bool IsPaused() const { return m_paused; }
    // Null before Initialize and after Shutdown.
    IMutex* Mutex() const { return m_mutex; }
    void SeedRandom(uint32_t seed) { m_random.seed(seed); }
    size_t ChannelCount() const { return m_channels.size(); }

    // Used by channels, under the audio mutex.
    void Forget(BASSSoundChannel* channel);
    void TakeOver(BASSSoundChannel* owner, Shim::Bass::Handle handle);
    size_t Pick(size_t count);
    static void EndProc(Shim::Bass::SyncHandle sync, Shim::Bass::Handle handle, uint32_t data, void* user);

private:
    std::list<BASSSoundChannel*> m_channels;
    BASSAudioControls* m_master = nullptr;
    BASSAudioControls* m_categories[AudioCategory_Count] = {};
    std::list<BASSAudioControls*> m_controls;
    bool m_paused = false;
    bool m_started = false;
    IMutex* m_mutex = nullptr;
    uintptr_t m_nextChannelId = 1;
    // Its own generator: repeat picks are drawn on the mixing thread.
    std::mt19937 m_random{0x4B657374u};
};

IAudioPlatform* MakeBASSAudioPlatform();

// Plays a sound on the installed audio platform (what Kestrin::PlaySound forwards to).
void PlaySoundOnPlatform(ISound* sound, const SoundPlayParams& params, ISoundChannel** outChannel);

} // namespace Kestrin
