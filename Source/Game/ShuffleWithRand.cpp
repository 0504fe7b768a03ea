#include "Game/ShuffleWithRand.h"

#include <cstdlib>

namespace
{
ShuffleRandomSource& Source()
{
    static ShuffleRandomSource source;
    return source;
}
} // namespace

void SetShuffleRandomSource(ShuffleRandomSource source)
{
    Source() = std::move(source);
}

int NextShuffleRandom()
{
    return Source() ? Source()() : std::rand();
}
