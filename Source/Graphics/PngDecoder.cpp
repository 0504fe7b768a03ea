#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Graphics/ImageDecoders.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <new>
#include <string>

#include <png.h>

namespace Kestrin
{

namespace
{

// A chunk may claim up to 2 GB; the ones read here (palette, transparency) are tiny.
constexpr png_alloc_size_t kChunkMemoryLimit = png_alloc_size_t(1) << 20;
constexpr png_uint_32 kChunkCacheLimit = 16;

// libpng's own messages go to the log with the file's name, never to stderr. The error pointer is
// the name, in UTF-8.
void LogMessage(png_structp png, const char* kind, png_const_charp message) noexcept
{
    try
    {
        const char* name = static_cast<const char*>(png_get_error_ptr(png));
        LogPrintf("PNG %s: libpng %s: %s\n", name ? name : "", kind, message ? message : "");
    }
    catch (...)
    {
    }
}

// An error handler must not return: it leaves through the decoder's setjmp.
[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    LogMessage(png, "error", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message)
{
    LogMessage(png, "warning", message);
}

void ReadFromStream(png_structp png, png_bytep data, size_t length)
{
    IStream* stream = static_cast<IStream*>(png_get_io_ptr(png));
    size_t done = 0;
    while (done < length)
    {
        const uint32_t got = stream->Read(data + done, uint32_t(std::min<size_t>(length - done, UINT32_MAX)));
        if (got == 0)
            break;
        done += got;
    }
    if (done < length)
        png_error(png, "stream ended early");
}

// Plain data only in this frame: it is the longjmp target.
uint32_t* DecodePngPixels(IStream* stream, const char* name, int* width, int* height)
{
    png_byte signature[4];
    if (stream->Read(signature, 4) != 4 || png_sig_cmp(signature, 0, 4) != 0)
        return nullptr;

    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, const_cast<char*>(name), OnError, OnWarning);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }

    uint32_t* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_read_struct(&png, &info, nullptr);
        delete[] pixels;
        std::free(rows);
        return nullptr;
    }

    png_set_read_fn(png, stream, ReadFromStream);
    png_set_sig_bytes(png, 4);
    // Only the pixels and their transparency are used: every other ancillary chunk is skipped
    // unread, so a chunk claiming a huge length costs neither memory nor time.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_malloc_max(png, kChunkMemoryLimit);
    png_set_chunk_cache_max(png, kChunkCacheLimit);
    const png_uint_32 sideLimit =
        png_uint_32(std::min<size_t>(Internal::DecodedPixelLimit(), PNG_UINT_31_MAX));
    png_set_user_limits(png, sideLimit, sideLimit);
    png_read_info(png, info);

    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (h > 0x3FFFFFFF)
        png_error(png, "Image is too high to process with png_read_png()");
    if (uint64_t(w) * h > Internal::DecodedPixelLimit() || w > INT_MAX)
        png_error(png, "image too large");

    const int colorType = png_get_color_type(png, info);
    png_set_strip_16(png);
    png_set_packing(png);
    if (png_get_bit_depth(png, info) < 8 || colorType == PNG_COLOR_TYPE_PALETTE ||
        png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_expand(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(w) * 4)
        png_error(png, "unexpected row layout");

    pixels = new (std::nothrow) uint32_t[size_t(w) * h];
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * std::max<size_t>(h, 1)));
    if (!pixels || !rows)
        png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels + size_t(y) * w);
    png_read_image(png, rows);
    png_read_end(png, nullptr);

    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    *width = int(w);
    *height = int(h);
    return pixels;
}

} // namespace

std::unique_ptr<uint32_t[]> DecodePng(IStream* stream, int& width, int& height)
{
    if (!stream)
        return nullptr;
    const std::string name = ToUtf8(stream->GetName());
    int w = 0, h = 0;
    uint32_t* pixels = DecodePngPixels(stream, name.c_str(), &w, &h);
    return Internal::TakeDecodedPixels(pixels, w, h, width, height);
}

} // namespace Kestrin
