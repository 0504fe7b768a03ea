#pragma once
// File builders of the graphics tests; the fakes they share with other areas are in Support.
#include "Base/Stream.h"
#include "Graphics/ImageLoader.h"
#include "Support/GraphicsFakes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace GraphicsTest
{

using namespace KestrinTest;
using Kestrin::ColorF;
using Kestrin::Rect;

// A stream over bytes that offers no direct access (as file streams).
class PlainStream : public Kestrin::IStream
{
public:
    explicit PlainStream(std::vector<uint8_t> bytes) : m_inner(L"plain", bytes.data(), uint32_t(bytes.size()))
    {
    }
    std::wstring GetName() const override { return L"plain"; }
    uint32_t GetCapabilities() const override { return CanRead | CanSeek; }
    uint32_t GetSize() override { return m_inner.GetSize(); }
    bool IsEOF() override { return m_inner.IsEOF(); }
    uint32_t Read(void* buffer, uint32_t count) override { return m_inner.Read(buffer, count); }
    uint32_t ReadDirect(const uint8_t*& data, uint32_t) override
    {
        data = nullptr;
        return 0;
    }
    uint32_t Write(const void*, uint32_t) override { return 0; }
    uint32_t Seek(int origin, int32_t offset) override { return m_inner.Seek(origin, offset); }
    uint32_t Tell() override { return m_inner.Tell(); }

private:
    Kestrin::MemoryStream m_inner;
};

inline std::shared_ptr<Kestrin::IStream> StreamOf(const std::vector<uint8_t>& bytes)
{
    return std::make_shared<Kestrin::MemoryStream>(L"test", bytes.data(), uint32_t(bytes.size()));
}

// Files by name + extension, as an image file opener finds them; records what was asked for.
struct Files
{
    std::map<std::wstring, std::vector<uint8_t>> bytes;
    std::vector<std::wstring> opened;
    Kestrin::ImageFileOpener Opener()
    {
        return [this](const std::wstring& name,
                      const std::wstring& extension) -> std::shared_ptr<Kestrin::IStream>
        {
            opened.push_back(name + extension);
            auto it = bytes.find(name + extension);
            return it == bytes.end() ? nullptr : StreamOf(it->second);
        };
    }
    void AddText(const std::wstring& name, const std::string& text)
    {
        bytes[name] = std::vector<uint8_t>(text.begin(), text.end());
    }
};

// ---- GIF files made by the tests ----

// Packs codes LSB first at the widths a decoder reads them: the width grows when the decoder's
// next table entry reaches 2^width (below 12 bits), and resets at a clear code.
std::vector<uint8_t> PackGifCodes(const std::vector<int>& codes, int minimumCodeSize);
// LZW codes for the indices: a clear code first, the end code last. With `deferClear` a full
// table is kept (no clear) and 12-bit codes go on. `codesAfterFull` counts codes sent then.
std::vector<int> LzwCodes(const std::vector<uint8_t>& indices, int minimumCodeSize,
                          int* codesAfterFull = nullptr);

struct GifLayout
{
    bool gif89 = true;
    int screenW = 0, screenH = 0;
    int left = 0, top = 0, width = 0, height = 0;
    // Red, green, blue per entry; its size must be a power of two (2 to 256 entries).
    std::vector<uint8_t> globalTable;
    std::vector<uint8_t> localTable;
    // The size field of the screen descriptor when there is no global table (bits - 1).
    int tableBitsWithoutTable = 1;
    int transparentIndex = -1; // with a graphic control extension when >= 0
    bool controlWithoutTransparency = false;
    int delay = 0;
    bool interlaced = false;
    int minimumCodeSize = 2;
    // Row-major indices of the image (in display order; interlacing is done by the builder).
    std::vector<uint8_t> indices;
    // Codes to send instead of encoding `indices`.
    std::vector<int> rawCodes;
    bool secondImage = false;
};
std::vector<uint8_t> BuildGif(const GifLayout& layout);

// ---- PNG and JPEG files written with the libraries ----

// colorType and bitDepth as libpng names them; samples are row-major, one value per channel
// (16-bit depths take values to 65535). `palette` RGB triples; `trns` the transparency chunk
// (palette alphas, or one grey / RGB key colour).
struct PngLayout
{
    int width = 1, height = 1;
    int colorType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint16_t> samples;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> trnsAlphas;
    std::vector<uint16_t> trnsKey;
    // A tEXt, a zTXt and a gAMA chunk before the image data.
    bool ancillaryChunks = false;
};
std::vector<uint8_t> WritePng(const PngLayout& layout);

// Greyscale (components 1) or RGB (3) samples, row-major.
std::vector<uint8_t> WriteJpeg(int width, int height, int components, const std::vector<uint8_t>& samples,
                               bool progressive, int quality = 95);

} // namespace GraphicsTest
