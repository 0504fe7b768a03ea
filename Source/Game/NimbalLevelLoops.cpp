// The level's loop scoring, and the pop-ups of the playfield it and the line and creature code
// show: feedback, spear counts and power-ups.
#include "Game/NimbalLevel.h"

#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Framework/Tasks.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/GunkBoard.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/PowerUpGremlin.h"
#include "Game/TutorialBubble.h"
#include "Game/TutorialManager.h"
#include "Graphics/Font.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/NodeTasks.h"
#include "Scene/SceneLayout.h"
#include "Scene/TextSpriteNode.h"

namespace
{
// One hit per good loop: a king's health counts the loops it takes.
constexpr int OrdinaryLoopKingDamage = 1;

Vector2f HeadPoint(const Line* line)
{
    return line->headSegment ? line->headSegment->end : Vector2f{};
}

// How far a pop-up rises while it fades.
constexpr float kPopupRise = 20.0f;

// In parallel: rise 20 px and fade to half over the time; then the node goes.
void RiseAndFade(SceneNode* node, Vector2f point, float time)
{
    auto* both = new Kestrin::ParallelTask(Kestrin::ParallelTask::All,
                                           new NodeLocationTask(point.x, point.y - kPopupRise, time),
                                           new NodeAlphaTask(0.5f, time));
    node->AddTask(new Kestrin::SerialTask(both, new Kestrin::SelfDestructTask()));
}
} // namespace

LoopVerdict NimbalLevel::EvaluateLoop(Line* line)
{
    const Enclosure enclosed = Enclose(line);
    const Vector2f head = HeadPoint(line);
    LoopResult feedback = LoopResult::NoGremlin;
    if (enclosed.bad)
        feedback = LoopResult::BadLoop;
    else if (!line->attached.empty())
        feedback = ScoreHeldLoop(line, enclosed.kings, head);
    if (feedback == LoopResult::GoodLoop)
    {
        Kestrin::PlaySoundNamed("SFX_LoopSuccess");
        if (line->powerUpEffect == Line::PowerUpEffect::DeepClean)
            ShowPowerUpFeedback(int(GremlinKind::DeepClean), head, false);
        else
            ShowLoopFeedback(LoopResult::GoodLoop, head);
        return LoopVerdict::Good;
    }
    Kestrin::PlaySoundNamed(line->attached.size() >= 5 ? "SFX_BigLoopFail" : "SFX_LoopFail");
    if (feedback == LoopResult::NoGremlin)
        ShowTutorialPopup(TutorialId::NoTics, head, true);
    if (feedback != LoopResult::Silent)
        ShowLoopFeedback(feedback, head);
    return LoopVerdict::Failed;
}

NimbalLevel::Enclosure NimbalLevel::Enclose(Line* line)
{
    Enclosure enclosed;
    bool badTutorialShown = false;
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
                    enclosed.kings.push_back(king);
            }
            else if (creature && creature->line != line && creature->HasHealth())
            {
                creature->OnLooped();
                enclosed.bad = true;
            }
        }
        else if (role == GameNames::GremlinHomeRole)
        {
            if (object != line->trap)
            {
                object->OnLooped();
                enclosed.bad = true;
            }
        }
        else
        {
            object->OnLooped();
            enclosed.bad = true;
        }
        if (enclosed.bad && !badTutorialShown && TutorialManager::Instance().IsDue(TutorialId::BadLoop))
        {
            ShowTutorialPopup(TutorialId::BadLoop, position, true);
            badTutorialShown = true;
        }
    }
    return enclosed;
}

LoopResult NimbalLevel::ScoreHeldLoop(Line* line, const std::vector<GremlinKing*>& kings, Vector2f head)
{
    LoopResult feedback = LoopResult::GoodLoop;
    const bool cleaned = Board().CleanLoop(line);
    if (line->powerUpEffect != Line::PowerUpEffect::None && !cleaned && kings.empty())
        feedback = LoopResult::Silent;
    else
        line->loopScored = true;
    if (tutorialStep == TutorialId::BasicsLoop && cleaned)
    {
        TutorialManager::Instance().Show(TutorialId::BasicsLoop, ScreenCentre);
        NextTutorialStep();
    }
    SpawnLoopPowerUp(line->loopScored ? int(line->mostHeld) : 0, head);
    if (line->powerUpEffect == Line::PowerUpEffect::Damage)
    {
        Kestrin::PlaySoundNamed("SFX_Action-Damage");
        for (GremlinKing* king : kings)
            king->TakeDamage(line->powerUpDamage, true);
    }
    else
        for (GremlinKing* king : kings)
            king->TakeDamage(OrdinaryLoopKingDamage, false);
    return feedback;
}

void NimbalLevel::SpawnLoopPowerUp(int value, Vector2f point)
{
    const int count =
        GlobalSettings::Instance().LookupPosiTics(value, int(HeldObject<PowerUpGremlin>::Count()));
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
