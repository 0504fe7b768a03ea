// The checks of how the art and the layouts meet: captions inside their buttons' stitched area,
// highlighted text that stays readable, creatures that keep their colour in every frame and a
// poster for every movie.
#include "harness/DataCheck.h"

#include "Base/Text.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Font.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/Image.h"
#include "Graphics/ImageList.h"
#include "Platform/Win32/FlashPlayer.h"
#include "Scene/ButtonNode.h"
#include "Scene/ClickableNode.h"
#include "Scene/RadioButtonNode.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneNode.h"
#include "Scene/SpriteType.h"
#include "Screens/MovieScreens.h"
#include "UI/ControlLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>

namespace fs = std::filesystem;

namespace DataCheck
{

namespace
{

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Signed distance from p to a rounded rectangle: negative inside.
double RoundedRectDistance(double px, double py, double x0, double y0, double x1, double y1, double r)
{
    const double cx = (x0 + x1) * 0.5, cy = (y0 + y1) * 0.5;
    const double qx = std::fabs(px - cx) - ((x1 - x0) * 0.5 - r);
    const double qy = std::fabs(py - cy) - ((y1 - y0) * 0.5 - r);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - r;
}

// The buttons that centre their caption on their images (a check box writes its label beside).
void CollectClickables(SceneNode* node, std::vector<ClickableNode*>& found)
{
    for (; node; node = node->GetNextSibling())
    {
        if (dynamic_cast<ButtonNode*>(node) || dynamic_cast<RadioButtonNode*>(node))
            found.push_back(static_cast<ClickableNode*>(node));
        CollectClickables(node->GetFirstChild(), found);
    }
}

// How far the caption's ink (pixels at least half covered, each a whole square) reaches past the
// area, in pixels; at most 0 when it stays inside.
double CaptionOverflow(ClickableNode& button, const Kestrin::ImageFont& font, const CaptionArea& area)
{
    const Kestrin::Rect<float> world = button.GetWorldRect();
    const Kestrin::Vector2<float> centre = Kestrin::GetCaptionCentre(world.x, world.y, world.w, world.h);
    const std::wstring& text = button.GetText();
    // Where the engine puts the caption's line, relative to the button.
    const double left = centre.x - float(Kestrin::GetTextWidth(text, &font) / 2) - world.x;
    const double top = centre.y - float(font.GetLineHeight() / 2) - world.y;
    const double x0 = area.left, y0 = area.top, x1 = world.w - area.right, y1 = world.h - area.bottom;
    double worst = -1e9;
    double pen = left;
    for (size_t i = 0; i < text.size(); ++i)
    {
        Kestrin::Glyph glyph;
        font.GetGlyph(text[i], glyph);
        for (int gy = 0; glyph.image && gy < glyph.height; ++gy)
            for (int gx = 0; gx < glyph.width; ++gx)
                if ((glyph.image->GetPixel(glyph.x + gx, glyph.y + gy) >> 24) >= 0x80)
                    // The whole pixel, not its centre: half a pixel further out.
                    worst = std::max(worst, RoundedRectDistance(pen + gx + 0.5, top + gy + 0.5, x0, y0, x1,
                                                                y1, area.radius) +
                                                0.5);
        pen += font.GetAdvance(text[i], i + 1 < text.size() ? text[i + 1] : L'\0');
    }
    return worst;
}

double Channel(uint32_t argb, int shift)
{
    return double((argb >> shift) & 0xFF) / 255.0;
}

double Linear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const Kestrin::ColorF& c)
{
    return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

// The mean colour of a picture, by coverage.
Kestrin::ColorF MeanColor(int w, int h, const std::function<uint32_t(int, int)>& pixel)
{
    double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const uint32_t p = pixel(x, y);
            const double alpha = Channel(p, 24);
            r += Channel(p, 16) * alpha;
            g += Channel(p, 8) * alpha;
            b += Channel(p, 0) * alpha;
            a += alpha;
        }
    if (a <= 0.0)
        return Kestrin::ColorF(1.0f, 1.0f, 1.0f, 1.0f);
    return Kestrin::ColorF(float(r / a), float(g / a), float(b / a), 1.0f);
}

// CIELAB's a* and b* of an sRGB colour (D65 white).
std::pair<double, double> LabAB(double r, double g, double b)
{
    const double lr = Linear(r), lg = Linear(g), lb = Linear(b);
    const double x = (0.4124 * lr + 0.3576 * lg + 0.1805 * lb) / 0.95047;
    const double y = 0.2126 * lr + 0.7152 * lg + 0.0722 * lb;
    const double z = (0.0193 * lr + 0.1192 * lg + 0.9505 * lb) / 1.08883;
    auto f = [](double t)
    { return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0; };
    return {500.0 * (f(x) - f(y)), 200.0 * (f(y) - f(z))};
}

} // namespace

