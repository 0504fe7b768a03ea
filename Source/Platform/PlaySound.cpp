#include "Framework/AudioControls.h"
#include "Platform/AudioPlatform.h"
#include "Platform/BassAudio.h"

namespace Kestrin
{

// The player behind Kestrin::PlaySound, installed by the audio platform.
void PlaySoundOnPlatform(ISound* sound, const SoundPlayParams& params, ISoundChannel** outChannel)
{
    if (outChannel)
        *outChannel = nullptr;
    IAudioPlatform* platform = GetAudioPlatform();
    if (!sound || !platform)
        return;
    // The same sound started within 20 ms would only double its volume.
    if (platform->WasPlayedWithin(sound, 20))
        return;
    ISoundChannel* channel = platform->GetFreeChannel();
    if (!channel)
        return;
    IAudioControls* parent =
        params.parentControls ? params.parentControls : platform->GetCategoryControls(sound->GetCategory());
    IAudioControls* controls = platform->CreateControls(parent);
    channel->SetControls(controls);

    controls->SetVolume(sound->GetVolume());
    controls->SetFrequencyScale(sound->GetRate());
    controls->SetPan(sound->GetPan());
    if (params.volume >= 0.0f)
        controls->SetVolume(params.volume);
    if (params.rate > 0.0f)
        controls->SetFrequencyScale(params.rate);
    if (params.pan >= -1.0f)
        controls->SetPan(params.pan);
    if (params.volumeFadeTime >= 0.0f && params.volumeFadeTarget >= 0.0f && params.volumeFadeTarget <= 1.0f)
        controls->FadeVolume(params.volumeFadeTarget, params.volumeFadeTime);
    if (params.rateFadeTime >= 0.0f && params.rateFadeTarget > 0.0f)
        controls->FadeFrequencyScale(params.rateFadeTarget, params.rateFadeTime);
    if (params.panFadeTime >= 0.0f && params.panFadeTarget >= -1.0f && params.panFadeTarget <= 1.0f)
        controls->FadePan(params.panFadeTarget, params.panFadeTime);
    if (params.paused)
        controls->Pause();
    else
        controls->Resume();
    controls->SetMuted(params.muted);
    controls->Release();

    channel->Play(sound, params.playCount >= 0 ? params.playCount : sound->GetPlayCount());
    if (outChannel)
        *outChannel = channel;
    else
        channel->Release();
}

} // namespace Kestrin
