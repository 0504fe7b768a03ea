#include "FontFiles.h"

#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace
{

class Tokens
{
public:
    explicit Tokens(std::u32string text) : text_(std::move(text)) {}

    bool Int(int& value)
    {
        Skip();
        size_t end = pos_;
        if (end < text_.size() && text_[end] == U'-')
            ++end;
        const size_t digits = end;
        while (end < text_.size() && text_[end] >= U'0' && text_[end] <= U'9')
            ++end;
        if (end == digits)
            return false;
        long long v = 0;
        for (size_t i = digits; i < end; ++i)
            v = std::min<long long>(v * 10 + (text_[i] - U'0'), INT_MAX);
        value = static_cast<int>(text_[pos_] == U'-' ? -v : v);
        pos_ = end;
        return true;
    }
    bool Char(int& c)
    {
        Skip();
        if (pos_ >= text_.size())
            return false;
        c = static_cast<int>(text_[pos_++]);
        return true;
    }
    bool AtEnd()
    {
        Skip();
        return pos_ >= text_.size();
    }

private:
    void Skip()
    {
        while (pos_ < text_.size() && text_[pos_] < 0x80 && std::isspace(static_cast<int>(text_[pos_])))
            ++pos_;
    }
    std::u32string text_;
    size_t pos_ = 0;
};

std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

Description ParseDescription(const std::string& bytes)
{
    std::u32string chars;
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if ((b == 0xC2 || b == 0xC3) && i + 1 < bytes.size())
            chars += static_cast<char32_t>(static_cast<unsigned char>(bytes[++i]) + (b == 0xC3 ? 0x40 : 0));
        else
            chars += static_cast<char32_t>(b);
    }
    Tokens in(std::move(chars));
    Description d;
    if (!(in.Int(d.top) && in.Int(d.lineHeight) && in.Int(d.spacing) && in.Int(d.version) &&
          in.Int(d.spaceWidth) && in.Int(d.count)) ||
        d.count < 0 || d.count > 256)
        return d;
    for (int i = 0; i < d.count; ++i)
    {
        GlyphRecord g;
        if (!in.Char(g.code) || !in.Int(g.x) || !in.Int(g.width))
            return d;
        g.y = d.top;
        g.height = d.lineHeight;
        if (d.version >= 3 && !(in.Int(g.y) && in.Int(g.height)))
            return d;
        d.glyphs.push_back(g);
    }
    if (d.version >= 2)
        for (int i = 0; i < d.count * d.count; ++i)
        {
            int k = 0;
            if (!in.Int(k))
                return d;
            d.kerning.push_back(k);
        }
    d.complete = true;
    d.trailing = !in.AtEnd();
    return d;
}

const GlyphRecord* Description::Find(int code) const
{
    for (const GlyphRecord& g : glyphs)
        if (g.code == code)
            return &g;
    return nullptr;
}

int Description::Advance(int c, int next) const
{
    if (c < 0 || c >= 256 || next < 0 || next >= 256)
        return 0;
    if (version == 0)
        return spacing;
    const GlyphRecord* g = Find(c);
    int advance = (c == 0x20 ? spaceWidth : (g ? g->width : 0)) + spacing;
    if (version >= 2 && g)
    {
        const GlyphRecord* n = Find(next);
        if (n)
            advance += kerning[static_cast<size_t>(g - glyphs.data()) * count + (n - glyphs.data())];
    }
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
    png_image image;
    std::memset(&image, 0, sizeof image);
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
    std::string command = Quote(FONTGEN_EXE);
    for (const std::string& arg : args)
        command += ' ' + Quote(arg);
    command += " >" + Quote(log.string()) + " 2>&1";
    const int status = std::system(command.c_str());
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
        fonts.push_back(std::move(font));
    }
    return fonts;
}

bool ListedFont::IsStrip() const
{
    return std::find(args.begin(), args.end(), "--strip") != args.end();
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
