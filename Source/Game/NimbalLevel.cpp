#include "Game/NimbalLevel.h"

#include "Base/FileExceptions.h"
#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/AudioControls.h"
#include "Framework/ErrorBox.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Framework/Tasks.h"
#include "Game/CreatureSettings.h"
#include "Game/GameClock.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/GlobalSettings.h"
#include "Game/BasicGremlin.h"
#include "Game/EndlessSludgeGenerator.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/GunkBoard.h"
#include "Game/ImmovableObstacle.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/LevelOutcome.h"
#include "Game/MusicManager.h"
#include "Game/NimbalGunk.h"
#include "Game/PlayDataLog.h"
#include "Game/PowerUpGremlin.h"
#include "Game/ShuffleWithRand.h"
#include "Game/TutorialBubble.h"
#include "Game/TutorialManager.h"
#include "Graphics/Font.h"
#include "Graphics/GraphicsFactories.h"
#include "Graphics/Image.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/CurrentScene.h"
#include "Scene/NodeTasks.h"
#include "Scene/MeterNodes.h"
#include "Scene/SceneLayout.h"
#include "Scene/TextSpriteNode.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>

namespace
{
// Scene-node timings of the banners and pop-ups, in seconds.
constexpr float StartDelay = 2.25f;
constexpr float OutroDelay = 2.5f;
constexpr float SplashInterval = 0.05f;
// One hit per good loop: a king's health counts the loops it takes.
constexpr int OrdinaryLoopKingDamage = 1;
constexpr int BadLoopTutorial = 9, OneMinuteTutorial = 10, TwoMinuteTutorial = 11, ChaoticTutorial = 12,
              NoTicsTutorial = 13, EndlessTutorial = 8;
const Vector2f ScreenCentre{400.0f, 300.0f};

float FloatValue(const char* name, float fallback)
{
    const auto* value = Kestrin::GetFloatValueByName(name);
    return value ? value->value : fallback;
}

float AmbientDelay()
{
    const float min = FloatValue("ambientDelayMin", 10.0f), max = FloatValue("ambientDelayMax", 20.0f);
    return min + (max - min) * Kestrin::RandomFloat(0.0f, 1.0f);
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring ClockText(float seconds)
{
    return FormatMinutesSeconds(int(seconds));
}

// The tasks one after another.
Kestrin::Task* Sequence(std::initializer_list<Kestrin::Task*> tasks)
{
    Kestrin::Task* chain = nullptr;
    for (auto it = std::rbegin(tasks); it != std::rend(tasks); ++it)
        chain = chain ? new Kestrin::SerialTask(*it, chain) : *it;
    return chain;
}

// In parallel: rise 20 px and fade to half over the time; then the node goes.
// How far a pop-up rises while it fades.
constexpr float kPopupRise = 20.0f;

void RiseAndFade(SceneNode* node, Vector2f point, float time)
{
    auto* both = new Kestrin::ParallelTask(Kestrin::ParallelTask::All,
                                           new NodeLocationTask(point.x, point.y - kPopupRise, time),
                                           new NodeAlphaTask(0.5f, time));
    node->AddTask(Sequence({both, new Kestrin::SelfDestructTask()}));
}

size_t SegmentCount(const Line* line)
{
    size_t count = 0;
    for (const LineSegment* s = line->headSegment; s; s = s->previous)
        ++count;
    return count;
}

Vector2f HeadPoint(const Line* line)
{
    return line->headSegment ? line->headSegment->end : Vector2f{};
}
} // namespace

size_t CountOrdinaryCreatures()
{
    return HeldObject<BasicGremlin>::Count();
}

Gremlin* FirstOrdinaryCreature()
{
    const std::vector<BasicGremlin*> all = HeldObject<BasicGremlin>::GetAll();
    return all.empty() ? nullptr : all.front();
}

bool OnlyPowerUpsLeft()
{
    return HeldObject<Gremlin>::Count() == HeldObject<PowerUpGremlin>::Count();
}

NimbalLevel::NimbalLevel()
{
    SetUp();
}

NimbalLevel::NimbalLevel(NoSetUp) {}

NimbalLevel::~NimbalLevel()
{
    // The screen may have deleted the node first (its handle tells); its database, which holds
    // the level too, is still there.
    if (m_pressDatabase && m_pressDatabase->IsValidHandle(m_pressHandle))
    {
        m_pressNode->MouseDown.Disconnect(m_pressDown);
        m_pressNode->MouseUp.Disconnect(m_pressUp);
    }
}

Kestrin::NameId NimbalLevel::GetName() const
{
    return GameNames::NimbalLevel;
}

std::string NimbalLevel::GuestName() const
{
    const LevelRecord* record = GameLevels::Instance().GetCurrent();
    return record ? NameOf(record->guest) : "";
}

void NimbalLevel::AttachSprite(NodePath parent, SceneNode* sprite)
{
    SceneNode* attach = Node(parent);
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (!attach || !database)
    {
        delete sprite;
        return;
    }
    database->AddObject(sprite);
    sprite->SetParent(attach);
}

SceneNode* NimbalLevel::Node(NodePath path)
{
    SceneNode* root = GetCurrentSceneRoot();
    SceneNode* node = FindNodeAtPath(root, path);
    // The clock is looked up every step: a layout without it must not fill the log.
    if (!node && root && !m_missingNodesLogged.test(size_t(path)))
    {
        m_missingNodesLogged.set(size_t(path));
        Kestrin::LogPrintf("Level: the scene has no node %s.\n", std::string(GetNodePathText(path)).c_str());
    }
    return node;
}

void NimbalLevel::SetNodeText(NodePath path, const std::wstring& text)
{
    if (auto* sprite = dynamic_cast<ITextSprite*>(Node(path)))
        sprite->SetText(text);
}

bool NimbalLevel::Endless() const
{
    return GameLevels::Instance().endless;
}

GremlinFactory* NimbalLevel::Factory() const
{
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    return database ? dynamic_cast<GremlinFactory*>(database->FindObject(GameNames::GremlinFactory)) : nullptr;
}

void NimbalLevel::SetUp()
{
    drawing = false;
    ambientTimer = AmbientDelay();
    if ((m_pressNode = FindNodeAtPath(GetCurrentSceneRoot(), NodePath::LevelMouseHandler)))
    {
        m_pressHandle = m_pressNode->GetHandle();
        m_pressDatabase = m_pressNode->GetDatabase();
        m_pressDown = m_pressNode->MouseDown.Connect([this](SceneNode*, Vector2f, Kestrin::MouseButton)
                                                     { OnPlayfieldPress(); });
        m_pressUp = m_pressNode->MouseUp.Connect([this](SceneNode*, Vector2f, Kestrin::MouseButton)
                                                 { OnPlayfieldPress(); });
    }
    const bool endless = Endless();
    // A board that cannot be built (no cell image) leaves nothing to play on.
    if (!NimbalGunk::Instance().Build())
    {
        ShowErrorMessageBox(L"The gunk board could not be built: the image \"sludgeBGImage-Black\" is missing.",
                            L"There was an error loading Level file.");
        loadFailed = true;
        return;
    }
    if (!LoadLevelFile(endless) || !LoadBoardFile())
        return;

    currentLine = nullptr;
    if (auto* banner = dynamic_cast<StaticSpriteNode*>(Node(NodePath::BannerTextImage)))
    {
        banner->SetImage(Kestrin::GetResource<Kestrin::IImage>(endless ? "bannerMSG_endless" : "bannerMSG_normal")
                             .second);
        banner->SetPosition(400, -20);
        // The layout keeps the banner hidden until one is due.
        banner->SetAlpha(1.0f);
        banner->AddTask(Sequence({new NodeLocationTask(400.0f, 300.0f, 0.75f), new Kestrin::TimedTask(1.0f),
                                  new NodeAlphaTask(0.0f, 0.5f)}));
    }
    if (SceneNode* background = Node(NodePath::BannerBackground))
        background->AddTask(Sequence({new Kestrin::TimedTask(1.75f), new NodeAlphaTask(0.0f, 0.5f)}));
    AddTask(Sequence({new Kestrin::TimedTask(StartDelay), new Kestrin::FunctionTask<NimbalLevel>(
                                                                [](NimbalLevel* level)
                                                                {
                                                                    if (level)
                                                                        level->Start();
                                                                    return Kestrin::TaskFinished;
                                                                })}));
    TutorialManager& tutorials = TutorialManager::Instance();
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    const std::string guest = GuestName();
    if (endless)
    {
        SceneNode* attach = Node(NodePath::GuiMeterBarAttach);
        if (attach && database)
        {
            auto* meter = new MeterBarNode(Meter_LeftToRight, 0, GetImageListOrEmpty(Kestrin::MakeName("endlessMeterBar")));
            meter->SetNodeName(Kestrin::MakeName(GetNodePathNames(NodePath::GuiEndlessMeter).back()));
            meter->SetMax(1.0f);
            meter->SetValue(0.0f);
            database->AddObject(meter);
            meter->SetParent(attach);
        }
        AttachSprite(NodePath::GuiSimulationName, new StaticSpriteNode(Kestrin::MakeName("TextImage_" + guest)));
        if (SceneNode* flash = Node(NodePath::GuiMeterFlash))
        {
            flash->AddTask(new Kestrin::RepeatingTask(new NodeAlphaTask(1.0f, 0.5f), new NodeAlphaTask(0.0f, 0.5f)));
            flash->SetVisible(false);
        }
        if (tutorials.IsDue(EndlessTutorial))
        {
            tutorials.HideBubble();
            tutorials.SetShown(EndlessTutorial);
        }
    }
    else
    {
        SetNodeText(NodePath::GuiExpertTime, GetGameText("UI.expert") + L" " + ClockText(timeLimit));
        AttachSprite(NodePath::GuiHeadIconAttach, new StaticSpriteNode(Kestrin::MakeName(guest + "_icon"), 1));
    }
    if (tutorials.IsDue(0))
    {
        basicsPending = false;
        tutorialStep = 0;
    }
}

bool NimbalLevel::LoadLevelFile(bool endless)
{
    const LevelRecord* record = GameLevels::Instance().GetCurrent();
    try
    {
        if (!record)
            throw std::runtime_error("no level is current");
        if (auto* background = dynamic_cast<StaticSpriteNode*>(Node(NodePath::LevelBackground)))
            background->SetImage(Kestrin::GetResource<Kestrin::IImage>((GuestName() + "_BGImage").c_str()).second);
        ApplyLevelFile(ReadLevelFile(LevelFileSpec(record->name), endless), endless);
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(Widen(e.what()), L"There was an error loading Level file.");
        loadFailed = true;
    }
    return !loadFailed;
}

bool NimbalLevel::LoadBoardFile()
{
    const LevelRecord* record = GameLevels::Instance().GetCurrent();
    try
    {
        if (!record)
            throw std::runtime_error("no level is current");
        boardPatches = ReadBoardFile(BoardFileSpec(record->name, boardSuffix));
        for (const GunkPatchData& patch : boardPatches)
            NimbalGunk::Instance().LoadPatch(patch.data.data(), int(patch.data.size()), patch.x, patch.y, patch.width,
                                             int(patch.colour));
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(Widen(e.what()), L"There was an error loading Level file.");
        loadFailed = true;
    }
    return !loadFailed;
}

void NimbalLevel::ApplyLevelFile(const LevelFileData& data, bool endless)
{
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (!database)
        throw std::runtime_error("the level has no screen to build in");
    auto* traps = new GremlinHomeFactory();
    database->AddObject(traps);

    expertTime = data.expertTime;
    timeLimit = timeRemaining = data.timeLimit;
    if (data.hasExplodeColors)
        explodeColors = data.explodeColors;
    if (data.hasGunkLimit)
    {
        // The playable area's layers, scaled: only the endless fill fraction reads it.
        NimbalGunk& board = NimbalGunk::Instance();
        if (board.cellWidth > 0 && board.cellHeight > 0)
            board.capacity = (board.columns - 25.0f / board.cellWidth - 25.0f / board.cellWidth) *
                             (board.rows - 50.0f / board.cellHeight - 20.0f / board.cellHeight) * 5.0f *
                             data.gunkLimit;
    }
    loopPowerUpSpawns = data.loopPowerUpSpawns;
    spearKingGemSpawns = data.spearKingGemSpawns;

    auto* factory = new GremlinFactory(endless);
    database->AddObject(factory);
    g_creatureTimeScale = 1.0f;
    factory->SetSpawnParameters(data.numInitial, data.delayMin, data.delayMax, data.subOptimalMin,
                                data.subOptimalMax, data.maxWandering, data.optimal);
    factory->megaTicSpawnDelayMin = factory->megaTicSpawnDelayMax = FLT_MAX;
    factory->numInitialMegaTics = factory->numMaxMegaTics = 0;
    factory->kingBudget = 0;
    // The kings' timer default takes a draw of its own, so later draws stay where they were.
    factory->kingTimer = Kestrin::RandomFloat(0.0f, 1.0f) * 0.0f + FLT_MAX;
    if (!LoadCreatureSettings(factory->settings))
        loadFailed = true; // the rest of the creature factory is skipped
    else
        ApplyCreatureZones(*factory, data, endless);
    if (endless)
    {
        const WaveModifierData& m = data.modifiers;
        factory->waveSize = factory->waveRemaining = m.waveInitialSize;
        factory->waveSizeChange = m.waveChange;
        factory->waveSizeMax = m.waveMax;
        factory->recoveryTime = m.recoveryTime;
        factory->SetWaveModifiers(m.maxCreaturesChange, m.optimalChange, m.growthRateChange, m.spawnDelayChange,
                                  m.maxCreaturesMax, m.optimalMax, m.growthRateMin, m.spawnDelayMin,
                                  m.maxMegaTicsChange, m.maxMegaTicsMax, m.megaTicSpawnDelayChange,
                                  m.megaTicSpawnDelayMin);
    }

    const ObstacleSetData* set = &data.obstacleSets.front();
    if (endless)
    {
        const size_t pick = size_t(Kestrin::RandomFloat(0.0f, 1.0f) * float(data.obstacleSets.size()));
        set = &data.obstacleSets[std::min(pick, data.obstacleSets.size() - 1)];
        boardSuffix = set->boardSuffix;
    }
    SceneNode* creatureLayer = FindNodeAtPath(GetCurrentSceneRoot(), NodePath::CreatureLayerNode);
    for (const ObstacleData& o : set->obstacles)
        (new ImmovableObstacle({o.x, o.y}, o.image))->AddToScene(*database, creatureLayer);
    if (endless)
    {
        auto* generator = new EndlessSludgeGenerator();
        database->AddObject(generator);
        for (const SludgeZoneData& z : data.sludgeZones)
            generator->zones.push_back({z.spawnDelay, z.spawnDelay, z.updateTime, z.updateTime, z.spawnRadius,
                                        z.spawnDepth, z.x, z.y, z.w, z.h, z.delayChange, z.delayMin,
                                        z.radiusChange, z.radiusMax, z.colorChance});
    }

    traps->cycleTraps = data.cycleTraps;
    for (float time : data.trapSlots)
        traps->AddTrapSlot(time);
    for (const TrapZoneData& zoneData : data.trapZones)
    {
        auto* zone = new TrapZone;
        zone->shuffle = zoneData.shuffle;
        for (const TrapDefinitionData& def : zoneData.defs)
        {
            zone->defs.push_back({def.colour, def.x, def.y});
            if (zone->shuffle)
                ShuffleWithRand(zone->defs.begin(), zone->defs.end());
        }
        traps->AddZone(zone);
    }
    traps->QueueNext();
}

void NimbalLevel::ApplyCreatureZones(GremlinFactory& factory, const LevelFileData& data, bool endless)
{
    for (const LevelZoneData& zoneData : data.zones)
    {
        // What the factory cannot take is the level file's fault: the box names it and the zone.
        auto fault = [&](const std::string& what)
        { return FileReadException(0, data.fileName, zoneData.line, what); };
        // A type without settings could never spawn; the factory would skip it for ever.
        for (int type : zoneData.types)
            if (!factory.FindSettings(CreatureSpriteId(type)))
                throw fault("the level's zones name " + std::string(NameOf(CreatureSpriteId(type))) +
                            ", which has no record in CreatureSettings.xml");
        auto* zone = new FactoryZone;
        zone->x = zoneData.x;
        zone->y = zoneData.y;
        zone->w = zoneData.w;
        zone->h = zoneData.h;
        for (int type : zoneData.types)
            zone->types.push_back(CreatureSpriteId(type));
        zone->dealsInOrder = zoneData.dealsInOrder;
        if (!zoneData.dealsInOrder)
            zone->ratios = std::make_unique<RatioRandom>(zoneData.ratios);
        try
        {
            factory.AddZone(zone, zoneData.type);
        }
        catch (const std::exception& e)
        {
            delete zone;
            throw fault(e.what());
        }
        catch (...)
        {
            delete zone;
            throw;
        }
        if (zoneData.type == GremlinMetaType::Normal)
            factory.AddTypeRatios(zoneData.types, zoneData.ratios);
    }
    if (data.kingTypes > 0)
    {
        factory.megaTicSpawnDelayMin = data.megaTicDelayMin;
        factory.megaTicSpawnDelayMax = data.megaTicDelayMax;
        factory.numInitialMegaTics = data.numInitialMegaTics;
        factory.numMaxMegaTics = data.numMaxMegaTics;
        factory.kingBudget = endless ? INT_MAX : data.kingTypes;
        factory.kingTimer = data.megaTicDelayMin +
                            Kestrin::RandomFloat(0.0f, 1.0f) * (data.megaTicDelayMax - data.megaTicDelayMin);
    }
}

void NimbalLevel::Start()
{
    if (GremlinFactory* factory = Factory())
        factory->StartPlay();
    notStarted = false;
    HeldObject<GremlinHome>::ForEach([](GremlinHome* trap) { trap->Start(); });
}

void NimbalLevel::Update(float dt)
{
    if (won)
        return SuccessOutroStep(dt);
    if (lost)
        return FailureOutroStep(dt);
    if (loadFailed || endlessOver)
        return;
    const bool endless = Endless();
    const std::wstring clock = ClockText(endless ? timeElapsed : timeRemaining);
    if (!endless)
    {
        if (timeElapsed > 60.0f && timeElapsed < 61.0f)
            ShowTutorialPopup(OneMinuteTutorial, ScreenCentre, false);
        if (timeElapsed > 120.0f && timeElapsed < 121.0f)
            ShowTutorialPopup(TwoMinuteTutorial, ScreenCentre, false);
    }
    SetNodeText(NodePath::GuiTimer, clock);
    if (notStarted)
        return;
    AdvanceTutorial();
    if (const LevelRecord* record = GameLevels::Instance().GetCurrent(); record && record->unlock == L"chaotic")
        ShowTutorialPopup(ChaoticTutorial, ScreenCentre, false);
    timeElapsed += dt;
    timeRemaining -= dt;

    if (freezeTimer > 0.0f)
    {
        freezeTimer -= dt;
        if (CountOrdinaryCreatures() == 0)
            freezeTimer = 0.0f;
        if (freezeTimer <= 0.0f)
        {
            if (GremlinFactory* factory = Factory())
                factory->spawnPause = 0.0f;
            creatureEffect = 0;
            HeldObject<Gremlin>::ForEach([](Gremlin* g) { g->OnFreezeEnded(); });
        }
    }
    UpdateMelody();
    ambientTimer -= dt;
    if (ambientTimer <= 0.0f)
    {
        MusicManager::Instance().PlayAmbientSound();
        ambientTimer = AmbientDelay();
    }
    CheckEndConditions();
}

void NimbalLevel::UpdateMelody()
{
    Kestrin::ISoundChannel* channel = MusicManager::Instance().GetMelodyChannel();
    Kestrin::IAudioControls* controls = channel ? channel->GetControls() : nullptr;
    if (drawing && currentLine)
    {
        const Vector2f pen{std::clamp(mousePosition.x, PlayfieldLeft, PlayfieldRight),
                           std::clamp(mousePosition.y, PlayfieldTop, PlayfieldBottom)};
        currentLine->ExtendTo(pen);
        melodyLevel = int(SegmentCount(currentLine));
        const float v = std::min(1.0f, std::max(FloatValue("baseMelodyVolume", 0.3f), melodyLevel / 100.0f));
        // The channel's own volume: the effective one carries the music category's and the
        // master's, and the ramp would settle there instead of at full.
        if (controls)
            controls->SetVolume(std::max(std::pow(v, 0.25f), std::sqrt(controls->GetOwnVolume())));
    }
    else
    {
        melodyLevel -= 1;
        const float v = std::clamp(melodyLevel / 100.0f, 0.0f, 1.0f);
        if (controls)
            controls->SetVolume(std::sqrt(v));
    }
}

void NimbalLevel::AdvanceTutorial()
{
    TutorialManager& tutorials = TutorialManager::Instance();
    switch (tutorialStep)
    {
    case 0:
        tutorials.Show(0, {500.0f, 200.0f});
        ++tutorialStep;
        break;
    case 1:
        // No trap yet: try again next step.
        if (HeldObject<GremlinHome>::Count() > 0)
        {
            tutorials.Show(1, HeldObject<GremlinHome>::GetAll().front()->GetCentre());
            ++tutorialStep;
        }
        break;
    case 3:
        if (currentLine && !currentLine->attached.empty())
        {
            tutorials.Show(3, Board().RandomGunkCell());
            ++tutorialStep;
        }
        break;
    default:
        break;
    }
}

void NimbalLevel::StartFlasher(float fadeTime, float peak)
{
    SceneNode* flash = Node(NodePath::GuiRedFlash);
    if (!flash)
        return;
    flash->SetVisible(true);
    flash->SetChannelTask(GameNames::FlasherTask, new Kestrin::RepeatingTask(new NodeAlphaTask(0.0f, fadeTime),
                                                                             new NodeAlphaTask(peak, fadeTime)));
}

void NimbalLevel::CheckEndConditions()
{
    if (timeRemaining < 30.0f && !warned30)
    {
        Kestrin::PlaySoundNamed("SFX_TimeWarning");
        ShowBanner("bannerMSG_warning", 0.0f);
        StartFlasher(1.0f, 0.8f);
        warned30 = true;
    }
    if (timeRemaining < 10.0f && !warned10)
    {
        MusicManager::Instance().StartFinalWarning();
        ShowBanner("bannerMSG_lastWarning", 0.0f);
        StartFlasher(0.3f, 1.0f);
        warned10 = true;
    }
    if (Endless())
    {
        float f = Board().GetGunkFraction();
        const bool over = f >= 1.0f;
        f = std::min(f, 1.0f);
        SceneNode* flash = Node(NodePath::GuiMeterFlash);
        if (f > 0.8f)
        {
            MusicManager::Instance().StartFinalWarning();
            if (flash)
            {
                flash->SetVisible(true);
                const SceneNode::Rectf r = flash->GetWorldRect();
                flash->SetSourceRect({float(int(r.x)), float(int(r.y)), float(int(r.w * f)), float(int(r.h))});
            }
        }
        else
        {
            MusicManager::Instance().StopFinalWarning();
            if (flash)
                flash->SetVisible(false);
        }
        if (auto* meter = dynamic_cast<IMeter*>(Node(NodePath::GuiEndlessMeter)))
            meter->SetValue(f);
        if (over)
        {
            LogPlayData(false);
            if (SceneNode* background = Node(NodePath::BannerBackground))
                background->SetAlpha(0.7f);
            endlessOver = true;
            ReportLevelFailure(L"Too Much Gunk!", int(timeElapsed));
        }
        return;
    }
    if (timeRemaining <= 0.0f)
    {
        LogPlayData(false);
        lost = true;
        outroDelay = OutroDelay;
        return;
    }
    GremlinFactory* factory = Factory();
    if ((!factory || !factory->spawning) && OnlyPowerUpsLeft())
    {
        LogPlayData(true);
        if (!won)
        {
            won = true;
            outroDelay = OutroDelay;
        }
    }
}

void NimbalLevel::SuccessOutroStep(float dt)
{
    if (outroDelay == OutroDelay)
    {
        outroRequested = false;
        currentLine = nullptr;
        drawing = false;
        HeldObject<Line>::ForEach([](Line* line) { line->AddTask(new Kestrin::SelfDestructTask()); });
        SceneNode* background = Node(NodePath::LevelBackground);
        Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
        if (background && database)
        {
            const SceneNode::Rectf area = background->GetWorldRect();
            for (int i = 0; i < 40; ++i)
            {
                auto* sparkle = new StaticSpriteNode(Kestrin::InternNameF("blue_sml"),
                                                     int(10 * Kestrin::RandomFloat(0.0f, 1.0f)));
                database->AddObject(sparkle);
                sparkle->SetParent(background);
                const float x = Kestrin::RandomFloat(0.0f, 1.0f) * area.w;
                sparkle->SetPosition(x, Kestrin::RandomFloat(0.0f, 1.0f) * area.h);
                sparkle->SetAlpha(0.0f);
                const float a = 1.5f * Kestrin::RandomFloat(0.0f, 1.0f);
                sparkle->AddTask(Sequence({new NodeAlphaTask(1.0f, a), new NodeAlphaTask(0.0f, 1.5f - a),
                                           new Kestrin::SelfDestructTask()}));
            }
        }
        Kestrin::PlaySoundNamed("SFX_ObstacleDisappear");
        HeldObject<ImmovableObstacle>::ForEach([](ImmovableObstacle* o) { o->Disappear(); });
        HeldObject<GremlinHome>::ForEach(
            [](GremlinHome* trap)
            {
                trap->SetHitTest(false);
                trap->CelebrationBurst();
            });
        HeldObject<PowerUpGremlin>::ForEach([](PowerUpGremlin* p) { p->OnLevelWon(); });
    }
    if (outroDelay <= 0.0f && !outroRequested)
    {
        if (SceneNode* background = Node(NodePath::BannerBackground))
            background->SetAlpha(0.7f);
        ReportLevelSuccess(timeElapsed < expertTime, int(timeElapsed + 1.0f), int(expertTime));
        outroRequested = true;
    }
    outroDelay -= dt;
}

void NimbalLevel::FailureOutroStep(float dt)
{
    gunkCleared = false;
    if (outroDelay == OutroDelay)
    {
        outroRequested = false;
        lastSplash = OutroDelay;
        currentLine = nullptr;
        drawing = false;
        HeldObject<Line>::ForEach([](Line* line) { line->AddTask(new Kestrin::SelfDestructTask()); });
        HeldObject<ImmovableObstacle>::ForEach([](ImmovableObstacle* o) { o->AddTask(new Kestrin::SelfDestructTask()); });
        HeldObject<GremlinHome>::ForEach([](GremlinHome* trap) { trap->AddTask(new Kestrin::SelfDestructTask()); });
    }
    if (outroDelay <= 0.0f && !outroRequested)
    {
        if (SceneNode* background = Node(NodePath::BannerBackground))
            background->SetAlpha(0.7f);
        ReportLevelFailure(L"Out of Time", 0);
        outroRequested = true;
    }
    if (lastSplash - outroDelay > SplashInterval)
    {
        const int x = 50 + int(701 * Kestrin::RandomFloat(0.0f, 1.0f));
        const int y = 50 + int(501 * Kestrin::RandomFloat(0.0f, 1.0f));
        const int radius = 75 + int(26 * Kestrin::RandomFloat(0.0f, 1.0f));
        for (int i = 0; i < 3; ++i)
            Board().AddGunk(radius, x, y, int(GremlinColorType::Black));
        lastSplash = outroDelay;
    }
    outroDelay -= dt;
}

void NimbalLevel::LogPlayData(bool wonLevel)
{
    AppendPlayDataLine(wonLevel, timeElapsed, expertTime, gunkDrops);
}

void NimbalLevel::OnGunkCleared()
{
    if (Endless())
        return;
    GremlinFactory* factory = Factory();
    // A dying king stays registered until its death effect ends, but no longer holds the level.
    bool kingAlive = false;
    HeldObject<GremlinKing>::ForEach([&kingAlive](GremlinKing* king) { kingAlive |= king->HasHealth(); });
    if (kingAlive || (factory && factory->kingBudget > 0))
        return;
    size_t held = 0;
    HeldObject<Line>::ForEach(
        [&](Line* line)
        {
            if (!line->drawing && !line->retracting)
                held += line->attached.size();
        });
    const size_t ordinary = CountOrdinaryCreatures();
    const size_t free = ordinary > held ? ordinary - held : 0;
    if (tutorialStep == 4)
        tutorialStep = 5;
    if (free == 0)
    {
        gunkClearBannerPending = false;
        if (tutorialStep == 5)
            tutorialStep = 17;
    }
    if (tutorialStep == 5)
    {
        TutorialManager::Instance().Show(5, ScreenCentre);
        gunkClearBannerPending = false;
        tutorialStep = 17;
    }
    if (gunkClearBannerPending)
    {
        gunkClearBannerPending = false;
        Kestrin::PlaySoundNamed("SFX_GunkGone");
        ShowBanner("bannerMSG_gunkClear", 0.0f);
    }
    gunkCleared = true;
    if (factory)
        factory->spawning = false;
}

void NimbalLevel::OnGunkReturned()
{
    if (gunkCleared)
    {
        gunkCleared = false;
        Kestrin::PlaySoundNamed("SFX_GunkGone");
        ShowBanner("bannerMSG_gunkReturn", 1.0f);
    }
    gunkClearBannerPending = true;
    if (GremlinFactory* factory = Factory())
        factory->spawning = true;
}

void NimbalLevel::ShowBanner(const char* image, float hold)
{
    auto* banner = dynamic_cast<StaticSpriteNode*>(Node(NodePath::BannerTextImage));
    if (!banner)
        return;
    banner->SetImage(Kestrin::GetResource<Kestrin::IImage>(image).second);
    banner->ClearTasks();
    banner->SetPosition(ScreenCentre.x, ScreenCentre.y);
    banner->SetAlpha(1.0f);
    banner->SetScale(0.2f, 0.2f);
    banner->AddTask(Sequence({new NodeScaleTask(1.0f, 1.0f, 0.75f), new Kestrin::TimedTask(1.0f + hold),
                              new NodeAlphaTask(0.0f, 0.5f)}));
}

void NimbalLevel::ShowTutorialPopup(int id, Vector2f point, bool pointing)
{
    if (TutorialManager::Instance().IsDue(id))
        TutorialManager::Instance().ShowPopupAndRecord(id, point, pointing);
}

Line* NimbalLevel::BeginLine(Vector2f point, GremlinHome* trap, GremlinColorType color, GremlinKind kind)
{
    // A line still held from an earlier trap would otherwise be left drawing for ever.
    if (currentLine)
    {
        currentLine->retracting = true;
        RetractLine();
    }
    Kestrin::PlaySoundById(GameNames::BeginLineSound.Get());
    drawing = true;
    auto* line = new Line(point.x, point.y, trap, color, kind);
    currentLine = line;
    if (Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase())
        database->AddObject(line);
    return line;
}

void NimbalLevel::RetractLine()
{
    if (!currentLine)
        return;
    if (currentLine->trap)
        if (auto* wind = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(currentLine->trap->GetNode(),
                                                                           NodePath::TrapWindFX)))
            wind->PlayAnimation(GameNames::WindRetract.Get());
    currentLine->drawing = false;
    currentLine = nullptr;
    drawing = false;
}

