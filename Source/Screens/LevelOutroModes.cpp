#include "Screens/LevelOutroModes.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/Components.h"
#include "Framework/Tasks.h"
#include "Game/GameConstants.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/LevelOutcome.h"
#include "Game/MusicManager.h"
#include "Platform/Looper.h"
#include "Scene/CurrentScene.h"
#include "Scene/NodeTasks.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/GameMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MovieScreens.h"
#include "Screens/OutroEffects.h"
#include "Screens/ScreenRequests.h"

#include <span>
#include <vector>

namespace
{
constinit Kestrin::ConstantName kTryAgain{"button_tryAgain"};
constinit Kestrin::ConstantName kMainMenu{"button_mainMenu"};
constinit Kestrin::ConstantName kQuit{"Quit"};
constinit Kestrin::ConstantName kNextLevel{"NextLevel"};

// A cue point made on first use: one that no task binds would never be freed.
class LazyCue
{
public:
    Kestrin::CuePointTask* Task()
    {
        if (!m_cue)
            m_cue = Kestrin::CuePoint::Create();
        return new Kestrin::CuePointTask(m_cue);
    }

private:
    Kestrin::CuePoint* m_cue = nullptr;
};

// The results both outros play under their layout's root: the words fade in a second apart with
// sparkles, then the panel rises into its place from panelFromY, and `wait` seconds later `finish`
// runs. Missing nodes are left out; the finish always comes.
struct Summary
{
    std::span<const ScreenNode> words;
    float panelFromY;
    float wait;
    // From the start to the finish with every node there: when the layout is missing the finish
    // still comes after this long.
    float length;
};

void PlaySummary(SceneApplicationMode& screen, SceneNode* root, ScreenGroup& group, const Summary& summary,
                 Kestrin::Task* finish)
{
    if (!root)
    {
        SceneNode* screenRoot = screen.CreateRootNode();
        screenRoot->GetTasks().Append(new Kestrin::TimedTask(summary.length));
        screenRoot->GetTasks().Append(finish);
        return;
    }
    LazyCue wordsShown, panelArrived, unbound;
    for (size_t i = 0; i < summary.words.size(); ++i)
    {
        SceneNode* word = group.FindNode(summary.words[i], root);
        if (!word)
            continue;
        word->SetAlpha(0.0f);
        RevealTextWithSparkles(&screen, word, float(i));
        if (i + 1 == summary.words.size())
            word->GetTasks().Append(wordsShown.Task());
    }
    if (SceneNode* panel = group.FindNode(ScreenNode::OutroPanel, root))
    {
        const float x = panel->GetLocalState().x;
        const float y = panel->GetLocalState().y;
        panel->SetPosition(x, summary.panelFromY);
        panel->SetAlpha(0.0f);
        panel->GetTasks().Append(wordsShown.Task());
        panel->GetTasks().Append(new Kestrin::SerialTask(
            new Kestrin::ParallelTask(Kestrin::ParallelTask::All, new NodeLocationTask(x, y, 1.5f),
                                      new NodeAlphaTask(1.0f, 0.75f)),
            new Kestrin::SerialTask(panelArrived.Task(), unbound.Task())));
    }
    root->GetTasks().Append(panelArrived.Task());
    root->GetTasks().Append(new Kestrin::TimedTask(summary.wait));
    root->GetTasks().Append(finish);
}

void SetText(SceneNode* root, ScreenNode node, ScreenGroup& group, const std::wstring& text)
{
    if (SceneNode* found = group.FindNode(node, root))
        SetNodeText(found, text);
}

Kestrin::IEnable* Enabling(SceneNode* node)
{
    return dynamic_cast<Kestrin::IEnable*>(node);
}
} // namespace

// ---- the lose screen and the endless results ----

LevelOutroFailureMode::LevelOutroFailureMode(const std::wstring& reason, int score)
    : reason(reason), score(score),
      m_group(GameLevels::Instance().endless ? L"Level_Outro_Endless" : L"Level_Outro_NormalLose")
{
}

void LevelOutroFailureMode::Enter()
{
    CreateRootNode();
    Kestrin::LogPrintf("Level ended: %s (%d s)\n", Kestrin::ToUtf8(reason).c_str(), score);
    if (GameLevels::Instance().endless)
        EnterEndless();
    else
        EnterLose();
}

