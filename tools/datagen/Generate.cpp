#include "Generate.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <future>
#include <map>
#include <stdexcept>

namespace DataGen
{
namespace
{
std::string SectionBegin(const std::string& name)
{
    return "<!-- begin " + name + " section -->";
}
std::string SectionEnd(const std::string& name)
{
    return "<!-- end " + name + " section -->";
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void CheckName(const std::string& name)
{
    if (name.empty())
        throw std::runtime_error("an image without a name");
    for (char c : name)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x21 || u > 0x7E || c == '/' || c == '\\' || c == '"' || c == '<' || c == '>' || c == '&')
            throw std::runtime_error("not a plain ASCII name: " + name);
    }
}

// A file is selected by its family's name or its own stem.
bool Selected(const Output& o, const std::string& pattern)
{
    const std::string name = o.path.substr(o.path.rfind('/') + 1);
    return MatchesPattern(pattern, o.family) || MatchesPattern(pattern, name.substr(0, name.rfind('.')));
}

Bytes Encode(const ImageFile& f)
{
    switch (f.format)
    {
    case Format::Png:
        return EncodePng(f.canvas);
    case Format::Jpeg:
        return EncodeJpeg(f.canvas);
    case Format::Gif:
        return EncodeGif(f.canvas);
    }
    return {};
}

struct FamilyResult
{
    std::vector<Output> files;
    std::string records;
    std::vector<CaptionArea> captions;
    std::string derived;
};

std::string Number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

FamilyResult Build(const Family& family, const TextTable* text)
{
    const FamilyArt art = PaintFamily(family, text);
    FamilyResult r;
    r.captions = art.captions;
    auto add = [&](const ImageFile& f)
    {
        CheckName(f.stem);
        Output o;
        o.root = Root::Data;
        o.path = "images/" + family.group + "/" + f.stem + Extension(f.format);
        o.family = family.name;
        o.bytes = Encode(f);
        o.width = f.canvas.Width();
        o.height = f.canvas.Height();
        o.inManifest = true;
        r.files.push_back(std::move(o));
    };
    for (const Resource& res : art.resources)
    {
        CheckName(res.name);
        if (res.frames.empty() || (res.kind == Resource::Kind::Image && res.frames.size() != 1))
            throw std::runtime_error("resource " + res.name + " has the wrong number of images");
        for (const ImageFile& f : res.frames)
        {
            // The loader takes "<stem>_mask" for the alpha of "<stem>": a listed image must never
            // be named like one.
            const std::string lower = Lower(f.stem);
            if (lower.size() > 5 && lower.compare(lower.size() - 5, 5, "_mask") == 0)
                throw std::runtime_error("an image named like a mask: " + f.stem);
            add(f);
        }
        for (const ImageFile& f : res.companions)
            add(f);
        const std::string turns =
            res.rotations > 1 ? " rotations=\"" + std::to_string(res.rotations) + "\"" : std::string();
        if (res.kind == Resource::Kind::Image)
            r.records +=
                "<image name=\"" + res.name + "\" src=\"" + res.frames[0].stem + "\"" + turns + "/>\n";
        else
        {
            r.records += "<imagelist name=\"" + res.name + "\">\n";
            for (const ImageFile& f : res.frames)
                r.records += "  <image src=\"" + f.stem + "\"" + turns + "/>\n";
            r.records += "</imagelist>\n";
        }
    }
    Output sheet;
    sheet.root = Root::Docs;
    sheet.path = "art/contact_" + family.name + ".png";
    sheet.family = family.name;
    const Canvas c = ContactSheet(family, art);
    sheet.bytes = EncodePng(c);
    sheet.width = c.Width();
    sheet.height = c.Height();
    r.files.push_back(std::move(sheet));
    r.derived = art.records;
    return r;
}

// The line after the root element's start tag: past the declaration, comments and doctype.
size_t AfterRootStart(const std::string& file)
{
    size_t at = 0;
    while ((at = file.find('<', at)) != std::string::npos)
    {
        if (file.compare(at, 4, "<!--") == 0)
        {
            const size_t end = file.find("-->", at + 4);
            if (end == std::string::npos)
                return std::string::npos;
            at = end + 3;
        }
        else if (file.compare(at, 2, "<?") == 0 || file.compare(at, 2, "<!") == 0)
            ++at;
        else
        {
            const size_t close = file.find('>', at);
            if (close == std::string::npos || file[close - 1] == '/')
                return std::string::npos;
            const size_t line = file.find('\n', close);
            return line == std::string::npos ? file.size() : line + 1;
        }
    }
    return std::string::npos;
}
} // namespace

