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
// The middle of the 800 x 600 screen.
inline constexpr Vector2f ScreenCentre{400.0f, 300.0f};

// The colour and kind that creatures, traps and lines carry.
struct GremlinTypedObject
{
    GremlinColorType color = GremlinColorType::Red;
    GremlinKind kind = GremlinKind::Basic;
};
