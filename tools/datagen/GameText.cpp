// Big rounded letters in a colour that says what happened, an ink outline and a paper halo, so
// they read over any room and any gunk.
#include "GameText.h"

#include "Guests.h"
#include "Rooms.h"
#include "Scenery.h"
#include "Text.h"
#include "TextTable.h"

#include <algorithm>

namespace DataGen
{
namespace
{
// Letters in `fill` with an ink outline, on a soft paper halo, centred in the canvas.
Canvas Lettering(int w, int h, const std::string& text, TextStyle style)
{
    // The halo: the outlined text once more, wider and paper-coloured, then softened.
    Canvas halo(w, h);
    TextStyle wide = style;
    wide.color = Palette::Paper;
    wide.outline = style.outline + 4;
    wide.outlineColor = Palette::Paper;
    const int margin = wide.outline + 2;
    DrawTextFitted(halo, text, margin, margin, w - 2 * margin, h - 2 * margin, wide, style.pixels, true);
    Canvas drawn(w, h);
    drawn.Composite(halo, 0, 0, 0.75);
    DrawTextFitted(drawn, text, margin, margin, w - 2 * margin, h - 2 * margin, style, style.pixels, true);
    // Centred on its ink, not on the letters' advances: banners are scaled about their middle.
    int x0 = w, x1 = -1, y0 = h, y1 = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (drawn.At(x, y).a > 0.0f)
            {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return drawn;
    Canvas c(w, h);
    c.Composite(drawn, (w - (x1 + 1 - x0)) / 2 - x0, (h - (y1 + 1 - y0)) / 2 - y0);
    return c;
}

struct Word
{
    std::string name, key;
    Rgba fill;
};

TextStyle WordStyle(int pixels, Rgba fill, int outline)
{
    TextStyle s{Face::SansBold, pixels, fill, Align::Center, 1.1};
    s.outline = outline;
    s.outlineColor = Palette::Ink;
    return s;
}

// The largest size at which every word fits inside the halo's margin.
int CommonSize(const std::vector<Word>& words, const TextTable& t, int w, int h, int outline, int start,
               int min)
{
    std::vector<std::string> texts;
    for (const Word& word : words)
        texts.push_back(t.Get(word.key));
    const int margin = outline + 6;
    return FittedSize(texts, w - 2 * margin, h - 2 * margin, WordStyle(start, Palette::Ink, outline), min);
}
} // namespace

const std::vector<std::string>& BannerNames()
{
    static const std::vector<std::string> names = {"normal",      "endless",   "warning",
                                                   "lastWarning", "gunkClear", "gunkReturn"};
    return names;
}

const std::vector<std::string>& FeedbackAnimations()
{
    static const std::vector<std::string> names = {
        "GoodLoop",         "BadLoop",         "NoGremlin",      "TooLong",      "Collision",
        "Freeze_Ready",     "Freeze_Used",     "Shrink_Ready",   "Shrink_Used",  "UnifyColors_Ready",
        "UnifyColors_Used", "DeepClean_Ready", "DeepClean_Used", "Damage_Ready", "Damage_Used"};
    return names;
}

FamilyArt PaintBanners(const TextTable& t)
{
    const Rgba colors[] = {Palette::Coral, Palette::Teal,  Hex("#FFB800"),
                           Hex("#E8473B"), Hex("#08B842"), Hex("#801A99")};
    std::vector<Word> words;
    for (size_t i = 0; i < BannerNames().size(); ++i)
        words.push_back({"bannerMSG_" + BannerNames()[i], "Img.Banner." + BannerNames()[i], colors[i]});
    const int w = 640, h = 120, outline = 3;
    const int pixels = CommonSize(words, t, w, h, outline, 52, 24);
    FamilyArt art;
    for (const Word& word : words)
        art.resources.push_back(Single(
            word.name, Lettering(w, h, t.Get(word.key), WordStyle(pixels, Lighten(word.fill, 0.1), outline)),
            Format::Png));
    art.sheetScale = 0.5;
    art.compactSheet = true;
    return art;
}

FamilyArt PaintFeedbackWords(const TextTable& t)
{
    std::vector<Word> words;
    for (const std::string& anim : FeedbackAnimations())
    {
        // Good news teal, trouble coral, a power-up ready gold, used violet.
        Rgba fill = Palette::Teal;
        if (anim == "BadLoop" || anim == "NoGremlin" || anim == "TooLong" || anim == "Collision")
            fill = Palette::Coral;
        else if (anim.size() > 6 && anim.compare(anim.size() - 6, 6, "_Ready") == 0)
            fill = Hex("#FFB800");
        else if (anim.size() > 5 && anim.compare(anim.size() - 5, 5, "_Used") == 0)
            fill = Hex("#B06CD0");
        words.push_back({anim, "Img.Feedback." + anim, fill});
    }
    const int w = 240, h = 56, outline = 2;
    const int pixels = CommonSize(words, t, w, h, outline, 28, 12);
    FamilyArt art;
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = "FeedbackWords";
    for (const Word& word : words)
        r.frames.push_back(Frame("Feedback_" + word.name,
                                 Lettering(w, h, t.Get(word.key), WordStyle(pixels, word.fill, outline)),
                                 word.name));
    art.resources.push_back(std::move(r));
    return art;
}

FamilyArt PaintSessionNames(const TextTable& t)
{
    std::vector<Word> words;
    for (const std::string& g : GuestNames())
        words.push_back({"TextImage_" + g, "Img.TextImage." + g, Lighten(RoomColor(g), 0.15)});
    const int w = 320, h = 44, outline = 2;
    const int pixels = CommonSize(words, t, w, h, outline, 24, 12);
    FamilyArt art;
    for (const Word& word : words)
        art.resources.push_back(Single(
            word.name, Lettering(w, h, t.Get(word.key), WordStyle(pixels, word.fill, outline)), Format::Png));
    art.compactSheet = true;
    return art;
}
} // namespace DataGen
