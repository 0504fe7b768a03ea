#include "Screens/ScreenConventions.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Scene/SceneLayout.h"
#include "UI/UINames.h"
#include "UI/UIServices.h"

#include <exception>

Kestrin::NameId GetClickedName(const Kestrin::Message& message)
{
    if (message.name != Kestrin::Names::ButtonClick.Get())
        return Kestrin::NameId();
    Kestrin::Object* object = Kestrin::GetObjectByHandle(message.handle);
    return object ? object->GetName() : Kestrin::NameId();
}

ScreenGroup::ScreenGroup(std::wstring group) : m_group(std::move(group)) {}

std::wstring ScreenGroup::GetCaption() const
{
    return L"There was an error loading " + m_group + L".xml. Fix the problem and press F5 to reload";
}

bool ScreenGroup::Enter(SceneApplicationMode& screen, const char* layout, bool focusController)
{
    screen.CreateRootNode();
    if (focusController)
        screen.AddObject(new Kestrin::KeyboardFocusController);
    if (!Load())
        return false;
    return Instantiate(screen, layout) != nullptr;
}

bool ScreenGroup::Load()
{
    Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
    try
    {
        resources->LoadFile(m_group, nullptr, true);
    }
    catch (const std::exception& e)
    {
        ShowError(Kestrin::FromUtf8(e.what()));
        return false;
    }
    // The manager passes over a missing file in silence; the screen would be empty with no word.
    if (resources->GetLoadCount(m_group) <= 0)
    {
        ShowError(L"Error opening file \"" + m_group + L".xml\": file doesn't exist");
        return false;
    }
    return true;
}

SceneNode* ScreenGroup::Instantiate(SceneApplicationMode& screen, const char* layout)
{
    return Instantiate(screen, std::string(layout), screen.CreateRootNode());
}

SceneNode* ScreenGroup::Instantiate(SceneApplicationMode& screen, const std::string& layout,
                                    SceneNode* parent)
{
    const SceneLayout* found = GetSceneLayoutByString(layout).second;
    if (!found)
    {
        ShowError(L"scene layout " + Kestrin::FromUtf8(layout) + L" not found");
        return nullptr;
    }
    try
    {
        return found->Instantiate(screen, parent);
    }
    catch (const std::exception& e)
    {
        ShowError(Kestrin::FromUtf8(e.what()));
        return nullptr;
    }
}

void ScreenGroup::ShowError(const std::wstring& text)
{
    if (m_errorShown)
    {
        Kestrin::LogPrintf("%s (no further box): %s\n", Kestrin::ToUtf8(m_group).c_str(),
                           Kestrin::ToUtf8(text).c_str());
        return;
    }
    m_errorShown = true;
    ShowErrorMessageBox(text, GetCaption());
}

SceneNode* ScreenGroup::FindNode(ScreenNode node, SceneNode* start)
{
    SceneNode* found = FindScreenNode(start ? start : GetCurrentSceneRoot(), node);
    if (!found)
        ReportMissing(std::string(GetScreenNodeRow(node).path));
    return found;
}

Kestrin::Object* ScreenGroup::FindObject(Kestrin::NameId name)
{
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    Kestrin::Object* object = database && name ? database->FindObject(name) : nullptr;
    if (!object)
        ReportMissing(name.c_str() ? name.c_str() : "");
    return object;
}

void ScreenGroup::ReportMissing(const std::string& what)
{
    m_reported.Printf(what, "Missing node %s in %s\n", what.c_str(), Kestrin::ToUtf8(m_group).c_str());
}

void ScreenGroup::ReportWrongKind(const std::string& what, const std::string& kind)
{
    m_reported.Printf(what, "Node %s in %s is not a %s\n", what.c_str(), Kestrin::ToUtf8(m_group).c_str(),
                      kind.c_str());
}
