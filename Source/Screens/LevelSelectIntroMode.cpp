#include "Screens/LevelSelectIntroMode.h"

#include "Framework/ResourceManager.h"
#include "Framework/Tasks.h"
#include "Game/GameLevels.h"
#include "Game/MusicManager.h"
#include "Graphics/GraphicsResources.h"
#include "Platform/Looper.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"
#include "Screens/ScreenEscape.h"

namespace
{
constinit Kestrin::ConstantName ButtonBack{"button_back"};
constinit Kestrin::ConstantName ButtonNext{"button_next"};
// A guest's sheet: up to this many levels the short one.
constexpr size_t kShortSheet = 12;

SceneNode* Slot(SceneNode* sheet, size_t number)
{
    return sheet ? sheet->FindChild("slot_" + std::to_string(number)) : nullptr;
}

void SetVisible(SceneNode* node, bool visible)
{
    if (node)
        node->SetVisible(visible);
}
} // namespace

LevelSelectIntroMode::LevelSelectIntroMode(GuestID guest, std::string levelName, Options options)
    : m_guest(guest), m_levelName(std::move(levelName)), m_fromLevelIntro(options.fromLevelIntro)
{
}

void LevelSelectIntroMode::Enter()
{
    if (!m_group.Enter(*this, "guest_profileLayout", false))
    {
        // Without its button the file would hold the player above the screen beneath.
        m_popped = true;
        Kestrin::PopMode();
        return;
    }
    Build();
}

void LevelSelectIntroMode::Build()
{
    const std::string guest = NameOf(m_guest);
    auto* photo = m_group.FindNodeAs<StaticSpriteNode>(ScreenNode::GuestPhoto);
    if (photo)
        photo->SetImage(Kestrin::GetImageByName((guest + "_intro_photo").c_str()).second);
    if (auto* form = m_group.FindNodeAs<StaticSpriteNode>(ScreenNode::GuestForm))
        form->SetImage(Kestrin::GetImageByName((guest + "_intro_form").c_str()).second);

    const char* layout = m_fromLevelIntro ? "profile_next_buttonLayout" : "profile_back_buttonLayout";
    const Kestrin::ConstantName& name = m_fromLevelIntro ? ButtonNext : ButtonBack;
    if (SceneNode* holder = m_group.Instantiate(*this, layout, GetRootNode()))
    {
        SceneNode* button = holder->FindChild(name.Get());
        SceneNode* attach = m_group.FindNode(ScreenNode::GuestConfirmButtonAttach);
        if (button && attach)
            button->SetParent(attach);
    }
    if (m_fromLevelIntro)
    {
        SetVisible(m_group.FindNode(ScreenNode::GuestLevelSelection), false);
        SetVisible(m_group.FindNode(ScreenNode::GuestStylusGlare), false);
    }
    else
    {
        SetVisible(m_group.FindNode(ScreenNode::GuestLevelIntro), false);
        SetVisible(m_group.FindNode(ScreenNode::GuestBanner), false);
    }

    bool secondVisit = false;
    const std::vector<LevelRecord*> levels =
        GameLevels::Instance().GetGuestLevels(m_guest, m_levelName, secondVisit);
    if (secondVisit && photo)
        photo->SetImage(Kestrin::GetImageByName("Jillian2_intro_photo").second);

    const bool shortSheet = levels.size() <= kShortSheet;
    SceneNode* sheet = m_group.Instantiate(
        *this, shortSheet ? "12Treatment_formatLayout" : "15Treatment_formatLayout", nullptr);
    if (SceneNode* place =
            m_group.FindNode(shortSheet ? ScreenNode::GuestRefSlot12 : ScreenNode::GuestRefSlot15))
        if (sheet)
            sheet->SetParent(place);
    for (size_t i = 0; i < levels.size(); ++i)
    {
        SceneNode* entry = m_group.Instantiate(*this, "treatment_entryLayout", nullptr);
        if (!entry)
            break;
        // A sheet without a slot of this number leaves the entry out of the scene.
        if (SceneNode* slot = Slot(sheet, i + 1))
            entry->SetParent(slot);
        ShowEntryStatus(entry, levels[i]->status);
    }
}

void LevelSelectIntroMode::ShowEntryStatus(SceneNode* entry, LevelCompletionStatus status)
{
    // The entry's parts are authored hidden; a status outside the four shows none of them.
    switch (status)
    {
    case LevelCompletionStatus::Locked:
        SetVisible(m_group.FindNode(ScreenNode::EntryLocked, entry), true);
        break;
    case LevelCompletionStatus::InProgress:
        SetVisible(m_group.FindNode(ScreenNode::EntryUnlocked, entry), true);
        break;
    case LevelCompletionStatus::Completed:
        SetVisible(m_group.FindNode(ScreenNode::EntryUnlocked, entry), true);
        SetVisible(m_group.FindNode(ScreenNode::EntryCheck, entry), true);
        break;
    case LevelCompletionStatus::Expert:
        SetVisible(m_group.FindNode(ScreenNode::EntryUnlocked, entry), true);
        if (SceneNode* star = m_group.FindNode(ScreenNode::EntryStar, entry))
        {
            star->SetVisible(true);
            const SceneNode::NodeState& at = star->GetLocalState();
            star->GetTasks().Append(
                new Kestrin::RepeatingTask(new NodeLocationTask(at.x, at.y - 5.0f, 1.0f),
                                           new NodeLocationTask(at.x, at.y + 5.0f, 1.0f)));
        }
        break;
    default:
        break;
    }
}

void LevelSelectIntroMode::Activate()
{
    if (m_fromLevelIntro && !m_popped)
        MusicManager::Instance().Play(MusicTrack::GuestIntro, false);
}

void LevelSelectIntroMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (clicked && (clicked == ButtonBack.Get() || clicked == ButtonNext.Get()))
        Kestrin::PopMode();
}

bool LevelSelectIntroMode::OnKeyDown(int key)
{
    return PopScreenOnEscape(key) || SceneApplicationMode::OnKeyDown(key);
}
