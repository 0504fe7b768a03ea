#include "Platform/SoundResources.h"

#include "Base/AttributeContainer.h"

#include <algorithm>
#include <cfloat>

namespace Kestrin
{

void ReadSoundAttributes(const IAttributeContainer& element, BASSSound& sound)
{
    const std::wstring type = element.GetString(L"type");
    sound.category = type == L"ambient" ? 1 : type == L"music" ? 2 : 0;
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
        if (read(base + std::wstring(extension, extension + std::char_traits<char>::length(extension)), bytes))
            return MakeSoundFileData(extension, std::move(bytes));
    }
    return nullptr;
}

} // namespace Kestrin
