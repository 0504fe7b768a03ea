#include "Platform/Win32/Win32Platform.h"

#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/FileSystem.h"
#include "Framework/Keys.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Paths.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Display.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"
#include "Platform/Shim/DirectDraw/DirectDraw.h"
#include "Platform/Shim/Win32/Folders.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/Win32FileSystem.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace Kestrin
{

namespace
{
void SetAudioActive(bool active)
{
    if (IAudioPlatform* audio = GetAudioPlatform())
        audio->SetActive(active);
}
} // namespace

std::wstring GetApplicationName()
{
    IApplication* application = GetApplication();
    const ApplicationInfo* info = application ? application->GetApplicationInfo() : nullptr;
    if (info && info->productName)
        return info->productName;
    return L"Kestrin 2DEngine";
}

void InstallFolderHooks()
{
    FolderHooks hooks;
    hooks.userDataRoot = [] { return FromUtf8(Win32Shim::UserDataRoot()); };
    hooks.programFolder = [] { return FromUtf8(Win32Shim::ProgramFolder()); };
    hooks.makeWritableFolder = [](const std::wstring& folder, std::string& reason)
    { return Win32Shim::MakeWritableFolder(ToUtf8(folder), reason); };
    SetFolderHooks(std::move(hooks));
}

void RefreshWindowCursor()
{
    if (auto* platform = dynamic_cast<Win32Platform*>(GetPlatform()))
        platform->RefreshCursor();
}

void UseSystemArrowCursor()
{
    if (auto* platform = dynamic_cast<Win32Platform*>(GetPlatform()))
        platform->SetCursor(Shim::ArrowCursor());
}

// ---- Win32Platform ----

Win32Platform::Win32Platform()
{
    SetPlatform(this);
    InstallFolderHooks();
    // Relative data paths resolve beside the program.
    std::error_code ec;
    std::filesystem::current_path(ToUtf8(GetExecutableFolder()), ec);
    SetMouseCaptureReleaseHandler(
        []
        {
            if (IPlatform* platform = GetPlatform())
                platform->ReleaseCapture();
        });
    // Text fields translate keys with the modifiers this window saw.
    SetKeyModifierSource([this] { return m_keys.Modifiers(); });
    // Without a display a box would wait for nobody; the log has the text already.
    SetErrorBoxSink(
        [](const std::wstring& caption, const std::wstring& text)
        {
            if (!Shim::CanShowBoxes())
                return;
            const Shim::ErrorBoxLayout box =
                Shim::LayoutErrorBox(ToUtf8(GetApplicationName()), ToUtf8(caption), ToUtf8(text));
            Shim::ShowErrorBox(box.title, box.body);
        });
}

Win32Platform::~Win32Platform()
{
    if (GetPlatform() == this)
    {
        SetMouseCaptureReleaseHandler(nullptr);
        SetKeyModifierSource(nullptr);
        SetErrorBoxSink(nullptr);
    }
}

void Win32Platform::Initialize()
{
    IFileSystem* fileSystem = GetFileSystem();
    if (!fileSystem)
        fileSystem = Win32FileSystem::CreateDefault();
    fileSystem->Initialize();
}

void Win32Platform::Shutdown()
{
    if (IFileSystem* fileSystem = GetFileSystem())
        fileSystem->DeleteAllPartitions();
    DestroyWindow();
}

void Win32Platform::DestroyWindow()
{
    if (!m_window)
        return;
    Shim::DestroyWindow(m_window);
    m_window = nullptr;
    m_trackingLeave = false;
}

void Win32Platform::RestoreWindow()
{
    if (Shim::IsMinimized(m_window))
        Shim::RestoreWindow(m_window);
}

void Win32Platform::ShellOpen(const std::wstring& target)
{
    // A browser cannot come to the front over a full-screen game.
    DisplaySettings windowed = GetCurrentDisplaySettings();
    windowed.windowMode = WindowMode_Windowed;
    ApplyDisplaySettings(windowed, false);
    if (!Shim::OpenUrl(ToUtf8(target)))
        LogPrintf("Could not open %s: %s\n", ToUtf8(target).c_str(), Shim::LastSdlError().c_str());
}

void Win32Platform::SetCapture()
{
    if (m_window)
        Shim::CaptureMouse(true);
}

void Win32Platform::ReleaseCapture()
{
    Shim::CaptureMouse(false);
}

bool Win32Platform::IsOurWindow(uint32_t windowId) const
{
    // Synthetic events may carry no window; events of a destroyed window are stale.
    return windowId == 0 || (m_window && windowId == SDL_GetWindowID(m_window));
}

void Win32Platform::Send(const InputEvent& event)
{
    if (m_sink)
        m_sink->HandleInputEvent(event);
}

void Win32Platform::ApplyCursor()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    IGraphicsPlatform* graphics = GetGraphicsPlatform();
    if (graphics && graphics->IsCustomCursorEnabled() && IsActive())
        Shim::ShowCursor(nullptr); // the game draws its own
    else if (m_cursor)
        Shim::ShowCursor(m_cursor);
    else
        SDL_ShowCursor(SDL_ENABLE);
}

