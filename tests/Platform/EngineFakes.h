#pragma once
// Scripted stand-ins for the platforms, the application and the screens, all writing into one
// journal so that tests can check the order of calls across them.
#include "Base/Exceptions.h"
#include "Framework/Application.h"
#include "Platform/ApplicationMode.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Display.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"

#include <deque>
#include <functional>
#include <set>
#include <utility>
#include <stdexcept>
#include <string>
#include <vector>

namespace KestrinTest
{

struct Journal
{
    std::vector<std::string> lines;
    void Add(const std::string& line) { lines.push_back(line); }
    // The lines that start with prefix, in order.
    std::vector<std::string> With(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& l : lines)
            if (l.compare(0, prefix.size(), prefix) == 0)
                out.push_back(l);
        return out;
    }
    size_t Count(const std::string& line) const
    {
        size_t n = 0;
        for (const auto& l : lines)
            n += l == line;
        return n;
    }
    void Clear() { lines.clear(); }
};

class RecordingMode : public Kestrin::ApplicationMode
{
public:
    RecordingMode(std::string name, Journal& journal) : m_name(std::move(name)), m_journal(journal) {}
    ~RecordingMode() override { m_journal.Add(m_name + ".delete"); }

    void Enter() override
    {
        m_journal.Add(m_name + ".Enter");
        if (onEnter)
            onEnter();
    }
    void Exit() override
    {
        m_journal.Add(m_name + ".Exit");
        if (onExit)
            onExit();
    }
    void Activate() override { m_journal.Add(m_name + ".Activate"); }
    void Deactivate() override { m_journal.Add(m_name + ".Deactivate"); }
    void Update(float dt) override
    {
        m_journal.Add(m_name + ".Update " + std::to_string(int(dt * 1000.0f + 0.5f)));
        if (onUpdate)
            onUpdate();
    }
    void Draw() override
    {
        m_journal.Add(m_name + ".Draw");
        if (onDraw)
            onDraw();
    }
    void DrawBackdrop() override { m_journal.Add(m_name + ".DrawBackdrop"); }
    bool IsOpaque() override
    {
        m_journal.Add(m_name + ".IsOpaque");
        return opaque;
    }
    bool OnMouseMove(int x, int y) override
    {
        m_journal.Add(m_name + ".OnMouseMove " + std::to_string(x) + "," + std::to_string(y));
        return false;
    }
    bool OnMouseDown(Kestrin::MouseButton button, int x, int y) override
    {
        m_journal.Add(m_name + ".OnMouseDown " + std::to_string(int(button)) + " " + std::to_string(x) + "," +
                      std::to_string(y));
        return false;
    }
    bool OnMouseUp(Kestrin::MouseButton button, int x, int y) override
    {
        m_journal.Add(m_name + ".OnMouseUp " + std::to_string(int(button)) + " " + std::to_string(x) + "," +
                      std::to_string(y));
        return false;
    }
    bool OnKeyDown(int key) override
    {
        m_journal.Add(m_name + ".OnKeyDown " + std::to_string(key));
        return false;
    }
    bool OnKeyUp(int key) override
    {
        m_journal.Add(m_name + ".OnKeyUp " + std::to_string(key));
        return false;
    }
    void OnMouseLeave() override { m_journal.Add(m_name + ".OnMouseLeave"); }

    bool opaque = true;
    std::function<void()> onEnter, onExit, onUpdate, onDraw;

private:
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
    void Update(float dt) override { m_journal.Add("app.Update " + std::to_string(int(dt * 1000.0f + 0.5f))); }
    void OnModeRequestsApplied() override { m_journal.Add("app.OnModeRequestsApplied"); }

    Kestrin::StartupOptions options{true};
    Kestrin::DisplaySettings windowMode{0, 1, 800, 600};
    std::function<void()> onInitialize;

private:
    Journal& m_journal;
};

class FakePlatform : public Kestrin::IPlatform
{
public:
    explicit FakePlatform(Journal& journal) : m_journal(journal) { Kestrin::SetPlatform(this); }

    void Initialize() override { m_journal.Add("platform.Initialize"); }
    void Shutdown() override { m_journal.Add("platform.Shutdown"); }
    bool ActivateExistingInstance() override
    {
        m_journal.Add("platform.ActivateExistingInstance");
        return otherCopyRuns;
    }
    void CreateMainWindow(const Kestrin::DisplaySettings& s) override
    {
        m_journal.Add("platform.CreateMainWindow " + std::to_string(s.windowMode));
        windows.push_back(s);
    }
    void DestroyWindow() override { m_journal.Add("platform.DestroyWindow"); }
    void RestoreWindow() override { m_journal.Add("platform.RestoreWindow"); }
    void ShellOpen(const std::wstring&) override {}
    void CheckScreenResolution(const Kestrin::DisplaySettings& s) override
    {
        m_journal.Add("platform.CheckScreenResolution");
        if (s.width > screenWidth || s.height > screenHeight)
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

    bool otherCopyRuns = false;
    bool active = true;
    bool quitRequested = false;
    bool repaint = false;
    int screenWidth = 1024;
    int screenHeight = 768;
    std::deque<std::function<void(Kestrin::IInputEventSink*)>> messages;
    std::function<void()> onWait;
    std::vector<Kestrin::DisplaySettings> windows;

private:
    Journal& m_journal;
};

class FakeGraphicsPlatform : public Kestrin::IGraphicsPlatform
{
public:
    // failModes: window modes in which Initialize throws.
    FakeGraphicsPlatform(int kind, Journal& journal, std::set<int> failModes = {})
        : kind(kind), m_journal(journal), m_failModes(std::move(failModes))
    {
    }
    ~FakeGraphicsPlatform() override { m_journal.Add(Name() + ".delete"); }

