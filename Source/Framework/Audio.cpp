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

ISound* FindSoundByName(NameId name)
{
    if (!name || !Finder())
        return nullptr;
    return Finder()(name);
}

} // namespace Kestrin
