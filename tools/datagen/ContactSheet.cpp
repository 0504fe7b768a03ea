#include "Blobs.h"
#include "Generate.h"
#include "Paint.h"
#include "Text.h"

#include <algorithm>
#include <memory>

namespace DataGen
{
namespace
{
constexpr int kMargin = 12;
constexpr int kGap = 10;
constexpr int kMaxWidth = 1100;
constexpr int kLabelHeight = 16;

struct Tile
{
    const ImageFile* file;
    int scale;
    // A reduced copy shown instead of the file's canvas, when the family asks for one.
    std::shared_ptr<Canvas> reduced;
    std::string caption; // instead of the file's label
    const Canvas& Shown() const { return reduced ? *reduced : file->canvas; }
};

Tile MakeTile(const ImageFile& f, int scale, double sheetScale)
{
    Tile t{&f, scale, nullptr, ""};
    const Canvas& c = f.canvas;
    if (sheetScale != 1.0 && std::max(c.Width(), c.Height()) > 200)
        t.reduced =
            std::make_shared<Canvas>(Resize(c, std::max(1, static_cast<int>(c.Width() * sheetScale + 0.5)),
                                            std::max(1, static_cast<int>(c.Height() * sheetScale + 0.5))));
    return t;
}

// Small pieces are shown enlarged (nearest neighbour), so single pixels can be judged.
int ScaleFor(const Canvas& c)
{
    return std::max(c.Width(), c.Height()) <= 32 ? 3 : 1;
}

void Checker(Canvas& sheet, int x0, int y0, int w, int h)
{
    const Rgba light = Hex("#E4DACB"), dark = Hex("#CFC4B4");
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            sheet.Put(x0 + x, y0 + y, ((x / 8 + y / 8) & 1) ? dark : light);
}

void Place(Canvas& sheet, const Canvas& c, int x0, int y0, int scale)
{
    Canvas big(c.Width() * scale, c.Height() * scale);
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x)
            big.Put(x, y, c.At(x / scale, y / scale));
    sheet.Composite(big, x0, y0);
}

std::string Label(const Tile& t)
{
    std::string label = !t.caption.empty() ? t.caption : t.file->label.empty() ? t.file->stem : t.file->label;
    if (t.scale > 1)
        label += " x" + std::to_string(t.scale);
    if (t.reduced)
        label += " (" + std::to_string(t.file->canvas.Width()) + " x " +
                 std::to_string(t.file->canvas.Height()) + ", shown reduced)";
    return label;
}

struct Row
{
    std::string title;
    std::vector<Tile> tiles;
};

// Lays rows out and draws them when `sheet` is given; answers the height used.
int Layout(Canvas* sheet, const std::vector<Row>& rows, int& widest)
{
    const TextStyle heading{Face::SansBold, 13, Palette::Ink};
    const TextStyle caption{Face::Sans, 10, Hex("#5E5560")};
    int y = kMargin + 26;
    widest = 0;
    for (const Row& row : rows)
    {
        if (sheet)
            DrawText(*sheet, row.title, kMargin, y, 0, heading);
        y += 20;
        int x = kMargin, lineHeight = 0;
        for (const Tile& t : row.tiles)
        {
            const int w = t.Shown().Width() * t.scale, h = t.Shown().Height() * t.scale;
            const std::string label = Label(t);
            const int cellW = std::max(w, TextWidth(DecodeLatin1Text(label), caption));
            if (x > kMargin && x + cellW > kMaxWidth - kMargin)
            {
                x = kMargin;
                y += lineHeight + kGap;
                lineHeight = 0;
            }
            if (sheet)
            {
                Checker(*sheet, x, y, w, h);
                Place(*sheet, t.Shown(), x, y, t.scale);
                DrawText(*sheet, label, x, y + h + 2, 0, caption);
            }
            x += cellW + kGap;
            widest = std::max(widest, x);
            lineHeight = std::max(lineHeight, h + kLabelHeight);
        }
        y += lineHeight + kGap + 4;
    }
    return y + kMargin;
}
} // namespace

Canvas ContactSheet(const Family& family, const FamilyArt& art)
{
    std::vector<Row> rows;
    for (const Resource& r : art.resources)
    {
        if (art.sheetPreviewsOnly)
            break;
        if (art.compactSheet && r.kind == Resource::Kind::Image && r.companions.empty())
        {
            if (rows.empty() || rows.back().title != "Images")
                rows.push_back(Row{"Images", {}});
            Tile t = MakeTile(r.frames[0], ScaleFor(r.frames[0].canvas), art.sheetScale);
            t.caption = r.name + (r.frames[0].label.empty() ? "" : ": " + r.frames[0].label);
            rows.back().tiles.push_back(std::move(t));
            continue;
        }
        Row row{r.name + (r.kind == Resource::Kind::ImageList
                              ? "  (image list, " + std::to_string(r.frames.size()) + " frames)"
                              : "  (image)"),
                {}};
        for (const ImageFile& f : r.frames)
            row.tiles.push_back(MakeTile(f, ScaleFor(f.canvas), art.sheetScale));
        for (const ImageFile& f : r.companions)
            row.tiles.push_back(MakeTile(f, ScaleFor(f.canvas), art.sheetScale));
        rows.push_back(std::move(row));
    }
    if (!art.previews.empty())
    {
        Row row{"As drawn", {}};
        for (const ImageFile& f : art.previews)
            row.tiles.push_back(MakeTile(f, 1, art.sheetScale));
        rows.push_back(std::move(row));
    }
    int widest = 0;
    const int height = Layout(nullptr, rows, widest);
    const std::string title = family.name + "  -  group \"" + family.group + "\"";
    const TextStyle titleStyle{Face::SansBold, 16, Palette::Ink};
    const int titleWidth = TextWidth(DecodeLatin1Text(title), titleStyle) + 2 * kMargin;
    Canvas sheet(std::max({widest + kMargin, 360, titleWidth}), height);
    sheet.Fill(Hex("#F3EEE6"));
    DrawText(sheet, title, kMargin, kMargin, 0, titleStyle);
    Layout(&sheet, rows, widest);
    return sheet;
}
} // namespace DataGen
