#pragma once
#include "Framework/Application.h"

#include <string>

namespace Kestrin
{

// What the window hands the main loop. Coordinates are in the logical frame (800 x 600 by default).
enum InputEventType : int
{
    InputEvent_MouseMove = 0,
    InputEvent_ButtonUp = 1,   // value: 0 left, 1 right
    InputEvent_ButtonDown = 2, // value: 0 left, 1 right
    InputEvent_KeyUp = 3,      // value: Windows virtual-key code
    InputEvent_KeyDown = 4,    // value: Windows virtual-key code; repeats come as further key-downs
    InputEvent_MouseLeave = 5, // the mouse left the window
    InputEvent_Text = 6,       // value: a typed character's Unicode code point, one event per character
};

struct InputEvent
{
    int type = 0;
    int x = 0;
    int y = 0;
    int value = 0;

    bool operator==(const InputEvent&) const = default;
};

class IInputEventSink
{
public:
    virtual ~IInputEventSink() = default;
    virtual void HandleInputEvent(const InputEvent& event) = 0;
};

// The engine's face of the operating system: the main window, its events and the flags that drive
// the main loop. One exists at a time; engine shutdown deletes it.
class IPlatform
{
public:
    // Clears the global pointer when it points here.
    virtual ~IPlatform();
    virtual void Initialize() = 0;
    virtual void Shutdown() = 0;
    // True when another copy runs; it has been asked to come to the front.
    virtual bool ActivateExistingInstance() = 0;
    virtual void CreateMainWindow(const DisplaySettings& settings) = 0;
    virtual void DestroyWindow() = 0;
    // Restores a minimised window.
    virtual void RestoreWindow() = 0;
    // Leaves full screen, then opens a URL or document.
    virtual void ShellOpen(const std::wstring& target) = 0;
    // Throws when the screen is smaller than the settings ask for.
    virtual void CheckScreenResolution(const DisplaySettings& settings) = 0;
    virtual bool IsActive() = 0;
    virtual bool IsQuitRequested() = 0;
    virtual bool HasPendingMessages() = 0;
    virtual bool IsRepaintRequested() = 0;
    virtual void ClearRepaintRequest() = 0;
    // Handles exactly one event (waiting for one when none is queued); input goes to the sink,
    // which is known only during this call.
    virtual void PumpMessages(IInputEventSink* sink) = 0;
    // Blocks until an event is waiting; does not take it.
    virtual void WaitForMessages() = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    // The game window as the display layer knows it (an SDL_Window*); null when there is none.
    virtual void* GetDisplayWindow() { return nullptr; }
};

IPlatform* GetPlatform();
// Constructors of platforms call this; engine shutdown deletes the registered one.
void SetPlatform(IPlatform* platform);

// The window shows the system's arrow cursor wherever the graphics platform does not draw the game's
// own (the custom-cursor setting decides which one the player sees). Nothing without a window platform.
void UseSystemArrowCursor();

// Makes the program's platform (the SDL window platform); it registers itself.
IPlatform* CreatePlatform();

} // namespace Kestrin
