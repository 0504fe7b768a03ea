#include "Game/LineSegment.h"

#include "Game/GlobalSettings.h"
#include "Game/GremlinHome.h"
#include "Game/Line.h"

#include <cmath>

namespace
{
constexpr float SegmentStep = 20.0f;
// Extra room around the segment's box, and the shadow's drop.
constexpr float BoxMargin = 4.0f;
constexpr float ShadowDrop = 4.0f;
constexpr float HalfRibbon = 2.0f;
// A line tip spears only what is centred within 100 px of the head's start.
constexpr float LineContactDistanceSquared = 10000.0f;
constexpr float DegenerateLengthSquared = 0.0001f;

const Kestrin::ColorF White(1, 1, 1, 1);

float Dot(Vector2f a, Vector2f b)
{
    return a.x * b.x + a.y * b.y;
}

Kestrin::Graphics::PolygonVertex Vertex(Vector2f p, float u, float v)
{
    return {p.x, p.y, White, u, v};
}
} // namespace

float Clamp(float value, float low, float high)
{
    return value < low ? low : value > high ? high : value;
}

float SegmentDistanceSquared(Vector2f p1, Vector2f q1, Vector2f p2, Vector2f q2)
{
    Vector2f d1 = q1 - p1, d2 = q2 - p2, r = p1 - p2;
    float a = Dot(d1, d1), e = Dot(d2, d2), f = Dot(d2, r);
    if (a <= DegenerateLengthSquared && e <= DegenerateLengthSquared)
        return Dot(r, r);
    float s, t;
    if (a <= DegenerateLengthSquared)
    {
        s = 0;
        t = Clamp(f / e, 0, 1);
    }
    else
    {
        float c = Dot(d1, r);
        if (e <= DegenerateLengthSquared)
        {
            t = 0;
            s = Clamp(-c / a, 0, 1);
        }
        else
        {
            float b = Dot(d1, d2);
            float denom = a * e - b * b;
            s = denom != 0 ? Clamp((b * f - c * e) / denom, 0, 1) : 0;
            t = (b * s + f) / e;
            if (t < 0)
            {
                t = 0;
                s = Clamp(-c / a, 0, 1);
            }
            else if (t > 1)
            {
                t = 1;
                s = Clamp((b - c) / a, 0, 1);
            }
        }
    }
    Vector2f gap = (p1 + d1 * s) - (p2 + d2 * t);
    return Dot(gap, gap);
}

bool CrossesBoxEdges(Vector2f p, Vector2f q, const CollisionTreeComponent& box)
{
    Vector2f c = box.GetCentre();
    float left = c.x - box.GetHalfWidth(), right = c.x + box.GetHalfWidth();
    float top = c.y - box.GetHalfHeight(), bottom = c.y + box.GetHalfHeight();
    const Vector2f corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    for (int i = 0; i < 4; ++i)
        if (SegmentDistanceSquared(p, q, corners[i], corners[(i + 1) % 4]) < BoxEdgeTouchDistanceSquared)
            return true;
    return false;
}

LineSegment::LineSegment(Vector2f start_, Vector2f end_, Line* line_, LineSegment* previous_)
    : CollisionTreeComponent(start_, end_), start(start_), end(end_), line(line_), previous(previous_)
{
    movable = false;
    Vector2f d = end - start;
    length = std::sqrt(Dot(d, d));
    for (auto& v : vertices)
        v = Vertex({0, 0}, 0, 0);
    if (previous)
    {
        vertices[0] = previous->vertices[4];
        vertices[1] = previous->vertices[5];
    }
    else
    {
        vertices[0] = Vertex(start, 0, 0);
        vertices[1] = Vertex(start, 0, 1);
    }
    UpdateVertices();
}

LineSegment::~LineSegment()
{
    destroyed(this);
    if (previous && previous->next == this)
        previous->next = nullptr;
    // A chain shortened from its old end must not leave the successor pointing here.
    if (next && next->previous == this)
        next->previous = nullptr;
}

void LineSegment::SetEnd(Vector2f end_)
{
    end = end_;
    SetSize(std::fabs(end.x - start.x) + BoxMargin, std::fabs(end.y - start.y) + BoxMargin);
    SetPosition((start + end) * 0.5f);
    Vector2f d = end - start;
    length = std::sqrt(Dot(d, d));
    UpdateVertices();
}

void LineSegment::CutToStep()
{
    if (length > 0)
        SetEnd(start + (end - start) * (SegmentStep / length));
}

void LineSegment::UpdateVertices()
{
    Vector2f d = end - start;
    float n = std::sqrt(Dot(d, d));
    Vector2f u = n != 0 ? d * (HalfRibbon / n) : d;
    Vector2f side(u.y, -u.x);
    vertices[2] = Vertex(start + side, 0, 0);
    vertices[3] = Vertex(start - side, 0, 1);
    vertices[4] = Vertex(end + side, 1, 0);
    vertices[5] = Vertex(end - side, 1, 1);
    for (int i = 0; i < 6; ++i)
    {
        vertices[i + 6] = vertices[i];
        vertices[i + 6].y += ShadowDrop;
    }
}

bool LineSegment::CrossesBoxEdges(const CollisionTreeComponent& box) const
{
    return ::CrossesBoxEdges(start, end, box);
}

bool LineSegment::Overlaps(const CollisionTreeComponent& other) const
{
    if (auto* segment = dynamic_cast<const LineSegment*>(&other))
    {
        if (start == segment->end || end == segment->start)
            return false;
        if (start == segment->start || end == segment->end)
            return true;
        // The line's own last stretch behind this segment never counts as a crossing.
        float limit = GlobalSettings::Instance().selfIgnore * SegmentStep + BoxMargin;
        if (limit > 0)
        {
            float walked = 0;
            for (const LineSegment* s = previous; s; s = s->previous)
            {
                if (s == segment)
                    return false;
                walked += s->length;
                if (walked >= limit)
                    break;
            }
        }
        return SegmentDistanceSquared(start, end, segment->start, segment->end) < SegmentTouchDistanceSquared;
    }
    if (!CollisionTreeComponent::Overlaps(other))
        return false;
    if (other.Contains(start) || other.Contains(end))
        return true;
    return CrossesBoxEdges(other);
}

void LineSegment::OnCollision(CollisionTreeComponent* other)
{
    if (auto* segment = dynamic_cast<LineSegment*>(other))
    {
        if (segment == previous || segment == next || !line)
            return;
        if (segment->line == line)
            line->OnSelfCrossing(this, segment);
        else
            line->OnOtherLineCrossed(segment->line);
        return;
    }
    auto* object = dynamic_cast<GameObject*>(other);
    if (!object)
        return;
    if (!line || line->headSegment != this || !line->drawing)
    {
        object->OnCollision(this);
        return;
    }
    if (line->trap && object == static_cast<GameObject*>(line->trap))
    {
        if (this != line->firstSegment)
            line->OnSelfCrossing(this, line->firstSegment);
    }
    else if (object->BlocksLines())
        line->routePending = true;
    else
    {
        Vector2f d = object->GetCentre() - start;
        if (Dot(d, d) < LineContactDistanceSquared)
            object->OnLineContact(this);
    }
}

int LineSegment::GetCollisionPriority() const
{
    return 2;
}

void LineSegment::SyncNodePosition(Vector2f) {}
