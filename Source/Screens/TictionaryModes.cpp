#include "Screens/TictionaryModes.h"

#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Game/GameConstants.h"
#include "Game/MusicManager.h"
#include "Graphics/GraphicsResources.h"
#include "Platform/Looper.h"
#include "Platform/SoundResources.h"
#include "Scene/ButtonNode.h"
#include "Scene/StaticSpriteNode.h"
#include "Screens/ScreenEscape.h"
#include "UI/UIServices.h"

namespace
{
using Kestrin::ConstantName;

constinit ConstantName ButtonBack{"button_back"};
constinit ConstantName TabTictionary{"button_tab_tictionary"};
constinit ConstantName TabAbout{"button_tab_about"};
constinit ConstantName TabHelp{"button_tab_help"};
constinit ConstantName ButtonPrev{"button_prev"};
constinit ConstantName ButtonNext{"button_next"};
constinit ConstantName ReturnToCollection{"button_returnToCollection"};
constinit ConstantName HelpBasics{"basics"};
constinit ConstantName HelpGameplay{"gamePlay"};
constinit ConstantName HelpTips{"tips"};

constexpr int KindCount = int(TicKindNames.size());
constexpr ScreenNode HelpPages[] = {ScreenNode::HelpBasics, ScreenNode::HelpGameplay, ScreenNode::HelpTips};

Kestrin::NameId KindButtonName(int index)
{
    return Kestrin::MakeName(std::string("button_") + TicKindNames[size_t(index)]);
}
} // namespace

// ---- the shared page ----

TictionaryPage::TictionaryPage(std::vector<std::wstring> groups, const char* layout, Kestrin::NameId ownTab)
    : m_layout(layout), m_ownTab(ownTab)
{
    for (std::wstring& group : groups)
        m_groups.emplace_back(std::move(group));
}

void TictionaryPage::Enter()
{
    CreateRootNode();
    AddObject(new Kestrin::KeyboardFocusController);
    for (ScreenGroup& group : m_groups)
        if (!group.Load())
            return;
    if (!Group().Instantiate(*this, m_layout))
        return;
    m_built = true;
    SetButtonEnabled(m_ownTab, false);
    OnBuilt();
}

void TictionaryPage::Activate()
{
    MusicManager::Instance().Play(MusicTrack::Tictionary, false);
}

void TictionaryPage::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    if (clicked == ButtonBack.Get())
        Kestrin::PopMode();
    else if (clicked == m_ownTab)
        return;
    else if (clicked == TabAbout.Get())
        Kestrin::ChangeMode(new TictionaryAboutMode);
    else if (clicked == TabHelp.Get())
        Kestrin::ChangeMode(new TictionaryHelpMode);
    else if (clicked == TabTictionary.Get())
        Kestrin::ChangeMode(new TictionaryMainMode);
    else
        OnButton(clicked);
}

bool TictionaryPage::OnKeyDown(int key)
{
    // "Back" pops the page.
    return PopScreenOnEscape(key) || SceneApplicationMode::OnKeyDown(key);
}

bool TictionaryPage::IsKindUnlocked(int kindIndex)
{
    if (kindIndex < 0 || kindIndex >= KindCount)
        return false;
    const Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount();
    if (!account)
        return false;
    const std::wstring key =
        std::wstring(TictionaryKeyPrefix) + Kestrin::FromUtf8(TicKindNames[size_t(kindIndex)]);
    return account->GetInt(key, 0) == 1;
}

ButtonNode* TictionaryPage::FindButton(Kestrin::NameId name)
{
    return m_built ? Group().FindObjectAs<ButtonNode>(name) : nullptr;
}

void TictionaryPage::SetButtonEnabled(Kestrin::NameId name, bool enabled)
{
    if (ButtonNode* button = FindButton(name))
        button->SetEnabled(enabled);
}

// ---- the collection ----

TictionaryMainMode::TictionaryMainMode()
    : TictionaryPage({L"Encyclopedia"}, "TictionaryMainLayout", TabTictionary.Get())
{
}

void TictionaryMainMode::OnBuilt()
{
    RefreshEntries();
}

