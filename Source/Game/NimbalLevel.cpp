#include "Game/NimbalLevel.h"

#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/AudioControls.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Framework/Tasks.h"
#include "Game/BasicGremlin.h"
#include "Game/GameClock.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/GunkBoard.h"
#include "Game/LevelOutcome.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/MusicManager.h"
#include "Game/NimbalGunk.h"
#include "Game/PlayDataLog.h"
#include "Game/PowerUpGremlin.h"
#include "Game/TutorialBubble.h"
#include "Game/TutorialManager.h"
#include "Graphics/Image.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/CurrentScene.h"
#include "Scene/MeterNodes.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"

#include <algorithm>
#include <cmath>

namespace
{
// The levels that installed the game's board: it stays until the last of them goes.
int g_gameBoardHolders = 0;

float FloatValue(const char* name, float fallback)
{
    const auto* value = Kestrin::GetFloatValueByName(name);
    return value ? value->value : fallback;
}

size_t SegmentCount(const Line* line)
{
    size_t count = 0;
    for (const LineSegment* s = line->headSegment; s; s = s->previous)
        ++count;
    return count;
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
    HoldGameBoard();
    SetUp();
}

NimbalLevel::NimbalLevel(NoSetUp)
{
    HoldGameBoard();
}

NimbalLevel::~NimbalLevel()
{
    ReleaseGameBoard();
    // The screen may have deleted the node first (its handle tells); its database, which holds
    // the level too, is still there.
    if (m_pressDatabase && m_pressDatabase->IsValidHandle(m_pressHandle))
    {
        m_pressNode->MouseDown.Disconnect(m_pressDown);
        m_pressNode->MouseUp.Disconnect(m_pressUp);
    }
}

void NimbalLevel::HoldGameBoard()
{
    GunkBoard* installed = InstalledGunkBoard();
    if (installed && installed != &NimbalGunk::Instance())
        return;
    InstallGunkBoard(&NimbalGunk::Instance());
    m_holdsBoard = true;
    ++g_gameBoardHolders;
}

void NimbalLevel::ReleaseGameBoard()
{
    if (!m_holdsBoard)
        return;
    m_holdsBoard = false;
    if (--g_gameBoardHolders == 0 && InstalledGunkBoard() == &NimbalGunk::Instance())
        InstallGunkBoard(nullptr);
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
    if (!node && root && m_missingNodes.First(GetNodePathText(path)))
        Kestrin::LogPrintf("Level: the scene has no node %s.\n", std::string(GetNodePathText(path)).c_str());
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
    return Kestrin::FindObjectAs<GremlinFactory>(Kestrin::GetCurrentObjectDatabase(),
                                                 GameNames::GremlinFactory);
}

Kestrin::Task* NimbalLevel::Sequence(std::initializer_list<Kestrin::Task*> tasks)
{
    Kestrin::Task* chain = nullptr;
    for (auto it = std::rbegin(tasks); it != std::rend(tasks); ++it)
        chain = chain ? new Kestrin::SerialTask(*it, chain) : *it;
    return chain;
}

float NimbalLevel::AmbientDelay()
{
    const float min = FloatValue("ambientDelayMin", 10.0f), max = FloatValue("ambientDelayMax", 20.0f);
    return Kestrin::RandomFloat(min, max);
}

std::wstring NimbalLevel::ClockText(float seconds)
{
    return FormatMinutesSeconds(int(seconds));
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
            ShowTutorialPopup(TutorialId::OneMinute, ScreenCentre, false);
        if (timeElapsed > 120.0f && timeElapsed < 121.0f)
            ShowTutorialPopup(TutorialId::TwoMinute, ScreenCentre, false);
    }
    SetNodeText(NodePath::GuiTimer, clock);
    if (notStarted)
        return;
    AdvanceTutorial();
    if (const LevelRecord* record = GameLevels::Instance().GetCurrent();
        record && record->unlock == L"chaotic")
        ShowTutorialPopup(TutorialId::Level3, ScreenCentre, false);
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
            creatureEffect = CreatureEffect::None;
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
    case TutorialId::BasicsStart:
        tutorials.Show(TutorialId::BasicsStart, {500.0f, 200.0f});
        NextTutorialStep();
        break;
    case TutorialId::BasicsTrap:
        // No trap yet: try again next step.
        if (HeldObject<GremlinHome>::Count() > 0)
        {
            tutorials.Show(TutorialId::BasicsTrap, HeldObject<GremlinHome>::GetAll().front()->GetCentre());
            NextTutorialStep();
        }
        break;
    case TutorialId::BasicsGunk:
        if (currentLine && !currentLine->attached.empty())
        {
            tutorials.Show(TutorialId::BasicsGunk, Board().RandomGunkCell());
            NextTutorialStep();
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
    flash->SetChannelTask(
        GameNames::FlasherTask,
        new Kestrin::RepeatingTask(new NodeAlphaTask(0.0f, fadeTime), new NodeAlphaTask(peak, fadeTime)));
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
        return CheckEndlessBoard();
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

void NimbalLevel::CheckEndlessBoard()
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
        ReportLevelFailure(TooMuchGunkReason, int(timeElapsed));
    }
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
    if (tutorialStep == TutorialId::BasicsLoop)
        tutorialStep = TutorialId::BasicsClean;
    if (free == 0)
    {
        gunkClearBannerPending = false;
        if (tutorialStep == TutorialId::BasicsClean)
            tutorialStep = TutorialId::None;
    }
    if (tutorialStep == TutorialId::BasicsClean)
    {
        TutorialManager::Instance().Show(TutorialId::BasicsClean, ScreenCentre);
        gunkClearBannerPending = false;
        tutorialStep = TutorialId::None;
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

void NimbalLevel::ShowTutorialPopup(TutorialId id, Vector2f point, bool pointing)
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
        if (auto* wind = dynamic_cast<AnimatedSpriteNode*>(
                FindNodeAtPath(currentLine->trap->GetNode(), NodePath::TrapWindFX)))
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
    if (tutorialStep != TutorialId::BasicsCreature)
        return;
    // No creature yet: the next release tries again.
    if (Gremlin* first = FirstOrdinaryCreature())
    {
        TutorialManager::Instance().Show(TutorialId::BasicsCreature, first->GetCentre());
        NextTutorialStep();
    }
}

void NimbalLevel::ReleaseTrap(GremlinHome* trap)
{
    if (auto* factory = Kestrin::FindObjectAs<GremlinHomeFactory>(Kestrin::GetCurrentObjectDatabase(),
                                                                  GameNames::GremlinHomeFactory))
        factory->OnTrapRemoved(trap);
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
