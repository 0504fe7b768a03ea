#include "Base/Log.h"
#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

namespace Kestrin
{

namespace
{

// The library's fatal errors come back here by longjmp: exit() is never called. Nothing between
// setjmp and any longjmp owns an object with a destructor.
struct ErrorManager
{
    jpeg_error_mgr pub;
    jmp_buf recovery;
};

void ErrorExit(j_common_ptr cinfo)
{
    char message[JMSG_LENGTH_MAX];
    message[0] = 0;
    (*cinfo->err->format_message)(cinfo, message);
    if (!message[0])
        std::strcpy(message, "unknown error");
    LogPrintf("JpegFile Error: %s\n", message);
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->recovery, 1);
}

// Warnings are counted by the library but printed nowhere.
void SilentOutput(j_common_ptr) {}

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void SupplyEndOfImage(j_decompress_ptr cinfo)
{
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = 2;
}

// ---- memory source over the stream's own bytes ----

void MemoryInit(j_decompress_ptr) {}

boolean MemoryFill(j_decompress_ptr cinfo)
{
    WARNMS(cinfo, JWRN_JPEG_EOF);
    SupplyEndOfImage(cinfo);
    return TRUE;
}

void MemorySkip(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    if (size_t(count) > src->bytes_in_buffer)
    {
        src->next_input_byte += src->bytes_in_buffer;
        src->bytes_in_buffer = 0;
        return;
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
}

void MemoryTerm(j_decompress_ptr) {}

// ---- stream source, 4096 bytes at a time ----

constexpr size_t kStreamBuffer = 4096;

struct StreamSource
{
    jpeg_source_mgr pub;
    IStream* stream;
    JOCTET* buffer;
    boolean startOfFile;
};

void StreamInit(j_decompress_ptr cinfo)
{
    reinterpret_cast<StreamSource*>(cinfo->src)->startOfFile = TRUE;
}

boolean StreamFill(j_decompress_ptr cinfo)
{
    StreamSource* src = reinterpret_cast<StreamSource*>(cinfo->src);
    const uint32_t got = src->stream->Read(src->buffer, kStreamBuffer);
    if (got == 0)
    {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        SupplyEndOfImage(cinfo);
    }
    else
    {
        src->pub.next_input_byte = src->buffer;
        src->pub.bytes_in_buffer = got;
    }
    src->startOfFile = FALSE;
    return TRUE;
}

void StreamSkip(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    while (size_t(count) > src->bytes_in_buffer)
    {
        count -= long(src->bytes_in_buffer);
        (*src->fill_input_buffer)(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
}

void StreamTerm(j_decompress_ptr) {}

void UseSource(j_decompress_ptr cinfo, IStream* stream)
{
    if (stream->GetCapabilities() & IStream::CanReadDirect)
    {
        const uint8_t* bytes = nullptr;
        const uint32_t size = stream->ReadDirect(bytes, stream->GetSize());
        jpeg_source_mgr* src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
        src->init_source = MemoryInit;
        src->fill_input_buffer = MemoryFill;
        src->skip_input_data = MemorySkip;
        src->resync_to_restart = jpeg_resync_to_restart;
        src->term_source = MemoryTerm;
        src->next_input_byte = bytes;
        src->bytes_in_buffer = bytes ? size : 0;
        cinfo->src = src;
        return;
    }
    StreamSource* src = static_cast<StreamSource*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(StreamSource)));
    src->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kStreamBuffer));
    src->stream = stream;
    src->startOfFile = TRUE;
    src->pub.init_source = StreamInit;
    src->pub.fill_input_buffer = StreamFill;
    src->pub.skip_input_data = StreamSkip;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = StreamTerm;
    src->pub.next_input_byte = nullptr;
    src->pub.bytes_in_buffer = 0;
    cinfo->src = &src->pub;
}

// Plain data only in this frame: it is the longjmp target.
uint32_t* DecodeJpegPixels(IStream* stream, int* width, int* height)
{
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    uint32_t* volatile pixels = nullptr;

    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.output_message = SilentOutput;
    if (setjmp(errors.recovery))
    {
        jpeg_destroy_decompress(&cinfo);
        delete[] pixels;
        *width = 0;
        *height = 0;
        return nullptr;
    }
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
    UseSource(&cinfo, stream);
    jpeg_read_header(&cinfo, TRUE);

    const char* refusal = nullptr;
    if (cinfo.out_color_space != JCS_RGB && cinfo.out_color_space != JCS_GRAYSCALE)
        refusal = "only greyscale and colour images are supported";
    else if (uint64_t(cinfo.image_width) * cinfo.image_height > Internal::DecodedPixelLimit())
        refusal = "image too large";
    if (refusal)
    {
        LogPrintf("JpegFile Error: %s\n", refusal);
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }

    jpeg_start_decompress(&cinfo);
    const size_t w = cinfo.output_width, h = cinfo.output_height;
    const int components = cinfo.output_components;
    pixels = new (std::nothrow) uint32_t[w * h];
    if (!pixels)
    {
        LogPrintf("JpegFile Error: Out of memory\n");
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    *width = int(w);
    *height = int(h);

    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                JDIMENSION(w * size_t(components)), 1);
    while (cinfo.output_scanline < cinfo.output_height)
    {
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1)
            break; // our sources never suspend; stop rather than spin
        uint32_t* out = pixels + size_t(cinfo.output_scanline - 1) * w;
        const JSAMPLE* in = row[0];
        if (components == 3)
            for (size_t x = 0; x < w; ++x, in += 3)
                out[x] = 0xFF000000u | (uint32_t(in[0]) << 16) | (uint32_t(in[1]) << 8) | in[2];
        else
            for (size_t x = 0; x < w; ++x, ++in)
                out[x] = 0xFF000000u | (uint32_t(in[0]) << 16) | (uint32_t(in[0]) << 8) | in[0];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

} // namespace

std::unique_ptr<uint32_t[]> DecodeJpeg(IStream& stream, int& width, int& height)
{
    width = 0;
    height = 0;
    int w = 0, h = 0;
    uint32_t* pixels = DecodeJpegPixels(&stream, &w, &h);
    return Internal::TakeDecodedPixels(pixels, w, h, width, height);
}

} // namespace Kestrin
