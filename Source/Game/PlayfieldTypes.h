#pragma once
// Types every playfield object shares.
#include "Base/Geometry.h"
#include "Game/GameConstants.h"

using Vector2f = Kestrin::Vector2<float>;

// Line points, path states and creatures stay inside [25, 775] x [20, 550], ends included.
inline constexpr float PlayfieldLeft = 25.0f;
inline constexpr float PlayfieldRight = 775.0f;
inline constexpr float PlayfieldTop = 20.0f;
inline constexpr float PlayfieldBottom = 550.0f;
// A Tic's collision box at its smallest: its art's 56-px box at the first stage's scale of our
// settings, 0.6. Kings (80 px at scale 1 and up) are larger.
inline constexpr float SmallestCreatureBox = 56.0f * 0.6f;
// The most creatures the playfield holds side by side (22 x 15 of the smallest boxes): no count of
// creatures a level places or keeps on the field can be above it.
inline constexpr int MaxCreaturesOnPlayfield = int((PlayfieldRight - PlayfieldLeft) / SmallestCreatureBox) *
                                               int((PlayfieldBottom - PlayfieldTop) / SmallestCreatureBox);
static_assert(MaxCreaturesOnPlayfield == 330);
// The middle of the 800 x 600 screen.
inline constexpr Vector2f ScreenCentre{400.0f, 300.0f};

// The colour and kind that creatures, traps and lines carry.
struct GremlinTypedObject
{
    GremlinColorType color = GremlinColorType::Red;
    GremlinKind kind = GremlinKind::Basic;
};
