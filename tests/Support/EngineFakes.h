#pragma once
// Scripted stand-ins for the platforms, the application and the screens. They all write into one
// journal, so that tests can check the order of calls across them.
#include "Base/Exceptions.h"
#include "Framework/Application.h"
#include "Graphics/Canvas.h"
#include "Platform/ApplicationMode.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Display.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace KestrinTest
{

using Lines = std::vector<std::string>;

struct Journal
{
    Lines lines;
    void Add(const std::string& line) { lines.push_back(line); }
    Lines With(const std::string& prefix) const
    {
        Lines out;
        for (const auto& l : lines)
            if (l.compare(0, prefix.size(), prefix) == 0)
                out.push_back(l);
        return out;
    }
    size_t Count(const std::string& line) const
    {
        return size_t(std::count(lines.begin(), lines.end(), line));
    }
    size_t At(const std::string& line) const
    {
        return size_t(std::find(lines.begin(), lines.end(), line) - lines.begin());
    }
    void Clear() { lines.clear(); }
};

inline std::string Ms(float dt)
{
    return std::to_string(int(dt * 1000.0f + 0.5f));
}

class RecordingMode : public Kestrin::ApplicationMode
{
public:
    RecordingMode(std::string name, Journal& journal) : m_name(std::move(name)), m_journal(journal) {}
    ~RecordingMode() override { Note("delete"); }

    void Enter() override { Note("Enter", onEnter); }
    void Exit() override { Note("Exit", onExit); }
    void Activate() override { Note("Activate"); }
    void Deactivate() override { Note("Deactivate"); }
    void Update(float dt) override { Note("Update " + Ms(dt), onUpdate); }
    void Draw() override { Note("Draw", onDraw); }
    void DrawBackdrop() override { Note("DrawBackdrop"); }
    bool IsOpaque() override { return Note("IsOpaque"), opaque; }
    bool OnMouseMove(int x, int y) override { return Note("OnMouseMove " + Xy(x, y)), false; }
    bool OnMouseDown(Kestrin::MouseButton b, int x, int y) override
    {
        return Note("OnMouseDown " + std::to_string(int(b)) + " " + Xy(x, y)), false;
    }
    bool OnMouseUp(Kestrin::MouseButton b, int x, int y) override
    {
        return Note("OnMouseUp " + std::to_string(int(b)) + " " + Xy(x, y)), false;
    }
    bool OnKeyDown(int key) override { return Note("OnKeyDown " + std::to_string(key)), false; }
    bool OnKeyUp(int key) override { return Note("OnKeyUp " + std::to_string(key)), false; }
    void OnMouseLeave() override { Note("OnMouseLeave"); }
    bool OnText(wchar_t c) override { return Note("OnText " + std::to_string(int(c))), false; }

    bool opaque = true;
    std::function<void()> onEnter, onExit, onUpdate, onDraw;

private:
    static std::string Xy(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    void Note(const std::string& what, const std::function<void()>& then = {})
    {
        m_journal.Add(m_name + "." + what);
        if (then)
            then();
    }
    std::string m_name;
    Journal& m_journal;
};

class TestApplication : public Kestrin::BaseApplication
{
public:
    explicit TestApplication(Journal& journal) : m_journal(journal)
    {
        m_info.companyName = L"Kestrin Tests";
        m_info.productName = L"Tanglewisp";
    }
    const Kestrin::StartupOptions* GetStartupOptions() override { return &options; }
    const Kestrin::DisplaySettings* GetWindowMode() override { return &windowMode; }
    void Initialize() override
    {
        m_journal.Add("app.Initialize");
        if (onInitialize)
            onInitialize();
    }
    void Shutdown() override { m_journal.Add("app.Shutdown"); }
    void OnAfterDraw() override { m_journal.Add("app.OnAfterDraw"); }
    void Update(float dt) override { m_journal.Add("app.Update " + Ms(dt)); }
    void OnModeRequestsApplied() override { m_journal.Add("app.OnModeRequestsApplied"); }

    Kestrin::StartupOptions options{true};
    Kestrin::DisplaySettings windowMode{0, 1, 800, 600};
    std::function<void()> onInitialize;

private:
    Journal& m_journal;
};

// Messages are scripted calls, run one per PumpMessages as the real pump would.
class FakePlatform : public Kestrin::IPlatform
{
public:
    explicit FakePlatform(Journal& journal) : m_journal(journal) { Kestrin::SetPlatform(this); }

    void Initialize() override { m_journal.Add("platform.Initialize"); }
    void Shutdown() override { m_journal.Add("platform.Shutdown"); }
    bool ActivateExistingInstance() override
    {
        return m_journal.Add("platform.ActivateExistingInstance"), otherCopyRuns;
    }
    void CreateMainWindow(const Kestrin::DisplaySettings& s) override
    {
        m_journal.Add("platform.CreateMainWindow " + std::to_string(s.windowMode));
    }
    void DestroyWindow() override { m_journal.Add("platform.DestroyWindow"); }
    void RestoreWindow() override { m_journal.Add("platform.RestoreWindow"); }
    void ShellOpen(const std::wstring&) override {}
    void CheckScreenResolution(const Kestrin::DisplaySettings& s) override
    {
        m_journal.Add("platform.CheckScreenResolution");
        if (s.width > screenWidth)
            throw Kestrin::engine_error(KESTRIN_HERE, "screen too small");
    }
    bool IsActive() override { return active; }
    bool IsQuitRequested() override { return quitRequested; }
    bool HasPendingMessages() override { return !messages.empty(); }
    bool IsRepaintRequested() override { return repaint; }
    void ClearRepaintRequest() override { repaint = false; }
    void PumpMessages(Kestrin::IInputEventSink* sink) override
    {
        Kestrin::ScopedEventHandling handling;
        auto message = std::move(messages.front());
        messages.pop_front();
        message(sink);
    }
    void WaitForMessages() override
    {
        m_journal.Add("platform.WaitForMessages");
        if (onWait)
            onWait();
    }
    void SetCapture() override {}
    void ReleaseCapture() override {}

    bool otherCopyRuns = false, active = true, quitRequested = false, repaint = false;
    int screenWidth = 1024;
    std::deque<std::function<void(Kestrin::IInputEventSink*)>> messages;
    std::function<void()> onWait;

private:
    Journal& m_journal;
};

// Kind 2 writes as "graphics3D", kind 1 as "graphicsSoftware".
class FakeGraphicsPlatform : public Kestrin::IGraphicsPlatform
{
public:
    FakeGraphicsPlatform(int kind, Journal& journal, std::set<int> failModes = {})
        : kind(kind), m_journal(journal), m_failModes(std::move(failModes))
    {
    }
    ~FakeGraphicsPlatform() override { Note("delete"); }

    void GetName(Kestrin::NameId& name) override { name = Kestrin::NameId(); }
    void PrepareForWindow(const Kestrin::DisplaySettings&) override { Note("PrepareForWindow"); }
    int GetCapabilities() override { return kind; }
    void Initialize(const Kestrin::DisplaySettings& s) override
    {
        Note("Initialize " + std::to_string(s.windowMode));
        if (m_failModes.count(s.windowMode))
            throw Kestrin::engine_error(KESTRIN_HERE, "Could not initialize " + Name());
    }
    void Shutdown() override { Note("Shutdown"); }
    int BeginFrame() override { return Note("BeginFrame"), beginResult; }
    int EndFrame() override { return Note("EndFrame"), 0; }
    Kestrin::Graphics::ICanvas* GetCanvas() override { return canvas; }
    Kestrin::ITexture* CreateTexture(Kestrin::IImage*) override { return nullptr; }
    bool IsCustomCursorEnabled() override { return customCursor; }
    void SetCustomCursorEnabled(bool enabled) override
    {
        Note("SetCustomCursorEnabled " + std::to_string(enabled));
        customCursor = enabled;
    }
    void SetCursorImage(Kestrin::IImage* image, const Kestrin::Vector2<int>& hot) override
    {
        Note("SetCursorImage");
        cursorImage = image;
        hotSpot = hot;
    }
    Kestrin::IImage* GetCursorImage() override { return cursorImage; }
    void GetCursorHotSpot(Kestrin::Vector2<int>& hot) override { hot = hotSpot; }

    std::string Name() const { return kind == 2 ? "graphics3D" : "graphicsSoftware"; }

    int kind;
    int beginResult = 0;
    Kestrin::Graphics::ICanvas* canvas = nullptr;
    bool customCursor = true;
    Kestrin::IImage* cursorImage = nullptr;
    Kestrin::Vector2<int> hotSpot;

private:
    void Note(const std::string& what) { m_journal.Add(Name() + "." + what); }
    Journal& m_journal;
    std::set<int> m_failModes;
};

// Attempts {kind, window mode} listed in failing throw from Initialize.
class FakeGraphicsFactory : public Kestrin::IGraphicsPlatformFactory
{
public:
    explicit FakeGraphicsFactory(Journal& journal) : m_journal(journal)
    {
        Kestrin::SetGraphicsPlatformFactory(this);
    }
    ~FakeGraphicsFactory() override { Kestrin::SetGraphicsPlatformFactory(nullptr); }

    bool CreateDisplay() override { return displayExists; }
    Kestrin::IGraphicsPlatform* CreateGraphicsPlatform(int kind) override
    {
        m_journal.Add("factory.Create " + std::to_string(kind));
        std::set<int> failModes;
        for (auto [k, mode] : failing)
            if (k == kind)
                failModes.insert(mode);
        auto* made = new FakeGraphicsPlatform(kind, m_journal, failModes);
        made->canvas = canvas;
        return made;
    }

    bool displayExists = true;
    std::set<std::pair<int, int>> failing;
    Kestrin::Graphics::ICanvas* canvas = nullptr;

private:
    Journal& m_journal;
};

class FakeAudioPlatform : public Kestrin::IAudioPlatform
{
public:
    explicit FakeAudioPlatform(Journal& journal) : m_journal(journal) {}
    bool Initialize() override { return m_journal.Add("audio.Initialize"), true; }
    void Shutdown() override { m_journal.Add("audio.Shutdown"); }
    void SetActive(bool active) override { m_journal.Add("audio.SetActive " + std::to_string(active)); }
    void Update(float dt) override { m_journal.Add("audio.Update " + Ms(dt)); }

private:
    Journal& m_journal;
};

// While in scope the engine makes its audio platform a FakeAudioPlatform noting into the journal.
// The engine takes a plain function, so the journal is kept where the function finds it.
class FakeAudioFactory
{
public:
    explicit FakeAudioFactory(Journal& journal)
    {
        Current() = &journal;
        Kestrin::SetAudioPlatformFactory(&Make);
    }
    ~FakeAudioFactory() { Kestrin::SetAudioPlatformFactory(nullptr); }
    FakeAudioFactory(const FakeAudioFactory&) = delete;
    FakeAudioFactory& operator=(const FakeAudioFactory&) = delete;

private:
    static Journal*& Current()
    {
        static Journal* journal = nullptr;
        return journal;
    }
    static Kestrin::IAudioPlatform* Make() { return new FakeAudioPlatform(*Current()); }
};

inline FakeGraphicsPlatform* CurrentFakeGraphics()
{
    return dynamic_cast<FakeGraphicsPlatform*>(Kestrin::GetGraphicsPlatform());
}

// Leaves no platform, graphics or audio platform, display setting, queued change or changed draw
// state behind.
inline void ResetEngineGlobals()
{
    Kestrin::Graphics::CurrentDrawState() = Kestrin::Graphics::DrawState{};
    Kestrin::ClearQueuedDisplayChanges();
    delete Kestrin::GetGraphicsPlatform();
    Kestrin::SetGraphicsPlatform(nullptr);
    delete Kestrin::GetAudioPlatform();
    delete Kestrin::GetPlatform();
    Kestrin::GetCurrentDisplaySettings() = Kestrin::DisplaySettings{-1, 1, 800, 600};
    Kestrin::GetWindowModeChangeHandlers().clear();
}

} // namespace KestrinTest
