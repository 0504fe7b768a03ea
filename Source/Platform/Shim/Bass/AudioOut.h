#pragma once
#include "Platform/Shim/Bass/OutputDriver.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Kestrin::Shim::Bass
{

class Voice;
struct Pcm;

// Streams, music, samples and sample channels; 0 is never a handle. Handles are not reused,
// so a handle kept past its free (or past Free) only ever fails.
using Handle = uint32_t;
using SyncHandle = uint32_t;
// An end notification: the sync, the channel that ended, 0, and the value given when it was set.
using SyncProc = void (*)(SyncHandle sync, Handle channel, uint32_t data, void* user);

// Last-error codes (ErrorGetCode). Only their meaning matters to callers.
enum Error : int
{
    ErrorNone = 0,
    ErrorMemory = 1,         // out of memory
    ErrorNoDevice = 2,       // no such device number
    ErrorDeviceOpen = 3,     // the device would not open
    ErrorAlreadyStarted = 4, // Init while a device is open
    ErrorNotStarted = 5,     // no device is open
    ErrorHandle = 6,         // not a handle of the right kind (or freed)
    ErrorParameter = 7,      // an argument out of its range
    ErrorNotPlaying = 8,     // pause asked of a voice that is not playing
    ErrorEnded = 9,          // continue asked of a voice that reached its end
    ErrorNoFreeChannel = 10, // every playback of a sample is busy and none may be overridden
    ErrorDecode = 11,        // the data is damaged or cannot be rewound
    ErrorWrongThread = 12,   // Free from inside a notification
    ErrorFileFormat = 41,    // the data is in no format we can read
};

// ChannelIsActive: non-zero for a voice that is playing or paused.
enum Activity : int
{
    ActivityStopped = 0, // stopped, ended, never played, or not a channel
    ActivityPlaying = 1,
    ActivityPaused = 3,
};

// The audio output layer: one output device, voices decoded on demand from memory, our own
// mixer, and one-shot end notifications.
//
// Threads: every operation may be called from any thread, including from inside an end
// notification. The mixer runs on the driver's thread in slices of at most kSliceFrames frames;
// it holds its lock only while it mixes a slice and runs notifications after releasing it, so a
// notification may block on the caller's own locks. Free waits for the driver's thread, so it
// must not be called while holding a lock that a notification may wait for.
class AudioOut : private IRenderer
{
public:
    static constexpr int kSliceFrames = 256;

    explicit AudioOut(std::unique_ptr<IOutputDriver> driver);
    ~AudioOut() override;
    AudioOut(const AudioOut&) = delete;
    AudioOut& operator=(const AudioOut&) = delete;

    IOutputDriver& Driver() { return *m_driver; }

    // device -1: the system default; 1..n: the devices of GetDeviceDescription. Output runs at
    // `frequency` Hz, stereo. The output starts paused until Start. Fails while a device is open.
    bool Init(int device, int frequency);
    // Name of device n (1-based); null for n <= 0 and past the last device. The text stays
    // valid until the next call for the same number.
    const char* GetDeviceDescription(int device);
    // Pause or resume all output: while paused nothing is mixed and no notification runs;
    // each voice keeps its own state.
    bool Pause();
    bool Start();
    // Closes the device (waiting for the mixing thread) and destroys every handle, without
    // running any notification.
    bool Free();
    // The last error of the calling thread's most recent operation (ErrorNone after a success).
    static int ErrorGetCode();

    // A stream decoded on demand from memory that the caller keeps alive until StreamFree.
    // Any format the decoder knows (ogg, mp3, wav, aiff...). One voice: playing it again
    // restarts it. It survives its end and can be restarted.
    Handle StreamCreateMemory(const void* bytes, size_t length);
    bool StreamFree(Handle stream);

    // A tracker module (mod, s3m, xm, it, mo3, mtm, umx...); the bytes are copied. It plays
    // the song once, rendered at the output rate, which is also its native frequency.
    Handle MusicLoadMemory(const void* bytes, size_t length);
    bool MusicFree(Handle music);

    // A sound decoded whole; each SampleGetChannel makes a new playback of it. At most
    // maxPlaybacks are busy (playing, paused, or not yet played); when all are, the one
    // furthest into the sound is taken over if overrideByPosition, else the call fails.
    Handle SampleLoadMemory(const void* bytes, size_t length, int maxPlaybacks, bool overrideByPosition);
    Handle SampleGetChannel(Handle sample);
    // The rate the sample was decoded at, which its playbacks start from.
    bool SampleGetDefaultFrequency(Handle sample, uint32_t* frequency);
    // Stops and destroys the sample's playbacks too.
    bool SampleFree(Handle sample);

    // Calls proc once, on the mixing thread, when the voice reaches its natural end, and then
    // forgets it. Never on Stop, a free, or Free.
    SyncHandle ChannelSetEndSync(Handle channel, SyncProc proc, void* user);
    // False for a sync that has already run or is not the channel's.
    bool ChannelRemoveSync(Handle channel, SyncHandle sync);

    // The native rate: the file's for streams and samples, the output rate for music. It does
    // not follow the frequency attribute.
    bool ChannelGetDefaultFrequency(Handle channel, uint32_t* frequency);
    // frequency in Hz (0: the native rate; else 100..100000), volume 0..100 (linear gain),
    // pan -100..100 (balance: the far side fades out, the near side keeps full gain).
    // Values outside their range are clamped. A rate scale so small that the caller's
    // frequency truncates to 0 Hz therefore plays at the native rate. The resampler takes
    // frequency / output rate source frames per output frame, interpolating linearly.
    bool ChannelSetAttributes(Handle channel, int frequency, int volume, int pan);
    // The values set (frequency 0 when the native rate is in use).
    bool ChannelGetAttributes(Handle channel, int* frequency, int* volume, int* pan);
    // restart: from the first frame. Otherwise continues a paused or stopped voice; a voice
    // that reached its end stays ended.
    bool ChannelPlay(Handle channel, bool restart);
    bool ChannelPause(Handle channel);
    // Stops where it is; the end notifications stay armed, and one already due is dropped.
    bool ChannelStop(Handle channel);
    int ChannelIsActive(Handle channel);

private:
    enum class Kind
    {
        Stream,
        Music,
        SampleChannel,
    };
    struct Sync
    {
        SyncHandle id;
        SyncProc proc;
        void* user;
    };
    struct Channel
    {
        Kind kind;
        std::unique_ptr<Voice> voice;
        std::vector<Sync> syncs; // armed
        Handle sample = 0;       // owner of a sample channel
        bool fresh = true;       // never played
    };
    struct Sample
    {
        std::shared_ptr<const Pcm> pcm;
        int maxPlaybacks;
        bool overrideByPosition;
        std::vector<Handle> channels;
    };
    struct Due
    {
        Handle channel;
        Sync sync;
    };

    void Render(float* stereo, int frames) override;
    void RunDueSyncs();
    bool SetPaused(bool paused);
    Handle NewHandle();
    Handle AddChannel(Kind kind, std::unique_ptr<Voice> voice, Handle sample);
    Channel* FindChannel(Handle channel);
    void DropChannel(Handle channel);
    bool FreeChannelOfKind(Handle handle, Kind kind);
    void DropDue(Handle channel);

    std::unique_ptr<IOutputDriver> m_driver;
    std::mutex m_lock; // short: never held while a notification runs or the driver closes
    bool m_open = false;
    bool m_opening = false;
    bool m_closing = false;
    bool m_paused = false;
    uint32_t m_rate = 0;
    Handle m_nextHandle = 1;
    SyncHandle m_nextSync = 1;
    std::map<Handle, Channel> m_channels;
    std::map<Handle, Sample> m_samples;
    std::deque<Due> m_due; // ended in the last slice, not yet run
    std::map<int, std::string> m_descriptions;
};

// The process's layer: the one installed, else a default one on SDL's devices.
AudioOut& GetAudioOut();
// Installs a layer (tests use one on a NullOutputDriver); null restores the default.
// The caller keeps ownership.
void SetAudioOut(AudioOut* out);

} // namespace Kestrin::Shim::Bass
