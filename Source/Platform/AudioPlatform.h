#pragma once
#include "Framework/Names.h"

namespace Kestrin
{

class IAudioControls;
class ISound;
class ISoundChannel;

// The engine's sound service as the main loop and the window see it.
class IAudioPlatform
{
public:
    // Clears the global pointer when it points here.
    virtual ~IAudioPlatform();
    // False when no output could be started (the game then runs silent).
    virtual bool Initialize() = 0;
    virtual void Shutdown() = 0;
    // Pauses the output while the window is inactive or minimised.
    virtual void SetActive(bool active) = 0;
    // Once per fixed step, before the application and the top screen.
    virtual void Update(float dt) = 0;

    // The operations below answer nothing on a platform without sound.
    virtual NameId GetName() { return NameId(); }
    // A new idle channel; the caller holds one reference.
    virtual ISoundChannel* GetFreeChannel() { return nullptr; }
    // No reference is added.
    virtual IAudioControls* GetMasterControls() { return nullptr; }
    // The controls of an AudioCategory; null for any other number.
    virtual IAudioControls* GetCategoryControls(int) { return nullptr; }
    // A new node under parent (may be null); the caller holds one reference.
    virtual IAudioControls* CreateControls(IAudioControls*) { return nullptr; }
    // True when a channel is playing that sound and started it at most that long ago.
    virtual bool WasPlayedWithin(ISound*, unsigned) { return false; }
};

IAudioPlatform* GetAudioPlatform();
// Audio platforms register themselves when made; engine shutdown deletes the registered one.
void SetAudioPlatform(IAudioPlatform* platform);

// Makes the program's audio platform; null for none.
using AudioPlatformFactory = IAudioPlatform* (*)();
void SetAudioPlatformFactory(AudioPlatformFactory factory);

// Makes and registers the audio platform through the installed factory; null (and a log line)
// when there is none, and the engine runs silent.
IAudioPlatform* CreateAudioPlatform();

} // namespace Kestrin
