// The playfield's creatures: one frame atlas per Tic kind and colour, the kings' larger atlases
// and the Posi-Tics' gems, with the animation lists and sprite types that play them.
#include "Creatures.h"

#include "Scenery.h"
#include "Tics.h"

#include <future>

namespace DataGen
{
namespace
{
struct Atlas
{
    std::string name; // sprite type prefix: kind and colour, e.g. "BasicRed"
    TicBody body;
    TicDye color;
    TicGlyph glyph = TicGlyph::None;
};

const std::vector<std::pair<const char*, Rgba>>& LineColors()
{
    static const std::vector<std::pair<const char*, Rgba>> colors = {{"Red", TicColors::Red},
                                                                     {"Green", TicColors::Green},
                                                                     {"Blue", TicColors::Blue},
                                                                     {"Yellow", TicColors::Yellow},
                                                                     {"Purple", TicColors::Purple}};
    return colors;
}

const Rgba kKingColor = Hex("#2B2B33");

std::vector<Atlas> NormalAtlases()
{
    std::vector<Atlas> list;
    for (const char* kind : {"Basic", "Indecisive"})
        for (const auto& [color, tint] : LineColors())
            list.push_back(
                {std::string(kind) + color, kind[0] == 'B' ? TicBody::Basic : TicBody::Indecisive, tint});
    return list;
}

// The kinds that any spool catches wear every spool's colour, so no one spool looks like theirs;
// their shapes tell them apart.
std::vector<Atlas> AnyAtlases()
{
    return {{"ShyAny", TicBody::Shy, TicDye::AnySpool()},
            {"LonerAny", TicBody::Loner, TicDye::AnySpool()},
            {"ProtectedAny", TicBody::Protected, TicDye::AnySpool()},
            {"AgreeableAny", TicBody::Agreeable, TicDye::AnySpool()},
            {"PairingAny", TicBody::Pairing, TicDye::AnySpool()}};
}

std::vector<Atlas> KingAtlases()
{
    return {{"SmallCircleBlack", TicBody::SmallCircle, kKingColor},
            {"LargeCircleBlack", TicBody::LargeCircle, kKingColor},
            {"TrailBlack", TicBody::Trail, kKingColor}};
}

std::vector<Atlas> GemAtlases()
{
    return {{"FreezeAny", TicBody::Gem, Hex("#8FD3F4"), TicGlyph::Snowflake},
            {"ShrinkAny", TicBody::Gem, Hex("#E86FA8"), TicGlyph::Arrows},
            {"UnifyColorsAny", TicBody::Gem, Hex("#C69BE8"), TicGlyph::Swirl},
            {"DeepCleanAny", TicBody::Gem, Hex("#5CC8A8"), TicGlyph::Bubbles},
            {"DamageAny", TicBody::Gem, Hex("#F2A65A"), TicGlyph::Bomb}};
}

// The pose of each of the 28 creature frames (frame 0, the collision box, has none).
CreaturePose CreatureFramePose(int frame)
{
    CreaturePose p;
    auto walk = [&](int step, Vec2 look)
    {
        const double squash[] = {0.92, 1.0, 1.08};
        p.squash = squash[step];
        p.shift = {0.0, step == 2 ? -1.0 : 0.0};
        p.look = look;
    };
    if (frame == 2)
        p.blink = 1.0;
    else if (frame >= 3 && frame <= 14)
    {
        const Vec2 looks[] = {{0.0, 0.9}, {0.0, -0.9}, {-0.9, 0.1}, {0.9, 0.1}};
        walk((frame - 3) % 3, looks[(frame - 3) / 3]);
        if (frame >= 9)
            p.lean = (frame >= 12 ? 1.0 : -1.0) * 0.015 * ((frame - 3) % 3 - 1);
    }
    else if (frame == 15 || frame == 16)
    {
        p.wide = true;
        p.lean = frame == 15 ? -0.025 : 0.025;
        p.squash = frame == 15 ? 1.06 : 0.96;
    }
    else if (frame == 17 || frame == 18)
    {
        p.flush = 1.0;
        p.steam = true;
        p.shift = {frame == 17 ? -1.5 : 1.5, 0.0};
        p.look = {frame == 17 ? -0.5 : 0.5, -0.2};
    }
    else if (frame >= 19 && frame <= 22)
    {
        const double swell[] = {1.03, 1.06, 1.09, 1.12};
        p.swell = swell[frame - 19];
        p.flush = 0.6 + 0.13 * (frame - 19);
        p.wide = frame >= 21;
        p.burst = frame == 21 ? 0.35 : frame == 22 ? 0.85 : 0.0;
    }
    else if (frame == 23)
        p.frozen = true;
    else if (frame >= 24)
    {
        p.shield = true;
        const Vec2 looks[] = {{0.0, 0.2}, {0.0, 0.9}, {-0.9, 0.1}, {0.9, 0.1}};
        p.look = looks[frame - 24];
        p.squash = frame == 24 ? 1.0 : 0.95;
    }
    return p;
}

CreaturePose GemFramePose(int frame)
{
    CreaturePose p;
    if (frame >= 1 && frame <= 4)
    {
        p.swell = 0.4 + 0.2 * frame;
        p.glow = 1.0 - 0.15 * frame;
    }
    else if (frame == 5 || frame == 6 || frame == 9 || frame == 10)
        p.glow = frame % 2 == 1 ? 0.3 : 0.9;
    else if (frame == 7 || frame == 8)
    {
        p.lean = frame == 7 ? -0.04 : 0.04;
        p.glow = 1.0;
        p.squash = frame == 7 ? 1.08 : 0.93;
    }
    return p;
}

std::vector<ImageFile> PaintAtlas(const Atlas& a, bool king, bool gem)
{
    const int box = gem ? 40 : king ? 80 : 56;
    const int size = gem ? 48 : king ? 96 : 64;
    const int frames = gem ? PowerUpFrameCount : CreatureFrameCount;
    std::vector<ImageFile> out;
    for (int f = 0; f < frames; ++f)
    {
        ImageFile file;
        file.stem = a.name + "_" + (f < 10 ? "0" : "") + std::to_string(f);
        if (f == 0)
        {
            // Transparent: only its size counts, the creature's box at scale 1.
            file.canvas = Canvas(box, box);
            out.push_back(std::move(file));
            continue;
        }
        Canvas c(size, size);
        const double r = gem ? 17.0 : king ? 31.0 : 19.0;
        const Vec2 centre{size / 2.0, gem ? size / 2.0 : king ? size / 2.0 + 2.0 : size / 2.0 + 5.0};
        CreaturePose pose = gem ? GemFramePose(f) : CreatureFramePose(f);
        if (gem && a.glyph == TicGlyph::Swirl && f >= 9)
            pose.glow = 0.0; // paused: the core goes dark while it waits
        DrawCreature(c, a.body, a.color, a.glyph, centre, r, pose);
        if (gem && f >= 1 && f <= 4)
            Sparkle(c, centre + Vec2{r * (0.9 - 0.1 * f), -r * (0.9 - 0.15 * f)}, 3.0 + f);
        file.canvas = std::move(c);
        out.push_back(std::move(file));
    }
    return out;
}

// The frames 1.. side by side at a reduced size: the contact sheet's row for one atlas.
} // namespace

ImageFile Strip(const std::string& name, const std::vector<ImageFile>& frames, double scale, size_t first)
{
    const int w = frames[first].canvas.Width(), h = frames[first].canvas.Height();
    const int sw = static_cast<int>(w * scale + 0.5), sh = static_cast<int>(h * scale + 0.5);
    Canvas strip(sw * static_cast<int>(frames.size() - first), sh);
    for (size_t i = first; i < frames.size(); ++i)
        strip.Composite(Resize(frames[i].canvas, sw, sh), sw * static_cast<int>(i - first), 0);
    return ImageFile{name + "_strip", Format::Png, std::move(strip),
                     name + ": frames " + std::to_string(first) + ".." + std::to_string(frames.size() - 1)};
}

namespace
{
FamilyArt PaintAtlases(const std::vector<Atlas>& atlases, bool king, bool gem)
{
    std::vector<std::future<std::vector<ImageFile>>> running;
    for (const Atlas& a : atlases)
        running.push_back(
            std::async(std::launch::async, [a, king, gem] { return PaintAtlas(a, king, gem); }));
    FamilyArt art;
    art.sheetPreviewsOnly = true;
    for (size_t i = 0; i < atlases.size(); ++i)
    {
        Resource list;
        list.kind = Resource::Kind::ImageList;
        list.name = atlases[i].name + "_Frames";
        list.frames = running[i].get();
        art.previews.push_back(Strip(atlases[i].name, list.frames, gem ? 0.6 : king ? 0.35 : 0.45, 1));
        art.resources.push_back(std::move(list));
        art.records += "<spritetype name=\"" + atlases[i].name + CreatureTypeSuffix + "\" images=\"" +
                       atlases[i].name + "_Frames\" animationList=\"" +
                       (gem ? "PowerUpAnims" : "CreatureAnims") + "\"/>\n";
    }
    return art;
}

std::string Animation(const std::string& name, const std::string& frames, int fps, int plays)
{
    return "  <animation name=\"" + name + "\" frameList=\"" + frames + "\" fps=\"" + std::to_string(fps) +
           "\" numPlays=\"" + std::to_string(plays) + "\"/>\n";
}
} // namespace

std::string CreatureAnimationList()
{
    std::string s = "<spriteanimationlist name=\"CreatureAnims\">\n";
    s += Animation("CollisionBox", "0", 1, 0);
    struct Facing
    {
        const char* name;
        const char* normal;  // wandering frames
        const char* special; // shielded
        int fps;
    };
    const Facing facings[] = {{"Idle", "1,1,1,2", "24", 4},       {"WalkUp", "6-8,7", "25", 8},
                              {"WalkDown", "3-5,4", "25", 8},     {"WalkLeft", "9-11,10", "26", 8},
                              {"WalkRight", "12-14,13", "27", 8}, {"Speared", "15-16", "24", 6}};
    for (const char* prefix : {"Normal", "Special"})
    {
        const bool special = prefix[0] == 'S';
        for (const Facing& f : facings)
        {
            const std::string base = std::string(prefix) + "-" + f.name + "-";
            s += Animation(base + "FadeIn", special ? "24" : "1", 1, 0);
            s += Animation(base + "Wander", special ? f.special : f.normal, f.fps, 0);
            s += Animation(base + "FreakOut", "17-18", 8, 0);
            // Finite: a king's cycle goes on only once its explosion has played.
            s += Animation(base + "Exploding", "19-22", 10, 1);
        }
        s += Animation(std::string(prefix) + "-Affected-Continuous", "23", 1, 0);
    }
    return s + "</spriteanimationlist>\n";
}

std::string PowerUpAnimationList()
{
    std::string s = "<spriteanimationlist name=\"PowerUpAnims\">\n";
    s += Animation("CollisionBox", "0", 1, 0);
    // Finite: the gem leaves its entering stage when this ends.
    s += Animation("PowerUp-Enter", "1-4", 8, 1);
    s += Animation("PowerUp-Idle", "5-6", 4, 0);
    s += Animation("PowerUp-Speared", "7-8", 6, 0);
    s += Animation("PowerUp-Pause", "9-10", 4, 0);
    return s + "</spriteanimationlist>\n";
}

FamilyArt PaintTics()
{
    FamilyArt art = PaintAtlases(NormalAtlases(), false, false);
    art.records = CreatureAnimationList() + PowerUpAnimationList() + art.records;
    return art;
}

FamilyArt PaintTicsAny()
{
    return PaintAtlases(AnyAtlases(), false, false);
}

FamilyArt PaintKings()
{
    return PaintAtlases(KingAtlases(), true, false);
}

FamilyArt PaintPosiTics()
{
    return PaintAtlases(GemAtlases(), false, true);
}
} // namespace DataGen
