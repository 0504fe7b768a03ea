#pragma once
// The nodes the screens look up, one row each. The data check builds its layout rules from these
// rows, so a node renamed in a layout fails the check instead of a click; lookups take a row, never
// a path written on the spot.
#include "Game/GameConstants.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

class SceneNode;

// The layouts the rows live in, with the group that defines each.
enum class ScreenLayout
{
    MainMenu,
    Options,
    QuitConfirm,
    Credits,
    Account,
    AccountEntry,
    NewProfile,
    DeleteProfile,
    TicProfile,
    GameHelp,
    Calendar,
    CalendarIcon,
    CalendarDayButton,
    DaySchedule,
    DayCombo,
    GuestProfile,
    TreatmentEntry,
    LevelIntro,
    TicIntro,
    EndlessSelect,
    InGameMenu,
    GameRoot,
    Hud,
    EndlessHud,
    EndlessRecordOutro,
    EndlessOutro,
    WinOutro,
    ExpertWinOutro,
    LoseOutro,
    Count,
};

struct ScreenLayoutRow
{
    ScreenLayout id;
    const char* group;
    const char* layout;
};

inline constexpr std::array<ScreenLayoutRow, size_t(ScreenLayout::Count)> ScreenLayoutRows = {{
    {ScreenLayout::MainMenu, "Title_MainMenu", "main_menuLayout"},
    {ScreenLayout::Options, "Options", "Options"},
    {ScreenLayout::QuitConfirm, "QuitConfirm", "QuitConfirm"},
    {ScreenLayout::Credits, "Credits", "CreditsLayout"},
    {ScreenLayout::Account, "Account", "Account"},
    {ScreenLayout::AccountEntry, "Account", "AccountEntry"},
    {ScreenLayout::NewProfile, "Account", "popup_new_profileLayout"},
    {ScreenLayout::DeleteProfile, "Account", "popup_delete_profileLayout"},
    {ScreenLayout::TicProfile, "Encyclopedia_Tics", "Tictionary_TicProfileLayout"},
    {ScreenLayout::GameHelp, "Encyclopedia_Help", "Tictionary_GameHelpLayout"},
    {ScreenLayout::Calendar, "Level_Select_Month", "agenda_modeLayout"},
    {ScreenLayout::CalendarIcon, "Level_Select_Month", "guest_treatmentLayout"},
    {ScreenLayout::CalendarDayButton, "Level_Select_Month", "currentButtonLayout"},
    {ScreenLayout::DaySchedule, "Level_Select_Day", "daily_scheduleLayout"},
    {ScreenLayout::DayCombo, "Level_Select_Day", "guest_comboLayout"},
    {ScreenLayout::GuestProfile, "Level_Select_Introduction", "guest_profileLayout"},
    {ScreenLayout::TreatmentEntry, "Level_Select_Introduction", "treatment_entryLayout"},
    {ScreenLayout::LevelIntro, "LevelIntroMode", "level_introRootLayout"},
    {ScreenLayout::TicIntro, "Tic_Intro", "ticIntroRootLayout"},
    {ScreenLayout::EndlessSelect, "Level_Select_EndlessMode", "EndlessSelect_RootLayout"},
    {ScreenLayout::InGameMenu, "InGameMenu", "InGameMenu"},
    {ScreenLayout::GameRoot, "Game", "gameRootLayout"},
    {ScreenLayout::Hud, "Game_Interface_NormalMode", "game_interfaceLayout"},
    {ScreenLayout::EndlessHud, "Game_Interface_EndlessMode", "endless_game_interfaceLayout"},
    {ScreenLayout::EndlessRecordOutro, "Level_Outro_Endless", "endlessOutro_HighScoreLayout"},
    {ScreenLayout::EndlessOutro, "Level_Outro_Endless", "endlessOutro_normalLayout"},
    {ScreenLayout::WinOutro, "Level_Outro_NormalWin", "levelOutro_WinLayout"},
    {ScreenLayout::ExpertWinOutro, "Level_Outro_NormalWin", "levelOutro_WinExpertLayout"},
    {ScreenLayout::LoseOutro, "Level_Outro_NormalLose", "levelOutro_LoseLayout"},
}};