void LevelOutroFailureMode::EnterEndless()
{
    // Saved before anything can fail: the session counts even when its screen cannot be shown.
    const int best = GameLevels::Instance().SubmitEndlessScore(score);
    m_record = best == score;

    static constexpr ScreenNode Words[] = {ScreenNode::OutroMaximum, ScreenNode::OutroNimbal,
                                           ScreenNode::OutroGunk, ScreenNode::OutroComplete};
    const Summary summary{Words, 330.0f, 3.5f, kEndlessLength};
    auto* finish = new Kestrin::FunctionTask<SceneNode>([this] { return ContinueEndless(); });

    SceneNode* root = nullptr;
    if (m_group.Load())
    {
        const ScreenLayout layout = m_record ? ScreenLayout::EndlessRecordOutro : ScreenLayout::EndlessOutro;
        if (m_group.Instantiate(*this, GetScreenLayoutRow(layout).layout))
            root = m_group.FindNode(m_record ? ScreenNode::EndlessRecordRoot : ScreenNode::EndlessRoot,
                                    GetRootNode());
    }
    if (root)
    {
        if (m_record)
        {
            SetText(root, ScreenNode::OutroNewRecord, m_group, GetGameText("EndlessOutro.newRecord"));
            SetText(root, ScreenNode::OutroRecordTime, m_group,
                    GetGameText("EndlessOutro.yourTimeRecord") + FormatMinutesSeconds(score));
        }
        else
        {
            SetText(root, ScreenNode::OutroOldRecord, m_group,
                    GetGameText("EndlessOutro.oldRecord") + FormatMinutesSeconds(best));
            SetText(root, ScreenNode::OutroTime, m_group,
                    GetGameText("EndlessOutro.yourTimeNormal") + FormatMinutesSeconds(score));
        }
    }
    PlaySummary(*this, root, m_group, summary, finish);
    if (root && m_record)
        LaunchFireworks(this);
}

void LevelOutroFailureMode::EnterLose()
{
    const char* layout = GetScreenLayoutRow(ScreenLayout::LoseOutro).layout;
    if (!m_group.Load() || !m_group.Instantiate(*this, layout))
    {
        // Without its buttons the player would be stuck over the frozen level.
        ReturnToMainMenu();
        m_left = true;
        return;
    }
    // One cue for the three gates (retry, main menu, the row): a chain of cues would cost a step
    // at each hand-over and open the row late.
    LazyCue arrived;
    if (SceneNode* message = m_group.FindNode(ScreenNode::LoseMessage, GetRootNode()))
    {
        const float x = message->GetLocalState().x;
        const float y = message->GetLocalState().y;
        message->SetPosition(x, -250.0f);
        message->SetAlpha(0.0f);
        message->GetTasks().Append(new Kestrin::ParallelTask(
            Kestrin::ParallelTask::All, new NodeLocationTask(x, y, 1.0f), new NodeAlphaTask(1.0f, 0.5f)));
        message->GetTasks().Append(new Kestrin::SerialTask(new Kestrin::TimedTask(0.1f), arrived.Task()));
    }
    SceneNode* row = m_group.FindNode(ScreenNode::LoseButtons, GetRootNode());
    if (!row)
    {
        // No way on from this screen either.
        m_group.ShowError(L"node " +
                          Kestrin::FromUtf8(std::string(GetScreenNodeRow(ScreenNode::LoseButtons).path)) +
                          L" not found in " + Kestrin::FromUtf8(layout));
        ReturnToMainMenu();
        m_left = true;
        return;
    }
    row->SetVisible(false);
    for (ScreenNode name : {ScreenNode::LoseTryAgain, ScreenNode::LoseMainMenu})
    {
        SceneNode* button = m_group.FindNode(name, GetRootNode());
        if (Kestrin::IEnable* enable = Enabling(button))
        {
            enable->SetEnabled(false);
            button->GetTasks().Append(arrived.Task());
            button->GetTasks().Append(new Kestrin::EnableTask(true));
        }
    }
    row->GetTasks().Append(arrived.Task());
    row->GetTasks().Append(new NodeVisibleTask(true));
}

void LevelOutroFailureMode::Activate()
{
    MusicManager::Instance().Play(MusicTrack::LevelFailure, false);
}

void LevelOutroFailureMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked || m_left)
        return;
    if (clicked == kTryAgain.Get())
    {
        m_left = true;
        Kestrin::ClearStackAndPush(new GameMode);
    }
    else if (clicked == kMainMenu.Get())
    {
        m_left = true;
        ReturnToMainMenu();
    }
    else if (clicked == kQuit.Get())
    {
        if (Kestrin::Looper* looper = Kestrin::Looper::Current())
            looper->RequestQuit();
    }
    else if (clicked == kNextLevel.Get())
    {
        m_left = true;
        GameLevels::Instance().AdvanceToNextLevel();
        Kestrin::ClearStackAndPush(new GameMode);
        Kestrin::PushMode(new LevelIntroMode);
    }
}

Kestrin::TaskStatus LevelOutroFailureMode::ContinueEndless()
{
    if (!m_left)
    {
        m_left = true;
        Kestrin::ClearStackAndPush(new EndlessLevelSelectMode);
    }
    return Kestrin::TaskFinished;
}

// ---- the won appointment ----

LevelOutroSuccessMode::LevelOutroSuccessMode(bool expert, int playerTime, int expertTime)
    : expert(expert), playerTime(playerTime), expertTime(expertTime)
{
    GameLevels::Instance().CompleteCurrentLevel(expert);
}

void LevelOutroSuccessMode::Enter()
{
    CreateRootNode();
    if (m_group.Load())
        m_group.Instantiate(
            *this, GetScreenLayoutRow(expert ? ScreenLayout::ExpertWinOutro : ScreenLayout::WinOutro).layout);
}

void LevelOutroSuccessMode::Activate()
{
    // Every pass that leaves the screen on top activates it again; a second summary would move on
    // twice.
    if (m_started)
        return;
    m_started = true;
    MusicManager::Instance().Play(expert ? MusicTrack::LevelExpert : MusicTrack::LevelSuccess, false);

    static constexpr ScreenNode Words[] = {ScreenNode::OutroNimbal, ScreenNode::OutroGunk,
                                           ScreenNode::OutroCleared, ScreenNode::OutroInExpertTime};
    const Summary summary{std::span(Words, expert ? 4 : 3), 370.0f, 1.5f, SummaryLength(expert)};
    auto* finish = new Kestrin::FunctionTask<SceneNode>([this] { return Continue(); });

    SceneNode* root =
        GetRootNode() && !m_group.HasShownError()
            ? m_group.FindNode(expert ? ScreenNode::ExpertWinRoot : ScreenNode::WinRoot, GetRootNode())
            : nullptr;
    if (root)
    {
        SetText(root, ScreenNode::OutroExpertTime, m_group,
                GetGameText("LevelOutro.expertTime") + FormatMinutesSeconds(expertTime));
        SetText(root, ScreenNode::OutroYourTime, m_group,
                GetGameText("LevelOutro.yourTime") + FormatMinutesSeconds(playerTime));
    }
    PlaySummary(*this, root, m_group, summary, finish);
    if (root && expert)
        LaunchFireworks(this);
}

Kestrin::TaskStatus LevelOutroSuccessMode::Continue()
{
    GameLevels& levels = GameLevels::Instance();
    const LevelRecord* won = levels.GetCurrent();
    const int day = won ? won->dayNum : 0;
    const bool firstCompletion = won && won->unlockedNext;
    if (won)
        levels.SetCurrentLevel(levels.GetNextLevelName());
    if (day == 0 && won)
    {
        Kestrin::ClearStackAndPush(new GameMode);
        Kestrin::PushMode(new LevelIntroMode);
        return Kestrin::TaskFinished;
    }
    Kestrin::ClearStackAndPush(new LevelSelectCalendarMode(firstCompletion ? day : 0));
    if (day != 0 && day % 5 == 0)
    {
        const std::wstring movie = std::to_wstring(day / 5);
        if (Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount())
            account->WriteRecord(MovieUnlockingKeyPrefix + movie, L"true");
        Kestrin::PushMode(new FlashInterstitialMode("AllAnimations/interstitial" + Kestrin::ToUtf8(movie)));
    }
    return Kestrin::TaskFinished;
}

void InstallLevelOutcomeHooks()
{
    SetLevelOutcomeHooks({[](bool expert, int playerTime, int expertTime)
                          { Kestrin::PushMode(new LevelOutroSuccessMode(expert, playerTime, expertTime)); },
                          [](const std::wstring& reason, int value)
                          { Kestrin::PushMode(new LevelOutroFailureMode(reason, value)); }});
}
