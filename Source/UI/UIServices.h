#pragma once
// Focus and mouse-capture services of the widgets and control nodes, and the keyboard focus
// controller that moves the focus with the arrow keys and Tab.
#include "Framework/Components.h"
#include "Framework/Object.h"

namespace Kestrin
{

class ObjectDatabase;

// True when the object holds the keyboard focus of the current database. With no focus, or a
// focus handle that names nothing live, only null counts as focused.
bool HasFocus(Object* object);

// Makes the object the mouse capture of its database (the current one for an object not yet
// added) and has the platform capture the mouse for the window; null releases both.
void SetMouseCapture(Object* object);

// True when the object holds the mouse capture of the database it was added to.
bool HoldsMouseCapture(const Object* object);

// When the object holds the capture of its database: clears it and has the platform release the
// window's capture. Answers whether it did.
bool ReleaseMouseCapture(Object* object);

// Moves the keyboard focus through its database: Left and Up to the previous object that takes
// focus, Right, Down and Tab (with or without Shift) to the next, wrapping around.
class KeyboardFocusController : public Object, public InputHandlerComponent
{
public:
    NameId GetName() const override;
    MessageResult OnKeyDown(int key) override;
};

} // namespace Kestrin
