#pragma once
#include "Platform/Platform.h"

#include <cstdint>
#include <deque>
#include <list>
#include <vector>

namespace Kestrin
{

class ApplicationMode;
namespace Graphics
{
class ICanvas;
}

// Asked before the program ends; false refuses (the loading screen while its thread runs).
class IQuitHandler
{
public:
    virtual ~IQuitHandler() = default;
    virtual bool OnQuitRequest() = 0;
};

// Queue a screen request; the main loop applies the queue at the start of its next pass.
// A queued screen belongs to its request until it is pushed.
void ChangeMode(ApplicationMode* mode); // replace the top
void PushMode(ApplicationMode* mode);
void PopToMode(ApplicationMode* mode); // pop until it is on top; pushed when the stack runs empty
void PopMode();
// Pops every screen, then pushes the new one: the pop back to a screen not on the stack.
void ClearStackAndPush(ApplicationMode* newMode);

// While the counter is above 0 nothing is drawn (a movie covers the game).
void SuspendDrawing();
void ResumeDrawing();
int GetDrawSuspendCount();

// The main loop and the screen stack: fixed 20 ms update steps driven by the clock, catch-up capped
// at 40 ms, a forced draw after 200 ms without one, sleeping until the next step after a draw.
// A draw whose calls, arguments and cursor are those of the last frame shown leaves that frame on
// the screen (at most kUnchangedFrameMs long; a repaint request always draws).
// The program has one, made before the entry runs; one made later (a test's) stands in for it
// until it is destroyed.
class Looper : public IInputEventSink
{
public:
    enum RequestKind : int
    {
        Request_Replace = 0,
        Request_Push = 1,
        Request_PopTo = 2,
        Request_Pop = 3,
    };

    struct Request
    {
        ApplicationMode* mode;
        int kind;
    };

    Looper();
    // Deletes what is still on the stack or queued.
    ~Looper() override;
    Looper(const Looper&) = delete;
    Looper& operator=(const Looper&) = delete;

    // The looper that the request functions and the window reach.
    static Looper* Current();

    void Run();
    // One pass while the window is active: requests, then due steps or a draw.
    void StepFrame();
    void UpdateAll(float dt);
    void DrawFrame();
    // Asks every quit handler; the first refusal stops the asking and restores a minimised window.
    void RequestQuit();
    // Pops every screen, then shuts the application, the platforms and the singletons down.
    void Shutdown();

    // Applies the queue, including requests queued meanwhile; false when it was empty.
    bool ProcessModeRequests();
    void PushModeNow(ApplicationMode* mode);
    void PopModeNow();
    void Queue(ApplicationMode* mode, int kind);

    // To the top screen only, and only while no request is queued.
    void HandleInputEvent(const InputEvent& event) override;

    // The screen whose Enter, Exit or Draw runs; null otherwise.
    ApplicationMode* GetCurrentMode() const { return m_currentMode; }
    ApplicationMode* GetTopMode() const { return m_stack.empty() ? nullptr : m_stack.back(); }
    const std::vector<ApplicationMode*>& GetStack() const { return m_stack; }
    bool HasPendingRequests() const { return !m_requests.empty(); }
    // The queue as it stands, oldest first (tests read the screen flows from it).
    const std::deque<Request>& GetPendingRequests() const { return m_requests; }
    size_t GetPendingRequestCount() const { return m_requests.size(); }

    bool IsQuitSet() const { return m_quit; }
    // (-50, -50) while the mouse is outside the window.
    int GetLastMouseX() const { return m_lastMouseX; }
    int GetLastMouseY() const { return m_lastMouseY; }

    std::list<IQuitHandler*>& QuitHandlers() { return m_quitHandlers; }
    void AddQuitHandler(IQuitHandler* handler) { m_quitHandlers.push_back(handler); }
    void RemoveQuitHandler(IQuitHandler* handler) { m_quitHandlers.remove(handler); }

    // Milliseconds of the clock; the step arithmetic wraps with it.
    uint32_t GetLastUpdateTime() const { return m_lastUpdate; }
    uint32_t GetLastDrawTime() const { return m_lastDraw; }
    void SetLastUpdateTime(uint32_t t) { m_lastUpdate = t; }
    void SetLastDrawTime(uint32_t t) { m_lastDraw = t; }
    float GetAverageFrameTime() const { return m_averageFrameTime; }

    // Off for a new looper (every frame drawn and shown); the program turns it on.
    void SetSkipUnchangedFrames(bool skip) { m_skipUnchanged = skip; }
    bool GetSkipUnchangedFrames() const { return m_skipUnchanged; }
    // Frames drawn and shown, and draws left out because nothing had changed.
    long GetDrawnFrameCount() const { return m_drawnFrames; }
    long GetUnchangedFrameCount() const { return m_unchangedFrames; }
    void SetAverageFrameTime(float ms) { m_averageFrameTime = ms; }

    static constexpr uint32_t kStepMs = 20;
    static constexpr uint32_t kMaxBacklogMs = 40;
    static constexpr uint32_t kForcedDrawMs = 200;
    static constexpr uint32_t kUnchangedFrameMs = 1000;

private:
    class CurrentModeScope;

    bool IsOnStack(const ApplicationMode* mode) const;
    void ApplyRequest(const Request& request);
    void DrawStack();
    // What the stack would draw now, drawn into a signature canvas.
    uint64_t FrameSignature(Graphics::ICanvas* screen);
    void FillMovieBackdrop();
    void DrawMode(ApplicationMode* mode);
    void TopChanged();
    void DeleteQueuedModes();

    float m_averageFrameTime = 16.0f;
    uint32_t m_lastUpdate = 0;
    uint32_t m_lastDraw = 0;
    std::vector<ApplicationMode*> m_stack;
    std::deque<Request> m_requests;
    ApplicationMode* m_currentMode = nullptr;
    bool m_quit = false;
    int m_lastMouseX = -50;
    int m_lastMouseY = -50;
    std::list<IQuitHandler*> m_quitHandlers;
    Looper* m_previous = nullptr;
    bool m_skipUnchanged = false;
    bool m_haveShownSignature = false;
    uint64_t m_shownSignature = 0;
    uint32_t m_lastShown = 0;
    long m_drawnFrames = 0;
    long m_unchangedFrames = 0;
};

} // namespace Kestrin
