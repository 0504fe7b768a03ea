#pragma once
// The nodes the screens look up, one row each. The data check builds its layout rules from these
// rows, so a node renamed in a layout fails the check instead of a click; lookups take a row, never
// a path written on the spot.
#include "Game/GameConstants.h"

#include <array>
#include <cstddef>
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
}};

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
    Count,
};

// A path is '/'-separated node names from the screen's root, its first step the layout's root;
// "*" as the first step stands for the layout's root whatever its name, for a layout built many
// times under names of its own.
struct ScreenNodeRow
{
    ScreenNode id;
    ScreenLayout layout;
    std::string_view path;
    ScreenNodeKind kind;
};

inline constexpr std::array<ScreenNodeRow, size_t(ScreenNode::Count)> ScreenNodeRows = {{
    {ScreenNode::MainMenuTextName, ScreenLayout::MainMenu, GetNodePathText(NodePath::MainMenuTextName),
     ScreenNodeKind::TextSprite},
    {ScreenNode::MainMenuNodeToHide, ScreenLayout::MainMenu, GetNodePathText(NodePath::MainMenuNodeToHide),
     ScreenNodeKind::Any},
    {ScreenNode::MainMenuNodeToFade, ScreenLayout::MainMenu, GetNodePathText(NodePath::MainMenuNodeToFade),
     ScreenNodeKind::Any},
    {ScreenNode::MainMenuGlow, ScreenLayout::MainMenu, "main_menu/NodeToFade/glowImage",
     ScreenNodeKind::StaticSprite},
    {ScreenNode::MainMenuTable, ScreenLayout::MainMenu, GetNodePathText(NodePath::MainMenuTable),
     ScreenNodeKind::Any},
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
    {ScreenNode::AccountEntriesAttach, ScreenLayout::Account, GetNodePathText(NodePath::AccountEntriesAttach),
     ScreenNodeKind::Any},
    {ScreenNode::AccountSelectedPlayer, ScreenLayout::Account,
     GetNodePathText(NodePath::AccountSelectedPlayer), ScreenNodeKind::Any},
    {ScreenNode::AccountEntryMouseHandle, ScreenLayout::AccountEntry, "*/mouseHandle", ScreenNodeKind::Any},
    {ScreenNode::NewProfileTitle, ScreenLayout::NewProfile, "popup_new_profile/title_NewProfile",
     ScreenNodeKind::TextSprite},
    {ScreenNode::NewProfileInstruction, ScreenLayout::NewProfile, "popup_new_profile/text_ProfileInstruction",
     ScreenNodeKind::TextSprite},
    {ScreenNode::DeleteProfileTitle, ScreenLayout::DeleteProfile, "popup_delete_profile/title_DeleteProfile",
     ScreenNodeKind::TextSprite},
    {ScreenNode::DeleteProfileMessage, ScreenLayout::DeleteProfile,
     "popup_delete_profile/text_DeleteConfirmMesg", ScreenNodeKind::TextSprite},

    {ScreenNode::TicProfileImage, ScreenLayout::TicProfile, GetNodePathText(NodePath::TictionaryTicDataImage),
     ScreenNodeKind::StaticSprite},
    {ScreenNode::HelpBasics, ScreenLayout::GameHelp, GetNodePathText(NodePath::TictionaryBasics),
     ScreenNodeKind::Any},
    {ScreenNode::HelpGameplay, ScreenLayout::GameHelp, GetNodePathText(NodePath::TictionaryGameplay),
     ScreenNodeKind::Any},
    {ScreenNode::HelpTips, ScreenLayout::GameHelp, GetNodePathText(NodePath::TictionaryTips),
     ScreenNodeKind::Any},
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