// The layouts a row stands in: most often one, or several built alike (the outros' panels).
class ScreenLayouts
{
public:
    constexpr ScreenLayouts(ScreenLayout layout) : m_bits(uint64_t(1) << size_t(layout)) {}
    constexpr bool Has(ScreenLayout layout) const { return (m_bits >> size_t(layout)) & 1; }
    constexpr ScreenLayouts operator|(ScreenLayouts other) const
    {
        return ScreenLayouts(m_bits | other.m_bits);
    }

private:
    constexpr explicit ScreenLayouts(uint64_t bits) : m_bits(bits) {}
    uint64_t m_bits;
};
static_assert(size_t(ScreenLayout::Count) <= 64);

constexpr ScreenLayouts operator|(ScreenLayout a, ScreenLayout b)
{
    return ScreenLayouts(a) | b;
}

// The outros that sum a session up, by the kind of session.
inline constexpr ScreenLayouts EndlessOutros = ScreenLayout::EndlessRecordOutro | ScreenLayout::EndlessOutro;
inline constexpr ScreenLayouts WinOutros = ScreenLayout::WinOutro | ScreenLayout::ExpertWinOutro;
inline constexpr ScreenLayouts SummaryOutros = EndlessOutros | WinOutros;

// What the screen needs the node to be; Any when it uses only the plain node.
enum class ScreenNodeKind
{
    Any,
    StaticSprite,
    AnimatedSprite,
    TextSprite,
    StyledTextSprite,
    Button,
};

enum class ScreenNode
{
    MainMenuTextName,
    MainMenuNodeToHide,
    MainMenuNodeToFade,
    MainMenuGlow,
    MainMenuTable,
    MainMenuBackground,
    OptionsTitle,
    OptionsMuteMusicText,
    OptionsMusicVolumeText,
    OptionsMuteSoundText,
    OptionsSoundVolumeText,
    OptionsFullScreenText,
    QuitTitle,
    QuitMessage,
    QuitYes,
    CreditsText,
    CreditsPage,
    AccountTitle,
    AccountInstruction,
    AccountEntriesAttach,
    AccountSelectedPlayer,
    AccountEntryMouseHandle,
    NewProfileTitle,
    NewProfileInstruction,
    DeleteProfileTitle,
    DeleteProfileMessage,
    TicProfileImage,
    HelpBasics,
    HelpGameplay,
    HelpTips,
    CalendarDayAttach,
    CalendarTreatmentIcon,
    CalendarExpertIcon,
    // The child "button" of a day button; the guest buttons of the day schedule have one too.
    DayButton,
    DayComboAttach,
    DayWeekDay,
    ComboApptTime,
    ComboLevelButtonAttach,
    ComboProfileButton,
    ComboCheckmark,
    ComboStar,
    ComboOverlay,
    GuestPhoto,
    GuestForm,
    GuestConfirmButtonAttach,
    GuestLevelSelection,
    GuestLevelIntro,
    GuestStylusGlare,
    GuestBanner,
    GuestRefSlot12,
    GuestRefSlot15,
    EntryLocked,
    EntryUnlocked,
    EntryCheck,
    EntryStar,
    IntroText,
    IntroTitle,
    IntroGoalTimeTic,
    IntroGoalTime,
    TicIntroAttach,
    EndlessOverlays,
    EndlessIntroText,
    EndlessLockedText,
    EndlessRecordTime,
    EndlessTextInstruction,
    EndlessTextRecordTime,
    PauseTitle,
    HudAttach,
    HudLevel,
    HudGuestName,
    EndlessRecordRoot,
    EndlessRoot,
    WinRoot,
    ExpertWinRoot,
    OutroPanel,
    OutroMaximum,
    OutroNimbal,
    OutroGunk,
    OutroComplete,
    OutroCleared,
    OutroInExpertTime,
    OutroNewRecord,
    OutroRecordTime,
    OutroOldRecord,
    OutroTime,
    OutroExpertTime,
    OutroYourTime,
    LoseMessage,
    LoseButtons,
    LoseTryAgain,
    LoseMainMenu,
    Count,
};

