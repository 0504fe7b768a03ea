#include "Platform/Looper.h"

#include "Base/Clock.h"
#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/Application.h"
#include "Framework/Names.h"
#include "Framework/Singletons.h"
#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Graphics/SignatureCanvas.h"
#include "Platform/ApplicationMode.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Display.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Platform.h"
#include "Platform/Win32/FlashPlayer.h"

#include <algorithm>
#include <memory>
#include <set>

namespace Kestrin
{

namespace
{

Looper* g_current = nullptr;
int g_drawSuspendCount = 0;

// Never destroyed: screens left on it at exit (after a fatal error) must not run their
// destructors while the log and the other statics are going away.
Looper& ProgramLooper()
{
    static Looper* looper = new Looper();
    return *looper;
}

} // namespace

void SuspendDrawing()
{
    ++g_drawSuspendCount;
}

void ResumeDrawing()
{
    --g_drawSuspendCount;
}

int GetDrawSuspendCount()
{
    return g_drawSuspendCount;
}

void ChangeMode(ApplicationMode* mode)
{
    Looper::Current()->Queue(mode, Looper::Request_Replace);
}

void PushMode(ApplicationMode* mode)
{
    Looper::Current()->Queue(mode, Looper::Request_Push);
}

void PopToMode(ApplicationMode* mode)
{
    Looper::Current()->Queue(mode, Looper::Request_PopTo);
}

void PopMode()
{
    Looper::Current()->Queue(nullptr, Looper::Request_Pop);
}

void ClearStackAndPush(ApplicationMode* newMode)
{
    PopToMode(newMode);
}

// Points the engine's current screen (and the current object database) at a screen for a call.
class Looper::CurrentModeScope
{
public:
    CurrentModeScope(Looper& looper, ApplicationMode* mode)
        : m_looper(looper), m_previous(looper.m_currentMode), m_database(mode)
    {
        looper.m_currentMode = mode;
    }
    ~CurrentModeScope() { m_looper.m_currentMode = m_previous; }

private:
    Looper& m_looper;
    ApplicationMode* m_previous;
    ScopedCurrentObjectDatabase m_database;
};

Looper::Looper() : m_previous(g_current)
{
    g_current = this;
}

Looper::~Looper()
{
    // The queue first: a request may name a screen that the stack owns.
    DeleteQueuedModes();
    while (!m_stack.empty())
    {
        ApplicationMode* mode = m_stack.back();
        m_stack.pop_back();
        delete mode;
    }
    TopChanged();
    if (g_current == this)
        g_current = m_previous;
}

Looper* Looper::Current()
{
    return g_current ? g_current : &ProgramLooper();
}

void Looper::Queue(ApplicationMode* mode, int kind)
{
    m_requests.push_back({mode, kind});
}

bool Looper::IsOnStack(const ApplicationMode* mode) const
{
    return std::find(m_stack.begin(), m_stack.end(), mode) != m_stack.end();
}

void Looper::TopChanged()
{
    SetTopObjectDatabase(m_stack.empty() ? nullptr : m_stack.back());
}

void Looper::DeleteQueuedModes()
{
    // A screen may sit in several requests; it is deleted once, and never while on the stack.
    std::set<ApplicationMode*> deleted;
    while (!m_requests.empty())
    {
        ApplicationMode* mode = m_requests.front().mode;
        m_requests.pop_front();
        if (mode && !IsOnStack(mode) && deleted.insert(mode).second)
            delete mode;
    }
}

// ---- screen requests ----

bool Looper::ProcessModeRequests()
{
    if (m_requests.empty())
        return false;
    if (!m_stack.empty())
        m_stack.back()->Deactivate();

    while (!m_requests.empty())
    {
        Request request = m_requests.front();
        m_requests.pop_front();
        ApplyRequest(request);
    }

    if (!m_stack.empty())
    {
        ApplicationMode* top = m_stack.back();
        top->Activate();
        top->OnMouseMove(m_lastMouseX, m_lastMouseY);
        if (IApplication* application = GetApplication())
            application->OnModeRequestsApplied();
    }
    return true;
}

void Looper::ApplyRequest(const Request& request)
{
    ApplicationMode* mode = request.mode;
    switch (request.kind)
    {
    case Request_Replace:
    case Request_Push:
        if (!mode)
        {
            LogPrintf("Screen request %d without a screen dropped.\n", request.kind);
            return;
        }
        if (IsOnStack(mode))
        {
            // Replacing the top with itself would delete it and push the freed screen; pushing a
            // screen twice would delete it twice.
            if (!(request.kind == Request_Replace && mode == m_stack.back()))
                LogPrintf("Screen request %d for a screen already on the stack dropped.\n", request.kind);
            return;
        }
        if (request.kind == Request_Replace)
            PopModeNow();
        PushModeNow(mode);
        return;
    case Request_PopTo:
        if (!mode)
        {
            LogPrintf("Screen request %d without a screen dropped.\n", request.kind);
            return;
        }
        while (!m_stack.empty() && m_stack.back() != mode)
            PopModeNow();
        if (m_stack.empty())
            PushModeNow(mode);
        return;
    case Request_Pop:
        PopModeNow();
        return;
    default:
        LogPrintf("Unknown screen request %d dropped.\n", request.kind);
        if (mode && !IsOnStack(mode))
        {
            // Drop any other request for the same screen before it goes.
            for (auto it = m_requests.begin(); it != m_requests.end();)
                it = it->mode == mode ? m_requests.erase(it) : std::next(it);
            delete mode;
        }
        return;
    }
}

void Looper::PushModeNow(ApplicationMode* mode)
{
    m_stack.push_back(mode);
    TopChanged();
    CurrentModeScope scope(*this, mode);
    mode->Enter();
}

void Looper::PopModeNow()
{
    if (m_stack.empty())
        return;
    // Off the stack before Exit, and deleted even when Exit throws.
    std::unique_ptr<ApplicationMode> mode(m_stack.back());
    m_stack.pop_back();
    TopChanged();
    {
        CurrentModeScope scope(*this, mode.get());
        mode->Exit();
    }
    // A request still naming the screen (queued from its Exit, or a pop-to queued before earlier
    // pops reached it) would use it after it is gone.
    for (auto it = m_requests.begin(); it != m_requests.end();)
    {
        if (it->mode == mode.get())
        {
            LogPrintf("Screen request %d for a deleted screen dropped.\n", it->kind);
            it = m_requests.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

void Looper::HandleInputEvent(const InputEvent& event)
{
    if (m_stack.empty() || !m_requests.empty())
        return;
    ApplicationMode* top = m_stack.back();
    if (!top)
        return;
    switch (event.type)
    {
    case InputEvent_MouseMove:
        m_lastMouseX = event.x;
        m_lastMouseY = event.y;
        top->OnMouseMove(event.x, event.y);
        break;
    case InputEvent_ButtonUp:
        top->OnMouseUp(MouseButton(event.value), event.x, event.y);
        break;
    case InputEvent_ButtonDown:
        top->OnMouseDown(MouseButton(event.value), event.x, event.y);
        break;
    case InputEvent_KeyUp:
        top->OnKeyUp(event.value);
        break;
    case InputEvent_KeyDown:
        top->OnKeyDown(event.value);
        break;
    case InputEvent_MouseLeave:
        m_lastMouseX = -50;
        m_lastMouseY = -50;
        top->OnMouseLeave();
        break;
    case InputEvent_Text:
        top->OnText(wchar_t(event.value));
        break;
    default:
        break;
    }
}

// ---- the loop ----

void Looper::Run()
{
    IClock& clock = GetClock();
    uint32_t now = clock.Now();
    m_lastDraw = now;
    m_lastUpdate = now - kStepMs;

    ProcessModeRequests();
    UpdateAll(0.02f);
    DrawFrame();

    IPlatform* platform = GetPlatform();
    if (!platform || platform->IsQuitRequested())
        return;
    do
    {
        if (m_quit)
            break;
        // Display changes asked for while events were handled (Alt+Enter, maximise).
        if (ApplyQueuedDisplayChanges())
            m_haveShownSignature = false; // new surfaces hold nothing yet

        if (platform->HasPendingMessages())
            platform->PumpMessages(this);
        if (platform->IsActive())
        {
            StepFrame();
        }
        else if (platform->IsRepaintRequested())
        {
            DrawFrame();
        }
        else if (!m_quit)
        {
            // Never wait once quitting was agreed (a close while inactive): nothing may come.
            platform->WaitForMessages();
            // Time spent inactive is not caught up.
            now = clock.Now();
            m_lastDraw = now;
            m_lastUpdate = now - kStepMs;
        }
    } while (!platform->IsQuitRequested());
}

void Looper::StepFrame()
{
    IClock& clock = GetClock();
    const bool changed = ProcessModeRequests();

    const uint32_t now = clock.Now();
    const uint32_t sinceDraw = now - m_lastDraw;
    uint32_t backlog = now - m_lastUpdate;
    const bool drawDue = sinceDraw >= kForcedDrawMs;
    // Signed difference: right across the wrap of the millisecond counter.
    const bool drawnSinceUpdate = int32_t(m_lastDraw - m_lastUpdate) > 0;

    bool draw = false;
    if (!changed && backlog < kStepMs)
    {
        if (!drawDue && drawnSinceUpdate)
            return;
        draw = true;
    }
    else if (!changed && drawDue)
    {
        draw = true;
    }

    if (!draw)
    {
        backlog = std::min(backlog, kMaxBacklogMs);
        if (changed && backlog < kStepMs)
        {
            // The first step after a screen change uses whatever time was banked.
            UpdateAll(float(backlog) * 0.001f);
            m_lastUpdate = now;
            return;
        }
        while (backlog >= kStepMs && m_requests.empty())
        {
            UpdateAll(0.02f);
            backlog -= kStepMs;
        }
        m_lastUpdate = now - backlog;
        return;
    }

    DrawFrame();
    m_lastDraw = now;
    if (sinceDraw > 0)
        m_averageFrameTime = 0.975f * m_averageFrameTime + 0.025f * float(sinceDraw);
    const uint32_t elapsed = clock.Now() - m_lastUpdate;
    if (elapsed < kStepMs)
        clock.Sleep(kStepMs - elapsed);
}

void Looper::UpdateAll(float dt)
{
    if (IAudioPlatform* audio = GetAudioPlatform())
        audio->Update(dt);
    if (IApplication* application = GetApplication())
        application->Update(dt);
    if (!m_stack.empty())
        m_stack.back()->Update(dt);
}

void Looper::DrawFrame()
{
    if (g_drawSuspendCount > 0)
    {
        FillMovieBackdrop();
        return;
    }
    IPlatform* platform = GetPlatform();
    const bool repaint = platform && platform->IsRepaintRequested();
    if (platform)
        platform->ClearRepaintRequest();
    IGraphicsPlatform* graphics = GetGraphicsPlatform();
    if (!graphics)
        return; // nothing can be drawn without one
    Graphics::ICanvas* screen = graphics->GetCanvas();
    const uint32_t now = GetClock().Now();
    const bool signed_ = m_skipUnchanged && screen && !m_stack.empty();
    const uint64_t signature = signed_ ? FrameSignature(screen) : 0;
    if (signed_ && !repaint && m_haveShownSignature && signature == m_shownSignature &&
        now - m_lastShown < kUnchangedFrameMs)
    {
        ++m_unchangedFrames;
        return;
    }
    // A frame that is not shown in full leaves no signature to compare with.
    m_haveShownSignature = false;
    if (graphics->BeginFrame() != 0)
        return;
    if (screen && !m_stack.empty())
        DrawStack();
    if (IApplication* application = GetApplication())
        application->OnAfterDraw();
    if (graphics->EndFrame() != 0)
        return;
    ++m_drawnFrames;
    m_haveShownSignature = signed_;
    m_shownSignature = signature;
    m_lastShown = now;
}

uint64_t Looper::FrameSignature(Graphics::ICanvas* screen)
{
    Graphics::SignatureCanvas canvas(screen);
    // The real draw that may follow starts from the canvas and state this pass found.
    Graphics::PushCanvas();
    Graphics::SetCurrentCanvas(&canvas);
    try
    {
        DrawStack();
    }
    catch (...)
    {
        Graphics::PopCanvas();
        throw;
    }
    Graphics::PopCanvas();
    // What else the shown frame depends on: the screen it goes to and the cursor on it (a display
    // change forgets the last frame instead).
    canvas.Mix(reinterpret_cast<uintptr_t>(screen));
    canvas.Mix(uint32_t(m_lastMouseX));
    canvas.Mix(uint32_t(m_lastMouseY));
    canvas.Mix(m_stack.size());
    return canvas.Signature();
}

void Looper::FillMovieBackdrop()
{
    // A movie covers the game: the window shows the movie's background instead of a stale frame.
    if (!TakeMovieBackdropFill())
        return;
    ColorF color;
    IGraphicsPlatform* graphics = GetGraphicsPlatform();
    if (!graphics || !GetMovieBackdropColor(color) || graphics->BeginFrame() != 0)
        return;
    Graphics::ICanvas* canvas = graphics->GetCanvas();
    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    state.color = color;
    state.color.a = 1.0f;
    Graphics::FillQuad(canvas, state);
    float opacity = 0.0f;
    IImage* poster = GetMoviePoster(opacity);
    if (poster && opacity > 0.0f && canvas)
    {
        Graphics::DrawState posterState = Graphics::GetDefaultDrawState();
        posterState.imageColor.a = opacity;
        const Rect<int>& bounds = canvas->GetBounds();
        Graphics::DrawImage(float((bounds.w - poster->GetWidth()) / 2),
                            float((bounds.h - poster->GetHeight()) / 2), canvas, poster, posterState);
    }
    graphics->EndFrame();
}

void Looper::DrawStack()
{
    const size_t count = m_stack.size();
    if (count == 1)
    {
        DrawMode(m_stack.back());
        return;
    }
    // Down to the first opaque screen; the bottom counts as opaque without being asked.
    size_t from = count - 1;
    while (from > 0 && !m_stack[from]->IsOpaque())
        --from;
    ApplicationMode* top = m_stack.back();
    if (from == count - 1)
    {
        DrawMode(top);
        return;
    }
    for (size_t i = from; i + 1 < count; ++i)
        DrawMode(m_stack[i]);
    {
        CurrentModeScope scope(*this, top);
        top->DrawBackdrop();
    }
    DrawMode(top);
}

void Looper::DrawMode(ApplicationMode* mode)
{
    CurrentModeScope scope(*this, mode);
    mode->Draw();
}

void Looper::RequestQuit()
{
    // A handler may take itself off the list while it is asked.
    std::list<IQuitHandler*> handlers = m_quitHandlers;
    for (IQuitHandler* handler : handlers)
    {
        if (!handler->OnQuitRequest())
        {
            // Show the user why the program stays.
            if (IPlatform* platform = GetPlatform())
                platform->RestoreWindow();
            return;
        }
    }
    m_quit = true;
}

void Looper::Shutdown()
{
    if (!m_stack.empty())
        m_stack.back()->Deactivate();
    // Queued screens were never entered; a request naming a screen on the stack leaves it alone.
    DeleteQueuedModes();
    while (!m_stack.empty())
        PopModeNow();
    ClearQueuedDisplayChanges();

    if (IApplication* application = GetApplication())
        application->Shutdown();

    if (IGraphicsPlatform* graphics = GetGraphicsPlatform())
        graphics->Shutdown();
    if (IAudioPlatform* audio = GetAudioPlatform())
        audio->Shutdown();
    if (IPlatform* platform = GetPlatform())
    {
        platform->DestroyWindow();
        platform->Shutdown();
    }

    Internal::SingletonDestructor::DestroyAll();
    ClearInternedNames();
    ShutdownRandomStreams();
}

} // namespace Kestrin
