#pragma once
// The "sound" and "randomsound" resources over the audio layer.
#include "Platform/BassAudio.h"
#include "Platform/SoundResources.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Kestrin
{

class IAttributeContainer;

// Category, volume, pan, rate and play count of a "sound" or "randomsound" element.
void ReadSoundAttributes(const IAttributeContainer& element, BASSSound& sound);

// Reads a whole file; false when it does not exist.
using SoundFileReader = std::function<bool(const std::wstring& fileName, std::vector<unsigned char>& bytes)>;

// The data of the first of "<base>.ogg", ".mp3", ".wav", ".aif", ".mod", ".s3m", ".xm", ".it",
// ".mo3", ".mtm", ".umx" that exists; null when none does (the sound then plays nothing).
// Throws BASSSoundManagerException for a file the layer rejects.
std::shared_ptr<SoundFileData> LoadSoundFile(const std::wstring& base, const SoundFileReader& read);

// Reads data files through the engine's file system.
bool ReadSoundDataFile(const std::wstring& fileName, std::vector<unsigned char>& bytes);

// "sound": one file named by "src".
class BASSSoundResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "randomsound": a file picked per play from its child "sound" elements' "src".
class BASSRandomSoundResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

} // namespace Kestrin
