#include "Screens/EndlessLevelSelectMode.h"

#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/ErrorBox.h"
#include "Framework/Keys.h"
#include "Framework/LibXmlReader.h"
#include "Framework/Tasks.h"
#include "Game/GameDataReaders.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Platform/Looper.h"
#include "Scene/ButtonNode.h"
#include "Scene/NodeTasks.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/GameMode.h"
#include "Screens/ScreenRequests.h"

#include <libxml++/libxml++.h>

#include <exception>
#include <utility>
#include <vector>

namespace
{
constinit Kestrin::ConstantName ButtonReturn{"buttonReturnMainMenu"};
constinit Kestrin::ConstantName ButtonBegin{"buttonBeginTraining"};
constinit Kestrin::ConstantName OverlayBegin{"overlay_Begin"};
constexpr int kGuests = int(GuestID::None);

std::string GuestName(GuestID guest)
{
    return NameOf(guest);
}

Kestrin::NameId GuestButton(GuestID guest)
{
    return Kestrin::MakeName("button_" + GuestName(guest));
}

int GuestRecord(const wchar_t* prefix, GuestID guest)
{
    const Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount();
    return account ? account->GetInt(prefix + Kestrin::FromUtf8(GuestName(guest)), 0) : 0;
}
} // namespace

void EndlessLevelSelectMode::Enter()
{
    if (!m_group.Enter(*this, "EndlessSelect_RootLayout", false))
        return;
    GameLevels::Instance().endless = true;
    SceneNode* overlays = m_group.FindNode(ScreenNode::EndlessOverlays);
    for (int g = 0; g < kGuests; ++g)
        SetShown(GuestChild(ScreenNode::EndlessOverlays, "overlay_", GuestID(g)), false);
    if (overlays)
    {
        SetShown(overlays->FindChild(OverlayBegin.Get()), false);
        overlays->GetTasks().Append(
            new Kestrin::RepeatingTask(new NodeAlphaTask(0.0f, 0.75f), new NodeAlphaTask(1.0f, 0.75f)));
    }
    if (auto* begin = m_group.FindObjectAs<ButtonNode>(ButtonBegin.Get()))
        begin->SetEnabled(false);
    bool anyUnlocked = false;
    for (int g = 0; g < kGuests; ++g)
    {
        const bool unlocked = GuestRecord(EndlessUnlockKeyPrefix, GuestID(g)) == 1;
        anyUnlocked = anyUnlocked || unlocked;
        if (auto* button = m_group.FindObjectAs<ButtonNode>(GuestButton(GuestID(g))))
            button->SetEnabled(unlocked);
    }
    SetShown(m_group.FindNode(ScreenNode::EndlessIntroText), true);
    SetShown(m_group.FindNode(ScreenNode::EndlessRecordTime), false);
    SetShown(m_group.FindNode(ScreenNode::EndlessLockedText), !anyUnlocked);
}

void EndlessLevelSelectMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    if (clicked == ButtonReturn.Get())
        ReturnToMainMenu();
    else if (clicked == ButtonBegin.Get())
        BeginTraining();
    else
        for (int g = 0; g < kGuests; ++g)
            if (clicked == GuestButton(GuestID(g)))
                SelectGuest(GuestID(g));
}

bool EndlessLevelSelectMode::OnKeyDown(int key)
{
    if (key == Kestrin::VK_ESCAPE)
    {
        ReturnToMainMenu();
        return true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}

void EndlessLevelSelectMode::SelectGuest(GuestID guest)
{
    // The whole list first: a list that fails to read changes nothing on the page.
    std::vector<std::string> levels;
    try
    {
        LibXmlReader reader(GameLevels::File());
        const xmlpp::Element* endless = reader.GetRequiredChild(reader.GetRootElement(), "EndlessLevels");
        for (const xmlpp::Element* level : LibXmlReader::GetChildElements(endless, "level"))
        {
            const GuestID owner = ReadEnumAttribute<GuestID>(level, "guestID", reader);
            const std::string name = ReadRequiredAttribute(level, "name", reader);
            if (owner == guest)
                levels.push_back(name);
        }
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(
            Kestrin::FromUtf8(e.what()),
            L"There was an error loading GameLevels.xml. Fix the problem and press F5 to reload");
        return;
    }
    for (int g = 0; g < kGuests; ++g)
        SetShown(GuestChild(ScreenNode::EndlessRecordTime, "", GuestID(g)), false);
    if (levels.empty())
        return;
    selectedLevel = levels.back();
    ShowGuestOverlay(guest);
    if (auto* begin = m_group.FindObjectAs<ButtonNode>(ButtonBegin.Get()))
        begin->SetEnabled(true);
    SetShown(m_group.FindNode(ScreenNode::EndlessLockedText), false);
    SetShown(m_group.FindNode(ScreenNode::EndlessIntroText), false);
    SetShown(m_group.FindNode(ScreenNode::EndlessTextInstruction), true);
    SetShown(GuestChild(ScreenNode::EndlessRecordTime, "", guest), true);
    SetShown(m_group.FindNode(ScreenNode::EndlessRecordTime), true);
    SetNodeText(m_group.FindNode(ScreenNode::EndlessTextRecordTime),
                GetGameText("EndlessSelect.LevelHighScore") +
                    FormatMinutesSeconds(GuestRecord(EndlessHighScoreKeyPrefix, guest)));
}

void EndlessLevelSelectMode::ShowGuestOverlay(GuestID guest)
{
    for (int g = 0; g < kGuests; ++g)
        SetShown(GuestChild(ScreenNode::EndlessOverlays, "overlay_", GuestID(g)), false);
    SetShown(GuestChild(ScreenNode::EndlessOverlays, "overlay_", guest), true);
    if (SceneNode* overlays = m_group.FindNode(ScreenNode::EndlessOverlays))
        SetShown(overlays->FindChild(OverlayBegin.Get()), true);
}

void EndlessLevelSelectMode::BeginTraining()
{
    if (selectedLevel.empty())
        return;
    GameLevels::Instance().SetCurrentLevel(selectedLevel);
    Kestrin::ClearStackAndPush(new GameMode);
}

void EndlessLevelSelectMode::SetShown(SceneNode* node, bool shown)
{
    if (node)
        node->SetVisible(shown);
}

SceneNode* EndlessLevelSelectMode::GuestChild(ScreenNode parent, const std::string& prefix, GuestID guest)
{
    SceneNode* holder = m_group.FindNode(parent);
    return holder ? holder->FindChild(prefix + GuestName(guest)) : nullptr;
}
