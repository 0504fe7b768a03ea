#include "Writers.h"

#include <png.h>
// jpeglib.h needs size_t and FILE first.
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <map>
#include <stdexcept>

namespace DataGen
{
namespace
{
void PngToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

// libpng reports errors by longjmp, so nothing in here owns resources.
bool WritePngRows(png_structp png, png_infop info, int w, int h, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    return true;
}

struct JpegError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void PutLe16(Bytes& out, int v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
} // namespace

Bytes EncodePng(const Canvas& canvas)
{
    if (canvas.Empty())
        throw std::runtime_error("cannot encode an empty image");
    Bytes pixels = canvas.ToRgba8();
    std::vector<png_bytep> rows(static_cast<size_t>(canvas.Height()));
    for (int y = 0; y < canvas.Height(); ++y)
        rows[y] = pixels.data() + static_cast<size_t>(y) * canvas.Width() * 4;
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        throw std::runtime_error("cannot start libpng");
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("cannot start libpng");
    }
    png_set_write_fn(png, &out, PngToVector, PngFlush);
    const bool ok = WritePngRows(png, info, canvas.Width(), canvas.Height(), rows);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        throw std::runtime_error("libpng could not encode the image");
    return out;
}

Bytes EncodeJpeg(const Canvas& canvas, int quality)
{
    if (canvas.Empty())
        throw std::runtime_error("cannot encode an empty image");
    if (!canvas.IsOpaque())
        throw std::runtime_error("a JPEG image must be opaque");
    const Bytes rgba = canvas.ToRgba8();
    std::vector<uint8_t> rgb(static_cast<size_t>(canvas.Width()) * canvas.Height() * 3);
    for (size_t i = 0, n = rgb.size() / 3; i < n; ++i)
        for (int c = 0; c < 3; ++c)
            rgb[3 * i + c] = rgba[4 * i + c];

    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegFail;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(error.jump))
    {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw std::runtime_error("libjpeg could not encode the image");
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(canvas.Width());
    info.image_height = static_cast<JDIMENSION>(canvas.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW row = rgb.data() + static_cast<size_t>(info.next_scanline) * canvas.Width() * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

Bytes GifLzw(const std::vector<uint8_t>& indices, int minimumCodeSize)
{
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
        throw std::invalid_argument("GIF minimum code size out of range");
    const int clear = 1 << minimumCodeSize, end = clear + 1;
    Bytes out;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    int codeSize = minimumCodeSize + 1;
    int next = end + 1;
    // Codes widen once the next free code no longer fits: the decoder, one entry behind,
    // widens at the same code.
    auto emit = [&](int code)
    {
        bitBuffer |= static_cast<uint32_t>(code) << bitCount;
        bitCount += codeSize;
        while (bitCount >= 8)
        {
            out.push_back(static_cast<uint8_t>(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
        if (next >= (1 << codeSize) && codeSize < 12)
            ++codeSize;
    };
    std::map<std::pair<int, int>, int> table; // (prefix code, next index) -> code
    auto reset = [&]
    {
        table.clear();
        next = end + 1;
        codeSize = minimumCodeSize + 1;
    };
    emit(clear);
    int prefix = -1;
    for (uint8_t index : indices)
    {
        if (index >= clear)
            throw std::invalid_argument("GIF index beyond the palette");
        if (prefix < 0)
        {
            prefix = index;
            continue;
        }
        const auto found = table.find({prefix, index});
        if (found != table.end())
        {
            prefix = found->second;
            continue;
        }
        emit(prefix);
        if (next >= 4095)
        {
            emit(clear);
            reset();
        }
        else
            table[{prefix, index}] = next++;
        prefix = index;
    }
    if (prefix >= 0)
        emit(prefix);
    emit(end);
    if (bitCount > 0)
        out.push_back(static_cast<uint8_t>(bitBuffer & 0xFF));
    return out;
}

Bytes EncodeGif(const Canvas& canvas)
{
    if (canvas.Empty() || canvas.Width() > 65535 || canvas.Height() > 65535)
        throw std::runtime_error("cannot encode an image of that size as GIF");
    const Bytes rgba = canvas.ToRgba8();
    const size_t count = static_cast<size_t>(canvas.Width()) * canvas.Height();
    // Palette in order of first appearance; index 0 is the transparent colour.
    std::vector<uint32_t> palette{0};
    std::map<uint32_t, uint8_t> lookup;
    std::vector<uint8_t> indices(count);
    for (size_t i = 0; i < count; ++i)
    {
        if (rgba[4 * i + 3] < 128)
        {
            indices[i] = 0;
            continue;
        }
        const uint32_t key =
            (uint32_t(rgba[4 * i]) << 16) | (uint32_t(rgba[4 * i + 1]) << 8) | rgba[4 * i + 2];
        auto it = lookup.find(key);
        if (it == lookup.end())
        {
            if (palette.size() >= 256)
                throw std::runtime_error("too many colours for a GIF palette");
            it = lookup.emplace(key, static_cast<uint8_t>(palette.size())).first;
            palette.push_back(key);
        }
        indices[i] = it->second;
    }
    int bits = 1;
    while ((1u << bits) < palette.size())
        ++bits;
    palette.resize(size_t(1) << bits, 0);
    const int minimumCodeSize = bits < 2 ? 2 : bits;

    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    PutLe16(out, canvas.Width());
    PutLe16(out, canvas.Height());
    out.push_back(static_cast<uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1))); // global table
    out.push_back(0);                                                           // background index
    out.push_back(0);                                                           // aspect
    for (uint32_t c : palette)
    {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
    // Graphic control extension: transparent colour index 0.
    const uint8_t control[] = {0x21, 0xF9, 4, 0x01, 0, 0, 0, 0};
    out.insert(out.end(), control, control + sizeof control);
    out.push_back(0x2C);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, canvas.Width());
    PutLe16(out, canvas.Height());
    out.push_back(0); // no local table, not interlaced
    out.push_back(static_cast<uint8_t>(minimumCodeSize));
    const Bytes code = GifLzw(indices, minimumCodeSize);
    for (size_t at = 0; at < code.size(); at += 255)
    {
        const size_t n = std::min<size_t>(255, code.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), code.begin() + static_cast<long>(at), code.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

uint64_t Fnv1a64(const Bytes& bytes)
{
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes)
    {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string Hex64(uint64_t v)
{
    static const char digits[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4)
        s[static_cast<size_t>(i)] = digits[v & 15];
    return s;
}
} // namespace DataGen