void Win32Platform::SetCursor(SDL_Cursor* cursor)
{
    m_cursor = cursor;
    RefreshCursor();
}

bool Win32Platform::IsMouseOverWindow() const
{
    return Shim::IsMouseOver(m_window);
}

void Win32Platform::RefreshCursor()
{
    if (IsMouseOverWindow())
        ApplyCursor();
}

void Win32Platform::ClientToLogical(int x, int y, int& logicalX, int& logicalY) const
{
    // The back buffer is what is shown, one logical unit per pixel: stretched over the window, or
    // letterboxed into it in full screen. The window's size is the one the display back end reports
    // now, which is where it presents, not the size that was asked for.
    const DisplaySettings& settings = GetCurrentDisplaySettings();
    int frameWidth = settings.width, frameHeight = settings.height;
    bool letterbox = settings.windowMode == WindowMode_FullScreen;
    const CDisplay* display = CDisplay::Get();
    if (display && display->GetBackBuffer() && display->GetWindow() == m_window && display->GetWidth() > 0 &&
        display->GetHeight() > 0)
    {
        frameWidth = display->GetWidth();
        frameHeight = display->GetHeight();
        letterbox = display->IsFullscreen();
    }
    int clientWidth = 0, clientHeight = 0;
    if (m_window)
        Shim::DirectDraw::GetBackend().GetClientSize(m_window, clientWidth, clientHeight);
    Rect<int> frame = Shim::PresentationRect(clientWidth, clientHeight, frameWidth, frameHeight, letterbox);
    Shim::ClientToLogical(frame, frameWidth, frameHeight, x, y, logicalX, logicalY);
}

void Win32Platform::OnKey(const SDL_KeyboardEvent& key, bool down)
{
    const SDL_Keycode sym = key.keysym.sym;
    m_keys.OnKey(sym, down);
    m_keys.SetCapsLock(key.keysym.mod & KMOD_CAPS);
    m_keys.SetNumLock(key.keysym.mod & KMOD_NUM);

    if (down && (key.keysym.mod & KMOD_ALT))
    {
        if (sym == SDLK_RETURN || sym == SDLK_KP_ENTER)
        {
            ToggleWindowMode(); // queued: the window cannot go while its events are handled
            return;
        }
        if (sym == SDLK_SPACE)
            return; // no system menu
    }
    const int vk = Shim::VirtualKeyFromSdl(sym);
    if (vk == 0)
        return;
    Send({down ? InputEvent_KeyDown : InputEvent_KeyUp, 0, 0, vk});
}

