#include "Platform/Display.h"

#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/CommandLine.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Platform.h"

#include <functional>
#include <vector>

namespace Kestrin
{

namespace
{

struct DisplayAttempt
{
    int kind;
    int windowMode;
};

// Tried in this order; a walk starts at the first row of the wanted window mode.
constexpr DisplayAttempt kAttempts[4] = {
    {GraphicsCaps_Hardware3D, WindowMode_FullScreen},
    {GraphicsCaps_Software, WindowMode_FullScreen},
    {GraphicsCaps_Hardware3D, WindowMode_Windowed},
    {GraphicsCaps_Software, WindowMode_Windowed},
};

DisplaySettings g_current{WindowMode_None, 1, 800, 600};

int g_eventHandlingDepth = 0;
std::vector<std::function<void()>> g_queued;

// Runs now, or after the events when some are being handled.
void RunOrQueue(std::function<void()> change)
{
    if (g_eventHandlingDepth > 0)
        g_queued.push_back(std::move(change));
    else
        change();
}

struct SavedCursor
{
    bool existed = false;
    bool customCursor = false;
    IImage* image = nullptr;
    Vector2<int> hotSpot;
};

} // namespace

DisplaySettings& GetCurrentDisplaySettings()
{
    return g_current;
}

std::list<IWindowModeChangeHandler*>& GetWindowModeChangeHandlers()
{
    static std::list<IWindowModeChangeHandler*> handlers;
    return handlers;
}

void ApplyDisplaySettings(DisplaySettings& wanted, bool force)
{
    if (g_eventHandlingDepth > 0)
    {
        DisplaySettings copy = wanted;
        g_queued.push_back([copy, force]() mutable { ApplyDisplaySettings(copy, force); });
        return;
    }

    SavedCursor saved;
    if (IGraphicsPlatform* graphics = GetGraphicsPlatform())
    {
        saved.existed = true;
        saved.customCursor = graphics->IsCustomCursorEnabled();
        saved.image = graphics->GetCursorImage();
        graphics->GetCursorHotSpot(saved.hotSpot);
    }

    const DisplaySettings& current = g_current;
    bool unchanged = wanted.windowMode == current.windowMode && wanted.width == current.width &&
                     wanted.height == current.height;
    if (force || !unchanged)
    {
        const bool softwareOnly = GetProgramCommandLine().Has(L"-software");

        int first = 0;
        while (first < 4 && kAttempts[first].windowMode != wanted.windowMode)
            ++first;
        if (first == 4)
            LogPrintf("No display attempt for window mode %d.\n", wanted.windowMode);

        for (int row = first; row < 4; ++row)
        {
            if (softwareOnly && kAttempts[row].kind == GraphicsCaps_Hardware3D)
                continue;
            wanted.windowMode = kAttempts[row].windowMode;
            if (TryCreateGraphicsPlatform(wanted, kAttempts[row].kind, row == 3))
            {
                // A handler may take itself off the list.
                auto handlers = GetWindowModeChangeHandlers();
                for (IWindowModeChangeHandler* handler : handlers)
                    handler->OnWindowModeChanged();
                break;
            }
        }
    }

    IGraphicsPlatform* graphics = GetGraphicsPlatform();
    if (saved.existed && graphics)
    {
        graphics->SetCustomCursorEnabled(saved.customCursor);
        graphics->SetCursorImage(saved.image, saved.hotSpot);
    }
}

bool TryCreateGraphicsPlatform(const DisplaySettings& wanted, int kind, bool lastResort)
{
    try
    {
        if (IGraphicsPlatform* old = GetGraphicsPlatform())
        {
            old->Shutdown();
            delete old;
            SetGraphicsPlatform(nullptr);
        }
        IPlatform* platform = GetPlatform();
        if (platform)
            platform->DestroyWindow();

        IGraphicsPlatform* graphics = CreateGraphicsPlatform(kind);

        if (platform)
            platform->CheckScreenResolution(wanted);
        if (graphics)
            graphics->PrepareForWindow(wanted);

        g_current = wanted;
        if (platform)
            platform->CreateMainWindow(g_current);
        if (graphics)
            graphics->Initialize(g_current);
        return true;
    }
    catch (const std::exception& e)
    {
        LogPrintf("Error initializing IGraphicsPlatform!\n");
        LogExceptionDetails(e);
        if (lastResort)
            throw;
        return false;
    }
}

void ResetDisplay()
{
    RunOrQueue(
        []
        {
            DisplaySettings settings = g_current;
            ApplyDisplaySettings(settings, true);
        });
}

void QueueDisplayReset()
{
    g_queued.push_back(
        []
        {
            DisplaySettings settings = g_current;
            ApplyDisplaySettings(settings, true);
        });
}

void SetWindowMode(int mode)
{
    RunOrQueue(
        [mode]
        {
            DisplaySettings settings = g_current;
            settings.windowMode = mode;
            ApplyDisplaySettings(settings, false);
        });
}

void ToggleWindowMode()
{
    // Decided when it runs, so two toggles asked within one pass cancel out.
    RunOrQueue(
        []
        {
            DisplaySettings settings = g_current;
            settings.windowMode =
                settings.windowMode == WindowMode_Windowed ? WindowMode_FullScreen : WindowMode_Windowed;
            ApplyDisplaySettings(settings, false);
        });
}

ScopedEventHandling::ScopedEventHandling()
{
    ++g_eventHandlingDepth;
}

ScopedEventHandling::~ScopedEventHandling()
{
    --g_eventHandlingDepth;
}

bool IsHandlingEvents()
{
    return g_eventHandlingDepth > 0;
}

bool HasQueuedDisplayChanges()
{
    return !g_queued.empty();
}

bool ApplyQueuedDisplayChanges()
{
    if (g_queued.empty())
        return false;
    // A change may queue nothing further (no events are being handled now), but take the list
    // first anyway so that a throwing change leaves no half-run queue behind.
    std::vector<std::function<void()>> changes;
    changes.swap(g_queued);
    for (auto& change : changes)
        change();
    return true;
}

void ClearQueuedDisplayChanges()
{
    g_queued.clear();
}

} // namespace Kestrin
