#pragma once
// The 18 Tic kinds of the encyclopedia and a stand-in portrait per kind: the silhouette of the
// Tic's sprite, shaded in its colour with a rim light, without a face. The gameplay art replaces
// these portraits with the real Tics.
#include "Canvas.h"
#include "Geometry.h"

#include <string>
#include <vector>

namespace DataGen
{
// The kinds in the game's table order (index 0 "neurotic" .. 17 "pessimistic").
const std::vector<std::string>& TicKinds();

// The stand-in portrait of kind `index` centred at `centre`, about 2 r across.
void DrawTicSilhouette(Canvas& c, int index, Vec2 centre, double r);

// The locked look: a grey round Tic silhouette with a question mark on it, about 2 r across.
// `mark` is the text drawn on it (from the text table).
void DrawLockedSilhouette(Canvas& c, Vec2 centre, double r, const std::string& mark);
} // namespace DataGen