    std::string Name() const { return kind == 2 ? "graphics3D" : "graphicsSoftware"; }

    void GetName(Kestrin::NameId& name) override { name = Kestrin::MakeName(Name()); }
    void PrepareForWindow(const Kestrin::DisplaySettings&) override { m_journal.Add(Name() + ".PrepareForWindow"); }
    int GetCapabilities() override { return kind; }
    void Initialize(const Kestrin::DisplaySettings& s) override
    {
        m_journal.Add(Name() + ".Initialize " + std::to_string(s.windowMode));
        if (m_failModes.count(s.windowMode))
            throw Kestrin::engine_error(KESTRIN_HERE, "Could not initialize " + Name());
    }
    void Shutdown() override { m_journal.Add(Name() + ".Shutdown"); }
    int BeginFrame() override
    {
        m_journal.Add(Name() + ".BeginFrame");
        return beginResult;
    }
    int EndFrame() override
    {
        m_journal.Add(Name() + ".EndFrame");
        return 0;
    }
    Kestrin::Graphics::ICanvas* GetCanvas() override { return canvas; }
    Kestrin::ITexture* CreateTexture(Kestrin::IImage*) override { return nullptr; }
    bool IsCustomCursorEnabled() override { return customCursor; }
    void SetCustomCursorEnabled(bool enabled) override
    {
        m_journal.Add(Name() + ".SetCustomCursorEnabled " + std::to_string(enabled));
        customCursor = enabled;
    }
    void SetCursorImage(Kestrin::IImage* image, const Kestrin::Vector2<int>& hot) override
    {
        m_journal.Add(Name() + ".SetCursorImage");
        cursorImage = image;
        hotSpot = hot;
    }
    Kestrin::IImage* GetCursorImage() override { return cursorImage; }
    void GetCursorHotSpot(Kestrin::Vector2<int>& hot) override { hot = hotSpot; }

    int kind;
    int beginResult = 0;
    Kestrin::Graphics::ICanvas* canvas = nullptr;
    bool customCursor = true;
    Kestrin::IImage* cursorImage = nullptr;
    Kestrin::Vector2<int> hotSpot;

private:
    Journal& m_journal;
    std::set<int> m_failModes;
};

// Attempts {kind, window mode} in failing throw from Initialize; kinds in missingKinds are not made.
class FakeGraphicsFactory : public Kestrin::IGraphicsPlatformFactory
{
public:
    explicit FakeGraphicsFactory(Journal& journal) : m_journal(journal) { Kestrin::SetGraphicsPlatformFactory(this); }
    ~FakeGraphicsFactory() override { Kestrin::SetGraphicsPlatformFactory(nullptr); }

    bool CreateDisplay() override { return displayExists; }
    Kestrin::IGraphicsPlatform* CreateGraphicsPlatform(int kind) override
    {
        m_journal.Add("factory.Create " + std::to_string(kind));
        if (missingKinds.count(kind))
            return nullptr;
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
    std::set<int> missingKinds;
    Kestrin::Graphics::ICanvas* canvas = nullptr;

private:
    Journal& m_journal;
};

class FakeAudioPlatform : public Kestrin::IAudioPlatform
{
public:
    explicit FakeAudioPlatform(Journal& journal) : m_journal(journal) {}
    bool Initialize() override
    {
        m_journal.Add("audio.Initialize");
        return true;
    }
    void Shutdown() override { m_journal.Add("audio.Shutdown"); }
    void SetActive(bool active) override { m_journal.Add("audio.SetActive " + std::to_string(active)); }
    void Update(float dt) override { m_journal.Add("audio.Update " + std::to_string(int(dt * 1000.0f + 0.5f))); }

private:
    Journal& m_journal;
};

inline FakeGraphicsPlatform* CurrentFakeGraphics()
{
    return dynamic_cast<FakeGraphicsPlatform*>(Kestrin::GetGraphicsPlatform());
}

// Leaves no platform, graphics platform, audio platform or queued display change behind.
inline void ResetEngineGlobals()
{
    Kestrin::ClearQueuedDisplayChanges();
    delete Kestrin::GetGraphicsPlatform();
    Kestrin::SetGraphicsPlatform(nullptr);
    delete Kestrin::GetAudioPlatform();
    Kestrin::SetAudioPlatform(nullptr);
    delete Kestrin::GetPlatform();
    Kestrin::SetPlatform(nullptr);
    Kestrin::GetCurrentDisplaySettings() = Kestrin::DisplaySettings{-1, 1, 800, 600};
    Kestrin::GetWindowModeChangeHandlers().clear();
}

} // namespace KestrinTest
