#include "UI/ControlObject.h"

#include "Framework/ObjectDatabase.h"
#include "UI/UIServices.h"

namespace Kestrin
{

ControlObject::ControlObject(NameId name, float depth) : m_name(name), m_depth(depth) {}

bool ControlObject::IsOpaqueAt(int, int)
{
    return true;
}

bool ControlObject::Contains(float x, float y)
{
    return BoundsComponent::Contains(x, y) && IsOpaqueAt(Graphics::TruncToInt(x), Graphics::TruncToInt(y));
}

void ControlObject::Fire(NameId event)
{
    if (ObjectDatabase* database = GetCurrentObjectDatabase())
        database->Broadcast(Message(GetHandle(), event));
}

bool ControlObject::HasKeyboardFocus()
{
    return GetHandle() != NoObjectHandle && HasFocus(this);
}

bool ControlObject::HasCapture() const
{
    return HoldsMouseCapture(this);
}

void ControlObject::TakeFocus()
{
    ObjectDatabase* database = DatabaseOf(this);
    if (database)
        database->SetFocus(this);
}

} // namespace Kestrin
