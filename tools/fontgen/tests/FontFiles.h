#pragma once

// Test-side readers for the generator's output, written from the engine's rules rather than from the
// generator's code: the description is decoded byte by byte (C2/C3 pairs) and read as white-space
// separated tokens; the image is read back through libpng.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct GlyphRecord
{
    int code = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

struct Description
{
    int top = 0, lineHeight = 0, spacing = 0, version = 0, spaceWidth = 0, count = 0;
    std::vector<GlyphRecord> glyphs; // file order
    std::vector<int> kerning;        // count x count, file order
    bool complete = false;           // every announced token was there
    bool trailing = false;           // tokens were left over

    // The engine's advance of c before next: 0 above U+00FF, spacing for version 0, else the glyph
    // width (space: spaceWidth) plus spacing plus the pair kerning.
    int Advance(int c, int next) const;
    const GlyphRecord* Find(int code) const;
};

Description ParseDescription(const std::string& bytes);

struct AlphaImage
{
    int width = 0, height = 0;
    std::vector<std::uint8_t> grey, alpha;
    int Alpha(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

std::string ReadBytes(const std::filesystem::path& path);
// Empty image when the file is missing or not a PNG.
AlphaImage ReadPng(const std::filesystem::path& path);
AlphaImage DecodePng(const std::vector<std::uint8_t>& bytes);
// Runs fontgen with its output sent to `log`; answers the exit code.
int RunFontGen(const std::vector<std::string>& args, const std::filesystem::path& log);

struct ListedFont
{
    std::string name;
    std::string group; // "-" for a font no group names
    std::vector<std::string> args;
    bool strip = false; // --strip among the args
};
std::vector<ListedFont> ReadFontList(const std::filesystem::path& path);

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};