void NimbalLevel::OnPlayfieldPress()
{
    if (!drawing || !currentLine)
        return;
    if (!IsPastClickTime(GetMillisecondTime(), GlobalSettings::Instance().clickTime))
        return;
    currentLine->retracting = true;
    RetractLine();
}

void NimbalLevel::ShowTrapTutorial()
{
    if (tutorialStep != 2)
        return;
    // No creature yet: the next release tries again.
    if (Gremlin* first = FirstOrdinaryCreature())
    {
        TutorialManager::Instance().Show(2, first->GetCentre());
        ++tutorialStep;
    }
}

void NimbalLevel::ReleaseTrap(GremlinHome* trap)
{
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (auto* factory = database ? dynamic_cast<GremlinHomeFactory*>(database->FindObject(GameNames::GremlinHomeFactory))
                                 : nullptr)
        factory->OnTrapRemoved(trap);
}

int NimbalLevel::EvaluateLoop(Line* line)
{
    int result = -1;
    LoopResult feedback = LoopResult::NoGremlin;
    bool bad = false, badTutorialShown = false;
    std::vector<GremlinKing*> kings;
    for (GameObject* object : HeldObject<GameObject>::GetAll())
    {
        const Vector2f position = object->GetCentre();
        if (!line->IsInsideLoop(position))
            continue;
        const Kestrin::NameId role = object->GetRole();
        if (role == GameNames::GremlinRole)
        {
            auto* creature = dynamic_cast<Gremlin*>(object);
            if (auto* king = dynamic_cast<GremlinKing*>(object))
            {
                if (king->HasHealth())
                    kings.push_back(king);
            }
            else if (creature && creature->line != line && creature->HasHealth())
            {
                creature->OnLooped();
                bad = true;
            }
        }
        else if (role == GameNames::GremlinHomeRole)
        {
            if (object != line->trap)
            {
                object->OnLooped();
                bad = true;
            }
        }
        else
        {
            object->OnLooped();
            bad = true;
        }
        if (bad && !badTutorialShown && TutorialManager::Instance().IsDue(BadLoopTutorial))
        {
            ShowTutorialPopup(BadLoopTutorial, position, true);
            badTutorialShown = true;
        }
    }
    const Vector2f head = HeadPoint(line);
    bool cleaned = false;
    if (bad)
        feedback = LoopResult::BadLoop;
    else if (!line->attached.empty())
    {
        cleaned = Board().CleanLoop(line);
        if ((line->powerUpEffect == 1 || line->powerUpEffect == 2) && !cleaned && kings.empty())
            feedback = LoopResult::Silent;
        else
        {
            result = 1;
            feedback = LoopResult::GoodLoop;
            line->loopScored = true;
        }
        if (tutorialStep == 4 && cleaned)
        {
            TutorialManager::Instance().Show(4, ScreenCentre);
            ++tutorialStep;
        }
        SpawnLoopPowerUp(line->loopScored ? int(line->mostHeld) : 0, head);
        if (line->powerUpEffect == 2)
        {
            Kestrin::PlaySoundNamed("SFX_Action-Damage");
            for (GremlinKing* king : kings)
                king->TakeDamage(line->powerUpDamage, true);
        }
        else
            for (GremlinKing* king : kings)
                king->TakeDamage(OrdinaryLoopKingDamage, false);
    }
    if (result == 1)
    {
        Kestrin::PlaySoundNamed("SFX_LoopSuccess");
        if (line->powerUpEffect == 1)
            ShowPowerUpFeedback(int(GremlinKind::DeepClean), head, false);
        else
            ShowLoopFeedback(LoopResult::GoodLoop, head);
        return result;
    }
    Kestrin::PlaySoundNamed(line->attached.size() >= 5 ? "SFX_BigLoopFail" : "SFX_LoopFail");
    if (feedback == LoopResult::NoGremlin)
        ShowTutorialPopup(NoTicsTutorial, head, true);
    if (feedback != LoopResult::Silent)
        ShowLoopFeedback(feedback, head);
    return result;
}

