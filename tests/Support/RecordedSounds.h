#pragma once
// While it lives, sounds are not played but their resource names ("?" for none) added to a list.
#include "Framework/Audio.h"
#include "Framework/Resource.h"

#include <string>
#include <vector>

namespace KestrinTest
{

class RecordedSounds
{
public:
    explicit RecordedSounds(std::vector<std::string>& names)
    {
        Kestrin::SetSoundPlayer(
            [&names](Kestrin::ISound* sound, const Kestrin::SoundPlayParams&, Kestrin::ISoundChannel**)
            {
                auto* descriptor = dynamic_cast<Kestrin::IResourceDescriptor*>(sound);
                names.push_back(descriptor ? descriptor->GetName().c_str() : "?");
            });
    }
    ~RecordedSounds() { Kestrin::SetSoundPlayer(nullptr); }
};

} // namespace KestrinTest
