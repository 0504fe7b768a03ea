#include "Platform/AudioPlatform.h"

#include "Base/Log.h"
#include "Framework/Singletons.h"

namespace Kestrin
{

namespace
{
IAudioPlatform* g_audioPlatform = nullptr;
AudioPlatformFactory g_factory = nullptr;
// Deletes the platform at teardown and clears the global pointer.
using AudioPlatformSingletonDestructor =
    Internal::PointerSingletonDestructor<IAudioPlatform, SingletonOrder::AudioPlatform>;
AudioPlatformSingletonDestructor g_guard(g_audioPlatform);
} // namespace

IAudioPlatform::~IAudioPlatform()
{
    if (g_audioPlatform == this)
        g_audioPlatform = nullptr;
}

IAudioPlatform* GetAudioPlatform()
{
    return g_audioPlatform;
}

void SetAudioPlatform(IAudioPlatform* platform)
{
    g_audioPlatform = platform;
}

void SetAudioPlatformFactory(AudioPlatformFactory factory)
{
    g_factory = factory;
}

IAudioPlatform* CreateAudioPlatform()
{
    IAudioPlatform* platform = g_factory ? g_factory() : nullptr;
    if (!platform)
    {
        LogPrintf("No audio platform: running silent.\n");
        return nullptr;
    }
    SetAudioPlatform(platform);
    return platform;
}

} // namespace Kestrin
