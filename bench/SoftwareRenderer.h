#pragma once
// The software renderer over the display shim's fake back end, for benchmarks that draw without a
// window: the platform it is handed, set up and torn down around one call.
#include "Graphics/Canvas.h"
#include "Platform/Shim/DirectDraw/FakeBackend.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/DDraw7GraphicsPlatform.h"

#include "Support/EngineFakes.h"

#include <cstdint>
#include <memory>

namespace BenchSoftware
{

// A windowed platform the display layer can be handed; the fake back end never looks inside.
class BenchPlatform : public KestrinTest::FakePlatform
{
public:
    using FakePlatform::FakePlatform;
    void* GetDisplayWindow() override { return reinterpret_cast<void*>(uintptr_t(0x1000)); }
};

// Calls draw(canvas) with the software renderer's canvas at 800x600.
template <typename Draw> void OnSoftwareRenderer(Draw draw)
{
    Kestrin::Shim::DirectDraw::FakeBackend fake;
    KestrinTest::Journal journal;
    auto platform = std::make_unique<BenchPlatform>(journal);
    Kestrin::CDisplay::Instance();
    {
        Kestrin::DDraw7GraphicsPlatform graphics;
        graphics.Initialize(Kestrin::DisplaySettings{0, 1, 800, 600});
        draw(graphics.GetCanvas());
    }
    Kestrin::CDisplaySingletonDestructor display;
    display.DestroySingleton();
}

} // namespace BenchSoftware