void NimbalLevel::SpawnLoopPowerUp(int value, Vector2f point)
{
    const int count = GlobalSettings::Instance().LookupPosiTics(value, int(HeldObject<PowerUpGremlin>::Count()));
    if (count > 0)
        if (GremlinFactory* factory = Factory())
            factory->CreatePowerUp(count, point);
}

void NimbalLevel::ShowSpearValue(int count, Vector2f point)
{
    const GlobalSettings& settings = GlobalSettings::Instance();
    const int alive = int(HeldObject<PowerUpGremlin>::Count());
    const bool threshold = settings.LookupPosiTics(count - 1, alive) < settings.LookupPosiTics(count, alive);
    if (threshold)
        Kestrin::PlaySoundNamed("SFX_PositicSpawnSpear");
    SceneNode* parent = Node(NodePath::PopupLayerNode);
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (!parent || !database)
        return;
    Kestrin::Font* font =
        Kestrin::GetResource<Kestrin::Font>(threshold ? "CustomSpearFontLarge" : "CustomSpearFont").second;
    auto* text = new TextSpriteNode(point, std::to_wstring(count), font, 100.0f);
    database->AddObject(text);
    text->SetParent(parent);
    text->SetPosition(point.x, point.y);
    RiseAndFade(text, point, 0.5f);
}