HueHistogram HueHistogramOf(int w, int h, const std::function<uint32_t(int, int)>& pixel, double* meanChroma,
                            double* coverageOut)
{
    HueHistogram hues{};
    double total = 0.0, coverage = 0.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const uint32_t p = pixel(x, y);
            const double alpha = Channel(p, 24);
            if (alpha <= 0.0)
                continue;
            const auto [a, b] = LabAB(Channel(p, 16), Channel(p, 8), Channel(p, 0));
            const double weight = std::hypot(a, b) * alpha;
            coverage += alpha;
            if (weight <= 0.0)
                continue;
            // Split between the two nearest whole degrees, so a small turn moves a little weight.
            double degrees = std::atan2(b, a) * 180.0 / std::numbers::pi;
            if (degrees < 0.0)
                degrees += 360.0;
            const int low = int(degrees) % 360;
            const double t = degrees - std::floor(degrees);
            hues[size_t(low)] += weight * (1.0 - t);
            hues[size_t((low + 1) % 360)] += weight * t;
            total += weight;
        }
    if (meanChroma)
        *meanChroma = coverage > 0.0 ? total / coverage : 0.0;
    if (coverageOut)
        *coverageOut = coverage;
    if (total > 0.0)
        for (double& v : hues)
            v /= total;
    return hues;
}

double HueDistance(const HueHistogram& a, const HueHistogram& b)
{
    // The earth mover's distance on the circle: the running difference, less its median, summed.
    std::array<double, 360> running{};
    double sum = 0.0;
    for (size_t i = 0; i < running.size(); ++i)
        running[i] = sum += a[i] - b[i];
    std::array<double, 360> sorted = running;
    std::nth_element(sorted.begin(), sorted.begin() + 180, sorted.end());
    const double median = sorted[180];
    double distance = 0.0;
    for (double v : running)
        distance += std::fabs(v - median);
    return distance;
}

std::map<std::string, CaptionArea> ReadCaptionAreas(const fs::path& root, Report& report)
{
    std::map<std::string, CaptionArea> areas;
    const std::string file = "images/captions.tsv";
    std::ifstream in(root / file);
    if (!in)
    {
        report.Add(file, "is missing: the art generator writes it");
        return areas;
    }
    std::string line;
    std::getline(in, line);
    if (line != "images\tleft\ttop\tright\tbottom\tradius")
        report.Add(file, "does not start with the heading \"images left top right bottom radius\"");
    for (int row = 2; std::getline(in, line); ++row)
    {
        std::istringstream fields(line);
        std::string images;
        CaptionArea area;
        std::string rest;
        if (!(fields >> images >> area.left >> area.top >> area.right >> area.bottom >> area.radius) ||
            (fields >> rest) || area.radius < 0.0)
        {
            report.Add(file,
                       "row " + std::to_string(row) + " is not a name and five numbers: \"" + line + "\"");
            continue;
        }
        ++report.checked;
        areas[images] = area;
    }
    return areas;
}

Report CheckCaptions(const LoadedTree& tree, const std::map<std::string, CaptionArea>& areas)
{
    Report report;
    std::map<const Kestrin::IImageList*, std::string> families;
    for (const auto& [name, area] : areas)
        if (const Kestrin::IImageList* list = Kestrin::GetResource<Kestrin::IImageList>(name).second)
            families[list] = name;

    for (const LoadedEntry& entry : tree.Entries())
    {
        if (entry.kind != "scenelayout")
            continue;
        const SceneLayout* layout = GetSceneLayoutByString(entry.name).second;
        if (!layout)
            continue;
        Kestrin::ObjectDatabase screen;
        Kestrin::ScopedCurrentObjectDatabase scope(&screen);
        auto* root = new SceneNode;
        screen.AddObject(root);
        try
        {
            layout->Instantiate(screen, root);
        }
        catch (const std::exception&)
        {
            continue; // CheckLayouts names it
        }
        std::vector<ClickableNode*> buttons;
        CollectClickables(root->GetFirstChild(), buttons);
        for (ClickableNode* button : buttons)
        {
            const auto* font = dynamic_cast<const Kestrin::ImageFont*>(button->GetFont());
            if (button->GetText().empty() || !font || !button->GetImages())
                continue;
            ++report.checked;
            const std::string where = "layout \"" + entry.name + "\": the caption \"" +
                                      Kestrin::ToUtf8(button->GetText()) + "\" of \"" +
                                      button->GetNodeName().c_str() + "\"";
            auto family = families.find(button->GetImages());
            if (family == families.end())
            {
                report.Add(entry.file, where + " is on images with no caption area in images/captions.tsv");
                continue;
            }
            const double overflow = CaptionOverflow(*button, *font, areas.at(family->second));
            if (overflow > 0.0)
                report.Add(entry.file, where + " crosses the stitches of " + family->second + " by " +
                                           Format("%.1f", overflow) + " px");
        }
    }
    return report;
}

