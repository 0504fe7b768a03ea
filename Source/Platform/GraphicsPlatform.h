#pragma once
#include "Base/Geometry.h"
#include "Framework/Application.h"
#include "Framework/Names.h"

namespace Kestrin
{

class IImage;
class ITexture;
namespace Graphics
{
class ICanvas;
}

// Capability bits of a graphics platform.
enum GraphicsCapabilities : int
{
    GraphicsCaps_Software = 1,
    GraphicsCaps_Hardware3D = 2, // blends translucent fills (screens dim what lies beneath them)
};

// The engine's graphics back end: the main loop begins and ends every frame through it and draws
// through its canvas. One exists at a time; it is replaced on every display change.
class IGraphicsPlatform
{
public:
    // Clears the global pointer when it points here.
    virtual ~IGraphicsPlatform();
    virtual void GetName(NameId& name) = 0;
    // Sees the wanted settings before the window is made for them.
    virtual void PrepareForWindow(const DisplaySettings& settings) = 0;
    virtual int GetCapabilities() = 0;
    virtual void Initialize(const DisplaySettings& settings) = 0;
    virtual void Shutdown() = 0;
    // 0: draw this frame; anything else: nothing can be drawn now.
    virtual int BeginFrame() = 0;
    // Finishes and presents the frame.
    virtual int EndFrame() = 0;
    // The screen canvas; null when there is none.
    virtual Graphics::ICanvas* GetCanvas() = 0;
    // A device texture for an image (the caller holds one reference), or null.
    virtual ITexture* CreateTexture(IImage* image) = 0;
    // Whether the engine draws its own cursor (the system cursor is then hidden over the window).
    virtual bool IsCustomCursorEnabled() = 0;
    // Implementations refresh the window's cursor at once (RefreshWindowCursor).
    virtual void SetCustomCursorEnabled(bool enabled) = 0;
    virtual void SetCursorImage(IImage* image, const Vector2<int>& hotSpot) = 0;
    virtual IImage* GetCursorImage() = 0;
    virtual void GetCursorHotSpot(Vector2<int>& hotSpot) = 0;
};

IGraphicsPlatform* GetGraphicsPlatform();
// Graphics platforms register themselves when made; engine shutdown deletes the registered one.
// The screen canvas proxy forwards to the registered platform's canvas.
void SetGraphicsPlatform(IGraphicsPlatform* platform);

// Makes graphics platforms for the display walk. Kinds: 2 hardware (3D), 1 software.
class IGraphicsPlatformFactory
{
public:
    virtual ~IGraphicsPlatformFactory() = default;
    // Makes sure the display exists; false when it cannot be made.
    virtual bool CreateDisplay() = 0;
    // A new platform of that kind, or null for none.
    virtual IGraphicsPlatform* CreateGraphicsPlatform(int kind) = 0;
};

// The factory stays owned by the caller; null removes it.
void SetGraphicsPlatformFactory(IGraphicsPlatformFactory* factory);
IGraphicsPlatformFactory* GetGraphicsPlatformFactory();

// Ensures the display, then makes the platform of the kind: bit value 2 the hardware platform,
// else bit value 1 the software platform, else none (null). Throws engine_error
// "Could not create display" when there is no display. The made platform is registered.
IGraphicsPlatform* CreateGraphicsPlatform(int kind);

} // namespace Kestrin
