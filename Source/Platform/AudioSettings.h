#pragma once

namespace Kestrin
{

class Account;

// The audio half of the saved settings: volume and mute of the master, effects and music
// controls under "Kestrin::Audio::MasterControls", "Kestrin::Audio::SfxControls" and
// "Kestrin::Audio::MusicControls" + "::Volume" / "::IsMuted". Each node's own values are
// stored, so a lowered master does not shrink the categories on every save.
void LoadAudioSettings();
void SaveAudioSettings();
void LoadAudioSettings(Account& account);
void SaveAudioSettings(Account& account);

} // namespace Kestrin
