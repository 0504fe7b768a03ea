// fontgen: renders a TrueType face into the engine's image-font pair, <out>.png and <out>.txt.

#include "FontGen.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

constexpr const char* cDefaultFace = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int cMinSize = 4;
constexpr int cMaxSize = 512;

void PrintUsage(std::FILE* to)
{
    std::fprintf(to,
                 "usage: fontgen [--size PX] [--face FILE] [--bold FILE] [--strip] --out STEM\n"
                 "  --size PX    pixels per em, %d to %d (default 16)\n"
                 "  --face FILE  regular face (default %s)\n"
                 "  --bold FILE  bold face; the font is rendered from it instead of the regular face\n"
                 "  --strip      write a version 2 strip (one row) instead of a version 3 atlas\n"
                 "  --out STEM   writes STEM.png and STEM.txt\n",
                 cMinSize, cMaxSize, cDefaultFace);
}

struct Options
{
    int size = 16;
    std::string face = cDefaultFace;
    std::string bold;
    bool strip = false;
    std::string out;
};

struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Decimal digits only; anything else (signs, hex, trailing text) is refused.
std::optional<int> ParseSize(const char* text)
{
    if (*text == '\0' || std::strlen(text) > 6)
        return std::nullopt;
    int value = 0;
    for (const char* p = text; *p; ++p)
    {
        if (*p < '0' || *p > '9')
            return std::nullopt;
        value = value * 10 + (*p - '0');
    }
    return value;
}

Options ParseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        auto value = [&]() -> const char*
        {
            if (i + 1 >= argc)
                throw UsageError(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--size")
        {
            const char* text = value();
            const std::optional<int> size = ParseSize(text);
            if (!size || *size < cMinSize || *size > cMaxSize)
                throw UsageError(std::string("bad size: ") + text);
            options.size = *size;
        }
        else if (arg == "--face")
            options.face = value();
        else if (arg == "--bold")
            options.bold = value();
        else if (arg == "--strip")
            options.strip = true;
        else if (arg == "--out")
            options.out = value();
        else
            throw UsageError("unknown argument: " + arg);
    }
    if (options.out.empty())
        throw UsageError("--out is required");
    return options;
}

void WriteFile(const std::filesystem::path& path, const void* data, size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.flush();
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

// Both files are written beside their targets first and renamed into place only when both are whole, so
// a failed run never leaves a half-written or mismatched pair behind.
void WritePair(const std::string& stem, const std::string& description, const std::vector<std::uint8_t>& png)
{
    const std::filesystem::path txt = stem + ".txt";
    const std::filesystem::path image = stem + ".png";
    const std::filesystem::path txtTemp = stem + ".txt.tmp";
    const std::filesystem::path imageTemp = stem + ".png.tmp";
    try
    {
        WriteFile(txtTemp, description.data(), description.size());
        WriteFile(imageTemp, png.data(), png.size());
        std::filesystem::rename(imageTemp, image);
        std::filesystem::rename(txtTemp, txt);
    }
    catch (...)
    {
        std::error_code ignored;
        std::filesystem::remove(txtTemp, ignored);
        std::filesystem::remove(imageTemp, ignored);
        throw;
    }
}

int Run(const Options& options)
{
    const std::string& facePath = options.bold.empty() ? options.face : options.bold;
    fontgen::RenderedFont font = fontgen::RenderFont(facePath, options.size, fontgen::DefaultCharacters());
    if (font.glyphs.empty())
        throw std::runtime_error("the face has none of the characters: " + facePath);
    const fontgen::GlyphImage image = options.strip ? fontgen::PackStrip(font) : fontgen::PackAtlas(font);
    const std::string description = fontgen::WriteDescription(font, options.strip ? 2 : 3);
    const std::vector<std::uint8_t> png = fontgen::EncodePng(image);
    WritePair(options.out, description, png);

    size_t pairs = 0;
    for (int k : font.kerning)
        pairs += k != 0;
    std::printf("%s: %zu glyphs, line height %d, %dx%d image, %zu kerning pairs\n", options.out.c_str(),
                font.glyphs.size(), font.lineHeight, image.width, image.height, pairs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        PrintUsage(stdout);
        return 0;
    }
    Options options;
    try
    {
        options = ParseArguments(argc, argv);
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "fontgen: %s\n", e.what());
        PrintUsage(stderr);
        return 2;
    }
    try
    {
        return Run(options);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "fontgen: %s\n", e.what());
        return 1;
    }
}
