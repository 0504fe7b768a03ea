#pragma once
#include "Framework/Names.h"

#include <cfloat>
#include <climits>
#include <functional>

namespace Kestrin
{

// Shared by reference count outside the resource system; the last Release deletes.
class IReferenced
{
public:
    virtual ~IReferenced() = default;
    virtual void AddRef() = 0;
    virtual void Release() = 0;
};

// Releases a held reference, if any, and forgets it.
template <typename T> void SafeRelease(T*& p)
{
    if (p)
    {
        T* held = p;
        p = nullptr;
        held->Release();
    }
}

// Volume, pan and rate controls of a channel or a category; they arrive with the audio code.
class IAudioControls;

// The categories a sound plays under, each with its controls below the master.
enum AudioCategory : int
{
    AudioCategory_Effects = 0,
    AudioCategory_Ambient = 1,
    AudioCategory_Music = 2,
    AudioCategory_Count = 3,
};

// A sound resource with its defaults.
class ISound
{
public:
    virtual ~ISound() = default;
    // An AudioCategory.
    virtual int GetCategory() const = 0;
    virtual float GetVolume() const = 0;
    virtual float GetRate() const = 0;
    virtual float GetPan() const = 0;
    // 0 plays until stopped.
    virtual int GetPlayCount() const = 0;
};

class ISoundChannel : public IReferenced
{
public:
    virtual void Play(ISound* sound, int playCount) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    virtual ISound* GetSound() = 0;
    virtual IAudioControls* GetControls() = 0;
    virtual void SetControls(IAudioControls* controls) = 0;
    virtual void Refresh() = 0;
};

// How one play call overrides the sound's own settings. The defaults play the sound as it is.
struct SoundPlayParams
{
    bool muted = false;
    // Starts the channel paused.
    bool paused = false;
    float volume = -FLT_MAX;           // used when >= 0
    float volumeFadeTarget = -FLT_MAX; // fade used when the time is >= 0 and the target lies in [0, 1]
    float volumeFadeTime = 0.0f;
    float rate = -FLT_MAX;           // used when > 0
    float rateFadeTarget = -FLT_MAX; // fade used when the time is >= 0 and the target > 0
    float rateFadeTime = 0.0f;
    float pan = -FLT_MAX;           // used when >= -1
    float panFadeTarget = -FLT_MAX; // fade used when the time is >= 0 and the target lies in [-1, 1]
    float panFadeTime = 0.0f;
    int playCount = INT_MIN; // used when >= 0, else the sound's own
    // Null: the controls of the sound's category.
    IAudioControls* parentControls = nullptr;
};

// Starts a sound. outChannel, when given, is set to null first and then receives the channel,
// whose reference the caller then holds. A null sound, or no audio installed, plays nothing.
void PlaySound(ISound* sound, const SoundPlayParams& params, ISoundChannel** outChannel = nullptr);

// Look the sound up among the loaded resources and play it. A name that is not loaded, or
// that names a resource of another kind, plays nothing.
void PlaySoundNamed(const char* name, const SoundPlayParams& params = SoundPlayParams());
void PlaySoundNamedOnChannel(const char* name, ISoundChannel** outChannel,
                             const SoundPlayParams& params = SoundPlayParams());
void PlaySoundById(NameId id, const SoundPlayParams& params = SoundPlayParams());

// The loaded sound of that name, or null.
ISound* FindSoundByName(NameId name);

// Installed by the audio and resource code; empty functions uninstall.
using SoundPlayer = std::function<void(ISound*, const SoundPlayParams&, ISoundChannel**)>;
using SoundFinder = std::function<ISound*(NameId)>;
void SetSoundPlayer(SoundPlayer player);
void SetSoundFinder(SoundFinder finder);

} // namespace Kestrin
