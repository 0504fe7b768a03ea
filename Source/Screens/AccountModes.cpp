#include "Screens/AccountModes.h"

#include "Base/Log.h"
#include "Base/StringFormatter.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/Keys.h"
#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"
#include "Game/GameText.h"
#include "Graphics/GraphicsResources.h"
#include "Platform/Looper.h"
#include "Scene/ButtonNode.h"
#include "Scene/SceneLayout.h"
#include "Scene/TextEditNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/ScreenEscape.h"
#include "UI/UIServices.h"

namespace
{
using Kestrin::ConstantName;

constinit ConstantName ButtonNew{"New"};
constinit ConstantName ButtonDelete{"Delete"};
constinit ConstantName ButtonOK{"OK"};
constinit ConstantName ButtonCancel{"Cancel"};
constinit ConstantName AccountName{"AccountName"};

constexpr const char* DialogSound = "SFX_UI_dialog";
constexpr const char* ErrorFont = "Chalet-NewYorkNineteenEighty11";

Kestrin::AccountManager& Accounts()
{
    return *Kestrin::AccountManager::Instance();
}

Kestrin::ColorF ColorValue(const char* name)
{
    if (const auto* value = Kestrin::GetValueResource<Kestrin::ColorF>(name))
        return value->value;
    Kestrin::LogPrintf("Missing colour %s in Account\n", name);
    return Kestrin::ColorF(1.0f, 1.0f, 1.0f, 1.0f);
}

// The delete question with the player's name in place of "%1%"; a text without the place gets the
// name on a line of its own above it, so the question always says whom it deletes.
std::wstring DeleteQuestion(const std::wstring& text, const std::wstring& name)
{
    if (text.find(L"%1%") == std::wstring::npos)
        return name + L"\n" + text;
    Kestrin::StringFormatter formatter(text.c_str());
    formatter.AddArgument(name);
    formatter.Render();
    return formatter.result;
}

void SetButtonEnabled(ScreenGroup& group, Kestrin::NameId name, bool enabled)
{
    if (ButtonNode* button = group.FindObjectAs<ButtonNode>(name))
        button->SetEnabled(enabled);
}
} // namespace

// ---- the list ----

void AccountMode::Enter()
{
    CreateRootNode();
    AddObject(new Kestrin::KeyboardFocusController);
    m_loaded = m_group.Load();
    if (!m_loaded || !m_group.Instantiate(*this, "Account"))
        return;
    m_built = true;
    SetNodeText(m_group.FindNode(ScreenNode::AccountTitle), GetGameText("Profile.title"));
    SetNodeText(m_group.FindNode(ScreenNode::AccountInstruction), GetGameText("Profile.instructions"));
    m_selectedIndex = 0;
}

void AccountMode::Exit()
{
    if (m_loaded)
        Kestrin::ResourceManager::Instance()->UnloadFile(m_group.GetName());
    m_loaded = false;
}

void AccountMode::Activate()
{
    if (!m_built)
        return;
    RebuildList();
    const size_t count = Accounts().GetAccounts().size();
    SetButtonEnabled(m_group, ButtonNew.Get(), count < MaxProfiles);
    SetButtonEnabled(m_group, ButtonDelete.Get(), count > 1);
}

void AccountMode::RebuildList()
{
    for (Kestrin::ObjectHandle handle : m_entries)
        RemoveObject(handle);
    m_entries.clear();

    SceneNode* container = m_group.FindNode(ScreenNode::AccountEntriesAttach);
    const SceneLayout* layout = GetSceneLayout("AccountEntry").second;
    if (!container || !layout || !layout->GetRoot())
    {
        if (!layout)
            m_group.ShowError(L"scene layout AccountEntry not found");
        return;
    }
    const std::vector<Kestrin::Account*> accounts = Accounts().GetAccounts();
    for (size_t i = 0; i < accounts.size(); ++i)
    {
        SceneNode* entry = SceneLayout::BuildNode(container, *layout->GetRoot());
        entry->RegisterTree(*this);
        if (SceneNode* handle = FindScreenNode(entry, ScreenNode::AccountEntryMouseHandle))
            handle->MouseDown.Connect([this](SceneNode* node, SceneNode::Vector2f, Kestrin::MouseButton)
                                      { SelectEntry(node); });
        m_entries.push_back(entry->GetHandle());
        entry->SetY(entry->GetLocalState().y + float(i) * RowHeight);
        SetNodeText(entry, accounts[i]->GetName());
    }

    const Kestrin::Account* current = Accounts().GetCurrentAccount();
    if (!current)
        return;
    for (SceneNode* child = container->GetFirstChild(); child; child = child->GetNextSibling())
    {
        auto* text = dynamic_cast<TextSpriteNode*>(child);
        if (text && text->GetText() == current->GetName())
        {
            SelectEntry(FindScreenNode(child, ScreenNode::AccountEntryMouseHandle));
            break;
        }
    }
}

