#pragma once

#include <string>

namespace Kestrin
{

class Account;
class IAudioControls;

// The audio half of the saved settings: volume and mute of the master, effects and music
// controls under "Kestrin::Audio::MasterControls", "Kestrin::Audio::SfxControls" and
// "Kestrin::Audio::MusicControls" + "::Volume" / "::IsMuted". Each node's own values are
// stored, so a lowered master does not shrink the categories on every save.
void LoadAudioSettings();
void SaveAudioSettings();
void LoadAudioSettings(Account& account);
void SaveAudioSettings(Account& account);

// One node's records under prefix. Loaded volumes are clamped to [0, 1]: a hand-edited profile
// must not drive a channel past full scale.
void LoadAudioControls(const std::wstring& prefix, IAudioControls& controls, Account& account);
void SaveAudioControls(const std::wstring& prefix, IAudioControls& controls, Account& account);

} // namespace Kestrin
