#include "harness/LevelPlay.h"

#include "Base/Random.h"
#include "Framework/Message.h"
#include "Game/BasicGremlin.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GameConstants.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/LevelOutcome.h"
#include "Game/LevelServices.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"
#include "Game/PowerUpGremlin.h"
#include "Game/ShuffleWithRand.h"
#include "Game/TutorialBubble.h"
#include "Platform/Looper.h"
#include "Scene/SceneLayout.h"
#include "Scene/ScenePath.h"
#include "Screens/ScreenNodes.h"

#include "harness/ErrorBoxRecorder.h"
#include "harness/FakeClock.h"
#include "harness/GameGlobals.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <exception>
#include <map>
#include <memory>

namespace Playtest
{
namespace
{

constexpr float Pi = 3.14159265f;

float Distance(Vector2f a, Vector2f b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

template <typename T> bool Alive(const T* object)
{
    if (!object)
        return false;
    bool found = false;
    HeldObject<T>::ForEach([&](T* live) { found = found || live == object; });
    return found;
}

// Whether a line of that colour, holding what `line` holds (nothing when null), spears the
// creature on contact: the game's own rules (Gremlin::OnLineContact) as a player learns them.
bool Spearable(const Gremlin& creature, GremlinColorType colour, const Line* line)
{
    if (creature.line || !creature.HasHealth() || creature.inTrap ||
        creature.stage >= Gremlin::Stage::Exploding)
        return false;
    const bool holds = line && !line->attached.empty();
    const GremlinMetaType state = line ? line->spearState : GremlinMetaType::Any;
    const GremlinKind kind = line ? line->kind : GremlinKind::Any;
    switch (creature.metaType)
    {
    case GremlinMetaType::King:
        return false;
    case GremlinMetaType::PowerUp:
        // Only as the first catch, and a blast only where a king is.
        if (holds || state != GremlinMetaType::Any)
            return false;
        return creature.kind != GremlinKind::Damage || HeldObject<GremlinKing>::Count() > 0;
    default:
        break;
    }
    if (state != GremlinMetaType::Any && state != creature.metaType)
        return false;
    if (creature.color != colour && creature.color != GremlinColorType::Any &&
        colour != GremlinColorType::Any)
        return false;
    if (kind != creature.kind && kind != GremlinKind::Any && creature.kind != GremlinKind::Any)
        return false;
    if ((creature.kind == GremlinKind::Loner && holds) ||
        (creature.kind == GremlinKind::Protected && creature.special == Gremlin::SpecialMode::Special))
        return false;
    return true;
}

// Seconds until the creature explodes at the field's current pace; large before its panic.
float SecondsLeft(const Gremlin& creature)
{
    if (creature.stage < Gremlin::Stage::FreakOut)
        return FLT_MAX;
    return creature.stageTimer / std::max(g_creatureTimeScale, 0.05f);
}

// How much a player wants the creature caught now, in seconds of travel it is worth.
float Urgency(const Gremlin& creature)
{
    if (creature.metaType == GremlinMetaType::PowerUp)
    {
        int old = 0, kings = int(HeldObject<GremlinKing>::Count());
        HeldObject<BasicGremlin>::ForEach([&old](BasicGremlin* c)
                                          { old += c->stage >= Gremlin::Stage::Wander3 && !c->line; });
        switch (creature.kind)
        {
        case GremlinKind::Freeze:
        case GremlinKind::Shrink:
            return 1.0f + 0.5f * float(old);
        case GremlinKind::Damage:
            return kings > 0 ? 3.0f : 0.0f;
        default:
            return 1.5f;
        }
    }
    if (creature.stage >= Gremlin::Stage::FreakOut)
        return 3.0f;
    if (creature.stage == Gremlin::Stage::Wander3)
        return creature.stageTimer < 4.0f ? 2.0f : 1.0f;
    return 0.0f;
}

float BoxDistance(Vector2f point, const CollisionTreeComponent& box)
{
    const Vector2f centre = box.GetCentre();
    const float dx = std::max(std::fabs(point.x - centre.x) - box.GetHalfWidth(), 0.0f);
    const float dy = std::max(std::fabs(point.y - centre.y) - box.GetHalfHeight(), 0.0f);
    return std::hypot(dx, dy);
}

// The segments of every line but `own`: a line drawn across one of them is taken back.
std::vector<std::pair<Vector2f, Vector2f>> OtherLines(const Line* own)
{
    std::vector<std::pair<Vector2f, Vector2f>> segments;
    HeldObject<Line>::ForEach(
        [&](Line* line)
        {
            if (line != own)
                for (const auto& segment : line->segments)
                    segments.push_back({segment->start, segment->end});
        });
    return segments;
}

// The line's own segments but its newest few: crossing them closes its loop there.
std::vector<std::pair<Vector2f, Vector2f>> OlderSegments(const Line& line)
{
    std::vector<std::pair<Vector2f, Vector2f>> segments;
    size_t skipped = 0;
    for (const auto& segment : line.segments)
        if (++skipped > 3)
            segments.push_back({segment->start, segment->end});
    return segments;
}

bool PathCrosses(Vector2f a, Vector2f b, const std::vector<std::pair<Vector2f, Vector2f>>& lines,
                 float margin)
{
    for (const auto& [s, e] : lines)
        if (SegmentDistanceSquared(a, b, s, e) < margin * margin)
            return true;
    return false;
}

bool CircleCrosses(Vector2f centre, float radius, const std::vector<std::pair<Vector2f, Vector2f>>& lines,
                   float margin)
{
    for (const auto& [s, e] : lines)
    {
        const float nearest = std::sqrt(SegmentDistanceSquared(centre, centre, s, e));
        const float farthest = std::max(Distance(centre, s), Distance(centre, e));
        if (nearest < radius + margin && farthest > radius - margin)
            return true;
    }
    return false;
}

bool Cleans(const GunkCell& cell, int colour, bool deep)
{
    return !cell.empty() && (deep || cell.back() == colour || cell.back() == int(GremlinColorType::Black) ||
                             cell.back() == int(GremlinColorType::Any));
}

int GunkCells()
{
    const NimbalGunk& board = NimbalGunk::Instance();
    int cells = 0;
    for (const auto& column : board.cells)
        for (const GunkCell& cell : column)
            cells += !cell.empty();
    return cells;
}

} // namespace

LevelHostScreen::LevelHostScreen() : m_tree(new CollisionQuadTree(1000)) {}

LevelHostScreen::~LevelHostScreen()
{
    SetCollisionTree(this, nullptr);
    delete m_tree;
}

void LevelHostScreen::Enter()
{
    SceneApplicationMode::Enter();
    SetCollisionTree(this, m_tree);
    if (const SceneLayout* layout = GetSceneLayout(GetScreenLayoutRow(ScreenLayout::GameRoot).layout).second)
        layout->Instantiate(*this, GetRootNode());
    // The clock, the expert time and the guest's head, or the endless meter, over the playfield.
    const ScreenLayout hud = GameLevels::Instance().endless ? ScreenLayout::EndlessHud : ScreenLayout::Hud;
    const SceneLayout* layout = GetSceneLayout(GetScreenLayoutRow(hud).layout).second;
    static const ScenePath attachPath(GetScreenNodeRow(ScreenNode::HudAttach).path);
    SceneNode* attach = SceneNode::FindNode(GetRootNode(), attachPath);
    if (layout && attach)
        layout->Instantiate(*this, attach);
}

void LevelHostScreen::Update(float dt)
{
    SceneApplicationMode::Update(dt);
    m_tree->Update(dt);
}

bool LevelHostScreen::OnMouseMove(int x, int y)
{
    if (auto* level = dynamic_cast<NimbalLevel*>(FindObject(GameNames::NimbalLevel)))
        level->mousePosition = Vector2f(float(x), float(y));
    return SceneApplicationMode::OnMouseMove(x, y);
}

ScriptedPlayer::ScriptedPlayer(Kestrin::ApplicationMode& screen, uint32_t seed)
    : m_screen(screen), m_random(seed)
{
}

void ScriptedPlayer::MoveTo(Vector2f point)
{
    point.x = std::clamp(point.x, 1.0f, 799.0f);
    point.y = std::clamp(point.y, 1.0f, 599.0f);
    m_pen = point;
    m_screen.OnMouseMove(int(std::lround(point.x)), int(std::lround(point.y)));
}

bool ScriptedPlayer::MoveToward(Vector2f goal, float stride)
{
    const float d = Distance(m_pen, goal);
    MoveTo(d <= stride ? goal : m_pen + (goal - m_pen) * (stride / d));
    return d <= stride;
}

void ScriptedPlayer::Press(Vector2f point)
{
    MoveTo(point);
    m_screen.OnMouseDown(Kestrin::MouseButton::Left, int(std::lround(m_pen.x)), int(std::lround(m_pen.y)));
    m_down = true;
}

void ScriptedPlayer::Release()
{
    if (m_down)
        m_screen.OnMouseUp(Kestrin::MouseButton::Left, int(std::lround(m_pen.x)), int(std::lround(m_pen.y)));
    m_down = false;
}

Line* ScriptedPlayer::OwnLine() const
{
    return Alive(m_line) ? m_line : nullptr;
}

int ScriptedPlayer::SegmentsLeft() const
{
    const float most = GlobalSettings::Instance().maxLength;
    if (most <= 0.0f)
        return 1 << 20;
    return int(most) - (m_line ? int(m_line->segments.size()) : 0);
}

bool ScriptedPlayer::ChooseTarget()
{
    // Cells whose top layer only a line of that colour cleans, by colour, and those any line cleans.
    std::map<int, int> coloured;
    int common = 0, cells = 0;
    const NimbalGunk& board = NimbalGunk::Instance();
    for (const auto& column : board.cells)
        for (const GunkCell& cell : column)
        {
            if (cell.empty())
                continue;
            ++cells;
            if (cell.back() == int(GremlinColorType::Black) || cell.back() == int(GremlinColorType::Any))
                ++common;
            else
                ++coloured[cell.back()];
        }
    // The trap and catch that are quickest to reach, less what the catch is worth: one about to
    // explode, a power-up, or one of the colour with most gunk only its spool cleans. Ties go to
    // the stream.
    std::vector<GremlinHome*> traps = HeldObject<GremlinHome>::GetAll();
    std::shuffle(traps.begin(), traps.end(), m_random);
    const std::vector<Gremlin*> creatures = HeldObject<Gremlin>::GetAll();
    const auto lines = OtherLines(nullptr);
    float bestCost = FLT_MAX;
    m_trap = nullptr;
    m_target = nullptr;
    for (GremlinHome* trap : traps)
    {
        if (trap->leaving)
            continue;
        const float toTrap = Distance(m_pen, trap->GetCentre()) / (speed * reach);
        // A catch whose line finds nothing to clean is only worth catching before it explodes,
        // or once the board is clean and the last creatures must go.
        const int mine = coloured[int(trap->color)];
        const float colourWorth =
            cells > 0 && mine + common == 0 ? -4.0f : std::min(2.0f, 0.04f * float(mine));
        for (Gremlin* creature : creatures)
        {
            if (!Spearable(*creature, trap->color, nullptr))
                continue;
            const float eta = toTrap + Distance(trap->GetCentre(), creature->GetCentre()) / speed + 0.1f;
            if (SecondsLeft(*creature) < eta + 0.3f)
                continue;
            const bool ordinary = creature->metaType == GremlinMetaType::Normal;
            const float cost = eta - Urgency(*creature) - (ordinary ? colourWorth : 0.0f);
            if (cost >= bestCost)
                continue;
            // Lines still hauling their catch lie in the way: the new one leaves the trap clear of them.
            const Vector2f to = creature->GetCentre() - trap->GetCentre();
            const float length = std::max(1.0f, std::hypot(to.x, to.y));
            const Vector2f out = trap->GetCentre() + to * (std::min(30.0f, length) / length);
            if (PathCrosses(out, creature->GetCentre(), lines, 12.0f) ||
                (!trap->lines.empty() && PathCrosses(trap->GetCentre(), out, lines, 8.0f)))
                continue;
            bestCost = cost, m_trap = trap, m_target = creature;
        }
    }
    return m_trap != nullptr;
}

Gremlin* ScriptedPlayer::NextCatch() const
{
    // One more of the line's colour on the way: near, or worth a detour because it is about to
    // explode, while the line has room left for its loop.
    const float budget = float(SegmentsLeft()) * Line::segmentStep - 700.0f;
    Gremlin* best = nullptr;
    float bestCost = FLT_MAX;
    const auto lines = OtherLines(m_line);
    HeldObject<Gremlin>::ForEach(
        [&](Gremlin* creature)
        {
            if (creature->metaType != GremlinMetaType::Normal || !Spearable(*creature, m_line->color, m_line))
                return;
            const float d = Distance(m_pen, creature->GetCentre());
            const float urgency = Urgency(*creature);
            if (d > budget || d > 170.0f + 120.0f * urgency || SecondsLeft(*creature) < d / speed + 0.3f)
                return;
            if (PathCrosses(m_pen, creature->GetCentre(), lines, 12.0f))
                return;
            const float cost = d - 150.0f * urgency;
            if (cost < bestCost)
                best = creature, bestCost = cost;
        });
    return best;
}

bool ScriptedPlayer::FindLoop(LoopPlan& plan) const
{
    const NimbalGunk& board = NimbalGunk::Instance();
    if (!m_line || board.cellWidth <= 0 || board.cellHeight <= 0)
        return false;
    const int colour = int(m_line->color);
    const bool deep = m_line->powerUpEffect == Line::PowerUpEffect::DeepClean,
               blast = m_line->powerUpEffect == Line::PowerUpEffect::Damage;
    // What a loop must not hold (creatures of no line of ours, power-ups) and what it must not
    // touch (traps, obstacles); kings it may hold, and is meant to.
    struct Walker
    {
        Vector2f at;
        bool still;
    };
    struct King
    {
        Vector2f at;
        float half;
        Gremlin::Stage stage;
    };
    std::vector<Walker> walkers;
    std::vector<const GameObject*> boxes;
    std::vector<King> kings;
    for (GameObject* object : HeldObject<GameObject>::GetAll())
    {
        if (auto* creature = dynamic_cast<Gremlin*>(object))
        {
            if (creature->line == m_line || !creature->HasHealth() || creature->inTrap)
                continue;
            if (creature->metaType == GremlinMetaType::King)
                kings.push_back({creature->GetCentre(), creature->GetHalfWidth(), creature->stage});
            else
                walkers.push_back(
                    {creature->GetCentre(), creature->stage >= Gremlin::Stage::FreakOut ||
                                                creature->affected == Gremlin::AffectedBy::Frozen});
        }
        else
            boxes.push_back(object);
    }
    // Centres: cell points within two cells of gunk the line cleans (every other one while there is
    // much of it), and the kings.
    int cleanable = 0;
    for (const auto& column : board.cells)
        for (const GunkCell& cell : column)
            cleanable += Cleans(cell, colour, deep);
    const int pitch = cleanable > 60 ? 2 : 1;
    std::vector<Vector2f> centres;
    for (int c = 0; c < board.columns; c += pitch)
        for (int r = 0; r < board.rows; r += pitch)
        {
            bool near = false;
            for (int i = std::max(c - 2, 0); !near && i <= std::min(c + 2, board.columns - 1); ++i)
                for (int j = std::max(r - 2, 0); !near && j <= std::min(r + 2, board.rows - 1); ++j)
                    near = Cleans(board.cells[size_t(i)][size_t(j)], colour, deep);
            if (near)
                centres.push_back(board.CellPoint(c, r));
        }
    // A king beside an obstacle or a crowd is held by a larger circle off its centre.
    const size_t kingCentres = centres.size();
    for (const King& king : kings)
    {
        centres.push_back(king.at);
        for (int a = 0; a < 8; ++a)
        {
            const float angle = float(a) * Pi / 4.0f;
            centres.push_back(king.at + Vector2f(std::cos(angle), std::sin(angle)) * 25.0f);
        }
    }
    const float segments = float(SegmentsLeft());
    const auto lines = OtherLines(m_line);
    const auto own = OlderSegments(*m_line);
    float bestScore = 0.0f;
    for (size_t k = 0; k < centres.size(); ++k)
    {
        const Vector2f p = centres[k];
        if (p.x < PlayfieldLeft + 10 || p.x > PlayfieldRight - 10 || p.y < PlayfieldTop + 10 ||
            p.y > PlayfieldBottom - 10)
            continue;
        const float toCentre = Distance(m_pen, p);
        const float towards = toCentre > 0.5f ? std::atan2(m_pen.y - p.y, m_pen.x - p.x) : 0.0f;
        // Only kings are worth the largest circles.
        for (const float r : {125.0f, 110.0f, 95.0f, 75.0f, 58.0f, 44.0f, 32.0f, 22.0f})
        {
            if (r > 100.0f && k < kingCentres)
                continue;
            const float circle = 2.1f * Pi * r;
            if ((std::max(0.0f, toCentre - r) + circle) / Line::segmentStep + 4.0f > segments)
                continue;
            bool clear = true;
            for (const GameObject* box : boxes)
                clear = clear && BoxDistance(p, *box) > r + 8.0f;
            // Walkers may wander in while the circle is drawn.
            for (const Walker& w : walkers)
                clear = clear && Distance(p, w.at) > r + (w.still ? 8.0f : 10.0f + 15.0f * circle / speed);
            if (!clear || CircleCrosses(p, r, lines, 8.0f))
                continue;
            float value = 0.0f;
            const float inner = r - 6.0f;
            const int c0 = std::max(int((p.x - inner) / float(board.cellWidth)), 0);
            const int c1 = std::min(int((p.x + inner) / float(board.cellWidth)) + 1, board.columns - 1);
            const int r0 = std::max(int((p.y - inner) / float(board.cellHeight)), 0);
            const int r1 = std::min(int((p.y + inner) / float(board.cellHeight)) + 1, board.rows - 1);
            for (int c = c0; c <= c1; ++c)
                for (int j = r0; j <= r1; ++j)
                {
                    const GunkCell& cell = board.cells[size_t(c)][size_t(j)];
                    if (Cleans(cell, colour, deep) && Distance(board.CellPoint(c, j), p) < inner)
                        value += deep ? float(cell.size()) : 1.0f;
                }
            // A line that touches a king's box pushes it away: the circle clears its corners.
            for (const King& king : kings)
                if (Distance(king.at, p) + king.half * 1.42f < r - 6.0f)
                    value += (40.0f + (king.stage >= Gremlin::Stage::Wander3 ? 30.0f : 0.0f)) *
                             (blast ? 2.5f : 1.0f);
            if (value <= 0.0f)
                continue;
            // The circle's start: the side nearest the pen whose way there crosses no line.
            for (const float turn : {0.0f, 0.8f, -0.8f, 1.6f, -1.6f, 2.4f, -2.4f})
            {
                const float angle = towards + turn;
                const Vector2f start = p + Vector2f(std::cos(angle), std::sin(angle)) * r;
                const float approach = Distance(m_pen, start);
                const float eta = (approach + circle) / speed;
                const float score = value / (eta + 0.5f);
                if (score <= bestScore)
                    break;
                if ((approach + circle) / Line::segmentStep + 4.0f > segments ||
                    (approach > 1.0f &&
                     (PathCrosses(m_pen, start, lines, 10.0f) || PathCrosses(m_pen, start, own, 6.0f))))
                    continue;
                bestScore = score;
                plan = {p, r, angle, value};
                break;
            }
        }
    }
    return bestScore > 0.0f;
}

bool ScriptedPlayer::LoopHoldsOthers() const
{
    bool held = false;
    HeldObject<Gremlin>::ForEach(
        [&](Gremlin* creature)
        {
            held = held || (creature->line != m_line && creature->HasHealth() && !creature->inTrap &&
                            creature->metaType != GremlinMetaType::King &&
                            Distance(creature->GetCentre(), m_centre) < m_radius - 2.0f);
        });
    return held;
}

void ScriptedPlayer::StartCircle()
{
    // A circle turned past its start so the line crosses itself: round the most gunk (and the
    // kings) it can clean soonest with nothing else inside, else a small one beside the pen.
    LoopPlan plan;
    if (FindLoop(plan))
    {
        m_centre = plan.centre;
        m_radius = plan.radius;
        m_angle = plan.angle;
    }
    else
    {
        m_radius = 30.0f;
        const Vector2f away = m_trap && Alive(m_trap) ? m_pen - m_trap->GetCentre() : Vector2f(1.0f, 0.0f);
        const float length = std::max(1.0f, std::hypot(away.x, away.y));
        m_centre = m_pen + Vector2f(away.x / length, away.y / length) * m_radius;
        // The first side the circle leaves empty.
        for (int k = 0; k < 8 && LoopHoldsOthers(); ++k)
        {
            const float a = float(k) * Pi / 4.0f;
            m_centre = m_pen + Vector2f(std::cos(a), std::sin(a)) * (m_radius + 5.0f);
        }
        m_angle = std::atan2(m_pen.y - m_centre.y, m_pen.x - m_centre.x);
    }
    m_turned = 0.0f;
    m_turn = std::uniform_int_distribution<int>(0, 1)(m_random) ? 1.0f : -1.0f;
    m_phase = Phase::Approaching;
    m_timer = 0.0f;
}

void ScriptedPlayer::EndLine(bool scored)
{
    ++(scored ? m_counts.loops : m_counts.giveUps);
    Release();
    m_phase = Phase::Idle;
    m_wait = scored ? 0.1f : 0.3f;
    m_line = nullptr;
}

void ScriptedPlayer::GiveUp()
{
    EndLine(false);
}

void ScriptedPlayer::Step(float dt)
{
    auto* level = dynamic_cast<NimbalLevel*>(m_screen.FindObject(GameNames::NimbalLevel));
    if (!level || level->notStarted || level->won || level->lost)
        return;
    const float stride = speed * dt;
    m_timer += dt;
    switch (m_phase)
    {
    case Phase::Idle:
        if ((m_wait -= dt) > 0.0f)
            return;
        if (!ChooseTarget())
        {
            m_wait = 0.2f;
            return;
        }
        m_phase = Phase::Reaching;
        m_timer = 0.0f;
        return;
    case Phase::Reaching:
        // The pointer goes to the trap with the button up, faster than a line is drawn.
        if (!Alive(m_trap) || m_trap->leaving || !Alive(m_target) || m_timer > 2.0f)
        {
            m_phase = Phase::Idle;
            return;
        }
        if (!MoveToward(m_trap->GetCentre(), stride * reach))
            return;
        Press(m_trap->GetCentre());
        ++m_counts.presses;
        m_phase = Phase::Leaving;
        m_timer = 0.0f;
        m_caught = 0;
        m_replans = 0;
        m_line = nullptr;
        return;
    case Phase::Leaving:
    case Phase::Chasing:
    {
        if (m_phase == Phase::Leaving)
        {
            if (level->drawing && level->currentLine)
            {
                m_line = level->currentLine;
                ++m_counts.lines;
                m_phase = Phase::Chasing;
            }
            else if (m_timer > 1.0f)
                return GiveUp();
        }
        if (m_phase == Phase::Chasing)
        {
            Line* line = OwnLine();
            // A power-up that acts at once ends the line and hauls it in.
            if (!line || !line->drawing)
                return EndLine(line && line->loopScored);
            if (int(line->attached.size()) > m_caught)
            {
                m_counts.spears += int(line->attached.size()) - m_caught;
                m_caught = int(line->attached.size());
                const bool powered = line->powerUpEffect != Line::PowerUpEffect::None;
                m_target = !powered && m_caught < greed ? NextCatch() : nullptr;
                if (!m_target)
                    return StartCircle();
            }
            m_caught = int(line->attached.size());
            if (m_caught > 0 && (m_timer > 6.0f || SegmentsLeft() < 40))
                return StartCircle();
        }
        const GremlinColorType colour = m_trap && Alive(m_trap) ? m_trap->color : GremlinColorType::Any;
        if (!Alive(m_target) || !Spearable(*m_target, m_line ? m_line->color : colour, OwnLine()))
        {
            m_target = m_line ? NextCatch() : nullptr;
            if (!m_target)
                return m_caught > 0 ? StartCircle() : GiveUp();
        }
        if (m_timer > 8.0f || !Alive(m_trap))
            return m_caught > 0 && OwnLine() ? StartCircle() : GiveUp();
        // Never across a line still hauling its catch: another target, or the loop now.
        const Vector2f goal = m_target->GetCentre();
        const float d = Distance(m_pen, goal);
        const Vector2f next = d <= stride ? goal : m_pen + (goal - m_pen) * (stride / d);
        if (m_line && PathCrosses(m_pen, next, OtherLines(m_line), 8.0f))
        {
            m_target = nullptr;
            return m_caught > 0 ? StartCircle() : GiveUp();
        }
        MoveTo(next);
        return;
    }
    case Phase::Approaching:
    {
        Line* line = OwnLine();
        if (!line || !line->drawing)
            return EndLine(line && line->loopScored);
        if (m_timer > 3.0f)
            return GiveUp();
        const Vector2f start = m_centre + Vector2f(std::cos(m_angle), std::sin(m_angle)) * m_radius;
        if (!MoveToward(start, stride))
            return;
        // What wandered in on the way: another circle, a couple of times.
        if (LoopHoldsOthers() && m_replans++ < 2)
            return StartCircle();
        m_phase = Phase::Circling;
        m_timer = 0.0f;
        return;
    }
    case Phase::Circling:
    {
        Line* line = OwnLine();
        if (!line || !line->drawing)
            return EndLine(line && line->loopScored);
        if (m_turned > 2.0f * Pi + 1.2f || m_timer > 4.0f)
            return GiveUp();
        if (LoopHoldsOthers() && m_replans++ < 2)
            return StartCircle();
        const float step = stride / m_radius;
        m_angle += m_turn * step;
        m_turned += step;
        MoveTo(m_centre + Vector2f(std::cos(m_angle), std::sin(m_angle)) * m_radius);
        return;
    }
    }
}

void ReadCampaign()
{
    GameLevels::Instance().LoadLevelList(Kestrin::FileSpec(1, L"GameLevels", L".xml"));
    GlobalSettings::Instance().Read(Kestrin::FileSpec(1, L"GlobalSettings", L".xml"));
}

LevelRun PlayLevel(const std::string& name, bool endless, const RunOptions& options)
{
    LevelRun run;
    GameLevels& catalogue = GameLevels::Instance();
    LevelRecord* record = catalogue.Find(name);
    if (!record)
    {
        run.error = "no level \"" + name + "\" in the catalogue";
        return run;
    }
    KestrinTest::FakeClock clock;
    KestrinTest::ErrorBoxRecorder boxes;
    BoostRandomNumberStream stream(options.seed);
    Kestrin::ScopedRandomStream scopedStream(&stream);
    // The catalogue's level and mode, the outcome hooks, the creatures' clock and the rest go back
    // as they were.
    KestrinTest::SavedGameGlobals saved;
    SetShuffleRandomSource(ShuffleLcg(options.seed));
    SetLevelOutcomeHooks(
        {[&run](bool, int, int) { run.won = true; }, [&run](const std::wstring&, int) { run.lost = true; }});
    catalogue.current = record;
    catalogue.endless = endless;
    try
    {
        auto looper = std::make_unique<Kestrin::Looper>();
        SceneApplicationMode* screen = options.makeScreen ? options.makeScreen() : new LevelHostScreen;
        looper->PushModeNow(screen);
        auto* level = dynamic_cast<NimbalLevel*>(screen->FindObject(GameNames::NimbalLevel));
        if (!level)
        {
            level = new NimbalLevel;
            screen->AddObject(level);
        }
        run.loaded = !level->loadFailed;
        if (run.loaded && options.afterLoad)
            options.afterLoad(*level);
        for (const auto& box : boxes.boxes)
            run.error += std::string(box.text.begin(), box.text.end());
        ScriptedPlayer player(*screen, options.seed * 7919u + 17u);
        const int steps = int(std::lround(options.seconds / options.step));
        // Played to the end: the clock's whole time and the outro's seconds after it.
        const int cap = options.untilEnd && !endless
                            ? std::max(steps, int(std::lround((level->timeLimit + 30.0f) / options.step)))
                            : steps;
        bool decided = false;
        for (int i = 0; run.loaded && i < cap; ++i)
        {
            if (options.untilEnd && (run.won || run.lost))
                break;
            if (options.play)
                player.Step(options.step);
            clock.Advance(uint32_t(std::lround(options.step * 1000.0f)));
            looper->UpdateAll(options.step);
            run.seconds += options.step;

            int heldByLines = 0;
            HeldObject<Line>::ForEach(
                [&heldByLines](Line* line)
                {
                    if (!line->drawing && !line->retracting)
                        heldByLines += line->mostHeld;
                });
            const int wandering = int(HeldObject<BasicGremlin>::Count()) - heldByLines;
            const int kings = int(HeldObject<GremlinKing>::Count());
            // The outros flood or sparkle the board: what the player left is counted before them.
            if (!decided)
            {
                run.gunkLeft = GunkCells();
                run.mostGunk = std::max(run.mostGunk, run.gunkLeft);
                run.explosions = level->gunkDrops;
                decided = level->won || level->lost;
            }
            // Each step against what the factory allows at that step: an endless session's limits
            // grow with its waves.
            if (auto* factory = dynamic_cast<GremlinFactory*>(screen->FindObject(GameNames::GremlinFactory)))
            {
                const int wanderingLimit =
                    std::max(factory->maxWanderingGremlins, factory->numInitialGremlins);
                const int kingLimit = std::max(factory->numMaxMegaTics, factory->numInitialMegaTics);
                run.stepsOverLimit += wandering > wanderingLimit || kings > kingLimit;
                if (wandering >= run.mostWandering)
                    run.mostWandering = wandering, run.wanderingLimit = wanderingLimit;
                if (kings >= run.mostKings)
                    run.mostKings = kings, run.kingLimit = kingLimit;
            }
            if (options.afterStep)
            {
                run.counts = player.Counts();
                options.afterStep(*level, run);
            }
        }
        run.counts = player.Counts();
        looper.reset();
    }
    catch (const std::exception& e)
    {
        run.error = e.what();
    }
    SetShuffleRandomSource({});
    return run;
}

} // namespace Playtest