void TictionaryMainMode::RefreshEntries()
{
    SetButtonEnabled(TabTictionary.Get(), false);
    for (int i = 0; i < KindCount; ++i)
        SetButtonEnabled(KindButtonName(i), IsKindUnlocked(i));
}

bool TictionaryMainMode::OnButton(Kestrin::NameId name)
{
    for (int i = 0; i < KindCount; ++i)
    {
        if (name == KindButtonName(i))
        {
            Kestrin::ChangeMode(new TictionaryProfileMode(i));
            return true;
        }
    }
    return false;
}

// ---- one kind's profile ----

TictionaryProfileMode::TictionaryProfileMode(int kindIndex)
    : TictionaryPage({L"Encyclopedia_Tics"}, "Tictionary_TicProfileLayout", TabTictionary.Get()),
      m_kindIndex(kindIndex >= 0 && kindIndex < KindCount ? kindIndex : 0)
{
}

void TictionaryProfileMode::OnBuilt()
{
    ShowKind();
    RefreshButtons();
}

bool TictionaryProfileMode::OnButton(Kestrin::NameId name)
{
    if (name == ReturnToCollection.Get())
        Kestrin::ChangeMode(new TictionaryMainMode);
    else if (name == ButtonPrev.Get())
        Flip(false);
    else if (name == ButtonNext.Get())
        Flip(true);
    else
        return false;
    return true;
}

void TictionaryProfileMode::Flip(bool forward)
{
    // A whole round at most: with no kind unlocked the page stays where it is.
    int index = m_kindIndex;
    for (int step = 0; step < KindCount; ++step)
    {
        index = (index + (forward ? 1 : KindCount - 1)) % KindCount;
        if (IsKindUnlocked(index))
        {
            m_kindIndex = index;
            break;
        }
    }
    ShowKind();
    RefreshButtons();
}

void TictionaryProfileMode::ShowKind()
{
    if (!IsBuilt())
        return;
    auto* image = Group().FindNodeAs<StaticSpriteNode>(ScreenNode::TicProfileImage);
    if (!image)
        return;
    const std::string name = std::string("TicProfile_") + TicKindNames[size_t(m_kindIndex)];
    image->SetImage(Kestrin::GetImageByName(name.c_str()).second);
}

void TictionaryProfileMode::RefreshButtons()
{
    SetButtonEnabled(TabTictionary.Get(), false);
    const Kestrin::SoundList* sounds =
        Kestrin::GetResource<Kestrin::SoundList>("PageFlipButtonSounds").second;
    for (const ConstantName* name : {&ButtonPrev, &ButtonNext})
    {
        if (ButtonNode* button = FindButton(name->Get()))
        {
            button->SetEnabled(true);
            button->SetSounds(sounds);
        }
    }
}

// ---- about ----

TictionaryAboutMode::TictionaryAboutMode()
    : TictionaryPage({L"Encyclopedia_About_Tics"}, "Tictionary_aboutLayout", TabAbout.Get())
{
}

// ---- help ----

TictionaryHelpMode::TictionaryHelpMode()
    : TictionaryPage({L"Encyclopedia", L"Encyclopedia_Help"}, "Tictionary_GameHelpLayout", TabHelp.Get())
{
}

void TictionaryHelpMode::OnBuilt()
{
    ShowPage(ScreenNode::HelpBasics);
}

bool TictionaryHelpMode::OnButton(Kestrin::NameId name)
{
    if (name == HelpBasics.Get())
        ShowPage(ScreenNode::HelpBasics);
    else if (name == HelpGameplay.Get())
        ShowPage(ScreenNode::HelpGameplay);
    else if (name == HelpTips.Get())
        ShowPage(ScreenNode::HelpTips);
    else
        return false;
    return true;
}

void TictionaryHelpMode::ShowPage(ScreenNode page)
{
    if (!IsBuilt())
        return;
    for (ScreenNode each : HelpPages)
        if (SceneNode* node = Group().FindNode(each))
            node->SetVisible(false);
    if (SceneNode* node = Group().FindNode(page))
        node->SetVisible(true);
}
