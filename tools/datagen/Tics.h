#pragma once
// The Tics: one recipe paints every creature of the game, in any pose, for the playfield's
// sprites and for the guide's portraits alike, so a Tic looks the same wherever it appears.
#include "Canvas.h"
#include "Geometry.h"

#include <string>
#include <vector>

namespace DataGen
{
// Each kind's silhouette, readable at 64 px without its colour.
enum class TicBody
{
    Basic,
    Shy,
    Loner,
    Protected,
    Indecisive,
    Agreeable,
    Pairing,
    SmallCircle,
    LargeCircle,
    Trail,
    Gem
};

// The icon inside a Posi-Tic's gem.
enum class TicGlyph
{
    None,
    Snowflake,
    Arrows,
    Swirl,
    Bubbles,
    Bomb
};

// What a body is dyed: one colour, or for a Tic that any spool catches, the five spools' colours
// wound round it in stripes, so it reads as every colour at once.
struct TicDye
{
    TicDye(Rgba single) : color(single) {}
    static TicDye AnySpool();

    Rgba color;
    bool stripes = false;
};

// The stripes' colours in their order: the five spools'.
const std::vector<Rgba>& AnySpoolStripes();

// What a frame changes about a creature; the defaults are the creature at rest.
struct CreaturePose
{
    Vec2 look{0.0, 0.0}; // where the pupils point, -1..1 on each axis
    double squash = 1.0; // height over width, about the feet
    double lean = 0.0;   // turns, about the feet
    Vec2 shift{0.0, 0.0};
    double blink = 0.0; // 1: eyes closed
    bool wide = false;  // startled: big eyes, small pupils, an open mouth
    double flush = 0.0; // 0..1 upset: a deeper shade of its own colour, a frown and a hot rim
    bool steam = false;
    double swell = 1.0;
    double burst = 0.0; // 0 whole .. 1 gone, flung out as droplets
    bool frozen = false;
    bool shield = false; // a translucent bubble round the body
    double glow = 0.0;   // a gem's core, 0..1
};

// `body` dyed `dye` centred at `centre`, about 2 r across (the Basic's wisp reaches 1.6 r up). No
// pose changes the body's hue: its colour is what tells the player which spool catches it.
void DrawCreature(Canvas& c, TicBody body, TicDye dye, TicGlyph glyph, Vec2 centre, double r,
                  const CreaturePose& pose = {});

// The kinds in the game's table order (index 0 "neurotic" .. 17 "pessimistic").
const std::vector<std::string>& TicKinds();

// The portrait of kind `index` centred at `centre`, about 2 r across: its sprite at rest.
void DrawTicPortrait(Canvas& c, int index, Vec2 centre, double r);

// The locked look: a grey round Tic silhouette with a question mark on it, about 2 r across.
// `mark` is the text drawn on it (from the text table).
void DrawLockedSilhouette(Canvas& c, Vec2 centre, double r, const std::string& mark);
} // namespace DataGen
