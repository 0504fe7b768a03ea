// The level's set-up: its files read and built into factories, obstacles and traps, the banners
// and the heads-up display.
#include "Game/NimbalLevel.h"

#include "Base/FileExceptions.h"
#include "Base/Random.h"
#include "Framework/ErrorBox.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Framework/Tasks.h"
#include "Game/CreatureSettings.h"
#include "Game/EndlessSludgeGenerator.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/ImmovableObstacle.h"
#include "Game/NimbalGunk.h"
#include "Game/ShuffleWithRand.h"
#include "Game/TutorialBubble.h"
#include "Game/TutorialManager.h"
#include "Graphics/GraphicsFactories.h"
#include "Graphics/Image.h"
#include "Scene/CurrentScene.h"
#include "Scene/MeterNodes.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"

namespace
{
std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}
} // namespace

void NimbalLevel::SetUp()
{
    drawing = false;
    ambientTimer = AmbientDelay();
    ConnectPlayfieldPress();
    const bool endless = Endless();
    // A board that cannot be built (no cell image) leaves nothing to play on.
    if (!NimbalGunk::Instance().Build())
    {
        ShowErrorMessageBox(
            L"The gunk board could not be built: the image \"sludgeBGImage-Black\" is missing.",
            L"There was an error loading Level file.");
        loadFailed = true;
        return;
    }
    if (!LoadLevelFile(endless) || !LoadBoardFile())
        return;

    currentLine = nullptr;
    ShowStartBanner(endless);
    AddTask(Sequence({new Kestrin::TimedTask(StartDelay), new Kestrin::FunctionTask<NimbalLevel>(
                                                              [](NimbalLevel* level)
                                                              {
                                                                  if (level)
                                                                      level->Start();
                                                                  return Kestrin::TaskFinished;
                                                              })}));
    const std::string guest = GuestName();
    if (endless)
        SetUpEndlessDisplay(guest);
    else
        SetUpNormalDisplay(guest);
    if (TutorialManager::Instance().IsDue(TutorialId::BasicsStart))
    {
        basicsPending = false;
        tutorialStep = TutorialId::BasicsStart;
    }
}

void NimbalLevel::ConnectPlayfieldPress()
{
    if (!(m_pressNode = FindNodeAtPath(GetCurrentSceneRoot(), NodePath::LevelMouseHandler)))
        return;
    m_pressHandle = m_pressNode->GetHandle();
    m_pressDatabase = m_pressNode->GetDatabase();
    m_pressDown = m_pressNode->MouseDown.Connect([this](SceneNode*, Vector2f, Kestrin::MouseButton)
                                                 { OnPlayfieldPress(); });
    m_pressUp = m_pressNode->MouseUp.Connect([this](SceneNode*, Vector2f, Kestrin::MouseButton)
                                             { OnPlayfieldPress(); });
}

void NimbalLevel::ShowStartBanner(bool endless)
{
    if (auto* banner = dynamic_cast<StaticSpriteNode*>(Node(NodePath::BannerTextImage)))
    {
        banner->SetImage(
            Kestrin::GetResource<Kestrin::IImage>(endless ? "bannerMSG_endless" : "bannerMSG_normal").second);
        // It drops in from above the screen to its middle.
        banner->SetPosition(ScreenCentre.x, -20);
        // The layout keeps the banner hidden until one is due.
        banner->SetAlpha(1.0f);
        banner->AddTask(Sequence({new NodeLocationTask(ScreenCentre.x, ScreenCentre.y, 0.75f),
                                  new Kestrin::TimedTask(1.0f), new NodeAlphaTask(0.0f, 0.5f)}));
    }
    if (SceneNode* background = Node(NodePath::BannerBackground))
        background->AddTask(Sequence({new Kestrin::TimedTask(1.75f), new NodeAlphaTask(0.0f, 0.5f)}));
}

void NimbalLevel::SetUpEndlessDisplay(const std::string& guest)
{
    SceneNode* attach = Node(NodePath::GuiMeterBarAttach);
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (attach && database)
    {
        auto* meter =
            new MeterBarNode(Meter_LeftToRight, 0, GetImageListOrEmpty(Kestrin::MakeName("endlessMeterBar")));
        meter->SetNodeName(Kestrin::MakeName(GetNodePathNames(NodePath::GuiEndlessMeter).back()));
        meter->SetMax(1.0f);
        meter->SetValue(0.0f);
        database->AddObject(meter);
        meter->SetParent(attach);
    }
    AttachSprite(NodePath::GuiSimulationName, new StaticSpriteNode(Kestrin::MakeName("TextImage_" + guest)));
    if (SceneNode* flash = Node(NodePath::GuiMeterFlash))
    {
        flash->AddTask(
            new Kestrin::RepeatingTask(new NodeAlphaTask(1.0f, 0.5f), new NodeAlphaTask(0.0f, 0.5f)));
        flash->SetVisible(false);
    }
    TutorialManager& tutorials = TutorialManager::Instance();
    if (tutorials.IsDue(TutorialId::Endless))
    {
        tutorials.HideBubble();
        tutorials.SetShown(TutorialId::Endless);
    }
}