FamilyArt PaintFamily(const Family& family, const TextTable* text)
{
    if (family.paintText)
    {
        if (!text)
            throw std::runtime_error("the family " + family.name + " bakes text and has no text table");
        return family.paintText(*text);
    }
    return family.paint();
}

std::string GroupFile(const std::string& group)
{
    return "groups/" + group + ".xml";
}

Generated GenerateAll(const TextTable* text)
{
    const auto& families = Families();
    std::vector<std::future<FamilyResult>> running;
    for (const Family& f : families)
        running.push_back(std::async(std::launch::async, [&f, text] { return Build(f, text); }));
    Generated g;
    for (size_t i = 0; i < families.size(); ++i)
    {
        FamilyResult result = running[i].get();
        std::string& section = g.sections[families[i].group];
        if (section.empty())
            section = SectionBegin(ImageSection) + "\n" +
                      "<!-- Written by tools/datagen: one record per image or image list. -->\n";
        section += result.records;
        if (!result.derived.empty())
        {
            std::string& sprites = g.spriteSections[families[i].group];
            if (sprites.empty())
                sprites =
                    SectionBegin(SpriteSection) + "\n" +
                    "<!-- Written by tools/datagen from the pictures above: animation lists, sprite types "
                    "and values. -->\n";
            sprites += result.derived;
        }
        for (Output& o : result.files)
            g.files.push_back(std::move(o));
        for (const CaptionArea& a : result.captions)
            g.captions += a.images + "\t" + Number(a.left) + "\t" + Number(a.top) + "\t" + Number(a.right) +
                          "\t" + Number(a.bottom) + "\t" + Number(a.radius) + "\n";
    }
    g.captions = "images\tleft\ttop\tright\tbottom\tradius\n" + g.captions;
    for (auto& [group, section] : g.sections)
        section += SectionEnd(ImageSection) + "\n";
    for (auto& [group, section] : g.spriteSections)
        section += SectionEnd(SpriteSection) + "\n";

    // Bare names are unique in the whole tree, ignoring case: the file index finds files by them.
    std::map<std::string, std::string> bare;
    std::vector<const Output*> images;
    for (const Output& o : g.files)
    {
        if (!o.inManifest)
            continue;
        const std::string name = Lower(o.path.substr(o.path.rfind('/') + 1));
        const std::string stem = name.substr(0, name.rfind('.'));
        if (!bare.emplace(stem, o.path).second)
            throw std::runtime_error("two images share the bare name " + stem + ": " + bare[stem] + ", " +
                                     o.path);
        images.push_back(&o);
    }
    std::sort(images.begin(), images.end(),
              [](const Output* a, const Output* b) { return a->path < b->path; });
    g.manifest = "file\twidth\theight\tbytes\tfnv1a64\n";
    for (const Output* o : images)
        g.manifest += o->path + "\t" + std::to_string(o->width) + "\t" + std::to_string(o->height) + "\t" +
                      std::to_string(o->bytes.size()) + "\t" + Hex64(Fnv1a64(o->bytes)) + "\n";
    return g;
}