// A path is '/'-separated node names from the node the layout is built under (most often the
// screen's root), its first step the layout's root; "*" as the first step stands for the layout's
// root whatever its name, for a layout built many times under names of its own.
struct ScreenNodeRow
{
    ScreenNode id;
    ScreenLayouts layouts;
    std::string_view path;
    ScreenNodeKind kind;
};

inline constexpr std::array<ScreenNodeRow, size_t(ScreenNode::Count)> ScreenNodeRows = {{
    {ScreenNode::MainMenuTextName, ScreenLayout::MainMenu, "main_menu/table/nameplate/text_name",
     ScreenNodeKind::TextSprite},
    {ScreenNode::MainMenuNodeToHide, ScreenLayout::MainMenu, "main_menu/nodeToHide", ScreenNodeKind::Any},
    {ScreenNode::MainMenuNodeToFade, ScreenLayout::MainMenu, "main_menu/NodeToFade", ScreenNodeKind::Any},
    {ScreenNode::MainMenuGlow, ScreenLayout::MainMenu, "main_menu/NodeToFade/glowImage",
     ScreenNodeKind::StaticSprite},
    {ScreenNode::MainMenuTable, ScreenLayout::MainMenu, "main_menu/table", ScreenNodeKind::Any},
    {ScreenNode::MainMenuBackground, ScreenLayout::MainMenu, "main_menu/MainMenu_bg", ScreenNodeKind::Any},

    {ScreenNode::OptionsTitle, ScreenLayout::Options, "optionsRoot/title_options",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OptionsMuteMusicText, ScreenLayout::Options, "optionsRoot/text_mute_music",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OptionsMusicVolumeText, ScreenLayout::Options, "optionsRoot/text_music_volume",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OptionsMuteSoundText, ScreenLayout::Options, "optionsRoot/text_mute_sound",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OptionsSoundVolumeText, ScreenLayout::Options, "optionsRoot/text_sound_volume",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OptionsFullScreenText, ScreenLayout::Options, "optionsRoot/text_full_screen",
     ScreenNodeKind::StyledTextSprite},

    {ScreenNode::QuitTitle, ScreenLayout::QuitConfirm, "quitConfirmRoot/offset/title_quit",
     ScreenNodeKind::TextSprite},
    {ScreenNode::QuitMessage, ScreenLayout::QuitConfirm, "quitConfirmRoot/offset/text_QuitConfirmMsg",
     ScreenNodeKind::TextSprite},
    {ScreenNode::QuitYes, ScreenLayout::QuitConfirm, "quitConfirmRoot/offset/YesQuit",
     ScreenNodeKind::Button},

    {ScreenNode::CreditsText, ScreenLayout::Credits, "creditsRoot/text_credits", ScreenNodeKind::TextSprite},
    {ScreenNode::CreditsPage, ScreenLayout::Credits, "creditsRoot/Bg_Credits",
     ScreenNodeKind::AnimatedSprite},

    {ScreenNode::AccountTitle, ScreenLayout::Account, "accountRoot/title_profiles",
     ScreenNodeKind::TextSprite},
    {ScreenNode::AccountInstruction, ScreenLayout::Account, "accountRoot/text_ProfileInstruction",
     ScreenNodeKind::TextSprite},
    {ScreenNode::AccountEntriesAttach, ScreenLayout::Account, "accountRoot/AccountEntriesAttach",
     ScreenNodeKind::Any},
    {ScreenNode::AccountSelectedPlayer, ScreenLayout::Account,
     "accountRoot/AccountEntriesAttach/selected_player", ScreenNodeKind::Any},
    {ScreenNode::AccountEntryMouseHandle, ScreenLayout::AccountEntry, "*/mouseHandle", ScreenNodeKind::Any},
    {ScreenNode::NewProfileTitle, ScreenLayout::NewProfile, "popup_new_profile/title_NewProfile",
     ScreenNodeKind::TextSprite},
    {ScreenNode::NewProfileInstruction, ScreenLayout::NewProfile, "popup_new_profile/text_ProfileInstruction",
     ScreenNodeKind::TextSprite},
    {ScreenNode::DeleteProfileTitle, ScreenLayout::DeleteProfile, "popup_delete_profile/title_DeleteProfile",
     ScreenNodeKind::TextSprite},
    {ScreenNode::DeleteProfileMessage, ScreenLayout::DeleteProfile,
     "popup_delete_profile/text_DeleteConfirmMesg", ScreenNodeKind::TextSprite},

    {ScreenNode::TicProfileImage, ScreenLayout::TicProfile, "Tictionary_TicProfile/TicDataImage",
     ScreenNodeKind::StaticSprite},
    {ScreenNode::HelpBasics, ScreenLayout::GameHelp, "Tictionary_GameHelp/basics", ScreenNodeKind::Any},
    {ScreenNode::HelpGameplay, ScreenLayout::GameHelp, "Tictionary_GameHelp/gameplay", ScreenNodeKind::Any},
    {ScreenNode::HelpTips, ScreenLayout::GameHelp, "Tictionary_GameHelp/tips", ScreenNodeKind::Any},

    // The tutorials hang bubbles on these two, so the gameplay's table holds their paths.
    {ScreenNode::CalendarDayAttach, ScreenLayout::Calendar, GetNodePathText(NodePath::AgendaDayButtonAttach),
     ScreenNodeKind::Any},
    {ScreenNode::CalendarTreatmentIcon, ScreenLayout::CalendarIcon, "*/treatment_icon",
     ScreenNodeKind::AnimatedSprite},
    {ScreenNode::CalendarExpertIcon, ScreenLayout::CalendarIcon, "*/expert_icon",
     ScreenNodeKind::StaticSprite},
    {ScreenNode::DayButton, ScreenLayout::CalendarDayButton, "*/button", ScreenNodeKind::Button},
    {ScreenNode::DayComboAttach, ScreenLayout::DaySchedule, GetNodePathText(NodePath::DailyGuestComboAttach),
     ScreenNodeKind::Any},
    {ScreenNode::DayWeekDay, ScreenLayout::DaySchedule, "daily_schedule/text_week_day",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::ComboApptTime, ScreenLayout::DayCombo, "*/apptTime", ScreenNodeKind::Any},
    {ScreenNode::ComboLevelButtonAttach, ScreenLayout::DayCombo, "*/level_button_attach",
     ScreenNodeKind::Any},
    {ScreenNode::ComboProfileButton, ScreenLayout::DayCombo, "*/button_profile", ScreenNodeKind::Button},
    {ScreenNode::ComboCheckmark, ScreenLayout::DayCombo, "*/normal_checkmark", ScreenNodeKind::Any},
    {ScreenNode::ComboStar, ScreenLayout::DayCombo, "*/expert_star", ScreenNodeKind::StaticSprite},
    {ScreenNode::ComboOverlay, ScreenLayout::DayCombo, "*/no_access_overlay", ScreenNodeKind::Any},
    {ScreenNode::GuestPhoto, ScreenLayout::GuestProfile, "guest_profile/photo", ScreenNodeKind::StaticSprite},
    {ScreenNode::GuestForm, ScreenLayout::GuestProfile, "guest_profile/form", ScreenNodeKind::StaticSprite},
    {ScreenNode::GuestConfirmButtonAttach, ScreenLayout::GuestProfile, "guest_profile/confirm_button_attach",
     ScreenNodeKind::Any},
    {ScreenNode::GuestLevelSelection, ScreenLayout::GuestProfile, "guest_profile/overlay/level_selection",
     ScreenNodeKind::Any},
    {ScreenNode::GuestLevelIntro, ScreenLayout::GuestProfile, "guest_profile/overlay/level_intro",
     ScreenNodeKind::Any},
    {ScreenNode::GuestStylusGlare, ScreenLayout::GuestProfile, "guest_profile/stylus_glare",
     ScreenNodeKind::Any},
    {ScreenNode::GuestBanner, ScreenLayout::GuestProfile, "guest_profile/banner", ScreenNodeKind::Any},
    {ScreenNode::GuestRefSlot12, ScreenLayout::GuestProfile, "guest_profile/ref_slot_12",
     ScreenNodeKind::Any},
    {ScreenNode::GuestRefSlot15, ScreenLayout::GuestProfile, "guest_profile/ref_slot_15",
     ScreenNodeKind::Any},
    {ScreenNode::EntryLocked, ScreenLayout::TreatmentEntry, "*/locked_session", ScreenNodeKind::Any},
    {ScreenNode::EntryUnlocked, ScreenLayout::TreatmentEntry, "*/unlocked_session", ScreenNodeKind::Any},
    {ScreenNode::EntryCheck, ScreenLayout::TreatmentEntry, "*/check", ScreenNodeKind::Any},
    {ScreenNode::EntryStar, ScreenLayout::TreatmentEntry, "*/star", ScreenNodeKind::Any},
    {ScreenNode::IntroText, ScreenLayout::LevelIntro, "level_introRoot/text_level_introduction",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::IntroTitle, ScreenLayout::LevelIntro, "level_introRoot/title_game_level",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::IntroGoalTimeTic, ScreenLayout::LevelIntro, "level_introRoot/goal_time_tic",
     ScreenNodeKind::Any},
    {ScreenNode::IntroGoalTime, ScreenLayout::LevelIntro, "level_introRoot/goal_time", ScreenNodeKind::Any},
    {ScreenNode::TicIntroAttach, ScreenLayout::TicIntro, "ticIntroRoot/tic_attach", ScreenNodeKind::Any},
    {ScreenNode::EndlessOverlays, ScreenLayout::EndlessSelect, "EndlessSelect_Root/Overlays",
     ScreenNodeKind::Any},
    {ScreenNode::EndlessIntroText, ScreenLayout::EndlessSelect, "EndlessSelect_Root/unselected/introText",
     ScreenNodeKind::StaticSprite},
    {ScreenNode::EndlessLockedText, ScreenLayout::EndlessSelect, "EndlessSelect_Root/unselected/lockedText",
     ScreenNodeKind::StaticSprite},
    {ScreenNode::EndlessRecordTime, ScreenLayout::EndlessSelect, "EndlessSelect_Root/recordTime",
     ScreenNodeKind::Any},
    {ScreenNode::EndlessTextInstruction, ScreenLayout::EndlessSelect,
     "EndlessSelect_Root/recordTime/text_instruction", ScreenNodeKind::StaticSprite},
    {ScreenNode::EndlessTextRecordTime, ScreenLayout::EndlessSelect,
     "EndlessSelect_Root/recordTime/text_recordTime", ScreenNodeKind::StyledTextSprite},
    {ScreenNode::PauseTitle, ScreenLayout::InGameMenu, "inGameMenuRoot/title_pause",
     ScreenNodeKind::StyledTextSprite},

    // Either interface is built under the attach node.
    {ScreenNode::HudAttach, ScreenLayout::GameRoot, "gamemoderoot/gui_attach", ScreenNodeKind::Any},
    {ScreenNode::HudLevel, ScreenLayout::Hud, "game_interface/level", ScreenNodeKind::StyledTextSprite},
    {ScreenNode::HudGuestName, ScreenLayout::Hud, "game_interface/guest_name",
     ScreenNodeKind::StyledTextSprite},

    // The outros' results: the words fade in, then the panel with the times rises.
    {ScreenNode::EndlessRecordRoot, ScreenLayout::EndlessRecordOutro, "endlessOutro_HighScore",
     ScreenNodeKind::Any},
    {ScreenNode::EndlessRoot, ScreenLayout::EndlessOutro, "endlessOutro_normal", ScreenNodeKind::Any},
    {ScreenNode::WinRoot, ScreenLayout::WinOutro, "levelOutro_Win", ScreenNodeKind::Any},
    {ScreenNode::ExpertWinRoot, ScreenLayout::ExpertWinOutro, "levelOutro_WinExpert", ScreenNodeKind::Any},
    {ScreenNode::OutroPanel, SummaryOutros, "*/movementNode", ScreenNodeKind::Any},
    {ScreenNode::OutroMaximum, EndlessOutros, "*/animatedText/Maximum", ScreenNodeKind::Any},
    {ScreenNode::OutroNimbal, SummaryOutros, "*/animatedText/nimbal", ScreenNodeKind::Any},
    {ScreenNode::OutroGunk, SummaryOutros, "*/animatedText/gunk", ScreenNodeKind::Any},
    {ScreenNode::OutroComplete, EndlessOutros, "*/animatedText/simulation_complete", ScreenNodeKind::Any},
    {ScreenNode::OutroCleared, WinOutros, "*/animatedText/cleared", ScreenNodeKind::Any},
    {ScreenNode::OutroInExpertTime, ScreenLayout::ExpertWinOutro, "*/animatedText/inExpertTime",
     ScreenNodeKind::Any},
    {ScreenNode::OutroNewRecord, ScreenLayout::EndlessRecordOutro, "*/movementNode/textNewRecord",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OutroRecordTime, ScreenLayout::EndlessRecordOutro, "*/movementNode/textTimeHighscore",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OutroOldRecord, ScreenLayout::EndlessOutro, "*/movementNode/textRecordTime",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OutroTime, ScreenLayout::EndlessOutro, "*/movementNode/textTimeNormal",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OutroExpertTime, WinOutros, "*/movementNode/textExpertTime",
     ScreenNodeKind::StyledTextSprite},
    {ScreenNode::OutroYourTime, WinOutros, "*/movementNode/textYourTime", ScreenNodeKind::StyledTextSprite},
    {ScreenNode::LoseMessage, ScreenLayout::LoseOutro, "levelOutro_Lose/textMessage", ScreenNodeKind::Any},
    {ScreenNode::LoseButtons, ScreenLayout::LoseOutro, "levelOutro_Lose/buttonParent", ScreenNodeKind::Any},
    {ScreenNode::LoseTryAgain, ScreenLayout::LoseOutro, "levelOutro_Lose/buttonParent/button_tryAgain",
     ScreenNodeKind::Button},
    {ScreenNode::LoseMainMenu, ScreenLayout::LoseOutro, "levelOutro_Lose/buttonParent/button_mainMenu",
     ScreenNodeKind::Button},
}};

// Each table's rows stand in the order of their ids, so a row is found by its id.
template <typename Table> constexpr bool RowsInIdOrder(const Table& table)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (size_t(table[i].id) != i)
            return false;
    return true;
}
static_assert(RowsInIdOrder(ScreenLayoutRows));
static_assert(RowsInIdOrder(ScreenNodeRows));

constexpr const ScreenNodeRow& GetScreenNodeRow(ScreenNode node)
{
    return ScreenNodeRows[size_t(node)];
}

constexpr const ScreenLayoutRow& GetScreenLayoutRow(ScreenLayout layout)
{
    return ScreenLayoutRows[size_t(layout)];
}

// The row's node below start: the screen's root, or for a "*" row the layout's own root. Null as
// soon as a step finds nothing.
SceneNode* FindScreenNode(SceneNode* start, ScreenNode node);
