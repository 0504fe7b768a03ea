#include "Platform/AudioSettings.h"

#include "Base/Log.h"
#include "Framework/AccountManager.h"
#include "Framework/Audio.h"
#include "Framework/AudioControls.h"
#include "Platform/AudioPlatform.h"

#include <algorithm>
#include <string>

namespace Kestrin
{

namespace
{
struct Record
{
    const wchar_t* prefix;
    int category; // MasterControls: the master
};
constexpr int MasterControls = -1;
const Record kRecords[] = {
    {L"Kestrin::Audio::MasterControls", MasterControls},
    {L"Kestrin::Audio::SfxControls", AudioCategory_Effects},
    {L"Kestrin::Audio::MusicControls", AudioCategory_Music},
};

IAudioControls* ControlsOf(IAudioPlatform& platform, int category)
{
    return category == MasterControls ? platform.GetMasterControls() : platform.GetCategoryControls(category);
}

Account* CurrentAccount()
{
    AccountManager* manager = AccountManager::Instance();
    return manager ? manager->GetCurrentAccount() : nullptr;
}
} // namespace

void LoadAudioSettings(Account& account)
{
    IAudioPlatform* platform = GetAudioPlatform();
    if (!platform)
        return;
    for (const Record& record : kRecords)
        if (IAudioControls* controls = ControlsOf(*platform, record.category))
            LoadAudioControls(record.prefix, *controls, account);
}

void SaveAudioSettings(Account& account)
{
    IAudioPlatform* platform = GetAudioPlatform();
    if (!platform)
        return;
    for (const Record& record : kRecords)
        if (IAudioControls* controls = ControlsOf(*platform, record.category))
            SaveAudioControls(record.prefix, *controls, account);
}

void LoadAudioControls(const std::wstring& prefix, IAudioControls& controls, Account& account)
{
    const float volume = account.GetFloat(prefix + L"::Volume", controls.GetOwnVolume());
    controls.SetVolume(std::clamp(volume, 0.0f, 1.0f));
    controls.SetMuted(account.GetBool(prefix + L"::IsMuted", controls.IsOwnMuted()));
}

void SaveAudioControls(const std::wstring& prefix, IAudioControls& controls, Account& account)
{
    account.SetFloat(prefix + L"::Volume", controls.GetOwnVolume());
    account.SetBool(prefix + L"::IsMuted", controls.IsOwnMuted());
}

void LoadAudioSettings()
{
    Account* account = CurrentAccount();
    if (!account)
        return;
    try
    {
        LoadAudioSettings(*account);
    }
    catch (const std::exception& e)
    {
        // A damaged profile costs the settings, not the game.
        LogPrintf("Couldn't read the audio settings of the current account: %s\n", e.what());
    }
}

void SaveAudioSettings()
{
    Account* account = CurrentAccount();
    if (!account)
        return;
    try
    {
        SaveAudioSettings(*account);
    }
    catch (const std::exception& e)
    {
        LogPrintf("Couldn't write the audio settings of the current account: %s\n", e.what());
    }
}

} // namespace Kestrin