bool MatchesPattern(const std::string& pattern, const std::string& text)
{
    // Iterative wildcard match with one backtrack point.
    size_t p = 0, t = 0, star = std::string::npos, mark = 0;
    auto same = [](char a, char b)
    { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); };
    while (t < text.size())
    {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], text[t])))
        {
            ++p;
            ++t;
        }
        else if (p < pattern.size() && pattern[p] == '*')
        {
            star = p++;
            mark = t;
        }
        else if (star != std::string::npos)
        {
            p = star + 1;
            t = ++mark;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool AnyMatches(const Generated& g, const std::string& pattern)
{
    for (const Output& o : g.files)
        if (Selected(o, pattern))
            return true;
    return false;
}

size_t WriteAll(const std::filesystem::path& dataRoot, const std::filesystem::path& docsRoot,
                const Generated& g, const std::string& pattern)
{
    size_t written = 0;
    for (const Output& o : g.files)
    {
        if (!pattern.empty() && !Selected(o, pattern))
            continue;
        WriteFileBytes((o.root == Root::Data ? dataRoot : docsRoot) / o.path, o.bytes);
        ++written;
    }
    WriteFileBytes(dataRoot / ManifestFile, Bytes(g.manifest.begin(), g.manifest.end()));
    WriteFileBytes(dataRoot / CaptionFile, Bytes(g.captions.begin(), g.captions.end()));
    for (const auto& [group, section] : g.sections)
    {
        const std::filesystem::path file = dataRoot / GroupFile(group);
        std::string existing;
        if (std::filesystem::exists(file))
        {
            const Bytes old = ReadFileBytes(file);
            existing.assign(old.begin(), old.end());
        }
        std::string merged = SpliceSection(existing, ImageSection, section, group);
        const auto sprites = g.spriteSections.find(group);
        if (sprites != g.spriteSections.end())
            merged = SpliceSection(merged, SpriteSection, sprites->second, group);
        WriteFileBytes(file, Bytes(merged.begin(), merged.end()));
        ++written;
    }
    return written + 2;
}

std::string SpliceSection(const std::string& existing, const std::string& name, const std::string& section,
                          const std::string& group)
{
    if (existing.empty())
    {
        const std::string head =
            group == "resources"
                ? "<!-- Generated file: do not edit. Each generator under tools/ rewrites only its own\n"
                  "     section; see data/README.md. -->\n"
                : "<!-- The \"" + group + "\" group. The " + name +
                      " section is written by tools/datagen; the rest by hand. -->\n";
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + head + "<resources>\n" + section +
               "</resources>\n";
    }
    const std::string begin = SectionBegin(name), end = SectionEnd(name);
    const size_t b = existing.find(begin), e = existing.find(end);
    if (b != std::string::npos || e != std::string::npos)
    {
        if (b == std::string::npos || e == std::string::npos || e < b ||
            existing.find(begin, b + 1) != std::string::npos)
            throw std::runtime_error("resource file has unbalanced markers for the " + name + " section");
        size_t after = e + end.size();
        if (after < existing.size() && existing[after] == '\n')
            ++after;
        return existing.substr(0, b) + section + existing.substr(after);
    }
    // Derived records name the images, so they follow the image section.
    const std::string imagesEnd = SectionEnd(ImageSection);
    const size_t images = name == ImageSection ? std::string::npos : existing.find(imagesEnd);
    if (images != std::string::npos)
    {
        size_t after = images + imagesEnd.size();
        if (after < existing.size() && existing[after] == '\n')
            ++after;
        return existing.substr(0, after) + section + existing.substr(after);
    }
    const size_t at = AfterRootStart(existing);
    if (at == std::string::npos)
        throw std::runtime_error("resource file has no root element to add the " + name + " section to");
    return existing.substr(0, at) + (at > 0 && existing[at - 1] != '\n' ? "\n" : "") + section +
           existing.substr(at);
}

std::string ExtractSection(const std::string& file, const std::string& name)
{
    const std::string begin = SectionBegin(name), end = SectionEnd(name);
    const size_t b = file.find(begin), e = file.find(end);
    if (b == std::string::npos || e == std::string::npos || e < b)
        return {};
    size_t after = e + end.size();
    if (after < file.size() && file[after] == '\n')
        ++after;
    return file.substr(b, after - b);
}

Bytes ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    // Written beside and renamed over, so a failed run never leaves half a file.
    const std::filesystem::path temp = path.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out)
        {
            std::filesystem::remove(temp);
            throw std::runtime_error("cannot write " + path.string());
        }
    }
    std::filesystem::rename(temp, path);
}
} // namespace DataGen
