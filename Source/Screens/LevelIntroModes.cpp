#include "Screens/LevelIntroModes.h"

#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/LibXmlReader.h"
#include "Game/GameDataReaders.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/MusicManager.h"
#include "Platform/Looper.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/LevelSelectIntroMode.h"
#include "Screens/MovieScreens.h"

#include <libxml++/libxml++.h>

#include <exception>

namespace
{
constinit Kestrin::ConstantName ButtonNext{"button_next"};

// The panel's children.
constexpr const char* kHeadAttach = "head_attach";
constexpr const char* kExpert = "Expert";
constexpr const char* kSession = "Session";
constexpr const char* kGuestFullName = "guestFullName";
constexpr const char* kMegaTics = "MegaNegaTics";

struct LevelGoals
{
    float expertTime = 0.0f;
    float timeLimit = 0.0f;
    int megaTicKinds = 0;
};

LevelGoals ReadGoals(const std::wstring& levelName)
{
    LibXmlReader reader(Kestrin::FileSpec::FromNameAndExtension(levelName, L".xml"));
    const xmlpp::Element* data = reader.GetRequiredChild(reader.GetRootElement(), "LevelData");
    const xmlpp::Element* quota = reader.GetRequiredChild(data, "Quota");
    LevelGoals goals;
    goals.expertTime = ReadFloatAttribute(quota, "expertTime", reader);
    goals.timeLimit = ReadFloatAttribute(quota, "timeLimit", reader);
    const xmlpp::Element* factory = reader.GetRequiredChild(data, "GremlinFactory");
    for (const xmlpp::Element* zone : LibXmlReader::GetChildElements(factory, "FactoryZone"))
        if (ReadEnumAttribute<GremlinMetaType>(zone, "type", reader) == GremlinMetaType::King)
            goals.megaTicKinds += int(LibXmlReader::GetChildElements(zone, "Type").size());
    return goals;
}

SceneNode* Child(SceneNode* panel, const char* name)
{
    return panel ? panel->FindChild(name) : nullptr;
}
} // namespace

// ---- the level's card ----

void LevelIntroMode::Enter()
{
    if (!m_group.Enter(*this, "level_introRootLayout", false))
    {
        // Without "next" the card would hold the player above a game that never starts.
        Kestrin::PopMode();
        return;
    }
    SceneNode* withoutMegaTics = m_group.FindNode(ScreenNode::IntroGoalTimeTic);
    SceneNode* withMegaTics = m_group.FindNode(ScreenNode::IntroGoalTime);
    FillGoals(withoutMegaTics, withMegaTics);

    const LevelRecord* level = GameLevels::Instance().GetCurrent();
    const std::string name = LevelCatalogue::GetCurrentLevelName();
    SetNodeText(m_group.FindNode(ScreenNode::IntroText), GetGameText(name + ".description"));
    SetNodeText(m_group.FindNode(ScreenNode::IntroTitle), GetDateAndTimeText(name));
    if (level && level->firstAppt && level->status == LevelCompletionStatus::InProgress)
        Kestrin::PushMode(new LevelSelectIntroMode(level->guest, name, {.fromLevelIntro = true}));
}

void LevelIntroMode::FillGoals(SceneNode* withoutMegaTics, SceneNode* withMegaTics)
{
    for (SceneNode* panel : {withoutMegaTics, withMegaTics})
        if (panel)
            panel->SetVisible(false);
    const LevelRecord* level = GameLevels::Instance().GetCurrent();
    const GuestID guest = level ? level->guest : GuestID::None;
    const std::wstring levelName = GetCurrentLevelNameWide();
    LevelGoals goals;
    try
    {
        goals = ReadGoals(levelName);
    }
    catch (const std::exception& e)
    {
        // The card stays usable: "next" still leads to the game screen, which reports the level.
        ShowErrorMessageBox(Kestrin::FromUtf8(e.what()), L"There was an error loading " + levelName +
                                                             L".xml. Fix the problem and press F5 to reload");
        if (withoutMegaTics)
            withoutMegaTics->SetVisible(true);
        SetNodeText(Child(withoutMegaTics, kExpert), GetGameText("LevelIntro.Expert"));
        SetNodeText(Child(withoutMegaTics, kSession), GetGameText("LevelIntro.Session"));
        SetNodeText(Child(withoutMegaTics, kGuestFullName), GetGuestFullName(guest));
        return;
    }
    m_megaTicKinds = goals.megaTicKinds;
    SceneNode* panel = m_megaTicKinds > 0 ? withMegaTics : withoutMegaTics;
    if (!panel)
        return;
    panel->SetVisible(true);
    if (m_megaTicKinds > 0)
        SetNodeText(Child(panel, kMegaTics),
                    GetGameText("LevelIntro.MegaTics") + std::to_wstring(m_megaTicKinds));
    if (SceneNode* head = Child(panel, kHeadAttach))
    {
        auto* icon = new StaticSpriteNode(Kestrin::MakeName(std::string(NameOf(guest)) + "_icon"), 1);
        AddObject(icon);
        icon->SetParent(head);
    }
    SetNodeText(Child(panel, kExpert),
                GetGameText("LevelIntro.Expert") + FormatMinutesSeconds(int(goals.expertTime)));
    SetNodeText(Child(panel, kSession),
                GetGameText("LevelIntro.Session") + FormatMinutesSeconds(int(goals.timeLimit)));
    SetNodeText(Child(panel, kGuestFullName), GetGuestFullName(guest));
}

void LevelIntroMode::Activate()
{
    MusicManager::Instance().Play(MusicTrack::Intro, false);
}

void LevelIntroMode::HandleMessage(const Kestrin::Message& message)
{
    if (GetClickedName(message) == ButtonNext.Get())
        Kestrin::PopMode();
}

// ---- a Tic kind's introduction ----

TicIntroMode::TicIntroMode(std::string kind) : m_kind(std::move(kind)) {}

const char* TicIntroMode::MovieOf(const std::string& kind)
{
    if (kind == "neurotic")
        return "basics_part01";
    if (kind == "nihilistic")
        return "basics_part02";
    if (kind == "dietetic")
        return "basics_part03";
    return nullptr;
}

void TicIntroMode::Enter()
{
    if (!m_group.Enter(*this, "ticIntroRootLayout", false))
    {
        // Without "next" the player would be held above the frozen game.
        m_popped = true;
        Kestrin::PopMode();
        return;
    }
    auto* picture = new StaticSpriteNode(Kestrin::MakeName("TicIntro_" + m_kind));
    AddObject(picture);
    if (SceneNode* attach = m_group.FindNode(ScreenNode::TicIntroAttach))
        picture->SetParent(attach);
    if (const char* movie = MovieOf(m_kind))
        Kestrin::PushMode(new FlashInterstitialMode(movie));
}

void TicIntroMode::Activate()
{
    if (!m_popped)
        MusicManager::Instance().Play(MusicTrack::TicIntro, false);
}

void TicIntroMode::Update(float)
{
    // Only the tree's placement, for the button's hit test; no object or task is stepped.
    if (SceneNode* root = GetRootNode())
        root->RefreshTree();
}

void TicIntroMode::HandleMessage(const Kestrin::Message& message)
{
    if (GetClickedName(message) == ButtonNext.Get())
        Kestrin::PopMode();
}
