// The SDL back end's 3D device: the states are recorded; triangles go through SDL_RenderGeometry,
// lines and points through SDL's line and point calls, all into the back buffer.
#include "Platform/Shim/DirectDraw/SdlInternal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace Kestrin::Shim::DirectDraw::Sdl
{

namespace
{

SDL_Color ToColor(uint32_t argb)
{
    return SDL_Color{Uint8(argb >> 16), Uint8(argb >> 8), Uint8(argb), Uint8(argb >> 24)};
}

// A clip-plane distance as a pixel edge, kept within [low, high].
int Edge(float value, int low, int high)
{
    double v = std::floor(double(value) + 0.5);
    return int(std::clamp(v, double(low), double(high)));
}

// Two triangles (six indices) that together cover an axis-aligned rectangle, with texture
// coordinates and colours varying linearly across it, as (top-left, bottom-left, bottom-right),
// (top-left, bottom-right, top-right). Either diagonal draws the same, but SDL's software renderer
// recognises this one and copies the rectangle texel-exactly instead of rasterising two triangles.
bool AsRectangle(const Vertex* v, const int* pair, int out[6])
{
    float x0 = v[pair[0]].x, x1 = x0, y0 = v[pair[0]].y, y1 = y0;
    for (int k = 1; k < 6; ++k)
    {
        x0 = std::min(x0, v[pair[k]].x);
        x1 = std::max(x1, v[pair[k]].x);
        y0 = std::min(y0, v[pair[k]].y);
        y1 = std::max(y1, v[pair[k]].y);
    }
    if (!(x0 < x1 && y0 < y1))
        return false;
    int corner[4] = {-1, -1, -1, -1}; // top-left, top-right, bottom-left, bottom-right
    unsigned covered[2] = {0, 0};
    for (int k = 0; k < 6; ++k)
    {
        const Vertex& p = v[pair[k]];
        bool right = p.x == x1, bottom = p.y == y1;
        if ((!right && p.x != x0) || (!bottom && p.y != y0))
            return false;
        int c = int(right) | int(bottom) << 1;
        if (corner[c] < 0)
            corner[c] = pair[k];
        else if (v[corner[c]].argb != p.argb || v[corner[c]].u != p.u || v[corner[c]].v != p.v)
            return false;
        covered[k / 3] |= 1u << c;
    }
    // Each triangle is three corners, and the corners they leave out are opposite.
    if (std::popcount(covered[0]) != 3 || std::popcount(covered[1]) != 3)
        return false;
    int missing0 = std::countr_zero(~covered[0] & 0xFu), missing1 = std::countr_zero(~covered[1] & 0xFu);
    if ((missing0 ^ missing1) != 3)
        return false;
    const Vertex &tl = v[corner[0]], &tr = v[corner[1]], &bl = v[corner[2]], &br = v[corner[3]];
    // Only a texture laid along the axes becomes a copy: a quarter-turned one (u running down the
    // rectangle) would be copied unturned.
    if (tl.u != bl.u || tr.u != br.u || tl.v != tr.v || bl.v != br.v)
        return false;
    for (int shift = 0; shift < 32; shift += 8)
        if (((tl.argb >> shift) & 0xFF) + ((br.argb >> shift) & 0xFF) !=
            ((tr.argb >> shift) & 0xFF) + ((bl.argb >> shift) & 0xFF))
            return false;
    const int order[6] = {corner[0], corner[2], corner[3], corner[0], corner[3], corner[1]};
    std::copy(order, order + 6, out);
    return true;
}

// Whether six indices are two triangles whose corners are exactly an axis-aligned rectangle. SDL's
// software renderer copies such a pair as a plain rectangle, dropping two of its texture
// coordinates, which turns a quarter-turned or sheared texture into an unturned one.
bool CoversAxisAlignedRectangle(const Vertex* v, const int* six)
{
    float xs[2] = {v[six[0]].x, v[six[0]].x}, ys[2] = {v[six[0]].y, v[six[0]].y};
    for (int k = 1; k < 6; ++k)
    {
        xs[0] = std::min(xs[0], v[six[k]].x);
        xs[1] = std::max(xs[1], v[six[k]].x);
        ys[0] = std::min(ys[0], v[six[k]].y);
        ys[1] = std::max(ys[1], v[six[k]].y);
    }
    for (int k = 0; k < 6; ++k)
        if ((v[six[k]].x != xs[0] && v[six[k]].x != xs[1]) || (v[six[k]].y != ys[0] && v[six[k]].y != ys[1]))
            return false;
    return true;
}

class SdlDevice final : public Device
{
public:
    SdlDevice(ContextPtr context, SdlSurfacePtr target, const DeviceDesc& desc,
              std::vector<PixelFormat> formats)
        : m_context(std::move(context)), m_target(std::move(target)), m_desc(desc),
          m_formats(std::move(formats))
    {
        m_renderStates.fill(0);
        m_renderStates[size_t(RenderState::AlphaBlendEnable)] = 1;
        m_renderStates[size_t(RenderState::ClipPlaneEnable)] = 0;
        for (auto& stage : m_stageStates)
            stage.fill(0);
        m_stageStates[0][size_t(TextureStageState::MinFilter)] = D3DTFN_POINT;
        m_stageStates[0][size_t(TextureStageState::MagFilter)] = D3DTFG_POINT;
        m_viewport = {0, 0, m_target->Width(), m_target->Height()};
    }

    HRESULT SetViewport(int x, int y, int width, int height, float, float) override
    {
        if (width <= 0 || height <= 0 || x < 0 || y < 0)
            return DDERR_INVALIDPARAMS;
        m_viewport = {x, y, width, height};
        return DD_OK;
    }
    HRESULT GetCaps(DeviceDesc& desc) override
    {
        desc = m_desc;
        return DD_OK;
    }
    HRESULT EnumTextureFormats(std::vector<PixelFormat>& formats) override
    {
        formats = m_formats;
        return DD_OK;
    }
    HRESULT SetRenderState(RenderState state, uint32_t value) override
    {
        size_t i = size_t(state);
        if (i >= m_renderStates.size())
            return DDERR_INVALIDPARAMS;
        m_renderStates[i] = value;
        return DD_OK;
    }
    HRESULT SetTextureStageState(int stage, TextureStageState state, uint32_t value) override
    {
        size_t i = size_t(state);
        if (stage < 0 || stage >= int(m_stageStates.size()) || i >= m_stageStates[0].size())
            return DDERR_INVALIDPARAMS;
        m_stageStates[size_t(stage)][i] = value;
        return DD_OK;
    }
    HRESULT SetMaterial(const Material&) override { return DD_OK; }   // no lighting
    HRESULT SetProjection(const float[16]) override { return DD_OK; } // vertices are pixels already
    HRESULT SetClipPlane(int index, const float plane[4]) override
    {
        if (index < 0 || index >= 4 || !plane)
            return DDERR_INVALIDPARAMS;
        std::copy(plane, plane + 4, m_planes[size_t(index)].begin());
        return DD_OK;
    }
    HRESULT Clear(uint32_t argb) override
    {
        SDL_Renderer* renderer = Bind();
        if (!renderer)
            return DDERR_SURFACELOST;
        SDL_Color c = ToColor(argb);
        SDL_SetRenderDrawColor(renderer, c.r, c.g, c.b, c.a);
        return SDL_RenderClear(renderer) == 0 ? DD_OK : DDERR_GENERIC;
    }
    HRESULT BeginScene() override { return m_context->Alive() ? DD_OK : DDERR_SURFACELOST; }
    HRESULT EndScene() override { return m_context->Alive() ? DD_OK : DDERR_SURFACELOST; }
    HRESULT SetTexture(Surface* texture) override
    {
        m_texture.reset();
        m_textured = texture != nullptr;
        if (!texture)
            return DD_OK;
        auto* surface = dynamic_cast<SdlSurface*>(texture);
        if (!surface || surface->Kind() != SurfaceKind::Texture || surface->Owner() != m_context.get())
        {
            m_textured = false;
            return DDERR_INVALIDPARAMS;
        }
        // Weak: a texture released while set only makes later textured draws skip.
        m_texture = surface->weak_from_this();
        return DD_OK;
    }
    HRESULT DrawPrimitive(Prim type, const Vertex* vertices, int count) override
    {
        if (count < 0 || (count > 0 && !vertices))
            return DDERR_INVALIDPARAMS;
        m_sequence.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            m_sequence[size_t(i)] = i;
        return Draw(type, vertices, count);
    }
    HRESULT DrawIndexedPrimitive(Prim type, const Vertex* vertices, int vertexCount, const uint16_t* indices,
                                 int indexCount) override
    {
        if (vertexCount < 0 || indexCount < 0 || (indexCount > 0 && (!indices || !vertices)))
            return DDERR_INVALIDPARAMS;
        m_sequence.resize(size_t(indexCount));
        for (int i = 0; i < indexCount; ++i)
        {
            if (indices[i] >= vertexCount)
                return DDERR_INVALIDPARAMS;
            m_sequence[size_t(i)] = indices[i];
        }
        return Draw(type, vertices, vertexCount);
    }
    SurfacePtr GetRenderTarget() override { return m_target; }

private:
    // The back buffer as render target; null when the renderer is gone.
    SDL_Renderer* Bind()
    {
        if (!m_context->Alive() || !m_context->UseTarget(m_target->Texture()))
            return nullptr;
        return m_context->Renderer();
    }

    // The clip rectangle of the enabled planes; false when nothing can show.
    bool ApplyClip(SDL_Renderer* renderer)
    {
        uint32_t mask = m_renderStates[size_t(RenderState::ClipPlaneEnable)] & 0xF;
        if (!mask)
        {
            SDL_RenderSetClipRect(renderer, nullptr);
            return true;
        }
        const int vx0 = m_viewport.x, vy0 = m_viewport.y;
        const int vx1 = m_viewport.x + m_viewport.w, vy1 = m_viewport.y + m_viewport.h;
        // The planes keep x >= left + 0.5 and x <= right - 0.5 around pixel centres at whole
        // coordinates, so that device drops the clip rectangle's first column and row while
        // this rectangle keeps them: a deliberate one-pixel difference at the left and top edges.
        int left = (mask & 1) ? Edge(-m_planes[0][3] - 0.5f, vx0, vx1) : vx0;
        int top = (mask & 2) ? Edge(-m_planes[1][3] - 0.5f, vy0, vy1) : vy0;
        int right = (mask & 4) ? Edge(m_planes[2][3] + 0.5f, vx0, vx1) : vx1;
        int bottom = (mask & 8) ? Edge(m_planes[3][3] + 0.5f, vy0, vy1) : vy1;
        if (right <= left || bottom <= top)
            return false;
        SDL_Rect clip{left, top, right - left, bottom - top};
        SDL_RenderSetClipRect(renderer, &clip);
        return true;
    }

    // The texture set, ready to draw with; false when it is lost or gone, so the draw is skipped
    // (the frame is redrawn once the textures are rebuilt).
    bool ApplyTexture(SDL_Texture*& texture)
    {
        texture = nullptr;
        if (!m_textured)
            return true;
        SdlSurfacePtr surface = m_texture.lock();
        if (!surface || surface->IsLost() || !surface->Texture())
            return false;
        texture = surface->Texture();
        bool point = m_stageStates[0][size_t(TextureStageState::MagFilter)] == D3DTFG_POINT;
        SDL_SetTextureScaleMode(texture, point ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        SDL_SetTextureBlendMode(texture, BlendMode());
        return true;
    }

    SDL_BlendMode BlendMode() const
    {
        return m_renderStates[size_t(RenderState::AlphaBlendEnable)] ? SDL_BLENDMODE_BLEND
                                                                     : SDL_BLENDMODE_NONE;
    }

    HRESULT Draw(Prim type, const Vertex* vertices, int vertexCount)
    {
        SDL_Renderer* renderer = Bind();
        if (!renderer)
            return DDERR_SURFACELOST;
        if (!ApplyClip(renderer))
            return DD_OK;
        SDL_SetRenderDrawBlendMode(renderer, BlendMode());
        switch (type)
        {
        case Prim::TriangleList:
        case Prim::TriangleStrip:
        case Prim::TriangleFan:
            return DrawTriangles(renderer, type, vertices, vertexCount);
        case Prim::LineList:
        case Prim::LineStrip:
            return DrawLines(renderer, type, vertices);
        case Prim::PointList:
            return DrawPoints(renderer, vertices);
        }
        return DDERR_INVALIDPARAMS;
    }

    HRESULT DrawTriangles(SDL_Renderer* renderer, Prim type, const Vertex* vertices, int vertexCount)
    {
        const std::vector<int>& seq = m_sequence;
        const size_t n = seq.size();
        m_triangles.clear();
        if (type == Prim::TriangleList)
            m_triangles.assign(seq.begin(), seq.begin() + ptrdiff_t(n - n % 3));
        else if (n >= 3)
            for (size_t i = 0; i + 2 < n; ++i)
            {
                if (type == Prim::TriangleFan)
                    m_triangles.insert(m_triangles.end(), {seq[0], seq[i + 1], seq[i + 2]});
                else if (i % 2 == 0)
                    m_triangles.insert(m_triangles.end(), {seq[i], seq[i + 1], seq[i + 2]});
                else // odd strip triangles keep the winding
                    m_triangles.insert(m_triangles.end(), {seq[i + 1], seq[i], seq[i + 2]});
            }
        m_indices.clear();
        m_nudged.clear();
        for (size_t k = 0; k + 3 <= m_triangles.size();)
        {
            int quad[6];
            if (k + 6 <= m_triangles.size() && AsRectangle(vertices, &m_triangles[k], quad))
            {
                m_indices.insert(m_indices.end(), quad, quad + 6);
                k += 6;
            }
            else
            {
                // A 1/1024-pixel nudge keeps such a pair on the triangle path; it moves no pixel.
                if (k + 6 <= m_triangles.size() && CoversAxisAlignedRectangle(vertices, &m_triangles[k]))
                    m_nudged.push_back(m_triangles[k]);
                m_indices.insert(m_indices.end(), &m_triangles[k], &m_triangles[k] + 3);
                k += 3;
            }
        }
        if (m_indices.empty())
            return DD_OK;
        m_vertices.resize(size_t(vertexCount));
        for (int i = 0; i < vertexCount; ++i)
        {
            const Vertex& v = vertices[i];
            // SDL puts pixel centres at +0.5, the caller at whole coordinates.
            m_vertices[size_t(i)] = SDL_Vertex{{v.x + 0.5f, v.y + 0.5f}, ToColor(v.argb), {v.u, v.v}};
        }
        for (int i : m_nudged)
            m_vertices[size_t(i)].position.x += 1.0f / 1024.0f;
        SDL_Texture* texture = nullptr;
        if (!ApplyTexture(texture))
            return DD_OK;
        int drawn = SDL_RenderGeometry(renderer, texture, m_vertices.data(), vertexCount, m_indices.data(),
                                       int(m_indices.size()));
        return drawn == 0 ? DD_OK : DDERR_GENERIC;
    }

    // Lines address pixel indices, so they take no half-pixel shift. That device leaves out a
    // line's last pixel (LASTPIXEL false); SDL draws it: a deliberate one-pixel difference at the
    // end of every line (the corners of outlines).
    HRESULT DrawLines(SDL_Renderer* renderer, Prim type, const Vertex* vertices)
    {
        const size_t n = m_sequence.size();
        if (n < 2)
            return DD_OK;
        // Every caller gives a line one colour; the first vertex's serves.
        SDL_Color c = ToColor(vertices[m_sequence[0]].argb);
        SDL_SetRenderDrawColor(renderer, c.r, c.g, c.b, c.a);
        Gather(vertices);
        int result = 0;
        if (type == Prim::LineStrip)
            result = SDL_RenderDrawLinesF(renderer, m_points.data(), int(n));
        else
            for (size_t i = 0; i + 1 < n && result == 0; i += 2)
                result = SDL_RenderDrawLinesF(renderer, &m_points[i], 2);
        return result == 0 ? DD_OK : DDERR_GENERIC;
    }

    HRESULT DrawPoints(SDL_Renderer* renderer, const Vertex* vertices)
    {
        Gather(vertices);
        // One call per run of points of the same colour.
        const size_t n = m_sequence.size();
        for (size_t start = 0; start < n;)
        {
            uint32_t argb = vertices[m_sequence[start]].argb;
            size_t end = start + 1;
            while (end < n && vertices[m_sequence[end]].argb == argb)
                ++end;
            SDL_Color c = ToColor(argb);
            SDL_SetRenderDrawColor(renderer, c.r, c.g, c.b, c.a);
            if (SDL_RenderDrawPointsF(renderer, &m_points[start], int(end - start)) != 0)
                return DDERR_GENERIC;
            start = end;
        }
        return DD_OK;
    }

    void Gather(const Vertex* vertices)
    {
        m_points.resize(m_sequence.size());
        for (size_t i = 0; i < m_sequence.size(); ++i)
            m_points[i] = SDL_FPoint{vertices[m_sequence[i]].x, vertices[m_sequence[i]].y};
    }

    ContextPtr m_context;
    SdlSurfacePtr m_target;
    DeviceDesc m_desc;
    std::vector<PixelFormat> m_formats;
    std::array<uint32_t, size_t(RenderState::DestBlend) + 1> m_renderStates;
    std::array<std::array<uint32_t, size_t(TextureStageState::Address) + 1>, 8> m_stageStates;
    std::array<std::array<float, 4>, 4> m_planes{};
    SDL_Rect m_viewport{};
    std::weak_ptr<SdlSurface> m_texture;
    bool m_textured = false;
    // Scratch buffers kept between draws.
    std::vector<int> m_sequence;
    std::vector<int> m_triangles;
    std::vector<int> m_indices;
    std::vector<int> m_nudged;
    std::vector<SDL_Vertex> m_vertices;
    std::vector<SDL_FPoint> m_points;
};

} // namespace

DevicePtr MakeDevice(const ContextPtr& context, SdlSurfacePtr target, const DeviceDesc& desc,
                     std::vector<PixelFormat> textureFormats)
{
    return std::make_shared<SdlDevice>(context, std::move(target), desc, std::move(textureFormats));
}

} // namespace Kestrin::Shim::DirectDraw::Sdl
