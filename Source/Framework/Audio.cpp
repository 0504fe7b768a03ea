#include "Framework/Audio.h"

namespace Kestrin
{

namespace
{
SoundPlayer& Player()
{
    static SoundPlayer player;
    return player;
}
SoundFinder& Finder()
{
    static SoundFinder finder;
    return finder;
}
} // namespace

void SetSoundPlayer(SoundPlayer player)
{
    Player() = std::move(player);
}

void SetSoundFinder(SoundFinder finder)
{
    Finder() = std::move(finder);
}

void PlaySound(ISound* sound, const SoundPlayParams& params, ISoundChannel** outChannel)
{
    if (outChannel)
        *outChannel = nullptr;
    if (!sound || !Player())
        return;
    Player()(sound, params, outChannel);
}

void PlaySoundNamed(const char* name, const SoundPlayParams& params)
{
    PlaySoundNamedOnChannel(name, nullptr, params);
}

void PlaySoundNamedOnChannel(const char* name, ISoundChannel** outChannel, const SoundPlayParams& params)
{
    if (outChannel)
        *outChannel = nullptr;
    if (name)
        PlaySound(FindSoundByName(MakeName(name)), params, outChannel);
}

void PlaySoundById(NameId id, const SoundPlayParams& params)
{
    PlaySound(FindSoundByName(id), params);
}

ISound* FindSoundByName(NameId name)
{
    if (!name || !Finder())
        return nullptr;
    return Finder()(name);
}

} // namespace Kestrin
