#include "Brush.h"

#include <algorithm>
#include <stdexcept>

namespace DataGen
{
const char* StateName(State s)
{
    switch (s)
    {
    case State::Normal:
        return "normal";
    case State::Hot:
        return "hot";
    case State::Down:
        return "down";
    case State::Disabled:
        return "disabled";
    case State::Focus:
        return "focus";
    }
    return "normal";
}

ImageFile Frame(const std::string& stem, Canvas canvas, std::string label)
{
    ImageFile f;
    f.stem = stem;
    f.canvas = std::move(canvas);
    f.label = std::move(label);
    return f;
}

Resource JpegWithMask(const std::string& name, const Canvas& picture, Rgba matte)
{
    Resource r;
    r.name = name;
    r.frames.push_back(Frame(name, Flatten(picture, matte), name + ".jpg"));
    r.frames.back().format = Format::Jpeg;
    r.companions.push_back(Frame(name + "_mask", AlphaMask(picture), name + "_mask.png"));
    return r;
}

std::vector<Canvas> SliceColumns(const Canvas& c, const std::vector<int>& edges)
{
    std::vector<Canvas> out;
    for (size_t i = 0; i + 1 < edges.size(); ++i)
        out.push_back(c.Crop(edges[i], 0, edges[i + 1] - edges[i], c.Height()));
    return out;
}

std::vector<Canvas> SliceNine(const Canvas& c, int piece)
{
    if (c.Width() != 3 * piece || c.Height() != 3 * piece)
        throw std::invalid_argument("a nine-slice painting is three pieces square");
    std::vector<Canvas> out;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            out.push_back(c.Crop(col * piece, row * piece, piece, piece));
    return out;
}

namespace
{
void RowInto(Canvas& out, const Canvas& l, const Canvas& m, const Canvas& r, int y)
{
    const int width = out.Width();
    out.Composite(l, 0, y);
    if (m.Width() > 0)
        for (int x = l.Width(); x < width - r.Width(); x += m.Width())
        {
            const int w = std::min(m.Width(), width - r.Width() - x);
            out.Composite(m.Crop(0, 0, w, m.Height()), x, y);
        }
    out.Composite(r, width - r.Width(), y);
}
} // namespace

Canvas AssembleThree(const Canvas& l, const Canvas& m, const Canvas& r, int width)
{
    Canvas out(width, std::max({l.Height(), m.Height(), r.Height()}));
    RowInto(out, l, m, r, 0);
    return out;
}

Canvas AssembleNine(const std::vector<Canvas>& p, int width, int height)
{
    Canvas out(width, height);
    RowInto(out, p[0], p[1], p[2], 0);
    const int bottom = height - p[6].Height();
    for (int y = p[0].Height(); y < bottom; y += p[3].Height())
    {
        Canvas row(width, p[3].Height());
        RowInto(row, p[3], p[4], p[5], 0);
        out.Composite(row.Crop(0, 0, width, std::min(row.Height(), bottom - y)), 0, y);
    }
    RowInto(out, p[6], p[7], p[8], bottom);
    return out;
}
} // namespace DataGen