void Win32Platform::WindowProc(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_WINDOWEVENT:
        if (!IsOurWindow(event.window.windowID))
            return;
        switch (event.window.event)
        {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_flags |= Flag_Active;
            SetAudioActive(true);
            ApplyCursor();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_flags &= ~uint32_t(Flag_Active);
            m_flags |= Flag_RepaintRequested;
            SetAudioActive(false);
            // Keys released elsewhere never report their release here.
            m_keys.Clear();
            ApplyCursor();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // A new size shows the frame at a new place even while the game is paused.
            m_flags |= Flag_RepaintRequested;
            break;
        case SDL_WINDOWEVENT_ENTER:
            ApplyCursor();
            break;
        case SDL_WINDOWEVENT_LEAVE:
            // One leave per exit: the next motion inside arms it again.
            if (m_trackingLeave)
            {
                m_trackingLeave = false;
                Send({InputEvent_MouseLeave, 0, 0, 0});
            }
            break;
        default:
            break;
        }
        return;

    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (IsOurWindow(event.key.windowID))
            OnKey(event.key, event.type == SDL_KEYDOWN);
        return;

    case SDL_TEXTINPUT:
    {
        if (!IsOurWindow(event.text.windowID))
            return;
        // A layout or input method may commit several characters at once: one event each.
        const size_t length = strnlen(event.text.text, sizeof event.text.text);
        for (wchar_t c : FromUtf8({event.text.text, length}))
            Send({InputEvent_Text, 0, 0, int(c)});
        return;
    }

    case SDL_MOUSEMOTION:
    {
        if (!m_window || !IsOurWindow(event.motion.windowID))
            return;
        m_trackingLeave = true;
        int x, y;
        ClientToLogical(event.motion.x, event.motion.y, x, y);
        Send({InputEvent_MouseMove, x, y, 0});
        return;
    }

    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        if (!m_window || !IsOurWindow(event.button.windowID))
            return;
        int button;
        if (event.button.button == SDL_BUTTON_LEFT)
            button = 0;
        else if (event.button.button == SDL_BUTTON_RIGHT)
            button = 1;
        else
            return; // middle and extra buttons are not reported
        int x, y;
        ClientToLogical(event.button.x, event.button.y, x, y);
        Send({event.type == SDL_MOUSEBUTTONDOWN ? InputEvent_ButtonDown : InputEvent_ButtonUp, x, y, button});
        return;
    }

    default:
        return;
    }
}

// ---- Win32ApplicationPlatform ----

Win32ApplicationPlatform::Win32ApplicationPlatform() = default;

Win32ApplicationPlatform::~Win32ApplicationPlatform()
{
    Win32Platform::DestroyWindow();
    if (m_videoStarted)
        Shim::StopVideo();
}

void Win32ApplicationPlatform::Initialize()
{
    Win32Platform::Initialize();

    const std::wstring name = GetApplicationName();
    m_instance =
        std::make_unique<Shim::SingleInstance>(ToUtf8(GetAppDataFolder()), ToUtf8(FilterFolderName(name)));

    if (!m_videoStarted)
    {
        std::string error;
        if (!Shim::StartVideo(error))
            throw win32_error(KESTRIN_HERE, "Could not register a window class.", PlatformError_VideoStart,
                              error);
        m_videoStarted = true;
    }
    // The arrow is there only once video runs.
    m_cursor = Shim::ArrowCursor();
}

void Win32ApplicationPlatform::Shutdown()
{
    Win32Platform::Shutdown();
    m_pump.Reset();
    m_cursor = nullptr;
    if (m_videoStarted)
    {
        Shim::StopVideo();
        m_videoStarted = false;
    }
    m_instance.reset();
}

bool Win32ApplicationPlatform::ActivateExistingInstance()
{
    if (!m_instance || m_instance->IsFirstInstance())
        return false;
    // The first copy comes to the front; answered true even when it did not listen (it may still
    // be starting), so this copy ends quietly.
    m_instance->SignalFirstInstance();
    return true;
}

void Win32ApplicationPlatform::CreateMainWindow(const DisplaySettings& settings)
{
    Win32Platform::DestroyWindow();

    Shim::WindowOptions options;
    options.title = ToUtf8(GetApplicationName());
    options.width = settings.width;
    options.height = settings.height;
    options.fullScreen = settings.windowMode == WindowMode_FullScreen;
    options.resizable = settings.windowMode == WindowMode_Windowed && settings.sizingMode == 1;
    if (options.resizable && settings.height > 0)
    {
        options.minWidth = int(std::trunc(double(settings.width) / double(settings.height) * 100.0));
        options.minHeight = 100;
    }
    std::string error;
    m_window = Shim::CreateWindow(options, error);
    if (!m_window)
        throw win32_error(KESTRIN_HERE, "Could not create a window.", PlatformError_CreateWindow, error);
    Shim::GetClientSize(m_window, m_lastClientWidth, m_lastClientHeight);
    m_trackingLeave = false;
    // Headless, no window manager hands out the focus: the game would wait for it for ever.
    if (Shim::IsHeadlessVideo() && !(m_flags & Flag_Active))
    {
        m_flags |= Flag_Active;
        SetAudioActive(true);
    }
}

