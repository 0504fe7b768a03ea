// Guest portraits as "blob people": every face comes from the guest's parameter record below
// (head, hair curves, eyes, colours of the guest's room, one accessory), drawn in a 100-unit
// design space and mapped onto each frame, so both frames are the same person.
#include "Guests.h"

#include "Blobs.h"
#include "Brush.h"
#include "Rooms.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace DataGen
{
namespace
{
struct Stroke
{
    Vec2 a, control, b;
    double halfWidth;
};

struct Blob
{
    Vec2 centre;
    double radius;
};

enum class Accessory
{
    LeafSprig,
    Goggles,
    Glasses,
    StarClip,
    ChefHat,
    Headscarf
};

struct GuestLook
{
    const char* name;
    Rgba skin, hair, room, shirt, accent;
    Vec2 head{27.0, 29.0}; // radii of the skull
    // The hair cap is the head grown by `capGrow`, less this ellipse around the face.
    Vec2 faceWindowCentre{50.0, 62.0}, faceWindowRadii{25.0, 27.0};
    double capGrow = 3.0;
    double capTilt = 0.0;         // turns: a side part
    std::vector<Stroke> locks;    // in front of the face
    std::vector<Stroke> backHair; // behind the head
    std::vector<Blob> buns;       // behind the head
    double eyeGap = 11.0;
    Vec2 eyeRadii{6.0, 7.5};
    double lid = 0.0;
    bool lashes = false;
    Accessory accessory;
};

// The design space: 100 x 100 units, the head centred at (50, 50).
struct View
{
    double scale;
    Vec2 origin;
    Vec2 P(Vec2 u) const { return (u - origin) * scale; }
    double L(double u) const { return u * scale; }
    Sdf Map(Sdf unit) const
    {
        const double s = scale;
        const Vec2 o = origin;
        return [unit, s, o](Vec2 p) { return unit(p / s + o) * s; };
    }
};

Sdf StrokeUnits(const Stroke& s)
{
    return StrokeSdf(Shape::FlattenQuadratic(s.a, s.control, s.b, 16), s.halfWidth);
}

Sdf UnionAll(std::vector<Sdf> parts, double k)
{
    if (parts.empty())
        return [](Vec2) { return 1e9; };
    Sdf out = parts[0];
    for (size_t i = 1; i < parts.size(); ++i)
        out = k > 0.0 ? SmoothUnion(out, parts[i], k) : Union(out, parts[i]);
    return out;
}

// Dome-shaded fill with an ink outline centred on the edge.
void Shaded(Canvas& c, const Sdf& shape, Rgba color, double depth, double outline, double specular = 0.3)
{
    const Shader base = LinearGradient({0, 0}, {double(c.Width()), double(c.Height())}, Lighten(color, 0.12),
                                       ScaleValue(color, 0.9));
    FillShape(c, shape, DomeShade(shape, base, DomeLight{1.0, depth, 0.6, 0.25, specular, 20}));
    if (outline > 0.0)
        Outline(c, shape, outline, Palette::Ink, outline * 0.5);
}

Sdf HeadUnits(const GuestLook& g)
{
    const Sdf skull = EllipseSdf({50, 48}, g.head);
    const Sdf jaw = EllipseSdf({50, 60}, {g.head.x * 0.78, g.head.y * 0.62});
    return SmoothUnion(skull, jaw, 6.0);
}

void DrawAccessory(Canvas& c, const GuestLook& g, const View& v, double ink)
{
    auto shaded = [&](const Sdf& unit, Rgba color, double depth, double specular = 0.35)
    { Shaded(c, v.Map(unit), color, v.L(depth), ink, specular); };
    switch (g.accessory)
    {
    case Accessory::LeafSprig:
    {
        // Two leaves tucked in above the right ear, each with a vein.
        for (int i = 0; i < 2; ++i)
        {
            const Vec2 at = i == 0 ? Vec2{75, 30} : Vec2{81, 40};
            const double turn = i == 0 ? 0.09 : 0.16;
            const Sdf leaf = RotateSdf(EllipseSdf(at, {8.5, 3.8}), at, turn);
            shaded(leaf, i == 0 ? g.accent : Lighten(g.accent, 0.2), 3.0);
            const Vec2 d{Det::CosTurns(turn) * 6.5, Det::SinTurns(turn) * 6.5};
            FillShape(c, v.Map(StrokeSdf({at - d, at + d}, 0.5)),
                      Solid(WithAlpha(Darken(g.accent, 0.6), 0.8)));
        }
        shaded(CircleSdf({72, 36}, 3.0), Palette::Coral, 1.5, 0.5);
        break;
    }
    case Accessory::Goggles:
    {
        shaded(StrokeSdf(Shape::FlattenQuadratic({21, 34}, {50, 20}, {79, 34}, 16), 2.6), g.accent, 1.5);
        for (double side : {-1.0, 1.0})
        {
            const Vec2 at{50 + side * 11.5, 28.5};
            shaded(CircleSdf(at, 7.5), Hex("#8A8F96"), 3.0, 0.5);
            const Sdf glass = CircleSdf(at, 5.0);
            FillShape(
                c, v.Map(glass),
                RadialGradient(v.P(at - Vec2{2, 2}), v.L(6.0), Lighten(Palette::Teal, 0.55), Palette::Teal));
            Outline(c, v.Map(glass), ink * 0.8, Palette::Ink, ink * 0.4);
            SpecularDot(c, v.P(at - Vec2{2.0, 2.0}), {v.L(1.6), v.L(1.6)}, 0.9);
        }
        break;
    }
    case Accessory::Glasses:
    {
        for (double side : {-1.0, 1.0})
        {
            const Vec2 at{50 + side * g.eyeGap, 54};
            const Sdf rim = Subtract(CircleSdf(at, 9.2), CircleSdf(at, 7.4));
            FillShape(c, v.Map(CircleSdf(at, 7.4)), Solid(WithAlpha(Palette::White, 0.16)));
            FillShape(c, v.Map(rim), Solid(g.accent));
            Outline(c, v.Map(rim), ink * 0.7, Palette::Ink, ink * 0.35);
        }
        FillShape(c, v.Map(StrokeSdf(Shape::FlattenQuadratic({46, 53}, {50, 50}, {54, 53}, 8), 1.0)),
                  Solid(Palette::Ink));
        break;
    }
    case Accessory::StarClip:
    {
        std::vector<Vec2> star;
        const Vec2 at{70, 27};
        for (int i = 0; i < 10; ++i)
        {
            const double r = (i % 2 == 0) ? 7.5 : 3.4;
            const double t = i / 10.0 - 0.25 + 0.03;
            star.push_back(at + Vec2{Det::CosTurns(t) * r, Det::SinTurns(t) * r});
        }
        shaded(PolygonSdf(star), g.accent, 2.5, 0.5);
        break;
    }
    case Accessory::ChefHat:
    {
        const Sdf puff = UnionAll({CircleSdf({37, 19}, 10.0), CircleSdf({50, 15}, 11.5),
                                   CircleSdf({63, 19}, 10.0), RoundedRectSdf(31, 17, 69, 32, 4.0)},
                                  4.0);
        shaded(puff, Hex("#FFF8EA"), 5.0, 0.25);
        shaded(RoundedRectSdf(28, 28, 72, 36, 3.0), g.accent, 2.0, 0.4);
        break;
    }
    case Accessory::Headscarf:
    {
        const Sdf band = StrokeSdf(Shape::FlattenQuadratic({23, 38}, {50, 17}, {77, 38}, 16), 4.2);
        shaded(band, g.accent, 2.5);
        // Polka dots on the band, and the knot with its two tails on the left.
        for (double t : {0.2, 0.4, 0.6, 0.8})
        {
            const Vec2 p = Mix(Mix(Vec2{23, 38}, Vec2{50, 17}, t), Mix(Vec2{50, 17}, Vec2{77, 38}, t), t);
            FillShape(c, v.Map(CircleSdf(p, 1.3)), Solid(WithAlpha(Palette::Paper, 0.9)));
        }
        shaded(UnionAll({RotateSdf(EllipseSdf({19, 43}, {3.5, 7.0}), {19, 43}, 0.08),
                         RotateSdf(EllipseSdf({25, 45}, {3.0, 6.5}), {25, 45}, -0.05)},
                        0.0),
               ScaleValue(g.accent, 0.9), 2.0);
        shaded(CircleSdf({23, 38}, 4.0), g.accent, 2.0);
        break;
    }
    }
}

void RoomBackdrop(Canvas& c, const std::string& guest, double scale)
{
    PaintRoom(c, guest, 34.0 * scale);
}

enum class Backdrop
{
    Badge,   // the design's own disc; hair or hats may stand out of it
    CloseUp, // a disc filling the frame that holds everything
    Photo,   // the whole frame, the guest's room behind
    Clear    // the whole frame, nothing behind: for scenes of several guests
};

// Paints one frame: `v` maps the design space onto a w x h canvas.
Canvas PaintGuest(const GuestLook& g, int w, int h, const View& v, double ink, Backdrop backdrop)
{
    Canvas c(w, h);
    const bool closeUp = backdrop == Backdrop::CloseUp;
    Sdf disc;
    if (backdrop == Backdrop::Photo || backdrop == Backdrop::Clear)
    {
        const double fw = w, fh = h;
        disc = [fw, fh](Vec2 p) { return std::max(std::max(-p.x, p.x - fw), std::max(-p.y, p.y - fh)); };
        if (backdrop == Backdrop::Photo)
            RoomBackdrop(c, g.name, v.scale);
    }
    else
    {
        disc =
            closeUp ? CircleSdf({w * 0.5, h * 0.5}, w * 0.5 - ink * 0.6) : v.Map(CircleSdf({50, 50}, 47.0));
        FillShape(c, disc,
                  RadialGradient(v.P({36, 30}), v.L(80.0), Lighten(g.room, 0.45), ScaleValue(g.room, 0.92)));
    }

    // Behind the head: long hair, braids, buns.
    std::vector<Sdf> back;
    for (const Stroke& s : g.backHair)
        back.push_back(StrokeUnits(s));
    for (const Blob& b : g.buns)
        back.push_back(CircleSdf(b.centre, b.radius));
    if (!back.empty())
        Shaded(c, v.Map(UnionAll(back, 3.0)), g.hair, v.L(6.0), ink, 0.25);

    // Shoulders and neck, kept inside the backdrop.
    Shaded(c, Intersect(v.Map(EllipseSdf({50, 104}, {36, 27})), disc), g.shirt, v.L(7.0), ink, 0.2);
    Shaded(c, Intersect(v.Map(RoundedRectSdf(42, 66, 58, 82, 5.0)), disc), ScaleValue(g.skin, 0.85), v.L(3.0),
           ink, 0.1);

    // Ears, then the head over them.
    for (double side : {-1.0, 1.0})
        Shaded(c, v.Map(CircleSdf({50 + side * (g.head.x - 0.5), 54}, 5.5)), ScaleValue(g.skin, 0.95),
               v.L(3.0), ink, 0.2);
    const Sdf head = HeadUnits(g);
    Shaded(c, v.Map(head), g.skin, v.L(12.0), ink, 0.35);

    // Cheeks, brows, eyes and mouth.
    for (double side : {-1.0, 1.0})
    {
        FillShape(c, v.Map(CircleSdf({50 + side * (g.eyeGap + 4.5), 64}, 4.2)),
                  Solid(WithAlpha(Palette::Coral, 0.35)), std::max(1.5, v.L(3.0)));
        const Vec2 brow{50 + side * g.eyeGap, 54 - g.eyeRadii.y - 4.0};
        FillShape(c,
                  v.Map(StrokeSdf(Shape::FlattenQuadratic(brow + Vec2{-side * 4.0, 1.0}, brow + Vec2{0, -1.5},
                                                          brow + Vec2{side * 4.0, 0.5}, 8),
                                  1.2)),
                  Solid(Darken(g.hair, 0.75)));
        EyeLook eye;
        eye.centre = v.P({50 + side * g.eyeGap, 54});
        eye.radii = {v.L(g.eyeRadii.x), v.L(g.eyeRadii.y)};
        eye.look = {0.0, 0.15};
        eye.pupil = 0.62;
        eye.lid = g.lid;
        eye.lidColor = ScaleValue(g.skin, 0.9);
        eye.outline = ink * 0.75;
        DrawEye(c, eye);
        if (g.lashes)
        {
            const Vec2 tip{50 + side * (g.eyeGap + g.eyeRadii.x + 1.5), 54 - g.eyeRadii.y * 0.7};
            FillShape(c, v.Map(CapsuleSdf(tip - Vec2{side * 2.2, -1.2}, tip, 0.7)), Solid(Palette::Ink));
        }
    }
    FillShape(c, v.Map(StrokeSdf(Shape::FlattenQuadratic({44, 68.5}, {50, 74}, {56, 68.5}, 10), 1.1)),
              Solid(Palette::Ink));

    // The hair in front: the cap round the face window, and the locks.
    const Sdf window = RotateSdf(EllipseSdf(g.faceWindowCentre, g.faceWindowRadii), {50, 50}, g.capTilt);
    std::vector<Sdf> front = {Subtract(Offset(EllipseSdf({50, 47}, g.head), g.capGrow), window)};
    for (const Stroke& s : g.locks)
        front.push_back(StrokeUnits(s));
    const Sdf hair = UnionAll(front, 2.5);
    const Sdf hairPx = v.Map(hair);
    Shaded(c, hairPx, g.hair, v.L(7.0), 0.0, 0.3);
    // A few darker strands, like plied yarn.
    for (double dx : {-14.0, -5.0, 5.0, 14.0})
    {
        const Sdf strand = StrokeSdf(
            Shape::FlattenQuadratic({50 + dx * 0.6, 20}, {50 + dx * 1.3, 28}, {50 + dx * 1.6, 40}, 12), 0.6);
        FillShape(c, Intersect(v.Map(strand), Offset(hairPx, v.L(1.5))),
                  Solid(WithAlpha(Darken(g.hair, 0.7), 0.6)));
    }
    Outline(c, hairPx, ink, Palette::Ink, ink * 0.5);

    DrawAccessory(c, g, v, ink);
    if (backdrop == Backdrop::Photo || backdrop == Backdrop::Clear)
        return c;
    if (closeUp)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                const double keep = Det::Clamp01(0.5 - disc({x + 0.5, y + 0.5}));
                const Rgba p = c.At(x, y);
                c.Put(x, y, {float(p.r * keep), float(p.g * keep), float(p.b * keep), float(p.a * keep)});
            }
    Outline(c, disc, ink * 0.8, Palette::Ink, ink * 0.4);
    return c;
}

Resource GuestIcon(const GuestLook& g)
{
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = std::string(g.name) + "_icon";
    // Frame 0 comes closer: the face from brows to chin fills the 32 pixels.
    r.frames.push_back(Frame(r.name + "_face",
                             PaintGuest(g, 32, 32, View{32.0 / 66.0, {17, 20}}, 1.2, Backdrop::CloseUp),
                             "face"));
    r.frames.push_back(
        Frame(r.name + "_head", PaintGuest(g, 64, 64, View{0.64, {0, 0}}, 1.7, Backdrop::Badge), "head"));
    return r;
}

FamilyArt IconFamily(const GuestLook& g)
{
    FamilyArt art;
    art.resources.push_back(GuestIcon(g));
    // A large copy for review: the same record at 192 pixels.
    art.previews.push_back(Frame(std::string(g.name) + "_preview",
                                 PaintGuest(g, 192, 192, View{1.92, {0, 0}}, 3.0, Backdrop::Badge),
                                 "record at 192 px"));
    return art;
}

// The guests' records. Colours follow each guest's room.
GuestLook Jillian()
{
    GuestLook g;
    g.name = "Jillian";
    g.skin = Hex("#F4CDB0");
    g.hair = Hex("#C8642E");
    g.room = Hex("#9FCB8C");
    g.shirt = Hex("#4E9A4B");
    g.accent = Hex("#5BAA4A");
    g.head = {26.5, 28.5};
    g.faceWindowCentre = {54, 63};
    g.faceWindowRadii = {24, 30};
    g.capTilt = 0.02;
    // A side-swept fringe and two braids down to the shoulders.
    g.locks = {{{30, 30}, {44, 42}, {60, 34}, 4.5}};
    g.backHair = {{{25, 50}, {20, 68}, {24, 88}, 5.5}, {{75, 50}, {80, 68}, {76, 88}, 5.5}};
    g.buns = {{{24, 90}, 4.5}, {{76, 90}, 4.5}};
    g.lashes = true;
    g.accessory = Accessory::LeafSprig;
    return g;
}

GuestLook Harley()
{
    GuestLook g;
    g.name = "Harley";
    g.skin = Hex("#B77B55");
    g.hair = Hex("#3B2A26");
    g.room = Hex("#D99A74");
    g.shirt = Hex("#A8502E");
    g.accent = Hex("#9C4A2A");
    g.head = {28.0, 28.0};
    g.faceWindowCentre = {50, 60};
    g.faceWindowRadii = {27, 24};
    g.capGrow = 2.0;
    // Short spikes standing up from the crown.
    g.locks = {{{30, 30}, {26, 25}, {23, 22}, 3.0}, {{38, 24}, {36, 18}, {33, 14}, 3.2},
               {{47, 22}, {47, 16}, {45, 11}, 3.2}, {{56, 22}, {58, 16}, {58, 11}, 3.2},
               {{64, 24}, {68, 18}, {69, 14}, 3.2}, {{71, 30}, {75, 25}, {78, 22}, 3.0}};
    g.eyeGap = 11.5;
    g.eyeRadii = {5.6, 6.8};
    g.accessory = Accessory::Goggles;
    return g;
}

GuestLook Miranda()
{
    GuestLook g;
    g.name = "Miranda";
    g.skin = Hex("#D9A27C");
    g.hair = Hex("#2C2430");
    g.room = Hex("#7CC4BE");
    g.shirt = Hex("#2B8C88");
    g.accent = Hex("#3A2E39");
    g.head = {26.0, 29.5};
    g.faceWindowCentre = {50, 64};
    g.faceWindowRadii = {22, 28};
    // A centre part and long straight hair over the shoulders.
    g.locks = {{{48, 22}, {30, 28}, {26, 50}, 3.0}, {{52, 22}, {70, 28}, {74, 50}, 3.0}};
    g.backHair = {{{28, 40}, {20, 70}, {26, 92}, 9.0}, {{72, 40}, {80, 70}, {74, 92}, 9.0}};
    g.eyeGap = 11.5;
    g.eyeRadii = {5.5, 6.5};
    g.lid = 0.22;
    g.lashes = true;
    g.accessory = Accessory::Glasses;
    return g;
}

GuestLook Zoe()
{
    GuestLook g;
    g.name = "Zoe";
    g.skin = Hex("#7A4A35");
    g.hair = Hex("#2B1E2E");
    g.room = Hex("#A58BD0");
    g.shirt = Hex("#5E3F94");
    g.accent = Hex("#FFC93C");
    g.head = {27.0, 28.0};
    g.faceWindowCentre = {50, 61};
    g.faceWindowRadii = {26, 25};
    g.capGrow = 2.5;
    // Two curly puffs, each a cluster of small round curls.
    for (double side : {-1.0, 1.0})
    {
        const Vec2 at{50 + side * 26, 24};
        g.buns.push_back({at, 12.0});
        for (int i = 0; i < 6; ++i)
        {
            const double t = i / 6.0;
            g.buns.push_back({at + Vec2{Det::CosTurns(t) * 11.0, Det::SinTurns(t) * 11.0}, 4.5});
        }
    }
    g.eyeGap = 11.0;
    g.eyeRadii = {6.4, 7.8};
    g.lashes = true;
    g.accessory = Accessory::StarClip;
    return g;
}

GuestLook Jason()
{
    GuestLook g;
    g.name = "Jason";
    g.skin = Hex("#EFC3A0");
    g.hair = Hex("#7A4B2A");
    g.room = Hex("#F1DFB6");
    g.shirt = Hex("#C8413A");
    g.accent = Hex("#D33B34");
    g.head = {27.5, 28.0};
    g.faceWindowCentre = {50, 62};
    g.faceWindowRadii = {26, 26};
    g.capGrow = 2.0;
    // A swoop peeking out under the hat, and sideburns.
    g.locks = {{{33, 38}, {44, 46}, {52, 38}, 3.6},
               {{24, 42}, {23, 50}, {25, 57}, 2.4},
               {{76, 42}, {77, 50}, {75, 57}, 2.4}};
    g.eyeGap = 11.0;
    g.eyeRadii = {5.8, 7.0};
    g.accessory = Accessory::ChefHat;
    return g;
}

GuestLook Heather()
{
    GuestLook g;
    g.name = "Heather";
    g.skin = Hex("#E0B48E");
    g.hair = Hex("#E2B04A");
    g.room = Hex("#E0A07C");
    g.shirt = Hex("#B5583A");
    g.accent = Hex("#C4643A");
    g.head = {26.5, 28.5};
    g.faceWindowCentre = {50, 64};
    g.faceWindowRadii = {24, 28};
    // A messy bun on top and loose waves at the sides.
    g.buns = {{{50, 17}, 11.0}, {{41, 13}, 4.5}, {{59, 14}, 4.0}};
    g.locks = {{{26, 44}, {20, 56}, {28, 66}, 3.0}, {{74, 44}, {80, 56}, {72, 66}, 3.0}};
    g.eyeGap = 11.0;
    g.eyeRadii = {5.8, 7.2};
    g.lid = 0.12;
    g.lashes = true;
    g.accessory = Accessory::Headscarf;
    return g;
}
// Jillian on her second visit: the braids cut to a swinging bob, a sunny cardigan, the same sprig.
GuestLook Jillian2()
{
    GuestLook g = Jillian();
    g.name = "Jillian2";
    g.shirt = Hex("#E3A73C");
    g.faceWindowCentre = {52, 64};
    g.faceWindowRadii = {24, 28};
    g.capTilt = -0.02;
    g.locks = {{{28, 32}, {40, 46}, {58, 36}, 5.0}};
    g.backHair = {{{26, 46}, {18, 62}, {28, 74}, 7.5}, {{74, 46}, {82, 62}, {72, 74}, 7.5}};
    g.buns = {};
    return g;
}

GuestLook LookOf(const std::string& guest)
{
    if (guest == "Harley")
        return Harley();
    if (guest == "Miranda")
        return Miranda();
    if (guest == "Zoe")
        return Zoe();
    if (guest == "Jason")
        return Jason();
    if (guest == "Heather")
        return Heather();
    if (guest == "Jillian2")
        return Jillian2();
    if (guest != "Jillian")
        throw std::invalid_argument("no guest named " + guest);
    return Jillian();
}
} // namespace

