#include "Support/Play/LevelPlay.h"

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
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"
#include "Game/ShuffleWithRand.h"
#include "Game/TutorialBubble.h"
#include "Platform/Looper.h"
#include "Scene/SceneLayout.h"

#include "Support/ErrorBoxRecorder.h"
#include "Support/FakeClock.h"

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

// A creature a line of this trap can catch now.
bool Catchable(const Gremlin& creature, const GremlinHome& trap)
{
    if (creature.line || !creature.HasHealth() || creature.stage == 0 || creature.stage >= 5 || creature.inTrap)
        return false;
    if (creature.metaType != GremlinMetaType::Normal)
        return false;
    return creature.color == trap.color || creature.color == GremlinColorType::Any ||
           trap.color == GremlinColorType::Any;
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
    if (const SceneLayout* layout = GetSceneLayout("gameRootLayout").second)
        layout->Instantiate(*this, GetRootNode());
    // The clock, the expert time and the guest's head, or the endless meter, over the playfield.
    const char* hud = GameLevels::Instance().endless ? "endless_game_interfaceLayout" : "game_interfaceLayout";
    const SceneLayout* layout = GetSceneLayout(hud).second;
    SceneNode* attach = FindNodeAtPath(GetRootNode(), NodePath::GuiAttach);
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

ScriptedPlayer::ScriptedPlayer(Kestrin::ApplicationMode& screen, uint32_t seed) : m_screen(screen), m_random(seed)
{
}

void ScriptedPlayer::MoveTo(Vector2f point)
{
    point.x = std::clamp(point.x, 1.0f, 799.0f);
    point.y = std::clamp(point.y, 1.0f, 599.0f);
    m_pen = point;
    m_screen.OnMouseMove(int(std::lround(point.x)), int(std::lround(point.y)));
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

Gremlin* ScriptedPlayer::NearestCatch(Vector2f from, float within) const
{
    Gremlin* best = nullptr;
    float bestDistance = within;
    HeldObject<Gremlin>::ForEach(
        [&](Gremlin* creature)
        {
            if (!Catchable(*creature, *m_trap))
                return;
            const float d = Distance(from, creature->GetCentre());
            if (d < bestDistance)
                best = creature, bestDistance = d;
        });
    return best;
}

bool ScriptedPlayer::ChooseTarget()
{
    // Cells whose top layer only a line of that colour cleans, by colour.
    std::map<int, int> coloured;
    const NimbalGunk& board = NimbalGunk::Instance();
    for (const auto& column : board.cells)
        for (const GunkCell& cell : column)
            if (!cell.empty() && cell.back() != int(GremlinColorType::Black) &&
                cell.back() != int(GremlinColorType::Any))
                ++coloured[cell.back()];
    // The trap with a catchable creature nearest to it, the colour with most gunk to clean first;
    // ties to the stream.
    std::vector<GremlinHome*> traps = HeldObject<GremlinHome>::GetAll();
    std::shuffle(traps.begin(), traps.end(), m_random);
    float bestScore = FLT_MAX;
    GremlinHome* bestTrap = nullptr;
    Gremlin* bestTarget = nullptr;
    for (GremlinHome* trap : traps)
    {
        if (trap->leaving || !trap->lines.empty())
            continue;
        m_trap = trap;
        if (Gremlin* target = NearestCatch(trap->GetCentre(), FLT_MAX))
        {
            const float score = Distance(trap->GetCentre(), target->GetCentre()) - 20.0f * float(coloured[int(trap->color)]);
            if (score < bestScore)
                bestScore = score, bestTrap = trap, bestTarget = target;
        }
    }
    m_trap = bestTrap;
    m_target = bestTarget;
    return bestTrap != nullptr;
}

Line* ScriptedPlayer::OwnLine() const
{
    return Alive(m_line) ? m_line : nullptr;
}

bool ScriptedPlayer::FindGunk(Vector2f& centre, float radius) const
{
    const NimbalGunk& board = NimbalGunk::Instance();
    if (!m_line || board.cellWidth <= 0 || board.cellHeight <= 0)
        return false;
    const int colour = int(m_line->color);
    // Whatever a loop must not hold: creatures of no line of ours, traps, obstacles.
    std::vector<Vector2f> foreign;
    for (GameObject* object : HeldObject<GameObject>::GetAll())
    {
        auto* creature = dynamic_cast<Gremlin*>(object);
        if (creature && creature->line == m_line)
            continue;
        foreign.push_back(object->GetCentre());
    }
    const float clearance = radius + 45.0f;
    float best = gunkReach;
    bool found = false;
    for (int c = 0; c < board.columns; ++c)
        for (int r = 0; r < board.rows; ++r)
        {
            const GunkCell& cell = board.cells[size_t(c)][size_t(r)];
            if (cell.empty() || (cell.back() != colour && cell.back() != int(GremlinColorType::Black) &&
                                 cell.back() != int(GremlinColorType::Any)))
                continue;
            const Vector2f point = board.CellPoint(c, r) +
                                   Vector2f(float(board.cellWidth) / 2, float(board.cellHeight) / 2);
            if (point.x < radius + 10 || point.x > 790 - radius || point.y < radius + 10 || point.y > 590 - radius)
                continue;
            const float d = Distance(m_pen, point);
            if (d >= best)
                continue;
            bool clear = true;
            for (const Vector2f& other : foreign)
                clear = clear && Distance(other, point) > clearance;
            if (clear)
                best = d, centre = point, found = true;
        }
    return found;
}

void ScriptedPlayer::StartCircle()
{
    // A circle turned past its start so the line crosses itself: over gunk when some lies near,
    // else on the side of the pen away from the trap.
    m_radius = loopRadius;
    if (!FindGunk(m_centre, m_radius) && !FindGunk(m_centre, m_radius = loopRadius / 2))
    {
        m_radius = loopRadius;
        const Vector2f away = m_trap ? m_pen - m_trap->GetCentre() : Vector2f(1.0f, 0.0f);
        const float length = std::max(1.0f, std::hypot(away.x, away.y));
        m_centre = m_pen + Vector2f(away.x / length, away.y / length) * m_radius;
    }
    m_angle = std::atan2(m_pen.y - m_centre.y, m_pen.x - m_centre.x);
    m_turned = 0.0f;
    m_turn = std::uniform_int_distribution<int>(0, 1)(m_random) ? 1.0f : -1.0f;
    m_phase = Phase::Approaching;
    m_timer = 0.0f;
}

void ScriptedPlayer::GiveUp()
{
    ++m_counts.giveUps;
    Release();
    m_phase = Phase::Idle;
    m_wait = 0.3f;
    m_line = nullptr;
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
            m_wait = 0.25f;
            return;
        }
        Press(m_trap->GetCentre());
        ++m_counts.presses;
        m_phase = Phase::Leaving;
        m_timer = 0.0f;
        m_caught = 0;
        m_line = nullptr;
        return;
    case Phase::Leaving:
    case Phase::Chasing:
    {
        if (m_phase == Phase::Leaving && level->drawing && level->currentLine)
        {
            m_line = level->currentLine;
            ++m_counts.lines;
            m_phase = Phase::Chasing;
        }
        if (m_phase == Phase::Chasing && !OwnLine())
            return GiveUp();
        if (m_line && Alive(m_target) && m_target->line == m_line)
        {
            ++m_caught;
            ++m_counts.spears;
            m_target = m_caught < greed ? NearestCatch(m_pen, 140.0f) : nullptr;
            if (!m_target)
                return StartCircle();
        }
        if (!Alive(m_target) || !Catchable(*m_target, *m_trap))
        {
            m_target = Alive(m_trap) ? NearestCatch(m_pen, 300.0f) : nullptr;
            if (!m_target)
                return m_caught > 0 && m_line ? StartCircle() : GiveUp();
        }
        if (m_timer > 5.0f || !Alive(m_trap))
            return m_caught > 0 && OwnLine() ? StartCircle() : GiveUp();
        const Vector2f goal = m_target->GetCentre();
        const float d = Distance(m_pen, goal);
        MoveTo(d <= stride ? goal : m_pen + (goal - m_pen) * (stride / d));
        return;
    }
    case Phase::Approaching:
    {
        if (!OwnLine() || !m_line->drawing || m_timer > 3.0f)
            return GiveUp();
        const Vector2f start = m_centre + Vector2f(std::cos(m_angle), std::sin(m_angle)) * m_radius;
        const float d = Distance(m_pen, start);
        if (d <= stride)
        {
            MoveTo(start);
            m_phase = Phase::Circling;
            m_timer = 0.0f;
            return;
        }
        MoveTo(m_pen + (start - m_pen) * (stride / d));
        return;
    }
    case Phase::Circling:
    {
        Line* line = OwnLine();
        if (!line || (line->loopScored && !line->drawing))
        {
            if (line && line->loopScored)
                ++m_counts.loops;
            else
                ++m_counts.giveUps;
            Release();
            m_phase = Phase::Idle;
            m_wait = 0.1f;
            m_line = nullptr;
            return;
        }
        if (!line->drawing || m_turned > 4.0f * Pi || m_timer > 4.0f)
            return GiveUp();
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
    SetShuffleRandomSource(ShuffleLcg(options.seed));
    SetLevelOutcomeHooks({[&run](bool, int, int) { run.won = true; },
                          [&run](const std::wstring&, int) { run.lost = true; }});
    LevelRecord* previous = catalogue.current;
    const bool previousEndless = catalogue.endless;
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
            run.mostWandering =
                std::max(run.mostWandering, int(HeldObject<BasicGremlin>::Count()) - heldByLines);
            run.mostKings = std::max(run.mostKings, int(HeldObject<GremlinKing>::Count()));
            // The outros flood or sparkle the board: what the player left is counted before them.
            if (!decided)
            {
                run.gunkLeft = GunkCells();
                run.mostGunk = std::max(run.mostGunk, run.gunkLeft);
                decided = level->won || level->lost;
            }
            if (auto* factory = dynamic_cast<GremlinFactory*>(screen->FindObject(GameNames::GremlinFactory)))
            {
                run.wanderingLimit = std::max({run.wanderingLimit, factory->maxWanderingGremlins,
                                               factory->numInitialGremlins});
                run.kingLimit = std::max({run.kingLimit, factory->numMaxMegaTics, factory->numInitialMegaTics});
            }
        }
        run.counts = player.Counts();
        looper.reset();
    }
    catch (const std::exception& e)
    {
        run.error = e.what();
    }
    catalogue.current = previous;
    catalogue.endless = previousEndless;
    SetLevelOutcomeHooks({});
    SetShuffleRandomSource({});
    return run;
}

} // namespace Playtest
