#pragma once
#include "Framework/Application.h"

#include <list>

namespace Kestrin
{

// The settings of the window that exists now; {-1, 1, 800, 600} before the first window.
// The window platform reads it for its sizing rules and for mouse scaling.
DisplaySettings& GetCurrentDisplaySettings();

// Told after every successful display change (a new window and graphics platform).
class IWindowModeChangeHandler
{
public:
    virtual ~IWindowModeChangeHandler() = default;
    virtual void OnWindowModeChanged() = 0;
};

// Screens add and remove themselves here directly; called in list order.
std::list<IWindowModeChangeHandler*>& GetWindowModeChangeHandlers();

// Rebuilds the window and the graphics platform for the wanted settings, walking the display
// attempts {3D, full screen}, {software, full screen}, {3D, windowed}, {software, windowed} from
// the first row of the wanted window mode ("-software" on the command line skips the 3D rows).
// Only the last row's failure is thrown on. Writes the window mode that worked back into wanted.
// Not forced, nothing happens when window mode and size are already current. While events are
// being handled the change is queued instead (see below) and wanted is left as it is.
void ApplyDisplaySettings(DisplaySettings& wanted, bool force);
// One attempt: the old graphics platform and window go, a new platform of the kind and a new window
// are made. False on failure (logged), unless it is the last resort, which throws on.
bool TryCreateGraphicsPlatform(const DisplaySettings& wanted, int kind, bool lastResort);
// The current settings again, forced.
void ResetDisplay();
// A forced ResetDisplay for the main loop's next pass, even when no events are being handled: for
// callers that the reset would destroy (a graphics platform inside its own EndFrame).
void QueueDisplayReset();
void SetWindowMode(int mode);
// Full screen becomes windowed and back.
void ToggleWindowMode();

// A display change destroys the window; one asked for while the window's events are dispatched
// waits for the main loop, which applies it at the top of its next pass.
class ScopedEventHandling
{
public:
    ScopedEventHandling();
    ~ScopedEventHandling();
    ScopedEventHandling(const ScopedEventHandling&) = delete;
    ScopedEventHandling& operator=(const ScopedEventHandling&) = delete;
};
bool IsHandlingEvents();
bool HasQueuedDisplayChanges();
// Applies the queued changes in the order they were asked for; false when none was queued.
bool ApplyQueuedDisplayChanges();
// Drops what is queued (engine shutdown).
void ClearQueuedDisplayChanges();

} // namespace Kestrin
