#pragma once
// What every game screen shares: the common start of Enter with the screen's one error box, and
// checked lookups through the screens' node table that log a missing node once instead of handing
// a screen a null to dereference.
#include "Base/Log.h"
#include "Framework/Message.h"
#include "Framework/Names.h"
#include "Framework/Object.h"
#include "Framework/TypeName.h"
#include "Scene/CurrentScene.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenNodes.h"

#include <string>

// The clicked object's name for a "ButtonClick" about a live object of the current screen; null for
// any other message and for a handle whose object has gone.
Kestrin::NameId GetClickedName(const Kestrin::Message& message);

// Whether a countdown of the screens has run out. Steps of 0.02 s do not add up exactly in floats
// (2.5 s would take 126 of them), so a tenth of a millisecond left counts as none.
inline bool CountdownOver(float secondsLeft)
{
    return secondsLeft <= 1e-4f;
}

// A game screen's resource group and what the screen says about it. A screen shows one error box
// at most (a broken group often fails in several places), and logs each missing node or object once
// ("Missing node main_menu/table in Title_MainMenu").
class ScreenGroup
{
public:
    explicit ScreenGroup(std::wstring group);

    const std::wstring& GetName() const { return m_group; }
    // "There was an error loading <group>.xml. Fix the problem and press F5 to reload"
    std::wstring GetCaption() const;

    // The common start of Enter: the screen's root, a keyboard focus controller when asked for,
    // the group, then the layout under the root. False, after the error box, when the group or the
    // layout is not there.
    bool Enter(SceneApplicationMode& screen, const char* layout, bool focusController);
    // Loads the group with the file index on. Any std::exception shows the error box with its text;
    // a group file that does not exist (the resource manager stays silent) shows "file doesn't
    // exist". False then.
    bool Load();
    // The layout built under the screen's root and registered in the screen; null, after the error
    // box, when the layout is not loaded or cannot be built.
    SceneNode* Instantiate(SceneApplicationMode& screen, const char* layout);
    // The same for a piece of the screen built many times: under `parent`, or unattached for null.
    SceneNode* Instantiate(SceneApplicationMode& screen, const std::string& layout, SceneNode* parent);

    // The error box under the screen's caption; only the first call shows one.
    void ShowError(const std::wstring& text);
    bool HasShownError() const { return m_errorShown; }

    // Lookups in the current screen that log what they miss, once per row or name. A row is found
    // below `start` when one is given (an instance of a layout built many times), else below the
    // screen's root.
    SceneNode* FindNode(ScreenNode node, SceneNode* start = nullptr);
    // A node of another kind is logged and answered as null, as a missing one is.
    template <typename T> T* FindNodeAs(ScreenNode node, SceneNode* start = nullptr)
    {
        SceneNode* found = FindNode(node, start);
        if (!found)
            return nullptr;
        if (T* typed = dynamic_cast<T*>(found))
            return typed;
        ReportWrongKind(std::string(GetScreenNodeRow(node).path), Kestrin::DemangledTypeName(typeid(T)));
        return nullptr;
    }
    Kestrin::Object* FindObject(Kestrin::NameId name);
    template <typename T> T* FindObjectAs(Kestrin::NameId name)
    {
        Kestrin::Object* object = FindObject(name);
        if (!object)
            return nullptr;
        if (T* typed = dynamic_cast<T*>(object))
            return typed;
        ReportWrongKind(name.c_str() ? name.c_str() : "", Kestrin::DemangledTypeName(typeid(T)));
        return nullptr;
    }

private:
    void ReportMissing(const std::string& what);
    void ReportWrongKind(const std::string& what, const std::string& kind);

    std::wstring m_group;
    bool m_errorShown = false;
    Kestrin::LogOnce m_reported;
};
