#include "Screens/LevelSelectModes.h"

#include "Base/Log.h"
#include "Base/Random.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/Audio.h"
#include "Framework/ErrorBox.h"
#include "Framework/Keys.h"
#include "Framework/LibXmlReader.h"
#include "Framework/Tasks.h"
#include "Game/GameDataReaders.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/MusicManager.h"
#include "Game/TutorialManager.h"
#include "Graphics/GraphicsResources.h"
#include "Platform/Looper.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/ButtonNode.h"
#include "Scene/NodeTasks.h"
#include "Scene/SpriteType.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/GameMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelSelectIntroMode.h"
#include "Screens/MovieScreens.h"
#include "Screens/OutroEffects.h"
#include "Screens/ScreenEscape.h"
#include "Screens/ScreenRequests.h"

#include <libxml++/libxml++.h>

#include <exception>

namespace
{
using Kestrin::ConstantName;

constinit ConstantName ButtonMainMenu{"button_mainmenu"};
constinit ConstantName ButtonCommercial{"button_cf"};
constinit ConstantName ButtonBack{"button_back"};
constinit ConstantName UnlockedDayImages{"Agenda_button_unlocked_day"};
constinit ConstantName ApptTimeImages{"ApptTimeImages"};
// The icon sprite types' animations by status: in progress, completed (expert too), locked.
constinit ConstantName IconInProgress{"inprogress"};
constinit ConstantName IconCompleted{"completed"};
constinit ConstantName IconLocked{"locked"};

constexpr int kMovieButtons = 4;
constexpr int kUnlockSparkles = 25;
constexpr Kestrin::Vector2<float> kCalendarTutorialPoint{150.0f, 175.0f};
constexpr Kestrin::Vector2<float> kDayTutorialPoint{325.0f, 255.0f};

const std::wstring kLevelListCaption =
    L"There was an error loading GameLevels.xml. Fix the problem and press F5 to reload";

void ShowAppointmentCountError(int day)
{
    ShowErrorMessageBox(L"Day " + std::to_wstring(day) + L" must have 2-5 appointments.",
                        L"Gamelevels.xml error.");
}

bool GoodAppointmentCount(size_t count)
{
    return count >= size_t(kMinAppointments) && count <= size_t(kMaxAppointments);
}

SceneNode* Slot(SceneNode* sheet, size_t number)
{
    return sheet ? sheet->FindChild("slot_" + std::to_string(number)) : nullptr;
}

void SetVisible(SceneNode* node, bool visible)
{
    if (node)
        node->SetVisible(visible);
}

// Up by `rise` (down for a negative one) over half the period and back, for as long as it lives.
void Bob(SceneNode* node, float rise, float halfPeriod)
{
    if (!node)
        return;
    const SceneNode::NodeState& at = node->GetLocalState();
    node->GetTasks().Append(new Kestrin::RepeatingTask(new NodeLocationTask(at.x, at.y - rise, halfPeriod),
                                                       new NodeLocationTask(at.x, at.y, halfPeriod)));
}

Kestrin::Account* CurrentAccount()
{
    return Kestrin::AccountManager::Instance()->GetCurrentAccount();
}
} // namespace

LevelCompletionStatus GetLevelStatus(const std::string& level)
{
    if (const LevelRecord* record = GameLevels::Instance().Find(level))
        return record->status;
    Kestrin::LogPrintf("Level %s is not in the catalogue; shown as locked\n", level.c_str());
    return LevelCompletionStatus::Locked;
}

// ---- the calendar ----

LevelSelectCalendarMode::LevelSelectCalendarMode(int finishedDay) : m_finishedDay(finishedDay) {}

void LevelSelectCalendarMode::Enter()
{
    if (!m_group.Enter(*this, "agenda_modeLayout", false))
        return;
    GameLevels::Instance().endless = false;
    try
    {
        BuildDays();
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(Kestrin::FromUtf8(e.what()), kLevelListCaption);
    }
    const Kestrin::Account* account = CurrentAccount();
    for (int k = 1; k <= kMovieButtons; ++k)
    {
        const bool unlocked =
            account && account->GetBool(MovieUnlockingKeyPrefix + std::to_wstring(k), false);
        if (auto* button = m_group.FindObjectAs<ButtonNode>(Kestrin::MakeName("scene" + std::to_string(k))))
            button->SetEnabled(unlocked);
    }
}

