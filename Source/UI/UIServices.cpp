#include "UI/UIServices.h"

#include "Framework/Keys.h"
#include "Framework/ObjectDatabase.h"
#include "Platform/Platform.h"
#include "UI/UINames.h"

namespace Kestrin
{

bool HasFocus(Object* object)
{
    ObjectDatabase* database = GetCurrentObjectDatabase();
    Object* focused = database ? database->GetObject(database->GetFocusHandle()) : nullptr;
    return focused == object;
}

void SetMouseCapture(Object* object)
{
    if (ObjectDatabase* database = DatabaseOf(object))
        database->SetCaptureHandle(object ? object->GetHandle() : NoObjectHandle);
    if (IPlatform* platform = GetPlatform())
    {
        if (object)
            platform->SetCapture();
        else
            platform->ReleaseCapture();
    }
}

bool HoldsMouseCapture(const Object* object)
{
    ObjectDatabase* database = object ? object->GetDatabase() : nullptr;
    return database && object->GetHandle() != NoObjectHandle &&
           database->GetCaptureHandle() == object->GetHandle() &&
           database->IsValidHandle(object->GetHandle());
}

bool ReleaseMouseCapture(Object* object)
{
    if (!HoldsMouseCapture(object))
        return false;
    ObjectDatabase* database = object->GetDatabase();
    database->SetCaptureHandle(NoObjectHandle);
    if (IPlatform* platform = GetPlatform())
        platform->ReleaseCapture();
    return true;
}

NameId KeyboardFocusController::GetName() const
{
    return Names::KeyboardFocusController;
}

MessageResult KeyboardFocusController::OnKeyDown(int key)
{
    ObjectDatabase* database = DatabaseOf(this);
    switch (key)
    {
    case VK_LEFT:
    case VK_UP:
        if (database)
            database->FocusPrevious();
        return MessageResult::Handled;
    case VK_RIGHT:
    case VK_DOWN:
    case VK_TAB:
        if (database)
            database->FocusNext();
        return MessageResult::Handled;
    default:
        return MessageResult::NotHandled;
    }
}

} // namespace Kestrin
