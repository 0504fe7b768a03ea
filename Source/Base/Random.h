#pragma once
#include <boost/random/mersenne_twister.hpp>
#include <cstdint>

namespace Kestrin
{

class IRandomNumberStream
{
public:
    virtual uint32_t GetSeed() const = 0;
    // Uniform over 0..2147483647.
    virtual int NextInt() = 0;
    // Uniform in [0, 1); never 1.
    virtual float NextFloat() = 0;
    virtual ~IRandomNumberStream() = default;
};

} // namespace Kestrin

// Integer and float draws use separate engines, so interleaving them changes neither sequence.
class BoostRandomNumberStream : public Kestrin::IRandomNumberStream
{
public:
    explicit BoostRandomNumberStream(uint32_t seed);

    uint32_t GetSeed() const override { return m_seed; }
    int NextInt() override;
    float NextFloat() override;

private:
    boost::random::mt19937 m_intEngine;
    boost::random::mt19937 m_floatEngine;
    uint32_t m_seed;
};

namespace Kestrin
{

// Streams 0, 1 and 2, seeded from the clock; stream 0 becomes current.
void InitRandomStreams();
void ShutdownRandomStreams();
// The stream registered under id (null when none).
IRandomNumberStream* GetRandomStream(int id);
// Registers a stream under an id (tests seed their own); the caller keeps ownership.
void SetRandomStream(int id, IRandomNumberStream* stream);

// The stack of current streams; draws use its top.
void PushRandomStream(IRandomNumberStream* stream);
void PopRandomStream();
// The top of the stack, or null when the stack is empty.
IRandomNumberStream* GetCurrentRandomStream();

// min + r * (max - min), r the next float of the current stream.
float RandomFloat(float min, float max);

// Makes a stream current for a scope.
class ScopedRandomStream
{
public:
    explicit ScopedRandomStream(IRandomNumberStream* stream) { PushRandomStream(stream); }
    ~ScopedRandomStream() { PopRandomStream(); }
    ScopedRandomStream(const ScopedRandomStream&) = delete;
    ScopedRandomStream& operator=(const ScopedRandomStream&) = delete;
};

} // namespace Kestrin