double ContrastRatio(const Kestrin::ColorF& a, const Kestrin::ColorF& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Report CheckContrast(const LoadedTree& tree, const std::vector<ContrastRule>& rules)
{
    Report report;
    for (const ContrastRule& rule : rules)
    {
        ++report.checked;
        const std::string file = tree.FileOf(rule.group);
        const auto* text = Kestrin::GetValueResource<Kestrin::ColorF>(rule.textColor);
        const Kestrin::IImage* highlight = Kestrin::GetResource<Kestrin::IImage>(rule.highlight).second;
        const Kestrin::IImageList* under = Kestrin::GetResource<Kestrin::IImageList>(rule.background).second;
        if (!text || !highlight || !under || under->Count() == 0)
        {
            report.Add(file, "cannot weigh \"" + rule.textColor + "\" on \"" + rule.highlight + "\" over \"" +
                                 rule.background + "\": one of them is not loaded");
            continue;
        }
        // The panel's middle piece (a nine-slice list's fifth) is what the row lies on.
        const int piece = under->Count() == 9 ? 4 : 0;
        const Kestrin::ColorF ground = MeanColor(under->GetWidth(piece), under->GetHeight(piece),
                                                 [&](int x, int y) { return under->GetPixel(piece, x, y); });
        // Where the text goes: the middle half of the highlight each way, the worst pixel.
        const int w = highlight->GetWidth(), h = highlight->GetHeight();
        double worst = 1e9;
        for (int y = h / 4; y < h - h / 4; ++y)
            for (int x = w / 4; x < w - w / 4; ++x)
            {
                const uint32_t p = highlight->GetPixel(x, y);
                const float a = float(Channel(p, 24));
                const Kestrin::ColorF seen(float(Channel(p, 16)) * a + ground.r * (1.0f - a),
                                           float(Channel(p, 8)) * a + ground.g * (1.0f - a),
                                           float(Channel(p, 0)) * a + ground.b * (1.0f - a), 1.0f);
                worst = std::min(worst, ContrastRatio(text->value, seen));
            }
        if (worst < rule.minimum)
            report.Add(file, "\"" + rule.textColor + "\" on \"" + rule.highlight + "\" over \"" +
                                 rule.background + "\" has a contrast of " + Format("%.2f", worst) +
                                 ":1, below " + Format("%.1f", rule.minimum) + ":1");
    }
    return report;
}

Report CheckCreatureHues(const LoadedTree& tree, const std::vector<HueRule>& rules)
{
    Report report;
    for (const HueRule& rule : rules)
    {
        ++report.checked;
        const std::string file = tree.FileOf(rule.group);
        const SpriteType* type = GetSpriteType(rule.spriteType.c_str()).second;
        const Kestrin::IImageList* frames = type ? type->GetImageList() : nullptr;
        if (!frames || rule.normalFrame >= frames->Count())
        {
            report.Add(file, "cannot weigh the hues of \"" + rule.spriteType + "\": it has no frame " +
                                 std::to_string(rule.normalFrame));
            continue;
        }
        double chroma = 0.0, coverage = 0.0;
        auto histogram = [&](int frame)
        {
            return HueHistogramOf(
                frames->GetWidth(frame), frames->GetHeight(frame),
                [&](int x, int y) { return frames->GetPixel(frame, x, y); }, &chroma, &coverage);
        };
        const HueHistogram normal = histogram(rule.normalFrame);
        for (int frame = 0; frame < frames->Count(); ++frame)
        {
            const HueHistogram hues = histogram(frame);
            // A clear frame (the collision box) shows nothing to compare.
            if (coverage <= 0.0)
                continue;
            const std::string where = "\"" + rule.spriteType + "\" frame " + std::to_string(frame);
            if (chroma < rule.minChroma)
                report.Add(file, where + " has lost its colour (mean chroma " + Format("%.1f", chroma) + ")");
            else if (const double d = HueDistance(hues, normal); d > rule.bound)
                report.Add(file, where + " is " + Format("%.1f", d) + " degrees of hue from frame " +
                                     std::to_string(rule.normalFrame) + ", above " +
                                     Format("%.0f", rule.bound));
        }
    }
    return report;
}

Report CheckMoviePosters(const LoadedTree& tree, const std::vector<MovieRule>& rules)
{
    Report report;
    for (const MovieRule& rule : rules)
    {
        ++report.checked;
        const std::string file = tree.FileOf(rule.group);
        const Kestrin::MovieSettings settings = MakeMovieSettingsForPath(rule.movie);
        const std::string swf = Kestrin::ToUtf8(settings.fileName + settings.extension);
        if (!tree.HasFile(swf))
            report.Add("movies/" + swf, "is missing, but the screens play \"" + rule.movie + "\"");
        const std::string poster = Kestrin::MoviePosterNames(settings).front();
        const auto defined = std::find_if(tree.Entries().begin(), tree.Entries().end(),
                                          [&](const LoadedEntry& e)
                                          { return e.kind == "image" && Lower(e.name) == Lower(poster); });
        if (defined == tree.Entries().end() || defined->file != file)
            report.Add(file, "defines no image \"" + poster + "\", the poster shown while \"" + rule.movie +
                                 "\" plays" +
                                 (defined == tree.Entries().end() ? "" : " (" + defined->file + " does)"));
        else if (!Kestrin::GetResource<Kestrin::IImage>(poster).second)
            report.Add(file, "image \"" + poster + "\" does not load");
    }
    return report;
}

} // namespace DataCheck
