#include "GraphicsTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

namespace GraphicsTest
{

std::vector<uint8_t> PackGifCodes(const std::vector<int>& codes, int m)
{
    const int clear = 1 << m;
    const int end = clear + 1;
    std::vector<uint8_t> out;
    uint64_t bits = 0;
    int count = 0;
    auto put = [&](int code, int width)
    {
        bits |= uint64_t(code) << count;
        count += width;
        while (count >= 8)
        {
            out.push_back(uint8_t(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    int width = m + 1;
    int next = clear + 2;
    bool first = true;
    for (int code : codes)
    {
        put(code, width);
        if (code == clear)
        {
            width = m + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (code == end)
            break;
        // The decoder adds an entry for every code but the first after a clear.
        if (!first && next < 4096)
        {
            ++next;
            if (next >= (1 << width) && width < 12)
                ++width;
        }
        first = false;
    }
    if (count > 0)
        out.push_back(uint8_t(bits & 0xFF));
    return out;
}

std::vector<int> LzwCodes(const std::vector<uint8_t>& indices, int m, int* codesAfterFull)
{
    const int clear = 1 << m;
    const int end = clear + 1;
    std::vector<int> codes{clear};
    if (codesAfterFull)
        *codesAfterFull = 0;
    if (indices.empty())
    {
        codes.push_back(end);
        return codes;
    }
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2;
    int prefix = indices[0];
    for (size_t i = 1; i < indices.size(); ++i)
    {
        const int b = indices[i];
        auto it = table.find({prefix, b});
        if (it != table.end())
        {
            prefix = it->second;
            continue;
        }
        codes.push_back(prefix);
        if (next < 4096)
            table[{prefix, b}] = next++;
        else if (codesAfterFull)
            ++*codesAfterFull;
        prefix = b;
    }
    codes.push_back(prefix);
    codes.push_back(end);
    return codes;
}

namespace
{
// resize + memcpy: g++ 12 misreads vector::insert of char ranges as an overflow.
void Append(std::vector<uint8_t>& out, const void* data, size_t n)
{
    const size_t at = out.size();
    out.resize(at + n);
    if (n)
        std::memcpy(out.data() + at, data, n);
}

void PutU16(std::vector<uint8_t>& out, int v)
{
    out.insert(out.end(), {uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF)});
}

int TableBits(size_t entries)
{
    int bits = 1;
    while ((size_t(1) << bits) < entries)
        ++bits;
    return bits;
}

std::vector<uint8_t> InterlacedOrder(const std::vector<uint8_t>& indices, int w, int h)
{
    std::vector<uint8_t> out;
    const int start[4] = {0, 4, 2, 1};
    const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < h; y += step[pass])
            out.insert(out.end(), indices.begin() + y * w, indices.begin() + (y + 1) * w);
    return out;
}

void PutImage(std::vector<uint8_t>& out, const GifLayout& layout)
{
    out.push_back(0x2C);
    PutU16(out, layout.left);
    PutU16(out, layout.top);
    PutU16(out, layout.width);
    PutU16(out, layout.height);
    uint8_t packed = layout.interlaced ? 0x40 : 0;
    if (!layout.localTable.empty())
        packed |= uint8_t(0x80 | (TableBits(layout.localTable.size() / 3) - 1));
    out.push_back(packed);
    Append(out, layout.localTable.data(), layout.localTable.size());
    out.push_back(uint8_t(layout.minimumCodeSize));
    const std::vector<uint8_t> ordered =
        layout.interlaced ? InterlacedOrder(layout.indices, layout.width, layout.height) : layout.indices;
    const std::vector<int> codes =
        layout.rawCodes.empty() ? LzwCodes(ordered, layout.minimumCodeSize) : layout.rawCodes;
    const std::vector<uint8_t> data = PackGifCodes(codes, layout.minimumCodeSize);
    for (size_t at = 0; at < data.size(); at += 255)
    {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(uint8_t(n));
        Append(out, data.data() + at, n);
    }
    out.push_back(0);
}
} // namespace

std::vector<uint8_t> BuildGif(const GifLayout& layout)
{
    std::vector<uint8_t> out;
    const char* signature = layout.gif89 ? "GIF89a" : "GIF87a";
    Append(out, signature, 6);
    PutU16(out, layout.screenW);
    PutU16(out, layout.screenH);
    uint8_t packed = uint8_t((layout.tableBitsWithoutTable - 1) & 7);
    if (!layout.globalTable.empty())
        packed = uint8_t(0x80 | (TableBits(layout.globalTable.size() / 3) - 1));
    out.insert(out.end(), {packed, 0, 0});
    Append(out, layout.globalTable.data(), layout.globalTable.size());
    // A comment extension first: extensions other than the graphic control are skipped.
    const char comment[] = "made by a test";
    out.insert(out.end(), {0x21, 0xFE, uint8_t(sizeof(comment) - 1)});
    Append(out, comment, sizeof(comment) - 1);
    out.push_back(0);
    if (layout.transparentIndex >= 0 || layout.controlWithoutTransparency)
    {
        // Dispose 2 and the transparency bit.
        out.insert(out.end(), {0x21, 0xF9, 4, uint8_t(layout.transparentIndex >= 0 ? 0x09 : 0x00)});
        PutU16(out, layout.delay);
        out.insert(out.end(), {uint8_t(std::max(layout.transparentIndex, 0)), 0});
    }
    PutImage(out, layout);
    if (layout.secondImage)
    {
        GifLayout second = layout;
        for (auto& i : second.indices)
            i = uint8_t((i + 1) % (1 << layout.minimumCodeSize));
        PutImage(out, second);
    }
    out.push_back(0x3B);
    return out;
}

std::vector<uint8_t> WritePng(const PngLayout& layout)
{
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("png write failed");
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t n)
        {
            auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        [](png_structp) {});
    png_set_IHDR(png, info, png_uint_32(layout.width), png_uint_32(layout.height), layout.bitDepth,
                 layout.colorType, layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < layout.palette.size(); i += 3)
        palette.push_back({layout.palette[i], layout.palette[i + 1], layout.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!layout.trnsAlphas.empty())
        png_set_tRNS(png, info, layout.trnsAlphas.data(), int(layout.trnsAlphas.size()), nullptr);
    else if (!layout.trnsKey.empty())
    {
        const auto& k = layout.trnsKey;
        png_color_16 key{};
        key.gray = k[0];
        if (k.size() == 3)
            key = {0, k[0], k[1], k[2], 0};
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (layout.ancillaryChunks)
    {
        char key[] = "Comment", plain[] = "plain text", packed[] = "compressed text, compressed text";
        png_text texts[2] = {};
        texts[0] = {PNG_TEXT_COMPRESSION_NONE, key, plain, sizeof plain - 1, 0, nullptr, nullptr};
        texts[1] = {PNG_TEXT_COMPRESSION_zTXt, key, packed, sizeof packed - 1, 0, nullptr, nullptr};
        png_set_text(png, info, texts, 2);
        png_set_gAMA(png, info, 0.45455);
    }
    png_write_info(png, info);
    if (layout.bitDepth < 8)
        png_set_packing(png);

    const int channels = png_get_channels(png, info);
    std::vector<std::vector<uint8_t>> rows(size_t(layout.height));
    for (int y = 0; y < layout.height; ++y)
        for (int i = 0; i < layout.width * channels; ++i)
        {
            const uint16_t v = layout.samples[size_t(y * layout.width * channels + i)];
            if (layout.bitDepth == 16)
                rows[size_t(y)].push_back(uint8_t(v >> 8));
            rows[size_t(y)].push_back(uint8_t(v & 0xFF));
        }
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> WriteJpeg(int width, int height, int components, const std::vector<uint8_t>& samples,
                               bool progressive, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // Full-resolution colour, so each 8 x 8 block keeps its own colour.
    cinfo.comp_info[0].h_samp_factor = 1;
    cinfo.comp_info[0].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        JSAMPROW row =
            const_cast<JSAMPROW>(&samples[size_t(cinfo.next_scanline) * size_t(width * components)]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace GraphicsTest
