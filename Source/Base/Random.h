#pragma once
#include "Base/Geometry.h"

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
// A whole number in [low, high]: low + floor(r * (high - low + 1)), r the next float of the current
// stream, in floats as the game has always drawn them, so that a seeded game plays as before. One
// draw even when high < low, which answers high.
int RandomInt(int low, int high);
// The next float of the current stream, or 0 when no stream is current: for draws that only dress
// a scene, which may be shown before the streams are made.
float RandomFloatOrZero();
// Where a sparkle of a burst flies, not normalised: (a, sqrt(1 - a)) for a drawn a, then the sign of
// each axis drawn, x first; three draws of RandomFloatOrZero.
Vector2<float> RandomBurstDirection();

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
