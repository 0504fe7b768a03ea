#pragma once
#include "Framework/ObjectDatabase.h"

namespace Kestrin
{

// A screen on the screen stack, and the database of its objects. The engine calls it only in the
// order the stack defines: Enter once pushed, Deactivate and Activate around every batch of screen
// requests, Update and input while on top, Draw while visible, Exit once popped, then delete.
// The input operations are the database's own (focus or capture first, then front to back).
class ApplicationMode : public ObjectDatabase
{
public:
    ApplicationMode() = default;
    ~ApplicationMode() override = default;

    // Runs the database: ticks its objects, deletes removed ones, sorts the drawables.
    virtual void Update(float dt);
    // Draws the database's drawables.
    virtual void Draw();
    virtual void Enter() {}
    virtual void Exit() {}
    // Now on top after a batch of requests; may come without an earlier Deactivate.
    virtual void Activate() {}
    // A batch of requests is about to run; the screen may stay on top after it.
    virtual void Deactivate() {}
    // An opaque screen hides every screen below it.
    virtual bool IsOpaque() { return true; }
    // Drawn over the screens beneath, just before this screen when it is not opaque: black at half
    // alpha where the graphics platform blends translucent fills, else nothing.
    virtual void DrawBackdrop();
    virtual ObjectDatabase* GetObjectDatabase() { return this; }
};

} // namespace Kestrin