void LevelSelectCalendarMode::BuildDays()
{
    SceneNode* attach = m_group.FindNode(ScreenNode::CalendarDayAttach);
    if (!attach)
        return;
    LibXmlReader reader(GameLevels::File());
    const std::vector<xmlpp::Element*> days = LibXmlReader::GetChildElements(reader.GetRootElement(), "Day");
    m_dayButtons.assign(days.size() + 1, nullptr);
    SceneNode* finished = nullptr;
    SceneNode* next = nullptr;
    int lastShown = 0;
    for (size_t i = 0; i < days.size(); ++i)
    {
        const int day = int(i) + 1;
        const std::vector<xmlpp::Element*> levels = LibXmlReader::GetChildElements(days[i], "level");
        if (!GoodAppointmentCount(levels.size()))
        {
            ShowAppointmentCountError(day);
            continue;
        }
        std::vector<std::string> names;
        bool allLocked = true, allDone = true;
        for (const xmlpp::Element* level : levels)
        {
            names.push_back(ReadRequiredAttribute(level, "name", reader));
            const LevelCompletionStatus status = GetLevelStatus(names.back());
            allLocked = allLocked && status == LevelCompletionStatus::Locked;
            allDone = allDone &&
                      (status == LevelCompletionStatus::Completed || status == LevelCompletionStatus::Expert);
        }
        // The first day still closed ends the month.
        if (allLocked)
            break;

        SceneNode* icon =
            m_group.Instantiate(*this, std::to_string(levels.size()) + "guest_day_iconLayout", nullptr);
        for (size_t n = 0; n < names.size(); ++n)
        {
            SceneNode* treatment = m_group.Instantiate(*this, "guest_treatmentLayout", nullptr);
            if (!treatment)
                continue;
            const LevelRecord* record = GameLevels::Instance().Find(names[n]);
            SetUpTreatmentIcon(treatment, GetLevelStatus(names[n]), record ? record->guest : GuestID::None);
            if (SceneNode* slot = Slot(icon, n + 1))
                treatment->SetParent(slot);
        }

        SceneNode* button =
            m_group.Instantiate(*this, allDone ? "completedButtonLayout" : "currentButtonLayout", nullptr);
        if (!button)
            continue;
        if (!allDone)
        {
            auto* highlight = new StaticSpriteNode(UnlockedDayImages.Get(), 0);
            AddObject(highlight);
            highlight->SetParent(button);
            highlight->GetTasks().Append(
                new Kestrin::RepeatingTask(new NodeAlphaTask(1.0f, 1.0f), new NodeAlphaTask(0.0f, 1.0f)));
        }
        if (m_finishedDay != 0 && lastShown == m_finishedDay)
            next = button;
        if (day == m_finishedDay)
            finished = button;
        const Kestrin::Vector2<float> place = DayPlace(int(i));
        button->SetParent(attach);
        button->SetPosition(place.x, place.y);
        if (auto* click = m_group.FindNodeAs<ButtonNode>(ScreenNode::DayButton, button))
            click->clickSignal.Connect([this, day](ButtonNode*) { OnDayClicked(day); });
        if (icon)
            icon->SetParent(button);
        m_dayButtons[size_t(day)] = button;
        lastShown = day;
    }
    if (finished && next)
        PlayDayUnlock(finished, next);
}

void LevelSelectCalendarMode::SetUpTreatmentIcon(SceneNode* icon, LevelCompletionStatus status, GuestID guest)
{
    if (auto* picture = m_group.FindNodeAs<AnimatedSpriteNode>(ScreenNode::CalendarTreatmentIcon, icon))
    {
        picture->SetSpriteType(
            GetSpriteType((std::string(NameOf(guest)) + "_iconSpriteType").c_str()).second);
        const ConstantName& animation = status == LevelCompletionStatus::InProgress ? IconInProgress
                                        : status == LevelCompletionStatus::Locked   ? IconLocked
                                                                                    : IconCompleted;
        picture->PlayAnimation(animation.Get(), true);
        picture->UpdateSize();
    }
    if (SceneNode* expert = m_group.FindNodeAs<StaticSpriteNode>(ScreenNode::CalendarExpertIcon, icon))
    {
        expert->SetVisible(status == LevelCompletionStatus::Expert);
        if (status == LevelCompletionStatus::Expert)
            Bob(expert, -5.0f, 0.5f);
    }
}