void AccountMode::SelectEntry(SceneNode* mouseHandle)
{
    SceneNode* container = m_group.FindNode(ScreenNode::AccountEntriesAttach);
    if (!container || !mouseHandle)
        return;
    const Kestrin::ColorF unselected = ColorValue("profileUnselectedColor");
    for (SceneNode* child = container->GetFirstChild(); child; child = child->GetNextSibling())
        if (dynamic_cast<TextSpriteNode*>(child))
            child->SetColor(unselected);
    auto* entry = dynamic_cast<TextSpriteNode*>(mouseHandle->GetParent());
    if (!entry)
        return;
    entry->SetColor(ColorValue("profileSelectedColor"));

    const std::vector<Kestrin::Account*> accounts = Accounts().GetAccounts();
    for (size_t i = 0; i < accounts.size(); ++i)
    {
        if (accounts[i]->GetName() != entry->GetText())
            continue;
        if (SceneNode* highlight = m_group.FindNode(ScreenNode::AccountSelectedPlayer))
            highlight->SetY(float(i) * RowHeight);
        m_selectedIndex = int(i);
    }
}

SceneNode* AccountMode::RowHandleAt(int x, int y)
{
    SceneNode* container = m_built ? m_group.FindNode(ScreenNode::AccountEntriesAttach) : nullptr;
    if (!container)
        return nullptr;
    for (SceneNode* child = container->GetFirstChild(); child; child = child->GetNextSibling())
        if (SceneNode* handle = FindScreenNode(child, ScreenNode::AccountEntryMouseHandle))
            if (handle->IsWorldVisible() && handle->ContainsPoint(float(x), float(y)))
                return handle;
    return nullptr;
}

bool AccountMode::OnMouseUp(Kestrin::MouseButton button, int x, int y)
{
    // The main loop drops input while a screen request waits, and a pop-up sliding out swallows
    // it: a press on a row can be lost. A release over a row picks it too, so Delete and OK never
    // act on the row picked before.
    if (button == Kestrin::MouseButton::Left)
        if (SceneNode* handle = RowHandleAt(x, y))
            SelectEntry(handle);
    return SceneApplicationMode::OnMouseUp(button, x, y);
}

Kestrin::Account* AccountMode::GetSelectedAccount() const
{
    const std::vector<Kestrin::Account*> accounts = Accounts().GetAccounts();
    return m_selectedIndex >= 0 && size_t(m_selectedIndex) < accounts.size()
               ? accounts[size_t(m_selectedIndex)]
               : nullptr;
}

void AccountMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    if (clicked == ButtonNew.Get())
        Kestrin::PushMode(new EditAccountMode);
    else if (clicked == ButtonDelete.Get())
    {
        if (Kestrin::Account* selected = GetSelectedAccount())
            Kestrin::PushMode(new DeleteAccountMode(selected->GetName()));
    }
    else if (clicked == ButtonOK.Get())
    {
        if (Kestrin::Account* selected = GetSelectedAccount())
        {
            // A copy: the change of profile runs handlers that may touch the store.
            const std::wstring name = selected->GetName();
            Accounts().SetCurrentAccount(name);
            Kestrin::PopMode();
        }
    }
    else if (clicked == ButtonCancel.Get())
        Kestrin::PopMode();
}

bool AccountMode::OnKeyDown(int key)
{
    // As "Cancel"; also the way out when the layout could not be built.
    return PopScreenOnEscape(key) || SceneApplicationMode::OnKeyDown(key);
}

// ---- the name pop-ups ----

bool ProfileNamePopup::Build()
{
    if (!m_group.Instantiate(*this, "popup_new_profileLayout"))
    {
        LetInputClose();
        return false;
    }
    SetNodeText(m_group.FindNode(ScreenNode::NewProfileTitle), GetGameText("Profile.NewTitle"));
    SetNodeText(m_group.FindNode(ScreenNode::NewProfileInstruction), GetGameText("Profile.NewInstructions"));
    SlideIn(kAbove, kResting, DialogSound);
    return true;
}

