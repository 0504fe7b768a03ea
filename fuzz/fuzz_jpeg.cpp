// JPEG decoding of arbitrary bytes through both data sources: the stream's own bytes and reads.
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"

#include <cstddef>
#include <cstdint>

namespace
{
// Offers no direct access, as file streams do.
class ReadOnlyStream : public Kestrin::MemoryStream
{
public:
    using MemoryStream::MemoryStream;
    uint32_t GetCapabilities() const override { return CanRead; }
};

void Decode(Kestrin::IStream& stream)
{
    int width = 0, height = 0;
    auto pixels = Kestrin::DecodeJpeg(stream, width, height);
    if (pixels && width > 0 && height > 0)
    {
        volatile uint32_t last = pixels[size_t(width) * size_t(height) - 1];
        (void)last;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = []
    {
        Kestrin::SetLogToStderr(false);
        Kestrin::Internal::SetDecodedPixelLimit(size_t(1) << 20);
        return true;
    }();
    (void)once;
    Kestrin::MemoryStream direct(L"fuzz.jpg", data, uint32_t(size));
    Decode(direct);
    ReadOnlyStream read(L"fuzz.jpg", data, uint32_t(size));
    Decode(read);
    return 0;
}
