#pragma once
// How many objects of a few kinds are alive, so that a long run can tell a leak from a cache.
#include <cstddef>

namespace Kestrin
{

enum class LiveKind
{
    Image,   // decoded pictures, each holding its pixels
    Texture, // the graphics platform's copies of images on the device
    Font,
    Count
};

long GetLiveCount(LiveKind kind);

// A member that counts its owner: one more while it lives, copies and moves included.
template <LiveKind K> class LiveCounted
{
public:
    LiveCounted() noexcept { Add(1); }
    LiveCounted(const LiveCounted&) noexcept { Add(1); }
    LiveCounted& operator=(const LiveCounted&) noexcept = default;
    ~LiveCounted() { Add(-1); }

private:
    static void Add(int change) noexcept;
};

} // namespace Kestrin
