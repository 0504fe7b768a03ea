// Sound data from outside through the stream path: memory reads, channel folding and the
// resampler at an arbitrary rate, two runs (restart seeks back into the data).
#include "Platform/Shim/Bass/AudioOut.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

using namespace Kestrin::Shim::Bass;

namespace
{

struct Layer
{
    Layer() : device(new NullOutputDriver), out(std::unique_ptr<IOutputDriver>(device))
    {
        out.Init(-1, 44100);
        out.Start();
    }
    NullOutputDriver* device;
    AudioOut out;
};

} // namespace

// libsndfile leaks its vorbis header record when a damaged ogg fails to open; that is
// the library's, not ours. Everything else it allocates stays checked.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:vorbis_info_init\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Layer layer;
    if (size < 4)
        return 0;
    // The first four bytes choose the rate, volume and pan; the rest is the file.
    int frequency = (data[0] << 8 | data[1]) * 2; // 0 (native) .. 131070
    int volume = data[2];
    int pan = int(data[3]) - 128;
    std::vector<uint8_t> file(data + 4, data + size); // exact size, so overreads are caught
    if (file.empty())
        return 0;
    Handle h = layer.out.StreamCreateMemory(file.data(), file.size());
    if (!h)
        return 0;
    layer.out.ChannelSetAttributes(h, frequency, volume, pan);
    uint32_t native = 0;
    layer.out.ChannelGetDefaultFrequency(h, &native);
    std::vector<float> block(2 * 1024);
    for (int run = 0; run < 2; ++run)
    {
        layer.out.ChannelPlay(h, true);
        for (int i = 0; i < 8 && layer.out.ChannelIsActive(h); ++i)
        {
            layer.device->Mix(block.data(), 1024);
            for (float v : block)
                if (!(v >= -1.0f && v <= 1.0f))
                    __builtin_trap(); // the mix is clipped, never NaN
        }
    }
    layer.out.StreamFree(h);
    return 0;
}