const std::vector<std::string>& GuestNames()
{
    static const std::vector<std::string> names = {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"};
    return names;
}

Canvas GuestPhoto(const std::string& guest, int w, int h)
{
    // The design's 100 units across the width; the head a little above the middle.
    const double scale = w / 100.0;
    const double top = 50.0 - (h / scale) * 0.44;
    return PaintGuest(LookOf(guest), w, h, View{scale, {0.0, top}}, std::max(1.2, scale * 1.1),
                      Backdrop::Photo);
}

Canvas GuestFigure(const std::string& guest, int w, int h)
{
    const double scale = w / 100.0;
    const double top = 50.0 - (h / scale) * 0.44;
    return PaintGuest(LookOf(guest), w, h, View{scale, {0.0, top}}, std::max(1.2, scale * 1.1),
                      Backdrop::Clear);
}

Canvas GuestBadge(const std::string& guest, int size)
{
    return PaintGuest(LookOf(guest), size, size, View{size / 100.0, {0, 0}}, std::max(1.2, size / 40.0),
                      Backdrop::Badge);
}

Canvas GuestFace(const std::string& guest, int size)
{
    return PaintGuest(LookOf(guest), size, size, View{size / 66.0, {17, 20}}, std::max(1.0, size / 27.0),
                      Backdrop::CloseUp);
}

FamilyArt PaintJillianIcon()
{
    return IconFamily(Jillian());
}
FamilyArt PaintHarleyIcon()
{
    return IconFamily(Harley());
}
FamilyArt PaintMirandaIcon()
{
    return IconFamily(Miranda());
}
FamilyArt PaintZoeIcon()
{
    return IconFamily(Zoe());
}
FamilyArt PaintJasonIcon()
{
    return IconFamily(Jason());
}
FamilyArt PaintHeatherIcon()
{
    return IconFamily(Heather());
}
} // namespace DataGen