void LevelSelectCalendarMode::PlayDayUnlock(SceneNode* finished, SceneNode* next)
{
    Kestrin::PlaySoundNamed("SFX_NewDayUnlock");
    next->SetAlpha(0.0f);
    next->GetTasks().Append(new NodeAlphaTask(1.0f, 2.0f));

    float w = 0.0f, h = 0.0f;
    if (SceneNode* button = m_group.FindNode(ScreenNode::DayButton, next))
    {
        w = button->GetLocalState().width;
        h = button->GetLocalState().height;
    }
    for (int i = 0; i < kUnlockSparkles; ++i)
    {
        StaticSpriteNode* sparkle = MakeSparkle();
        sparkle->SetParentAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        sparkle->SetSelfAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
        sparkle->SetParent(next);
        AddObject(sparkle);
        sparkle->SetPosition(w * 0.5f, h * 0.5f);
        const Kestrin::Vector2<float> direction = Kestrin::RandomBurstDirection();
        sparkle->GetTasks().Append(new Kestrin::TimedTask(0.25f));
        sparkle->GetTasks().Append(new Kestrin::SerialTask(
            new NodeLocationTask((direction.x + 1.0f) * w * 0.5f, (direction.y + 1.0f) * h * 0.5f, 0.75f),
            new Kestrin::SelfDestructTask));
    }
    // The finished day's old look fades off its new one.
    if (SceneNode* old = m_group.Instantiate(*this, "currentButtonLayout", finished))
        old->GetTasks().Append(
            new Kestrin::SerialTask(new NodeAlphaTask(0.0f, 2.0f), new Kestrin::SelfDestructTask));
}

SceneNode* LevelSelectCalendarMode::GetDayButton(int day) const
{
    return day > 0 && size_t(day) < m_dayButtons.size() ? m_dayButtons[size_t(day)] : nullptr;
}

void LevelSelectCalendarMode::Activate()
{
    MusicManager::Instance().Play(MusicTrack::Lobby, false);
    TutorialManager& tutorials = TutorialManager::Instance();
    tutorials.HideBubble();
    tutorials.ReadFlags();
    tutorials.Show(TutorialId::Calendar, kCalendarTutorialPoint);
}

void LevelSelectCalendarMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    if (clicked == ButtonMainMenu.Get())
        ReturnToMainMenu();
    else if (clicked == ButtonCommercial.Get())
        Kestrin::PushMode(new FlashInterstitialMode("Intro-Commerical"));
    else
        for (int k = 1; k <= kMovieButtons; ++k)
            if (clicked == Kestrin::MakeName("scene" + std::to_string(k)))
                Kestrin::PushMode(
                    new FlashInterstitialMode("AllAnimations/interstitial" + std::to_string(k)));
}

