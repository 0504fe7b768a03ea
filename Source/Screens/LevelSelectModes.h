#pragma once
// The story road's selection: the calendar of days, one day's schedule of appointments, and a
// guest's file with the course of treatment. Each reads the level list afresh on entry and the
// statuses from the catalogue; a level the catalogue does not know counts as locked.
#include "Game/GameConstants.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <string>

class ButtonNode;
class LibXmlReader;
namespace xmlpp
{
class Element;
}

// A Day holds this many appointments; others are refused with a box naming the day.
inline constexpr int kMinAppointments = 2;
inline constexpr int kMaxAppointments = 5;

// The month: five days a row, each a button with its appointments' icons. With a finished day, the
// day after it appears with sparkles as the finished one turns to its completed look.
class LevelSelectCalendarMode : public SceneApplicationMode
{
public:
    explicit LevelSelectCalendarMode(int finishedDay);

    void Enter() override;
    // Lobby music and the calendar tutorial, again on every return from a day.
    void Activate() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;

    void OnDayClicked(int day);
    int GetFinishedDay() const { return m_finishedDay; }

    // The grid: day i (0-based) of the file at this place below the attach node.
    static Kestrin::Vector2<float> DayPlace(int index)
    {
        return {float(index % 5 * 116 + 89), float(index / 5 * 94 + 126)};
    }
    // The shown day buttons by day number (1-based position in the file); null for a day not shown.
    SceneNode* GetDayButton(int day) const;

private:
    void BuildDays();
    void SetUpTreatmentIcon(SceneNode* icon, LevelCompletionStatus status, GuestID guest);
    void PlayDayUnlock(SceneNode* finished, SceneNode* next);

    ScreenGroup m_group{L"Level_Select_Month"};
    int m_finishedDay;
    std::vector<SceneNode*> m_dayButtons;
};

// One day's appointments; an open one starts its level under the level intro.
class LevelSelectDayMode : public SceneApplicationMode
{
public:
    explicit LevelSelectDayMode(int day);

    void Enter() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;
    bool IsOpaque() override { return false; }
    void DrawBackdrop() override {}

    void OnAppointmentClicked(const std::string& level);
    void OnGuestProfileClicked(GuestID guest, const std::string& level);
    int GetDay() const { return m_day; }

private:
    void BuildDay();
    // The k-th appointment's combo under its slot (none when the slot is missing); nothing when
    // the combo cannot be built.
    void BuildAppointment(const LibXmlReader& reader, const xmlpp::Element* level, const std::string& name,
                          SceneNode* slot, size_t k);

    ScreenGroup m_group{L"Level_Select_Day"};
    int m_day;
};

// A guest's file. Opened by the level intro on a first appointment (with its music and "next"),
// or by an appointment's profile button (silently, with "back").
class LevelSelectIntroMode : public SceneApplicationMode
{
public:
    struct Options
    {
        // Opened by the level intro (its music and "next"), not by a profile button.
        bool fromLevelIntro = false;
    };
    LevelSelectIntroMode(GuestID guest, std::string levelName, Options options);

    void Enter() override;
    void Activate() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;
    bool IsOpaque() override { return false; }
    void DrawBackdrop() override {}

    GuestID GetGuest() const { return m_guest; }
    const std::string& GetLevelName() const { return m_levelName; }
    bool IsFromLevelIntro() const { return m_fromLevelIntro; }

private:
    void Build();
    void ShowEntryStatus(SceneNode* entry, LevelCompletionStatus status);

    ScreenGroup m_group{L"Level_Select_Introduction"};
    GuestID m_guest;
    std::string m_levelName;
    bool m_fromLevelIntro;
    bool m_popped = false;
};

// The catalogue's status of a level; a name it does not hold is logged and counts as locked.
LevelCompletionStatus GetLevelStatus(const std::string& level);
