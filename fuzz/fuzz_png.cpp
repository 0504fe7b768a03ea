// PNG decoding of arbitrary bytes.
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
    Kestrin::MemoryStream stream(L"fuzz.png", data, uint32_t(size));
    int width = 0, height = 0;
    auto pixels = Kestrin::DecodePng(&stream, width, height);
    if (pixels && width > 0 && height > 0)
    {
        volatile uint32_t last = pixels[size_t(width) * size_t(height) - 1];
        (void)last;
    }
    return 0;
}