bool LevelSelectCalendarMode::OnKeyDown(int key)
{
    if (key == Kestrin::VK_ESCAPE)
    {
        ReturnToMainMenu();
        return true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}

void LevelSelectCalendarMode::OnDayClicked(int day)
{
    Kestrin::PushMode(new LevelSelectDayMode(day));
}

// ---- one day ----

LevelSelectDayMode::LevelSelectDayMode(int day) : m_day(day) {}

void LevelSelectDayMode::Enter()
{
    if (!m_group.Enter(*this, "daily_scheduleLayout", false))
        return;
    try
    {
        BuildDay();
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(Kestrin::FromUtf8(e.what()), kLevelListCaption);
    }
    TutorialManager& tutorials = TutorialManager::Instance();
    tutorials.ReadFlags();
    tutorials.Show(TutorialId::Day, kDayTutorialPoint);
}

void LevelSelectDayMode::BuildDay()
{
    SceneNode* attach = m_group.FindNode(ScreenNode::DayComboAttach);
    SceneNode* weekDay = m_group.FindNode(ScreenNode::DayWeekDay);
    LibXmlReader reader(GameLevels::File());
    for (const xmlpp::Element* day : LibXmlReader::GetChildElements(reader.GetRootElement(), "Day"))
    {
        const int dayNum = ReadIntAttribute(day, "dayNum", reader);
        if (dayNum != m_day)
            continue;
        const std::vector<xmlpp::Element*> levels = LibXmlReader::GetChildElements(day, "level");
        if (!GoodAppointmentCount(levels.size()))
        {
            ShowAppointmentCountError(dayNum);
            continue;
        }
        SceneNode* format =
            m_group.Instantiate(*this, std::to_string(levels.size()) + "guest_formatLayout", attach);
        for (size_t k = 1; k <= levels.size(); ++k)
        {
            const std::string name = ReadRequiredAttribute(levels[k - 1], "name", reader);
            BuildAppointment(reader, levels[k - 1], name, Slot(format, k), k);
            // The appointments of a day share its date: the part before the time. Set for every
            // one, whether its combo could be built or not.
            std::wstring date = GetDateAndTimeText(name);
            date = date.substr(0, date.find(L','));
            if (weekDay)
                SetNodeText(weekDay, date);
        }
    }
}

void LevelSelectDayMode::BuildAppointment(const LibXmlReader& reader, const xmlpp::Element* level,
                                          const std::string& name, SceneNode* slot, size_t k)
{
    SceneNode* combo = m_group.Instantiate(*this, "guest_comboLayout", nullptr);
    if (!combo)
        return;
    if (slot)
        combo->SetParent(slot);
    if (SceneNode* time = m_group.FindNode(ScreenNode::ComboApptTime, combo))
    {
        auto* label = new StaticSpriteNode(ApptTimeImages.Get(), int(k) - 1);
        AddObject(label);
        label->SetParent(time);
    }
    const GuestID guest = ReadEnumAttribute<GuestID>(level, "guestID", reader);
    SceneNode* guestLayout = m_group.Instantiate(*this, std::string(NameOf(guest)) + "_buttonLayout",
                                                 m_group.FindNode(ScreenNode::ComboLevelButtonAttach, combo));
    auto* guestButton =
        guestLayout ? m_group.FindNodeAs<ButtonNode>(ScreenNode::DayButton, guestLayout) : nullptr;
    auto* profile = m_group.FindNodeAs<ButtonNode>(ScreenNode::ComboProfileButton, combo);
    SceneNode* check = m_group.FindNode(ScreenNode::ComboCheckmark, combo);
    SceneNode* star = m_group.FindNode(ScreenNode::ComboStar, combo);
    SetVisible(check, false);
    SetVisible(star, false);
    const LevelCompletionStatus status = GetLevelStatus(name);
    if (status == LevelCompletionStatus::Locked)
    {
        for (ButtonNode* button : {guestButton, profile})
            if (button)
                button->SetEnabled(false);
        return;
    }
    if (status == LevelCompletionStatus::Completed)
        SetVisible(check, true);
    else if (status == LevelCompletionStatus::Expert)
    {
        SetVisible(star, true);
        Bob(star, 10.0f, 1.0f);
    }
    SetVisible(m_group.FindNode(ScreenNode::ComboOverlay, combo), false);
    if (guestButton)
        guestButton->clickSignal.Connect([this, name](ButtonNode*) { OnAppointmentClicked(name); });
    if (profile)
        profile->clickSignal.Connect([this, guest, name](ButtonNode*)
                                     { OnGuestProfileClicked(guest, name); });
}

void LevelSelectDayMode::HandleMessage(const Kestrin::Message& message)
{
    if (GetClickedName(message) == ButtonBack.Get())
        Kestrin::PopMode();
}

bool LevelSelectDayMode::OnKeyDown(int key)
{
    return PopScreenOnEscape(key) || SceneApplicationMode::OnKeyDown(key);
}

void LevelSelectDayMode::OnAppointmentClicked(const std::string& level)
{
    GameLevels::Instance().SetCurrentLevel(level);
    Kestrin::ClearStackAndPush(new GameMode);
    Kestrin::PushMode(new LevelIntroMode);
}

void LevelSelectDayMode::OnGuestProfileClicked(GuestID guest, const std::string& level)
{
    Kestrin::PushMode(new LevelSelectIntroMode(guest, level, {.fromLevelIntro = false}));
}