bool Win32ApplicationPlatform::GetScreenSize(int& width, int& height)
{
    return Shim::GetDesktopSize(width, height);
}

void Win32ApplicationPlatform::CheckScreenResolution(const DisplaySettings& settings)
{
    int width = 0, height = 0;
    if (!GetScreenSize(width, height))
        return;
    if (settings.width > width || settings.height > height)
    {
        std::wstring text = GetApplicationName() + L" requires a screen resolution of " +
                            std::to_wstring(settings.width) + L"x" + std::to_wstring(settings.height) + L".";
        engine_error error(KESTRIN_HERE, ToUtf8(text));
        error.wideMessage = text;
        throw error;
    }
}

void Win32ApplicationPlatform::CheckActivationRequest()
{
    if (m_instance && m_instance->TakeActivationRequest())
        Shim::RaiseWindow(m_window);
}

bool Win32ApplicationPlatform::HasPendingMessages()
{
    CheckActivationRequest();
    return m_pump.HasPending();
}

void Win32ApplicationPlatform::PumpMessages(IInputEventSink* sink)
{
    struct SinkScope
    {
        IInputEventSink*& slot;
        ~SinkScope() { slot = nullptr; }
    } sinkScope{m_sink};
    m_sink = sink;
    ScopedEventHandling handling;

    SDL_Event event;
    if (!m_pump.Take(event))
        throw win32_error(KESTRIN_HERE, "Could not process messages for a window.", PlatformError_Events,
                          Shim::LastSdlError());
    if (event.type == SDL_APP_TERMINATING)
    {
        m_flags |= Flag_QuitRequested;
        return;
    }
    WindowProc(event);
}

void Win32ApplicationPlatform::WaitForMessages()
{
    // SDL cannot wait on the wake-up socket, so look at it between short waits.
    while (!m_pump.HasPending())
    {
        CheckActivationRequest();
        SDL_WaitEventTimeout(nullptr, 100);
    }
}

void Win32ApplicationPlatform::OnClose()
{
    // The window stays; the loop ends once every quit handler agrees.
    Looper::Current()->RequestQuit();
}

void Win32ApplicationPlatform::OnSizing(int width, int height)
{
    const DisplaySettings& settings = GetCurrentDisplaySettings();
    if (!m_window || settings.windowMode != WindowMode_Windowed || settings.sizingMode != 1 ||
        settings.height <= 0 || height <= 0)
        return;
    const double aspect = double(settings.width) / double(settings.height);
    int newWidth = width, newHeight = height;
    // SDL tells only the result of a drag: a change of height alone was a top or bottom edge.
    if (width == m_lastClientWidth && height != m_lastClientHeight)
        newWidth = int(std::trunc(double(height) * aspect));
    else
        newHeight = int(std::trunc(double(width) / aspect));
    m_lastClientWidth = newWidth;
    m_lastClientHeight = newHeight;
    if (newWidth != width || newHeight != height)
        SDL_SetWindowSize(m_window, newWidth, newHeight);
}

void Win32ApplicationPlatform::WindowProc(const SDL_Event& event)
{
    if (event.type == SDL_QUIT)
    {
        OnClose();
        return;
    }
    if (event.type == SDL_WINDOWEVENT && IsOurWindow(event.window.windowID))
    {
        switch (event.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE:
            OnClose();
            return;
        case SDL_WINDOWEVENT_MINIMIZED:
            SetAudioActive(false);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            SetAudioActive(true);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            // Maximising (button or caption double click) means full screen.
            if (GetCurrentDisplaySettings().windowMode == WindowMode_Windowed)
                SetWindowMode(WindowMode_FullScreen);
            break;
        case SDL_WINDOWEVENT_RESIZED:
            OnSizing(event.window.data1, event.window.data2);
            break;
        default:
            break;
        }
    }
    Win32Platform::WindowProc(event);
}

IPlatform* CreatePlatform()
{
    return new Win32ApplicationPlatform();
}

} // namespace Kestrin
