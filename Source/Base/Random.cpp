#include "Base/Random.h"

#include "Base/Exceptions.h"

#include <boost/random/uniform_int_distribution.hpp>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>
#include <vector>

BoostRandomNumberStream::BoostRandomNumberStream(uint32_t seed)
    : m_intEngine(seed), m_floatEngine(seed), m_seed(seed)
{
}

int BoostRandomNumberStream::NextInt()
{
    boost::random::uniform_int_distribution<int> dist(0, 2147483647);
    return dist(m_intEngine);
}

float BoostRandomNumberStream::NextFloat()
{
    for (;;)
    {
        float v = float(uint32_t(m_floatEngine())) * (1.0f / 4294967296.0f);
        if (v >= 0.0f && v < 1.0f)
            return v;
    }
}

namespace Kestrin
{

namespace
{
// Touched on the main thread only.
std::map<int, IRandomNumberStream*>& Registry()
{
    static std::map<int, IRandomNumberStream*> registry;
    return registry;
}
std::vector<IRandomNumberStream*>& Stack()
{
    static std::vector<IRandomNumberStream*> stack;
    return stack;
}
std::vector<IRandomNumberStream*>& Owned()
{
    static std::vector<IRandomNumberStream*> owned;
    return owned;
}
} // namespace

void InitRandomStreams()
{
    uint32_t seed = uint32_t(std::time(nullptr));
    for (int id = 0; id < 3; ++id)
    {
        auto* stream = new BoostRandomNumberStream(seed);
        Registry()[id] = stream;
        Owned().push_back(stream);
    }
    Stack().reserve(32);
    PushRandomStream(Registry()[0]);
}

void ShutdownRandomStreams()
{
    for (IRandomNumberStream* s : Owned())
    {
        for (auto& [id, registered] : Registry())
            if (registered == s)
                registered = nullptr;
        std::erase(Stack(), s);
        delete s;
    }
    Owned().clear();
}

IRandomNumberStream* GetRandomStream(int id)
{
    auto it = Registry().find(id);
    return it == Registry().end() ? nullptr : it->second;
}

void SetRandomStream(int id, IRandomNumberStream* stream)
{
    Registry()[id] = stream;
}

void PushRandomStream(IRandomNumberStream* stream)
{
    Stack().push_back(stream);
}

void PopRandomStream()
{
    if (!Stack().empty())
        Stack().pop_back();
}

IRandomNumberStream* GetCurrentRandomStream()
{
    return Stack().empty() ? nullptr : Stack().back();
}

float RandomFloat(float min, float max)
{
    IRandomNumberStream* stream = GetCurrentRandomStream();
    if (!stream)
        throw engine_error(KESTRIN_HERE, "No current random-number stream.");
    return min + stream->NextFloat() * (max - min);
}

int RandomInt(int low, int high)
{
    const float r = RandomFloat(0.0f, 1.0f);
    const int64_t span = int64_t(high) - low + 1;
    if (span <= 0)
        return high;
    // Beyond the spans a float holds exactly, r * span may round up to span itself.
    return int(std::min(int64_t(high), low + int64_t(std::floor(r * float(span)))));
}

float RandomFloatOrZero()
{
    IRandomNumberStream* stream = GetCurrentRandomStream();
    return stream ? stream->NextFloat() : 0.0f;
}

Vector2<float> RandomBurstDirection()
{
    const float a = RandomFloatOrZero();
    Vector2<float> direction{a, std::sqrt(1.0f - a)};
    if (int(RandomFloatOrZero() * 2.0f) != 0)
        direction.x = -direction.x;
    if (int(RandomFloatOrZero() * 2.0f) != 0)
        direction.y = -direction.y;
    return direction;
}

} // namespace Kestrin
