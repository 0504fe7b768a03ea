// Drives the screen stack with random request sequences, including screens that queue requests
// from their own Enter, Exit, Update and Draw, and input arriving in between. Requests only name
// screens that are new or on the stack when they are queued, as game code does. Any use after
// free or double delete shows up under AddressSanitizer; a screen left undeleted aborts.
#include "Base/Log.h"
#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"
#include "Platform/ApplicationMode.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <set>

using namespace Kestrin;

namespace
{

struct World;

class Screen : public ApplicationMode
{
public:
    Screen(World& world);
    ~Screen() override;
    void Enter() override;
    void Exit() override;
    void Update(float) override;
    void Draw() override;
    bool IsOpaque() override;

    int reaction = 0; // what it queues from inside the engine's calls
    bool opaque = true;

private:
    World& m_world;
};

struct World
{
    FuzzedDataProvider& in;
    std::set<Screen*> alive;
    int made = 0;
    int depth = 0;
    explicit World(FuzzedDataProvider& provider) : in(provider) {}

    Screen* Fresh()
    {
        auto* s = new Screen(*this);
        s->reaction = in.ConsumeIntegralInRange(0, 7);
        s->opaque = in.ConsumeBool();
        return s;
    }
    Screen* OnStack()
    {
        const auto& stack = Looper::Current()->GetStack();
        if (stack.empty())
            return nullptr;
        return static_cast<Screen*>(stack[in.ConsumeIntegralInRange<size_t>(0, stack.size() - 1)]);
    }
    // A request for a new screen (none once enough were made) or for one on the stack.
    void Queue(int kind, bool fresh)
    {
        if (kind == Looper::Request_Pop)
        {
            PopMode();
            return;
        }
        Screen* s = fresh ? (made < 200 ? Fresh() : nullptr) : OnStack();
        Looper::Current()->Queue(s, kind);
    }
    // A screen reacting from inside an engine call, bounded so that it cannot recurse for ever.
    void React(int reaction)
    {
        if (depth > 2 || in.remaining_bytes() == 0)
            return;
        ++depth;
        switch (reaction)
        {
        case 1:
            Queue(Looper::Request_Push, true);
            break;
        case 2:
            PopMode();
            break;
        case 3:
            Queue(Looper::Request_PopTo, false);
            break;
        case 4:
            Queue(Looper::Request_Replace, in.ConsumeBool());
            break;
        case 5:
            Looper::Current()->HandleInputEvent({in.ConsumeIntegralInRange(0, 6), 1, 2, 3});
            break;
        default:
            break;
        }
        --depth;
    }
};

Screen::Screen(World& world) : m_world(world)
{
    ++world.made;
    world.alive.insert(this);
}
Screen::~Screen()
{
    if (!m_world.alive.erase(this))
        std::abort();
}
void Screen::Enter()
{
    m_world.React(reaction);
}
void Screen::Exit()
{
    m_world.React(reaction);
}
void Screen::Update(float)
{
    m_world.React(reaction);
}
void Screen::Draw()
{
    m_world.React(reaction >= 4 ? reaction : 0);
}
bool Screen::IsOpaque()
{
    return opaque;
}

// Draws into a small image, so that backdrops really fill.
class DrawingPlatform : public IGraphicsPlatform
{
public:
    DrawingPlatform() : m_image(8, 6), m_canvas(m_image) {}
    void GetName(NameId& name) override { name = NameId(); }
    void PrepareForWindow(const DisplaySettings&) override {}
    int GetCapabilities() override { return GraphicsCaps_Hardware3D; }
    void Initialize(const DisplaySettings&) override {}
    void Shutdown() override {}
    int BeginFrame() override { return 0; }
    int EndFrame() override { return 0; }
    Graphics::ICanvas* GetCanvas() override { return &m_canvas; }
    ITexture* CreateTexture(IImage*) override { return nullptr; }
    bool IsCustomCursorEnabled() override { return false; }
    void SetCustomCursorEnabled(bool) override {}
    void SetCursorImage(IImage*, const Vector2<int>&) override {}
    IImage* GetCursorImage() override { return nullptr; }
    void GetCursorHotSpot(Vector2<int>& hot) override { hot = {}; }

private:
    Image m_image;
    Graphics::cImageCanvas m_canvas;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetLogToStderr(false); // dropped requests are logged, and expected here
    FuzzedDataProvider in(data, size);
    World world(in);
    DrawingPlatform graphics;
    SetGraphicsPlatform(&graphics);
    {
        Looper looper;
        while (in.remaining_bytes() > 0)
        {
            switch (in.ConsumeIntegralInRange(0, 9))
            {
            case 0:
                world.Queue(in.ConsumeIntegralInRange(0, 4), true);
                break;
            case 1:
                world.Queue(in.ConsumeIntegralInRange(0, 2), false);
                break;
            case 2:
                PopMode();
                break;
            case 3:
            case 4:
                looper.ProcessModeRequests();
                break;
            case 5:
                looper.HandleInputEvent({in.ConsumeIntegralInRange(-1, 6), in.ConsumeIntegral<int>(),
                                         in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>()});
                break;
            case 6:
                looper.UpdateAll(0.02f);
                break;
            case 7:
                looper.DrawFrame();
                break;
            case 8:
                looper.PopModeNow();
                break;
            case 9:
                if (Screen* s = world.OnStack())
                    s->reaction = in.ConsumeIntegralInRange(0, 7);
                break;
            }
        }
    }
    SetGraphicsPlatform(nullptr);
    if (!world.alive.empty())
        std::abort(); // a screen nobody deleted
    return 0;
}
