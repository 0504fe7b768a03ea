#pragma once
// The sound resources widgets and screens use; the decoding behind them stays in the platform.
#include "Framework/Audio.h"
#include "Framework/Resource.h"

#include <map>

namespace Kestrin
{

// Event name -> sound, for widgets ("Hot", "Down"...). A sound not loaded when the list was
// read stays null and its event plays nothing.
class SoundList
{
public:
    void Set(const std::wstring& event, ISound* sound) { m_sounds[event] = sound; }
    ISound* Get(const std::wstring& event) const;
    // Plays with default parameters and keeps no channel.
    void Play(const std::wstring& event) const;

private:
    std::map<std::wstring, ISound*> m_sounds;
};

class SoundListResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

class ResourceManager;

// Registers "sound", "randomsound" and "soundlist". Sounds read while no output device runs exist
// and play nothing.
void RegisterSoundResourceFactories(ResourceManager& manager);

} // namespace Kestrin
