#pragma once
// A busy level with the game's own data, shared by the level and frame benchmarks: Tics wandering,
// the gunk board three-quarters covered, three lines drawn round a scripted pointer from three
// traps, all from one seed, on a playing screen with the game's root layout and a quadtree.
#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/ResourceManager.h"
#include "Game/BasicGremlin.h"
#include "Game/CollisionQuadTree.h"
#include "Game/CreatureSettings.h"
#include "Game/GameResourceFactories.h"
#include "Game/GlobalSettings.h"
#include "Game/GremlinHome.h"
#include "Game/Line.h"
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"
#include "Game/TutorialBubble.h"
#include "Graphics/GraphicsFactories.h"
#include "Platform/Looper.h"
#include "Platform/Win32/Win32FileSystem.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneResourceFactories.h"

#include "Support/EngineFakes.h"

#include <cmath>
#include <cstdlib>
#include <memory>

namespace BenchLevel
{

// The playing screen as far as the level needs it: the game's root layout and a quadtree.
class BenchScreen : public SceneApplicationMode
{
public:
    BenchScreen() : tree(new CollisionQuadTree(1000)) {}
    ~BenchScreen() override
    {
        // The tree goes first and its components forget it, as on the playing screen.
        SetCollisionTree(this, nullptr);
        delete tree;
    }
    void Enter() override
    {
        SceneApplicationMode::Enter();
        SetCollisionTree(this, tree);
        if (const SceneLayout* layout = GetSceneLayout("gameRootLayout").second)
            layout->Instantiate(*this, GetRootNode());
    }
    CollisionQuadTree* tree;
};

// The level's groups and tuning, on a file system of its own. The frame benchmark has the game's
// start-up load them instead and passes false.
struct Data
{
    explicit Data(bool load = true)
    {
        if (!load)
        {
            ReadCreatureSettings(settings);
            return;
        }
        Kestrin::SetLogToStderr(false);
        files = std::make_unique<Kestrin::Win32FileSystem>(); // becomes the global one
        files->AddPartition(1, new Kestrin::Win32FileSystemPartition(L"" KESTRIN_DATA_DIR));
        Kestrin::ResourceManager& resources = *Kestrin::ResourceManager::Instance();
        Kestrin::RegisterGraphicsResourceFactories(resources);
        RegisterSceneResourceFactories(resources);
        RegisterGameResourceFactories(resources);
        for (const wchar_t* group : {L"Game-AnimationImages", L"Game"})
            resources.LoadFile(group, nullptr, true);
        GlobalSettings::Instance().Read(GlobalSettings::File());
        ReadCreatureSettings(settings);
    }
    std::unique_ptr<Kestrin::Win32FileSystem> files;
    CreatureSettingsMap settings;
};

inline Data& TheData(bool load = true)
{
    static Data data(load);
    return data;
}

// One seeded level: built the same for every run.
struct BusyLevel
{
    explicit BusyLevel(int tics)
    {
        Data& data = TheData();
        Kestrin::ScopedRandomStream seeded(&random);
        // On a screen stack, so that the board finds the playing screen's terrain layer.
        looper->PushModeNow(&screen);
        Kestrin::ScopedCurrentObjectDatabase current(&screen);
        level = new NimbalLevel(NimbalLevel::NoSetUp{});
        screen.AddObject(level);
        level->notStarted = false;
        level->timeLimit = level->timeRemaining = 100000.0f;
        // Nothing explodes: the field stays at 100 for the whole run.
        level->explosionsAllowed = false;
        NimbalGunk& board = NimbalGunk::Instance();
        if (!board.Build())
            std::abort();
        for (int c = 0; c < board.columns; ++c)
            for (int r = 0; r < board.rows; ++r)
                if (board.CanHoldGunk(c, r) && (c * 7 + r * 3) % 4 != 0)
                    board.cells[size_t(c)][size_t(r)] = GunkCell(size_t(1 + (c + r) % 5), (c * 3 + r) % 6);

        SceneNode* creatures = FindNodeAtPath(screen.GetRootNode(), NodePath::CreatureLayerNode);
        const GremlinColorType colours[] = {GremlinColorType::Red, GremlinColorType::Blue,
                                            GremlinColorType::Green};
        for (int i = 0; i < 3; ++i)
        {
            traps[i] =
                new GremlinHome(colours[i], {150.0f + 250.0f * float(i), 480.0f}, GremlinKind::Any, false);
            traps[i]->AddToScene(screen, creatures);
            traps[i]->Start();
        }
        const CreatureSpriteId kinds[] = {CreatureSpriteId::BasicRed, CreatureSpriteId::BasicBlue,
                                          CreatureSpriteId::BasicGreen};
        for (int i = 0; i < tics; ++i)
        {
            const TypeSettings& s = data.settings.at(kinds[i % 3]);
            auto* tic =
                new BasicGremlin(Kestrin::RandomFloat(40.0f, 660.0f), Kestrin::RandomFloat(30.0f, 380.0f), s);
            tic->AddToScene(screen, creatures);
        }
    }

    // The pointer circles the middle of the field; each line follows it at its own phase.
    void Feed(float time)
    {
        for (int i = 0; i < 3; ++i)
        {
            if (!lines[i] || !screen.IsValidHandle(handles[i]) || !lines[i]->drawing)
            {
                lines[i] = i == 0 ? level->BeginLine(traps[i]->GetCentre(), traps[i], traps[i]->color,
                                                     GremlinKind::Any)
                                  : new Line(traps[i]->GetCentre().x, traps[i]->GetCentre().y, traps[i],
                                             traps[i]->color, GremlinKind::Any);
                if (i != 0)
                    screen.AddObject(lines[i]);
                handles[i] = lines[i]->GetHandle();
            }
            const float a = 0.8f * time + 2.1f * float(i);
            const Vector2f pen{400.0f + 220.0f * std::cos(a), 260.0f + 150.0f * std::sin(a)};
            if (i == 0)
                level->mousePosition = pen;
            else
                lines[i]->ExtendTo(pen);
        }
    }

    BoostRandomNumberStream random{20261210};
    std::unique_ptr<Kestrin::Looper> looper = std::make_unique<Kestrin::Looper>();
    BenchScreen& screen = *new BenchScreen; // the stack owns it
    NimbalLevel* level = nullptr;
    GremlinHome* traps[3] = {};
    Line* lines[3] = {};
    Kestrin::ObjectHandle handles[3] = {};
};

} // namespace BenchLevel
