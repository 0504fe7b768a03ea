// The free drawing functions: they anchor, pick the canvas interface and hand over.
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/TextWrap.h"

#include <cmath>
#include <cwchar>
#include <string>

namespace Kestrin::Graphics
{

namespace
{

void DrawnSize(const IImage* image, const DrawState& state, float& w, float& h)
{
    if (state.flags & DrawFlag_SourceRect)
    {
        w = float(state.sourceRect.w);
        h = float(state.sourceRect.h);
    }
    else
    {
        w = float(image->GetWidth());
        h = float(image->GetHeight());
    }
}

// How far an anchor lies from the left (top) edge for an alignment of 0, 1 or 2.
float AnchorShift(int align, float size)
{
    return align == 1 ? size * 0.5f : align == 2 ? size : 0.0f;
}

// Plain text at (x, y) in one colour: through the canvas's text interface, else glyph by glyph.
int DrawTextPass(const wchar_t* text, float x, float y, const ColorF& color, const DrawState& base,
                 ITextDrawingCanvas* textCanvas, IQuadDrawingCanvas* quad)
{
    DrawState state = base;
    state.color = color;
    state.hAlign = 0;
    state.vAlign = 0;
    if (textCanvas)
        return textCanvas->DrawText(text, state.font, Vector2<float>(x, y), state);

    state.flags |= DrawFlag_SourceRect;
    state.imageColor = color;
    int result = Draw_Nothing;
    float pen = x;
    for (const wchar_t* c = text; *c; ++c)
    {
        Glyph glyph;
        state.font->GetGlyph(*c, glyph);
        if (glyph.image && glyph.width > 0 && glyph.height > 0)
        {
            state.sourceRect = {glyph.x, glyph.y, glyph.width, glyph.height};
            const int r = quad->DrawImage(glyph.image, pen, y, state);
            if (r < 0)
                return r;
            if (r == Draw_Done)
                result = Draw_Done;
        }
        pen += float(state.font->GetAdvance(*c, c[1]));
    }
    return result;
}

// The face an image is drawn through; null, with `answer` to give, when there is nothing to draw or
// the canvas does not draw images.
IQuadDrawingCanvas* ImageQuad(ICanvas* canvas, IImage* image, int& answer)
{
    if (!canvas || !image)
    {
        answer = Draw_Nothing;
        return nullptr;
    }
    answer = Draw_Unsupported;
    return QueryCanvas<IQuadDrawingCanvas>(canvas);
}

} // namespace

int DrawImage(float x, float y, ICanvas* canvas, IImage* image, const DrawState& state)
{
    int answer;
    IQuadDrawingCanvas* quad = ImageQuad(canvas, image, answer);
    if (!quad)
        return answer;
    float w, h;
    DrawnSize(image, state, w, h);
    return quad->DrawImage(image, x - AnchorShift(state.hAlign, w), y - AnchorShift(state.vAlign, h), state);
}

int DrawImageInRect(ICanvas* canvas, const Rect<int>& rect, IImage* image, const DrawState& state)
{
    int answer;
    IQuadDrawingCanvas* quad = ImageQuad(canvas, image, answer);
    if (!quad)
        return answer;
    Rect<int> destination = rect;
    destination.x -= state.hAlign == 1 ? rect.w / 2 : state.hAlign == 2 ? rect.w : 0;
    destination.y -= state.vAlign == 1 ? rect.h / 2 : state.vAlign == 2 ? rect.h : 0;
    return quad->DrawStretchedImage(image, destination, state);
}

int DrawImageRotated(ICanvas* canvas, IImage* image, float x, float y, float angle, const DrawState& state)
{
    if (!std::isfinite(angle))
        return Draw_Nothing;
    int answer;
    IQuadDrawingCanvas* quad = ImageQuad(canvas, image, answer);
    if (!quad)
        return answer;
    float w, h;
    DrawnSize(image, state, w, h);
    // The image turns about its anchor: the centre's offset from the anchor turns with it.
    const float ox = w * 0.5f - AnchorShift(state.hAlign, w);
    const float oy = h * 0.5f - AnchorShift(state.vAlign, h);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return quad->DrawRotatedImage(image, x + ox * c - oy * s, y + ox * s + oy * c, angle, state);
}

int FillRect(const Rect<float>& rect, const DrawState& state, ICanvas* canvas)
{
    if (!canvas)
        return Draw_Nothing;
    IQuadDrawingCanvas* quad = QueryCanvas<IQuadDrawingCanvas>(canvas);
    return quad ? quad->DrawFilledRect(rect, state) : int(Draw_Unsupported);
}

int FillQuad(ICanvas* canvas, const DrawState& state)
{
    if (!canvas)
        return Draw_Nothing;
    IQuadDrawingCanvas* quad = QueryCanvas<IQuadDrawingCanvas>(canvas);
    return quad ? quad->DrawFilledRect(canvas->GetBounds(), state) : int(Draw_Unsupported);
}

int DrawLine(float x1, float y1, float x2, float y2, const DrawState& state, ICanvas* canvas)
{
    if (!canvas)
        return Draw_Nothing;
    if (ILineDrawingCanvas* lines = QueryCanvas<ILineDrawingCanvas>(canvas))
        return lines->DrawLine(x1, y1, x2, y2, state);
    if (IPixelSettingCanvas* pixels = QueryCanvas<IPixelSettingCanvas>(canvas))
        return DrawLineClipped(x1, y1, x2, y2, state, pixels, canvas);
    return Draw_Unsupported;
}

int DrawRectOutline(ICanvas* canvas, const Rect<int>& rect, const ColorF& color)
{
    if (!canvas || rect.IsEmpty())
        return Draw_Nothing;
    DrawState state = CurrentDrawState();
    state.color = color;
    const float left = float(rect.x), top = float(rect.y);
    const float right = float(int64_t(rect.x) + rect.w - 1), bottom = float(int64_t(rect.y) + rect.h - 1);
    const float lines[4][4] = {{left, top, right, top},
                               {right, top, right, bottom},
                               {right, bottom, left, bottom},
                               {left, bottom, left, top}};
    int result = Draw_Nothing;
    for (const auto& l : lines)
    {
        const int r = DrawLine(l[0], l[1], l[2], l[3], state, canvas);
        if (r < 0)
            return r;
        result = r;
    }
    return result;
}

namespace
{
int DrawEllipseShape(const Rect<float>& bounds, const DrawState& state, ICanvas* canvas, bool filled)
{
    if (!canvas)
        return Draw_Nothing;
    IEllipseDrawingCanvas* ellipses = QueryCanvas<IEllipseDrawingCanvas>(canvas);
    if (!ellipses)
        return Draw_Unsupported;
    if (!(bounds.w > 0.0f) || !(bounds.h > 0.0f))
        return Draw_Nothing;
    return filled ? ellipses->DrawFilledEllipse(bounds, state) : ellipses->DrawLineEllipse(bounds, state);
}
} // namespace

int FillEllipse(const Rect<float>& bounds, const DrawState& state, ICanvas* canvas)
{
    return DrawEllipseShape(bounds, state, canvas, true);
}

int DrawEllipse(const Rect<float>& bounds, const DrawState& state, ICanvas* canvas)
{
    return DrawEllipseShape(bounds, state, canvas, false);
}

int DrawText(const wchar_t* text, float x, float y, const DrawState& state, ICanvas* canvas,
             const Rect<int>* clip)
{
    if (!text || !state.font || !canvas)
        return Draw_Nothing;
    ITextDrawingCanvas* textCanvas = QueryCanvas<ITextDrawingCanvas>(canvas);
    IQuadDrawingCanvas* quad = textCanvas ? nullptr : QueryCanvas<IQuadDrawingCanvas>(canvas);
    if (!textCanvas && !quad)
        return Draw_Unsupported;

    DrawState base = state;
    if (clip)
        base.clipRect = *clip;

    const int width = GetTextWidth(text, state.font);
    const int lineHeight = state.font->GetLineHeight();
    if (state.hAlign == 1)
        x -= float(width / 2);
    else if (state.hAlign == 2)
        x -= float(width);
    if (state.vAlign == 1)
        y -= float(lineHeight / 2);
    else if (state.vAlign == 2)
        y -= float(lineHeight);

    ColorF second = state.color2;
    second.a *= state.color.a;
    if (state.textMode == 2)
        DrawTextPass(text, x + 2.0f, y + 2.0f, second, base, textCanvas, quad);
    else if (state.textMode == 1)
    {
        for (int dy = -2; dy <= 2; dy += 2)
            for (int dx = -2; dx <= 2; dx += 2)
                if (dx != 0 || dy != 0)
                    DrawTextPass(text, x + float(dx), y + float(dy), second, base, textCanvas, quad);
    }
    return DrawTextPass(text, x, y, state.color, base, textCanvas, quad);
}

int DrawWrappedText(const wchar_t* text, float x, float y, float width, Rect<float>* outRect,
                    const DrawState& state, ICanvas* canvas)
{
    if (!text || !state.font)
        return Draw_Nothing;
    const std::wstring_view all(text, std::wcslen(text));
    WrappedLines lines;
    WrapText(all, state.font, TruncToInt(width), lines);

    const int lineHeight = state.font->GetLineHeight();
    const int lineCount = int(lines.breaks.size()) - 1;
    const float blockHeight = float(lineHeight) * float(lineCount);
    float top = y;
    if (state.vAlign == 1)
        top -= blockHeight * 0.5f;
    else if (state.vAlign == 2)
        top -= blockHeight;

    DrawState lineState = state;
    lineState.hAlign = 0;
    lineState.vAlign = 0;
    int result = Draw_Nothing;
    float lineTop = top;
    for (int i = 0; i < lineCount; ++i)
    {
        const std::wstring line(all.substr(size_t(lines.breaks[size_t(i)]),
                                           size_t(lines.breaks[size_t(i) + 1] - lines.breaks[size_t(i)])));
        const float lineWidth = float(GetTextWidth(line, state.font));
        float lineX = x;
        if (state.hAlign == 2)
            lineX -= lineWidth;
        else if (state.hAlign == 1)
            lineX = std::floor(lineX - lineWidth * 0.5f);
        const float lineY = state.vAlign == 1 ? std::floor(lineTop) : lineTop;
        result = DrawText(line.c_str(), lineX, lineY, lineState, canvas);
        lineTop += float(lineHeight);
    }

    if (outRect)
    {
        const float widest = float(lines.widest);
        *outRect = {x - AnchorShift(state.hAlign, widest), top, widest, blockHeight};
    }
    return result;
}

} // namespace Kestrin::Graphics