void NimbalLevel::SetUpNormalDisplay(const std::string& guest)
{
    SetNodeText(NodePath::GuiExpertTime, GetGameText("UI.expert") + L" " + ClockText(timeLimit));
    AttachSprite(NodePath::GuiHeadIconAttach, new StaticSpriteNode(Kestrin::MakeName(guest + "_icon"), 1));
}

bool NimbalLevel::LoadLevelFile(bool endless)
{
    const LevelRecord* record = GameLevels::Instance().GetCurrent();
    try
    {
        if (!record)
            throw std::runtime_error("no level is current");
        if (auto* background = dynamic_cast<StaticSpriteNode*>(Node(NodePath::LevelBackground)))
            background->SetImage(
                Kestrin::GetResource<Kestrin::IImage>((GuestName() + "_BGImage").c_str()).second);
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
            NimbalGunk::Instance().LoadPatch(patch.data.data(), int(patch.data.size()), patch.x, patch.y,
                                             patch.width, int(patch.colour));
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
    ApplyClockAndBoard(data);
    BuildCreatureFactory(*database, data, endless);
    BuildObstacles(*database, data, endless);
    if (endless)
        BuildSludgeZones(*database, data);
    BuildTraps(*traps, data);
}

void NimbalLevel::ApplyClockAndBoard(const LevelFileData& data)
{
    expertTime = data.expertTime;
    timeLimit = timeRemaining = data.timeLimit;
    if (data.hasExplodeColors)
        explodeColors = data.explodeColors;
    if (data.hasGunkLimit)
    {
        // The playable area's layers, scaled: only the endless fill fraction reads it.
        NimbalGunk& board = NimbalGunk::Instance();
        if (board.cellWidth > 0 && board.cellHeight > 0)
            board.capacity = board.PlayableLayers() * data.gunkLimit;
    }
    loopPowerUpSpawns = data.loopPowerUpSpawns;
    spearKingGemSpawns = data.spearKingGemSpawns;
}

void NimbalLevel::BuildCreatureFactory(Kestrin::ObjectDatabase& database, const LevelFileData& data,
                                       bool endless)
{
    auto* factory = new GremlinFactory(endless);
    database.AddObject(factory);
    g_creatureTimeScale = 1.0f;
    factory->SetSpawnParameters(data.spawn);
    factory->ClearKings();
    if (!LoadCreatureSettings(factory->settings))
        loadFailed = true; // the rest of the creature factory is skipped
    else
        ApplyCreatureZones(*factory, data, endless);
    if (endless)
        factory->SetWaveModifiers(data.modifiers);
}

void NimbalLevel::BuildObstacles(Kestrin::ObjectDatabase& database, const LevelFileData& data, bool endless)
{
    const ObstacleSetData* set = &data.obstacleSets.front();
    if (endless)
    {
        set = &data.obstacleSets[size_t(Kestrin::RandomInt(0, int(data.obstacleSets.size()) - 1))];
        boardSuffix = set->boardSuffix;
    }
    SceneNode* creatureLayer = FindNodeAtPath(GetCurrentSceneRoot(), NodePath::CreatureLayerNode);
    for (const ObstacleData& o : set->obstacles)
        (new ImmovableObstacle({o.x, o.y}, o.image))->AddToScene(database, creatureLayer);
}

void NimbalLevel::BuildSludgeZones(Kestrin::ObjectDatabase& database, const LevelFileData& data)
{
    auto* generator = new EndlessSludgeGenerator();
    database.AddObject(generator);
    for (const SludgeZoneData& z : data.sludgeZones)
        generator->zones.push_back({z.spawnDelay, z.spawnDelay, z.updateTime, z.updateTime, z.spawnRadius,
                                    z.spawnDepth, z.x, z.y, z.w, z.h, z.delayChange, z.delayMin,
                                    z.radiusChange, z.radiusMax, z.colorChance});
}

void NimbalLevel::BuildTraps(GremlinHomeFactory& traps, const LevelFileData& data)
{
    traps.cycleTraps = data.cycleTraps;
    for (float time : data.trapSlots)
        traps.AddTrapSlot(time);
    for (const TrapZoneData& zoneData : data.trapZones)
    {
        auto zone = std::make_unique<TrapZone>();
        zone->shuffle = zoneData.shuffle;
        for (const TrapDefinitionData& def : zoneData.defs)
        {
            zone->defs.push_back({def.colour, def.x, def.y});
            if (zone->shuffle)
                ShuffleWithRand(zone->defs.begin(), zone->defs.end());
        }
        traps.AddZone(std::move(zone));
    }
    traps.QueueNext();
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
        auto zone = std::make_unique<FactoryZone>();
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
            factory.AddZone(std::move(zone), zoneData.type);
        }
        catch (const std::exception& e)
        {
            throw fault(e.what());
        }
        if (zoneData.type == GremlinMetaType::Normal)
            factory.AddTypeRatios(zoneData.types, zoneData.ratios);
    }
    factory.SetKings(data.kings, endless);
}
