#include "Platform/BassSoundResources.h"

#include "Base/AttributeContainer.h"

#include <algorithm>
#include <cfloat>

namespace Kestrin
{

void ReadSoundAttributes(const IAttributeContainer& element, BASSSound& sound)
{
    const std::wstring type = element.GetString(L"type");
    sound.category = type == L"ambient" ? AudioCategory_Ambient
                     : type == L"music" ? AudioCategory_Music
                                        : AudioCategory_Effects;
    sound.volume = std::clamp(element.GetFloat(L"volume", 1.0f), 0.0f, 1.0f);
    sound.pan = std::clamp(element.GetFloat(L"pan", 0.0f), -1.0f, 1.0f);
    sound.rate = std::clamp(element.GetFloat(L"rate", 1.0f), FLT_MIN, FLT_MAX);
    if (element.GetString(L"loop") == L"forever")
        sound.playCount = 0;
    else
        sound.playCount = std::max(0, element.GetInt(L"loop", 1));
}

std::shared_ptr<SoundFileData> LoadSoundFile(const std::wstring& base, const SoundFileReader& read)
{
    static const char* const kExtensions[] = {".ogg", ".mp3", ".wav", ".aif", ".mod", ".s3m",
                                              ".xm",  ".it",  ".mo3", ".mtm", ".umx"};
    for (const char* extension : kExtensions)
    {
        std::vector<unsigned char> bytes;
        if (read(base + std::wstring(extension, extension + std::char_traits<char>::length(extension)),
                 bytes))
            return MakeSoundFileData(extension, std::move(bytes));
    }
    return nullptr;
}

} // namespace Kestrin

#include "Base/XMLReader.h"
#include "Framework/FileSystem.h"

namespace Kestrin
{

namespace
{
// Without an output device nothing is decoded: the sounds exist and play nothing.
bool OutputStarted()
{
    auto* platform = dynamic_cast<BASSAudioPlatform*>(GetAudioPlatform());
    return platform && platform->IsStarted();
}

void AddFile(BASSSound& sound, const std::wstring& base)
{
    if (auto file = LoadSoundFile(base, &ReadSoundDataFile))
        sound.files.push_back(std::move(file));
}
} // namespace

bool ReadSoundDataFile(const std::wstring& fileName, std::vector<unsigned char>& bytes)
{
    IFileSystem* fileSystem = GetFileSystem();
    const size_t dot = fileName.rfind(L'.');
    if (!fileSystem || dot == std::wstring::npos)
        return false;
    FileSpec fileSpec = FileSpec::FromNameAndExtension(fileName.substr(0, dot), fileName.substr(dot));
    if (!fileSystem->Exists(fileSpec))
        return false;
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> data = ReadWholeFile(fileSpec, size);
    if (!data)
        return false;
    bytes.assign(data.get(), data.get() + size);
    return true;
}

IResourceDescriptor* BASSSoundResourceFactory::Create(const std::wstring& source, NameId name,
                                                      XMLElement& element, IXMLReader&)
{
    auto sound = std::make_unique<ResourceWrapper<BASSSound>>(source, name, element);
    ReadSoundAttributes(element, *sound);
    if (OutputStarted())
        AddFile(*sound, element.GetString(L"src"));
    return sound.release();
}

IResourceDescriptor* BASSRandomSoundResourceFactory::Create(const std::wstring& source, NameId name,
                                                            XMLElement& element, IXMLReader& children)
{
    auto sound = std::make_unique<ResourceWrapper<BASSSound>>(source, name, element);
    ReadSoundAttributes(element, *sound);
    const bool started = OutputStarted();
    children.Next(); // the element itself
    while (!children.IsAtEnd())
    {
        XMLElement* node = children.Next();
        if (started && node && node->IsStart() && node->GetName() == L"sound")
            AddFile(*sound, node->GetString(L"src"));
    }
    return sound.release();
}

} // namespace Kestrin

#include "Framework/ResourceManager.h"

namespace Kestrin
{

ISound* SoundList::Get(const std::wstring& event) const
{
    auto it = m_sounds.find(event);
    return it == m_sounds.end() ? nullptr : it->second;
}

void SoundList::Play(const std::wstring& event) const
{
    if (ISound* sound = Get(event))
        PlaySound(sound, SoundPlayParams());
}

IResourceDescriptor* SoundListResourceFactory::Create(const std::wstring& source, NameId name,
                                                      XMLElement& element, IXMLReader& children)
{
    auto list = std::make_unique<ResourceWrapper<SoundList>>(source, name, element);
    ResourceManager* resources = ResourceManager::Instance();
    children.Next(); // the element itself
    while (!children.IsAtEnd())
    {
        XMLElement* node = children.Next();
        if (!node || !node->IsStart() || node->GetName() != L"sound")
            continue;
        const std::wstring src = node->GetString(L"src");
        ISound* sound = dynamic_cast<ISound*>(resources->Find(MakeNameFromWString(src)));
        list->Set(node->GetString(L"event"), sound);
    }
    return list.release();
}

void RegisterSoundResourceFactories(ResourceManager& manager)
{
    manager.RegisterFactory(L"sound", new BASSSoundResourceFactory);
    manager.RegisterFactory(L"randomsound", new BASSRandomSoundResourceFactory);
    manager.RegisterFactory(L"soundlist", new SoundListResourceFactory);
}

} // namespace Kestrin
