#include "Base/LiveCounts.h"

#include <atomic>

namespace Kestrin
{
namespace
{
// Images are made on the loading thread too.
std::atomic<long> g_counts[size_t(LiveKind::Count)];
} // namespace

long GetLiveCount(LiveKind kind)
{
    return size_t(kind) < size_t(LiveKind::Count) ? g_counts[size_t(kind)].load() : 0;
}

template <LiveKind K> void LiveCounted<K>::Add(int change) noexcept
{
    g_counts[size_t(K)] += change;
}

template class LiveCounted<LiveKind::Image>;
template class LiveCounted<LiveKind::Texture>;
template class LiveCounted<LiveKind::Font>;

} // namespace Kestrin