void AccountPopup::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked || m_done)
        return;
    if (clicked == ButtonOK.Get())
        OnOK();
    else if (clicked == ButtonCancel.Get())
        OnCancel();
}

bool ProfileNamePopup::OnKeyDown(int key)
{
    // A focused button takes Enter itself; otherwise Enter is "OK" and Escape "Cancel".
    if (AbstractSlidingMode::OnKeyDown(key))
        return true;
    if (m_done || m_group.HasShownError())
        return false;
    if (key == Kestrin::VK_RETURN)
        OnOK();
    else if (key == Kestrin::VK_ESCAPE)
        OnCancel();
    else
        return false;
    return true;
}

void ProfileNamePopup::OnOK()
{
    auto* field = m_group.FindObjectAs<TextEditNode>(AccountName.Get());
    auto* instruction = m_group.FindNodeAs<TextSpriteNode>(ScreenNode::NewProfileInstruction);
    if (!field)
        return;
    const std::wstring name = field->GetText();
    if (instruction)
        if (Kestrin::Font* font = Kestrin::GetFont(ErrorFont).second)
            instruction->SetFont(font);

    if (name.empty())
    {
        SetNodeText(instruction, GetGameText("Profile.ErrorNameLength"));
        return;
    }
    if (Accounts().AccountExists(name))
    {
        SetNodeText(instruction, GetGameText("Profile.ErrorDuplicate"));
        return;
    }
    if (!Accounts().CreateAccount(name))
    {
        // The store has logged why; the pop-up stays so the player can try again.
        Kestrin::LogPrintf("The profile %s could not be made\n", Kestrin::ToUtf8(name).c_str());
        return;
    }
    Accounts().SetCurrentAccount(name);
    OnCreated();
    m_done = true;
    SlideOut(kResting, kAbove, DialogSound);
}

void ProfileNamePopup::FocusField()
{
    if (auto* field = m_group.FindObjectAs<TextEditNode>(AccountName.Get()))
        SetFocus(field);
}

void EditAccountMode::Enter()
{
    AbstractSlidingMode::Enter();
    if (Build())
        FocusField();
}

void EditAccountMode::OnCancel()
{
    m_done = true;
    SlideOut(kResting, kAbove, "");
}

void FirstAccountMode::Enter()
{
    AbstractSlidingMode::Enter();
    // Without its group the pop-up would trap the player above the menu, which asks again on the
    // next click.
    if (!m_group.Load())
    {
        m_done = true;
        Kestrin::PopMode();
        return;
    }
    if (!Build())
        return;
    // The first keys a new player types must not be lost.
    FocusField();
    // The first profile must be named: no "Cancel" that does nothing, and "OK" alone in the
    // middle of where the pair stood.
    auto* ok = m_group.FindObjectAs<ButtonNode>(ButtonOK.Get());
    auto* cancel = m_group.FindObjectAs<ButtonNode>(ButtonCancel.Get());
    if (ok && cancel)
    {
        cancel->SetVisible(false);
        ok->SetX((ok->GetLocalState().x + cancel->GetLocalState().x) / 2.0f);
    }
}

void FirstAccountMode::OnCreated()
{
    Accounts().DeleteAccount(Kestrin::AccountManager::DefaultAccountName);
}

// ---- delete ----

DeleteAccountMode::DeleteAccountMode(std::wstring name) : m_name(std::move(name)) {}

void DeleteAccountMode::Enter()
{
    AbstractSlidingMode::Enter();
    if (!m_group.Instantiate(*this, "popup_delete_profileLayout"))
    {
        LetInputClose();
        return;
    }
    SetNodeText(m_group.FindNode(ScreenNode::DeleteProfileTitle), GetGameText("Profile.DeleteTitle"));
    SetNodeText(m_group.FindNode(ScreenNode::DeleteProfileMessage),
                DeleteQuestion(GetGameText("Profile.DeleteInstructions"), m_name));
    SlideIn(kAbove, kResting, DialogSound);
}

bool DeleteAccountMode::OnKeyDown(int key)
{
    if (AbstractSlidingMode::OnKeyDown(key))
        return true;
    if (key != Kestrin::VK_ESCAPE || m_done || m_group.HasShownError())
        return false;
    OnCancel();
    return true;
}

void DeleteAccountMode::OnOK()
{
    m_done = true;
    Accounts().DeleteAccount(m_name);
    SlideOut(kResting, kAbove, DialogSound);
}

void DeleteAccountMode::OnCancel()
{
    m_done = true;
    SlideOut(kResting, kAbove, DialogSound);
}