void NimbalLevel::ShowFeedbackPopup(const std::string& animation, Vector2f point)
{
    SceneNode* parent = Node(NodePath::PopupLayerNode);
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    const SceneLayout* layout = GetSceneLayout("feedbackPopupLayout").second;
    if (!parent || !database || !layout)
        return;
    SceneNode* popup = layout->Instantiate(*database, parent);
    if (!popup)
        return;
    // Without its picture the pop-up would rise and fade empty.
    auto* sprite = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(popup, NodePath::FeedbackPopupTextImage));
    if (!sprite)
    {
        database->RemoveObject(popup->GetHandle());
        return;
    }
    sprite->PlayAnimation(Kestrin::InternNameF("%s", animation.c_str()));
    popup->SetPosition(point.x, point.y);
    // A loop closed near an edge would send its word out of the board: it starts far enough inside.
    const SceneNode::Rectf word = sprite->GetWorldRect();
    point.x += std::max(0.0f, PlayfieldLeft - word.x) - std::max(0.0f, word.x + word.w - PlayfieldRight);
    point.y += std::max(0.0f, PlayfieldTop + kPopupRise - word.y) -
               std::max(0.0f, word.y + word.h - PlayfieldBottom);
    popup->SetPosition(point.x, point.y);
    RiseAndFade(popup, point, 1.0f);
}

void NimbalLevel::ShowLoopFeedback(LoopResult result, Vector2f point)
{
    if (int(result) < 0 || int(result) > int(LoopResult::Collision))
        return;
    ShowFeedbackPopup(NameOf(result), point);
}

void NimbalLevel::ShowPowerUpFeedback(int kind, Vector2f point, bool ready)
{
    ShowFeedbackPopup(std::string(NameOf(GremlinKind(kind))) + (ready ? "_Ready" : "_Used"), point);
}

bool NimbalLevel::IsBlocked(float x, float y)
{
    return graph.IsBlocked(x, y);
}

micropather::Graph& NimbalLevel::PathGraph()
{
    return graph;
}

void* NimbalLevel::GetPathState(Vector2f point)
{
    return graph.GetPathState(point);
}

void NimbalLevel::SetPathGoal(Vector2f point)
{
    graph.SetPathGoal(point);
}

void NimbalLevel::ClearPathStates()
{
    graph.ClearPathStates();
}

void NimbalLevel::HaulCreature(Gremlin* creature, int count, float speed)
{
    creature->lineCount = count;
    creature->SetSpeed(speed);
}
