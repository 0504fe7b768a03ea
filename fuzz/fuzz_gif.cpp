// GIF decoding of arbitrary bytes, in colour and in mask mode.
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = []
    {
        Kestrin::SetLogToStderr(false);
        Kestrin::Internal::SetDecodedPixelLimit(size_t(1) << 18);
        return true;
    }();
    (void)once;
    {
        Kestrin::MemoryStream stream(L"fuzz.gif", data, uint32_t(size));
        int width = 0, height = 0, frames = 0;
        bool transparency = false;
        Kestrin::GifFrameList list;
        auto pixels = Kestrin::DecodeGif(stream, width, height, transparency, frames, list);
        if (pixels && width > 0 && height > 0)
        {
            // Every reported pixel must be there to read.
            volatile uint32_t last = pixels[size_t(width) * size_t(height) - 1];
            (void)last;
        }
        Kestrin::FreeGifFrames(list);
    }
    {
        Kestrin::MemoryStream stream(L"fuzz_mask.gif", data, uint32_t(size));
        int width = 0, height = 0, frames = 0;
        Kestrin::GifFrameList list;
        auto grey = Kestrin::DecodeGifMask(stream, width, height, frames, list);
        if (grey && width > 0 && height > 0)
        {
            volatile uint8_t last = grey[size_t(width) * size_t(height) - 1];
            (void)last;
        }
    }
    return 0;
}
