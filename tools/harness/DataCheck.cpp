#include "harness/DataCheck.h"
#include "harness/DataCheckLog.h"
#include "harness/TempFolder.h"

#include "Base/Log.h"
#include "Base/Random.h"
#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Framework/AccountManager.h"
#include "Framework/Names.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Paths.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Font.h"
#include "Graphics/GraphicsFactories.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/Image.h"
#include "Graphics/ImageList.h"
#include "Graphics/ImageLoader.h"
#include "Platform/BassAudio.h"
#include "Platform/BassSoundResources.h"
#include "Platform/ResourceFactories.h"
#include "Platform/Shim/Bass/AudioOut.h"
#include "Platform/Shim/Bass/OutputDriver.h"
#include "Platform/Shim/Flash/SwfHeader.h"
#include "Platform/Win32/Win32FileSystem.h"
#include "Scene/SceneNodeFactory.h"
#include "Screens/ResourceFactoryRegistrars.h"
#include "UI/Layout.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace DataCheck
{

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

namespace
{

std::string Relative(const fs::path& root, const fs::path& path)
{
    return path.lexically_relative(root).generic_string();
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Zero extension, as the engine widens names.
std::wstring Widen(const std::string& s)
{
    std::wstring out;
    for (unsigned char c : s)
        out += wchar_t(c);
    return out;
}

// Every file under the root, sorted, without descending into dot-folders (CheckNames reports those).
std::vector<fs::path> FilesUnder(const fs::path& root)
{
    std::vector<fs::path> files;
    if (!fs::is_directory(root))
        return files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it)
    {
        if (it->is_directory() && it->path().filename().string().starts_with("."))
            it.disable_recursion_pending();
        else if (it->is_regular_file())
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool IsImageExtension(const std::string& lowerExtension)
{
    return lowerExtension == ".gif" || lowerExtension == ".jpg" || lowerExtension == ".png";
}

bool IsSoundExtension(const std::string& lowerExtension)
{
    static const std::set<std::string> kinds{".ogg", ".wav", ".mp3", ".aif", ".xm", ".mod", ".s3m", ".it"};
    return kinds.count(lowerExtension) != 0;
}

// Repository metadata: never looked up by the game, and one may sit in any folder.
bool IsRepositoryFile(const std::string& name)
{
    return name == ".gitattributes" || name == ".gitignore";
}

// Serves files by bare name, ignoring case, as the data index does.
class BareNameOpener
{
public:
    void Add(const fs::path& file) { m_files[Lower(file.filename().string())] = file; }
    std::shared_ptr<Kestrin::IStream> operator()(const std::wstring& name,
                                                 const std::wstring& extension) const
    {
        std::string key;
        for (wchar_t c : name + extension)
            key += char(c);
        auto it = m_files.find(Lower(key));
        if (it == m_files.end())
            return nullptr;
        const std::string bytes = ReadBytes(it->second);
        auto stream = std::make_shared<Kestrin::MemoryStream>(name, bytes.data(), uint32_t(bytes.size()));
        stream->Seek(0, 0);
        return stream;
    }

private:
    std::map<std::string, fs::path> m_files;
};

struct Decoded
{
    bool ok = false;
    int width = 0;
    int height = 0;
};

// The file on its own through the engine's loader, so a sibling mask does not hide a broken image.
Decoded DecodeAlone(const fs::path& file, std::string& why)
{
    BareNameOpener opener;
    opener.Add(file);
    Kestrin::Image image;
    LogLines log;
    Decoded result;
    result.ok = Kestrin::LoadImage(Widen(file.stem().string()), image, std::ref(opener)) != nullptr;
    if (result.ok)
    {
        result.width = image.GetWidth();
        result.height = image.GetHeight();
    }
    why = Because(log);
    return result;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;)
    {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

// Decimal digits only, at most nine of them.
bool ParseCount(const std::string& text, long long& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoll(text);
    return true;
}

void CheckManifest(const fs::path& root, const std::map<std::string, Decoded>& decoded, Report& report)
{
    const fs::path manifest = root / "images" / "manifest.tsv";
    const std::string manifestName = Relative(root, manifest);
    if (!fs::exists(manifest))
        return;
    std::set<std::string> listed;
    std::istringstream lines(ReadBytes(manifest));
    int number = 0;
    for (std::string line; std::getline(lines, line);)
    {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || (number == 1 && line.starts_with("file\t")))
            continue;
        const std::string where = manifestName + " line " + std::to_string(number);
        const std::vector<std::string> fields = SplitTabs(line);
        long long width = 0, height = 0, bytes = 0;
        if (fields.size() != 5 || !ParseCount(fields[1], width) || !ParseCount(fields[2], height) ||
            !ParseCount(fields[3], bytes))
        {
            report.Add(where,
                       "wants file, width, height, bytes and hash separated by tabs: \"" + line + "\"");
            continue;
        }
        const std::string& file = fields[0];
        if (!listed.insert(file).second)
            report.Add(where, "lists " + file + " a second time");
        const fs::path path = root / file;
        if (!fs::is_regular_file(path))
        {
            report.Add(file, "is listed in " + manifestName + " but missing");
            continue;
        }
        const long long size = static_cast<long long>(fs::file_size(path));
        if (size != bytes)
            report.Add(file, "has " + std::to_string(size) + " bytes, " + manifestName + " says " +
                                 std::to_string(bytes));
        auto it = decoded.find(file);
        if (it == decoded.end())
            report.Add(file, "is listed in " + manifestName + " but is no .gif, .jpg or .png image");
        else if (it->second.ok && (it->second.width != width || it->second.height != height))
            report.Add(file, "decodes to " + std::to_string(it->second.width) + "x" +
                                 std::to_string(it->second.height) + ", " + manifestName + " says " +
                                 std::to_string(width) + "x" + std::to_string(height));
    }
    for (const auto& [file, result] : decoded)
        if (file.starts_with("images/") && !listed.count(file))
            report.Add(file, "is not listed in " + manifestName);
}

// The characters every shown text may use, space excepted (its advance is the space width).
std::vector<int> Latin1Glyphs()
{
    std::vector<int> codes;
    for (int c = 0x21; c <= 0xFF; ++c)
        if (c <= 0x7E || (c >= 0xA1 && c != 0xAD))
            codes.push_back(c);
    return codes;
}

bool HasInk(const Kestrin::Image& image, const Kestrin::GlyphRect& r)
{
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            if ((image.GetPixel(x, y) >> 24) != 0)
                return true;
    return false;
}

std::string XmlAttribute(const std::string& s)
{
    std::string out;
    for (char c : s)
    {
        switch (c)
        {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void CheckFont(const std::string& file, const std::string& name, const std::string& descriptionBytes,
               Report& report)
{
    const Kestrin::FontDescription description = Kestrin::ParseFontDescription(
        reinterpret_cast<const uint8_t*>(descriptionBytes.data()), descriptionBytes.size());
    if (!description.complete)
        report.Add(file, "description ends early or holds a word where a number is due (" +
                             std::to_string(description.glyphs.size()) + " of " +
                             std::to_string(description.glyphCount) + " glyphs read)");

    // Through the factory, as a group names it.
    Kestrin::ResourceManager* manager = Kestrin::ResourceManager::Instance();
    Kestrin::RegisterGraphicsResourceFactories(*manager);
    struct ManagerGuard
    {
        ~ManagerGuard() { delete Kestrin::ResourceManager::Instance(); }
    } guard;
    const std::string group = "<resources><font name=\"" + XmlAttribute(name) + "\" src=\"" +
                              XmlAttribute(name) + "\"/></resources>";
    Kestrin::MemoryStream stream(L"datacheck", group.data(), uint32_t(group.size()));
    LogLines log;
    manager->Load(L"datacheck", &stream, nullptr);
    auto* font = dynamic_cast<Kestrin::ImageFont*>(Kestrin::GetFontById(Kestrin::MakeName(name)).second);
    if (!font)
    {
        report.Add(file, "does not load through the font factory" + Because(log));
        return;
    }
    if (!font->image)
    {
        report.Add(file, "loads, but its glyph image does not" + Because(log));
        return;
    }
    // A strip that fits no atlas is kept as it is, and some drivers refuse textures that wide.
    auto powerOfTwo = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    const int imageWidth = font->image->GetWidth(), imageHeight = font->image->GetHeight();
    if (description.version < 3 && !(powerOfTwo(imageWidth) && powerOfTwo(imageHeight)))
        report.Add(file, "strip was not repacked: its image stays " + std::to_string(imageWidth) + "x" +
                             std::to_string(imageHeight) + Because(log));

    const int lineHeight = font->GetLineHeight();
    if (lineHeight < 4 || lineHeight > 256)
        report.Add(file, "line height " + std::to_string(lineHeight) + " is outside 4..256");
    std::string missing, blank;
    for (int c : Latin1Glyphs())
    {
        const Kestrin::GlyphRect& r = font->glyphs[size_t(c)];
        char code[8];
        std::snprintf(code, sizeof code, " U+%04X", c);
        if (r.width <= 0 || r.height <= 0 || font->GetAdvance(wchar_t(c), 0) <= 0)
            missing += code;
        else if (!HasInk(*font->image, r))
            blank += code;
    }
    if (!missing.empty())
        report.Add(file, "lacks glyphs:" + missing);
    if (!blank.empty())
        report.Add(file, "has glyphs without ink:" + blank);
    if (font->GetAdvance(L' ', L'A') <= 0)
        report.Add(file, "space has no advance");

    // A line of ordinary text is wider than a few pixels per letter and narrower than square letters.
    const std::wstring sample = L"Tanglewisp: \u00C4rger \u00FCber \u00D6l, caf\u00E9 & 1234!";
    const int width = Kestrin::GetTextWidth(sample, font);
    const int letters = int(sample.size());
    if (width < letters * lineHeight / 8 || width > letters * lineHeight)
        report.Add(file, "measures the sample text " + std::to_string(width) + " px wide at line height " +
                             std::to_string(lineHeight) + " (" + std::to_string(letters) + " letters)");
}

} // namespace

Report CheckNames(const fs::path& root)
{
    Report report;
    if (!fs::is_directory(root))
    {
        report.Add(root.string(), "is no folder");
        return report;
    }
    std::vector<fs::path> entries;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it)
    {
        entries.push_back(it->path());
        if (it->is_directory() && it->path().filename().string().starts_with("."))
            it.disable_recursion_pending();
    }
    std::sort(entries.begin(), entries.end());

    std::map<std::string, std::string> byBareName; // lower-case bare name -> first file
    std::map<std::string, std::string> imageStems, soundStems;
    for (const fs::path& path : entries)
    {
        ++report.checked;
        const std::string rel = Relative(root, path);
        const std::string name = path.filename().string();
        if (!std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
            report.Add(rel, "name is not printable ASCII");
        if (fs::is_directory(path))
        {
            if (name.starts_with("."))
                report.Add(rel, "folder name starts with \".\": the file index skips it");
            continue;
        }
        if (IsRepositoryFile(name))
            continue;
        const std::string lower = Lower(name);
        auto [first, added] = byBareName.emplace(lower, rel);
        if (!added)
            report.Add(rel, "has the bare name of " + first->second +
                                " (ignoring case); the index finds only one");

        const std::string extension = Lower(path.extension().string());
        const std::string stem = Lower(path.stem().string());
        auto* stems = IsImageExtension(extension)   ? &imageStems
                      : IsSoundExtension(extension) ? &soundStems
                                                    : nullptr;
        if (stems)
        {
            auto [other, fresh] = stems->emplace(stem, rel);
            if (!fresh && Lower(fs::path(other->second).filename().string()) != lower)
                report.Add(rel, "shares its stem with " + other->second + "; keep one format per stem");
        }
    }
    return report;
}

Report CheckImages(const fs::path& root)
{
    Report report;
    std::map<std::string, Decoded> decoded;                        // relative path -> result
    std::map<std::string, std::pair<std::string, Decoded>> byStem; // lower-case stem -> first image
    for (const fs::path& file : FilesUnder(root))
    {
        if (!IsImageExtension(Lower(file.extension().string())))
            continue;
        ++report.checked;
        const std::string rel = Relative(root, file);
        std::string why;
        const Decoded result = DecodeAlone(file, why);
        if (!result.ok)
            report.Add(rel, "does not decode through the engine's loader" + why);
        decoded[rel] = result;
        byStem.emplace(Lower(file.stem().string()), std::make_pair(rel, result));
    }

    // The loader drops a mask of another size and keeps the image opaque.
    for (const auto& [stem, entry] : byStem)
    {
        const auto& [rel, mask] = entry;
        if (!stem.ends_with("_mask") || !mask.ok)
            continue;
        auto base = byStem.find(stem.substr(0, stem.size() - 5));
        if (base == byStem.end())
            report.Add(rel, "is a mask without an image of its stem");
        else if (base->second.second.ok &&
                 (base->second.second.width != mask.width || base->second.second.height != mask.height))
            report.Add(rel, "is " + std::to_string(mask.width) + "x" + std::to_string(mask.height) + " but " +
                                base->second.first + " is " + std::to_string(base->second.second.width) +
                                "x" + std::to_string(base->second.second.height));
    }
    CheckManifest(root, decoded, report);
    return report;
}

Report CheckFonts(const fs::path& root)
{
    Report report;
    const fs::path folder = root / "fonts";
    const std::vector<fs::path> files = FilesUnder(folder);
    BareNameOpener opener;
    for (const fs::path& file : files)
        opener.Add(file);
    Kestrin::SetImageFileOpener(std::ref(opener));
    struct OpenerGuard
    {
        ~OpenerGuard() { Kestrin::SetImageFileOpener(nullptr); }
    } guard;

    for (const fs::path& file : files)
    {
        if (Lower(file.extension().string()) != ".txt" || file.parent_path() != folder)
            continue;
        ++report.checked;
        CheckFont(Relative(root, file), file.stem().string(), ReadBytes(file), report);
    }
    return report;
}

namespace
{

// A named element of a group file, with what its children name.
struct GroupEntry
{
    std::string kind;
    std::string name;
    std::string src;
    std::vector<std::pair<std::string, std::string>> children; // child "event" (or "") and "src"
};

std::string Narrow(const std::wstring& s)
{
    std::string out;
    for (wchar_t c : s)
        out += char(c);
    return out;
}

// The elements the resource manager makes resources of: named ones, with their children.
std::vector<GroupEntry> ReadGroupEntries(const std::string& bytes)
{
    std::vector<GroupEntry> entries;
    Kestrin::MemoryStream stream(L"group", bytes.data(), uint32_t(bytes.size()));
    Kestrin::XMLReader reader(&stream);
    int depth = 0;
    int entryDepth = -1;
    while (!reader.IsAtEnd())
    {
        Kestrin::XMLElement* node = reader.Next();
        if (!node)
            break;
        if (node->IsEnd())
        {
            if (--depth == entryDepth)
                entryDepth = -1;
            continue;
        }
        if (!node->IsStart())
            continue;
        if (entryDepth >= 0)
        {
            entries.back().children.emplace_back(Narrow(node->GetString(L"event")),
                                                 Narrow(node->GetString(L"src")));
        }
        else if (!node->GetString(L"name").empty())
        {
            entries.push_back({Narrow(node->GetName()),
                               Narrow(node->GetString(L"name")),
                               Narrow(node->GetString(L"src")),
                               {}});
            entryDepth = depth;
        }
        ++depth;
    }
    return entries;
}

} // namespace

// What the game's start-up sets up before anything runs, for the programs that run the game
// without it: the random streams (a new profile's file is named from stream 2) and a player folder
// of its own for the profiles. The streams and an account manager made while it lives go with it,
// as the folder does.
class StartUpStandIn
{
public:
    StartUpStandIn()
    {
        if (m_ownStreams)
            Kestrin::InitRandomStreams();
        Kestrin::SetAppDataFolderOverride(m_user.WidePath());
    }
    ~StartUpStandIn()
    {
        if (Kestrin::AccountManager* accounts = Kestrin::AccountManager::Existing(); accounts != m_accounts)
            delete accounts;
        Kestrin::SetAppDataFolderOverride(L"");
        if (m_ownStreams)
            Kestrin::ShutdownRandomStreams();
    }
    StartUpStandIn(const StartUpStandIn&) = delete;
    StartUpStandIn& operator=(const StartUpStandIn&) = delete;

    std::wstring UserFolder() const { return m_user.WidePath(); }

private:
    const bool m_ownStreams = !Kestrin::GetRandomStream(2);
    Kestrin::AccountManager* const m_accounts = Kestrin::AccountManager::Existing();
    KestrinTest::TempFolder m_user;
};

// The game's file system, audio output (on a device that plays nothing) and factories, for as long
// as it lives.
class GroupLoader
{
public:
    explicit GroupLoader(const fs::path& root)
    {
        m_files->AddPartition(1, new Kestrin::Win32FileSystemPartition(Widen(root.string())));
        m_files->AddPartition(2, new Kestrin::Win32FileSystemPartition(m_startUp.UserFolder()));
        Kestrin::Shim::Bass::SetAudioOut(&m_out);
        m_audio->Initialize();
        AddGameResourceFactoryRegistrars();
        Kestrin::RegisterResourceFactories(*Kestrin::ResourceManager::Instance());
    }
    ~GroupLoader()
    {
        delete Kestrin::ResourceManager::Instance();
        Kestrin::ClearResourceFactoryRegistrars();
        m_audio.reset();
        Kestrin::Shim::Bass::SetAudioOut(nullptr);
    }
    GroupLoader(const GroupLoader&) = delete;
    GroupLoader& operator=(const GroupLoader&) = delete;

private:
    StartUpStandIn m_startUp;
    std::unique_ptr<Kestrin::Win32FileSystem> m_files = std::make_unique<Kestrin::Win32FileSystem>();
    Kestrin::Shim::Bass::AudioOut m_out{std::make_unique<Kestrin::Shim::Bass::NullOutputDriver>()};
    std::unique_ptr<Kestrin::BASSAudioPlatform> m_audio = std::make_unique<Kestrin::BASSAudioPlatform>();
};

namespace
{

// A widget layout's elements: each of a kind the layout builds, each resource it names loaded
// before it and of the kind the attribute wants; then it builds into a scratch screen.
void CheckLayout(const std::string& file, const std::string& what, const Kestrin::Layout& layout,
                 Kestrin::ResourceManager& manager, Report& report)
{
    static const std::set<std::wstring> kinds{L"background", L"textedit",    L"list",      L"scrollbar",
                                              L"slider",     L"checkbox",    L"button",    L"radiobutton",
                                              L"textsprite", L"imagesprite", L"ninebrush", L"threebrush"};
    struct Reference
    {
        const wchar_t* attribute;
        const char* kind;
        bool (*fits)(Kestrin::IResourceDescriptor*);
    };
    auto imageList = [](Kestrin::IResourceDescriptor* d)
    { return dynamic_cast<Kestrin::IImageList*>(d) != nullptr; };
    auto image = [](Kestrin::IResourceDescriptor* d) { return dynamic_cast<Kestrin::IImage*>(d) != nullptr; };
    auto font = [](Kestrin::IResourceDescriptor* d) { return dynamic_cast<Kestrin::Font*>(d) != nullptr; };
    auto sounds = [](Kestrin::IResourceDescriptor* d)
    { return dynamic_cast<Kestrin::SoundList*>(d) != nullptr; };
    const Reference references[] = {{L"images", "image list", imageList},
                                    {L"fieldImages", "image list", imageList},
                                    {L"channelImages", "image list", imageList},
                                    {L"thumbImages", "image list", imageList},
                                    {L"upArrowImages", "image list", imageList},
                                    {L"downArrowImages", "image list", imageList},
                                    {L"cursorImage", "image", image},
                                    {L"src", "image", image},
                                    {L"font", "font", font},
                                    {L"sounds", "sound list", sounds}};
    for (size_t i = 0; i < layout.GetElementCount(); ++i)
    {
        const std::string element = Kestrin::NarrowString(layout.GetElementName(i));
        if (!kinds.count(layout.GetElementName(i)))
        {
            report.Add(file, what + ": element \"" + element + "\" is of no widget kind");
            continue;
        }
        const Kestrin::AttributeContainer& attributes = layout.GetElementAttributes(i);
        for (const Reference& r : references)
        {
            const std::wstring name = attributes.GetString(r.attribute);
            if (name.empty())
                continue;
            Kestrin::IResourceDescriptor* found = manager.Find(Kestrin::MakeNameFromWString(name));
            if (!found || !r.fits(found))
                report.Add(file, what + ": " + element + " " + Kestrin::NarrowString(r.attribute) + " \"" +
                                     Kestrin::NarrowString(name) + "\" is no " + r.kind +
                                     " loaded before it");
        }
    }
    Kestrin::ObjectDatabase screen;
    Kestrin::ScopedCurrentObjectDatabase scope(&screen);
    layout.CreateObjects();
}

void CheckEntry(const std::string& file, const GroupEntry& entry, Kestrin::ResourceManager& manager,
                const std::set<std::string>& pendingKinds, Report& report)
{
    const std::string what = entry.kind + " \"" + entry.name + "\"";
    Kestrin::IResourceDescriptor* made = manager.Find(Kestrin::MakeName(entry.name));
    if (entry.kind == "alias")
    {
        if (!made)
            report.Add(file, what + " names \"" + entry.src + "\", which is not loaded before it");
        return;
    }
    if (!manager.GetFactory(Widen(entry.kind)))
    {
        if (pendingKinds.count(entry.kind))
            ++report.pending[entry.kind];
        else
            report.Add(file, what + " is of no registered kind");
        return;
    }
    if (!made)
    {
        report.Add(file, what + " made no resource");
        return;
    }
    if (auto* image = dynamic_cast<Kestrin::IImage*>(made);
        image && (image->GetWidth() <= 0 || image->GetHeight() <= 0))
        report.Add(file, what + ": no image \"" + entry.src + "\" loads");
    if (auto* images = dynamic_cast<Kestrin::IImageList*>(made))
    {
        if (images->Count() == 0)
            report.Add(file, what + " holds no images");
        for (int i = 0; i < images->Count(); ++i)
            if (images->GetWidth(i) <= 0 || images->GetHeight(i) <= 0)
                report.Add(file, what + ": no image \"" +
                                     (size_t(i) < entry.children.size() ? entry.children[size_t(i)].second
                                                                        : entry.src) +
                                     "\" loads");
    }
    if (auto* sound = dynamic_cast<Kestrin::BASSSound*>(made))
    {
        const size_t wanted = entry.kind == "sound" ? 1 : entry.children.size();
        if (sound->files.size() < wanted)
            report.Add(file, what + ": finds " + std::to_string(sound->files.size()) + " of its " +
                                 std::to_string(wanted) + " sound files");
    }
    if (auto* layout = dynamic_cast<Kestrin::Layout*>(made))
        CheckLayout(file, what, *layout, manager, report);
    if (auto* list = dynamic_cast<Kestrin::SoundList*>(made))
        for (const auto& [event, src] : entry.children)
            if (!list->Get(Widen(event)))
                report.Add(file, what + ": event \"" + event + "\" names \"" + src +
                                     "\", which is no sound loaded before it");
}

} // namespace

const std::set<std::string>& KindsNotYetRegistered()
{
    // Every node kind the data names is registered now.
    static const std::set<std::string> kinds;
    return kinds;
}

const std::vector<std::string>& GameLoadOrder()
{
    static const std::vector<std::string> order{
        "AllGameText_Export", "Title_MainMenu",       "Loading",
        "resources",          "Game-AnimationImages", "Tutorial_Window"};
    return order;
}

// Plain scene nodes stand in for the pending node kinds no registrar provides, for as long as it
// lives.
class StandInNodeKinds
{
public:
    void Add(const std::set<std::string>& pendingKinds, Report& report)
    {
        for (const std::string& kind : pendingKinds)
        {
            const std::wstring name = Widen(kind);
            if (!kind.ends_with("node") || GetSceneNodeFactories().Find(name))
                continue;
            RegisterSceneNodeFactory(name, new BasicSceneNodeFactory);
            m_kinds.push_back(name);
            ++report.pending[kind];
        }
    }
    ~StandInNodeKinds()
    {
        for (const std::wstring& kind : m_kinds)
            GetSceneNodeFactories().Unregister(kind);
    }

private:
    std::vector<std::wstring> m_kinds;
};

struct LoadedTree::State
{
    explicit State(const fs::path& root_) : root(root_), loader(root_) {}

    // First, so the stand-ins outlive the layouts made with them.
    StandInNodeKinds standIns;
    fs::path root;
    GroupLoader loader;
    Report report;
    std::vector<GroupFile> groups;
    std::set<std::string> bareNames; // lower case
    std::vector<LoadedEntry> entries;
};

namespace
{

// The group files in load order: those the game loads first, then the others by name.
std::vector<GroupFile> FindGroupFiles(const fs::path& root)
{
    std::map<std::string, GroupFile> byName; // lower-case group name
    auto add = [&](const fs::path& path)
    {
        const std::string group = path.stem().string();
        byName[Lower(group)] = GroupFile{group, Relative(root, path), ReadBytes(path)};
    };
    for (const fs::path& file : FilesUnder(root / "groups"))
        if (Lower(file.extension().string()) == ".xml")
            add(file);
    if (fs::exists(root / "AllGameText_Export.xml"))
        add(root / "AllGameText_Export.xml");

    std::vector<GroupFile> ordered;
    for (const std::string& first : GameLoadOrder())
        if (auto it = byName.find(Lower(first)); it != byName.end())
        {
            ordered.push_back(it->second);
            byName.erase(it);
        }
    for (auto& [name, file] : byName)
        ordered.push_back(file);
    return ordered;
}

// The lines of the log that tell of a picture the loader did not find or could not read: the
// loader goes on without it, so the group loads.
void CheckLogLines(const std::string& file, const LogLines& log, Report& report)
{
    std::istringstream lines(log.Text());
    for (std::string line; std::getline(lines, line);)
        if (line.find(" was not found.") != std::string::npos ||
            line.find("could not be loaded") != std::string::npos)
            report.Add(file, "logs \"" + line + "\" while loading");
}

} // namespace

LoadedTree::LoadedTree(const fs::path& root, const std::set<std::string>& pendingKinds)
    : m_state(std::make_unique<State>(root))
{
    State& s = *m_state;
    for (const fs::path& file : FilesUnder(root))
        s.bareNames.insert(Lower(file.filename().string()));
    s.groups = FindGroupFiles(root);
    s.standIns.Add(pendingKinds, s.report);

    Kestrin::ResourceManager& manager = *Kestrin::ResourceManager::Instance();
    for (const GroupFile& group : s.groups)
    {
        ++s.report.checked;
        std::vector<GroupEntry> entries;
        LogLines log;
        try
        {
            entries = ReadGroupEntries(group.bytes);
            manager.LoadFile(Widen(group.group), nullptr, true);
        }
        catch (const std::exception& e)
        {
            s.report.Add(group.file, std::string("does not load: ") + e.what() + Because(log));
            continue;
        }
        CheckLogLines(group.file, log, s.report);
        for (const GroupEntry& entry : entries)
        {
            s.entries.push_back({group.file, entry.kind, entry.name});
            CheckEntry(group.file, entry, manager, pendingKinds, s.report);
            // The font factory makes a font without glyphs when the description is missing.
            if (entry.kind == "font" && !HasFile(entry.src + ".txt"))
                s.report.Add(group.file, "font \"" + entry.name + "\": no file \"" + entry.src + ".txt\"");
        }
    }
}

LoadedTree::~LoadedTree() = default;

const fs::path& LoadedTree::Root() const
{
    return m_state->root;
}

const Report& LoadedTree::LoadReport() const
{
    return m_state->report;
}

const std::vector<GroupFile>& LoadedTree::Groups() const
{
    return m_state->groups;
}

std::string LoadedTree::FileOf(const std::string& group) const
{
    for (const GroupFile& file : m_state->groups)
        if (Lower(file.group) == Lower(group))
            return file.file;
    return Lower(group) == Lower(GameLoadOrder().front()) ? group + ".xml" : "groups/" + group + ".xml";
}

const std::vector<LoadedEntry>& LoadedTree::Entries() const
{
    return m_state->entries;
}

bool LoadedTree::HasFile(const std::string& bareName) const
{
    return m_state->bareNames.count(Lower(bareName)) != 0;
}

Report CheckGroups(const fs::path& root)
{
    return CheckGroupsWithPendingKinds(root, KindsNotYetRegistered());
}

Report CheckGroupsWithPendingKinds(const fs::path& root, const std::set<std::string>& pendingKinds)
{
    LoadedTree tree(root, pendingKinds);
    return tree.LoadReport();
}

Report CheckMovies(const fs::path& root)
{
    Report report;
    for (const fs::path& file : FilesUnder(root))
    {
        if (Lower(file.extension().string()) != ".swf")
            continue;
        ++report.checked;
        const std::string rel = Relative(root, file);
        const std::string bytes = ReadBytes(file);
        Kestrin::Shim::SwfHeader header;
        const Kestrin::Shim::SwfStatus status = Kestrin::Shim::ParseSwfHeader(
            reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), header);
        if (status != Kestrin::Shim::SwfStatus::Ok)
        {
            report.Add(rel, std::string("header does not parse: ") + Kestrin::Shim::SwfStatusText(status));
            continue;
        }
        if (header.compression == Kestrin::Shim::SwfCompression::None && header.fileLength != bytes.size())
            report.Add(rel, "declares " + std::to_string(header.fileLength) + " bytes but has " +
                                std::to_string(bytes.size()));
        if (header.frameRate == 0)
            report.Add(rel, "has a frame rate of 0");
        if (header.frameCount == 0)
            report.Add(rel, "has no frames");
        if (!header.hasBackground)
            report.Add(rel, "has no background colour, which is all the movie host shows");
    }
    return report;
}

} // namespace DataCheck
