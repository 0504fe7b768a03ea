#include "FontFiles.h"

#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

Description ParseDescription(const std::string& bytes)
{
    // C2/C3 pairs back to one Latin-1 byte; the classic locale then splits on ASCII white space only.
    std::string latin1;
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if ((b == 0xC2 || b == 0xC3) && i + 1 < bytes.size())
            latin1 += static_cast<char>(static_cast<unsigned char>(bytes[++i]) + (b == 0xC3 ? 0x40 : 0));
        else
            latin1 += bytes[i];
    }
    std::istringstream in(latin1);
    Description d;
    if (!(in >> d.top >> d.lineHeight >> d.spacing >> d.version >> d.spaceWidth >> d.count) || d.count < 0 ||
        d.count > 256)
        return d;
    for (int i = 0; i < d.count; ++i)
    {
        GlyphRecord g{0, 0, d.top, 0, d.lineHeight};
        g.code = (in >> std::ws).get();
        if (!(in >> g.x >> g.width) || (d.version >= 3 && !(in >> g.y >> g.height)))
            return d;
        d.glyphs.push_back(g);
    }
    if (d.version >= 2)
        d.kerning.resize(static_cast<size_t>(d.count) * d.count);
    for (int& k : d.kerning)
        if (!(in >> k))
            return d;
    d.complete = true;
    d.trailing = (in >> std::ws).peek() != std::char_traits<char>::eof();
    return d;
}

const GlyphRecord* Description::Find(int code) const
{
    const auto g =
        std::find_if(glyphs.begin(), glyphs.end(), [code](const GlyphRecord& r) { return r.code == code; });
    return g == glyphs.end() ? nullptr : &*g;
}

int Description::Advance(int c, int next) const
{
    if (c < 0 || c >= 256 || next < 0 || next >= 256)
        return 0;
    if (version == 0)
        return spacing;
    const GlyphRecord* g = Find(c);
    int advance = (c == 0x20 ? spaceWidth : (g ? g->width : 0)) + spacing;
    const GlyphRecord* n = Find(next);
    if (version >= 2 && g && n)
        advance += kerning[static_cast<size_t>(g - glyphs.data()) * count + (n - glyphs.data())];
    return advance;
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream out;
    out << file.rdbuf();
    return out.str();
}

AlphaImage DecodePng(const std::vector<std::uint8_t>& bytes)
{
    AlphaImage result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return result;
    image.format = PNG_FORMAT_GA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return result;
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    for (size_t i = 0; i + 1 < pixels.size(); i += 2)
    {
        result.grey.push_back(pixels[i]);
        result.alpha.push_back(pixels[i + 1]);
    }
    return result;
}

AlphaImage ReadPng(const std::filesystem::path& path)
{
    const std::string bytes = ReadBytes(path);
    return DecodePng(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

int RunFontGen(const std::vector<std::string>& args, const std::filesystem::path& log)
{
    const auto quote = [](const std::string& s)
    {
        std::string out = "'";
        for (char c : s)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    };
    std::string command = quote(FONTGEN_EXE);
    for (const std::string& arg : args)
        command += ' ' + quote(arg);
    const int status = std::system((command + " >" + quote(log.string()) + " 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<ListedFont> ReadFontList(const std::filesystem::path& path)
{
    std::vector<ListedFont> fonts;
    std::istringstream lines(ReadBytes(path));
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream words(line);
        ListedFont font;
        if (!(words >> font.name) || font.name[0] == '#')
            continue;
        if (!(words >> font.group))
            throw std::runtime_error("no group for " + font.name + " in " + path.string());
        for (std::string word; words >> word;)
            font.args.push_back(word);
        font.strip = std::find(font.args.begin(), font.args.end(), "--strip") != font.args.end();
        fonts.push_back(std::move(font));
    }
    return fonts;
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "fontgen-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
