#include "Platform/Shim/Win32/Window.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace Kestrin::Shim
{

namespace
{
// SDL frees every cursor when video stops; the cache must not outlive it.
SDL_Cursor* g_arrow = nullptr;
} // namespace

std::string LastSdlError()
{
    const char* e = SDL_GetError();
    return e ? e : "";
}

namespace
{
// Drivers that draw into nothing. SDL falls back to them when no display answers; they are fine
// only when asked for by name (tests, headless runs).
bool IsHeadlessDriver(const char* driver)
{
    return driver && (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0 ||
                      SDL_strcasecmp(driver, "evdev") == 0);
}

// Whether SDL_VIDEODRIVER (a name or a comma-separated list) names the driver.
bool IsRequestedDriver(const char* driver)
{
    const char* hint = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!hint || !driver)
        return false;
    const std::string list = hint;
    size_t start = 0;
    while (start <= list.size())
    {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        if (SDL_strcasecmp(list.substr(start, end - start).c_str(), driver) == 0)
            return true;
        start = end + 1;
    }
    return false;
}
} // namespace

bool StartVideo(std::string& error)
{
    const bool wasRunning = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        error = "No display could be opened: " + LastSdlError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!wasRunning && IsHeadlessDriver(driver) && !IsRequestedDriver(driver))
    {
        // Left running, the game would play on in a window nobody can see.
        error = std::string("No display could be opened: SDL found none and fell back to its \"") + driver +
                "\" driver (set SDL_VIDEODRIVER=" + driver + " to run without a display)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_DisableScreenSaver();
    return true;
}

void StopVideo()
{
    g_arrow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

SDL_Window* CreateWindow(const WindowOptions& o, std::string& error)
{
    Uint32 flags = SDL_WINDOW_HIDDEN;
    int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED, width = o.width, height = o.height;
    SDL_Rect desktop{};
    if (o.fullScreen)
    {
        // A plain borderless window over the desktop, not SDL's full-screen state: that state needs a
        // window manager to grant it, and without one the window keeps its size while SDL reports
        // the desktop's. A window manager treats a borderless desktop-sized window as full screen.
        flags |= SDL_WINDOW_BORDERLESS;
        if (SDL_GetDisplayBounds(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0)
        {
            x = desktop.x;
            y = desktop.y;
            width = desktop.w;
            height = desktop.h;
        }
    }
    else if (o.resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    SDL_Window* w = SDL_CreateWindow(o.title.c_str(), x, y, width, height, flags);
    if (!w)
    {
        error = LastSdlError();
        return nullptr;
    }
    if (o.minWidth > 0 && o.minHeight > 0)
        SDL_SetWindowMinimumSize(w, o.minWidth, o.minHeight);
    SDL_ShowWindow(w);
    // Text fields take their characters from text events, which follow the system's layout and
    // input methods; a window must ask for them.
    SDL_StartTextInput();
    return w;
}

void DestroyWindow(SDL_Window* window)
{
    if (window)
        SDL_DestroyWindow(window);
}

bool IsMinimized(SDL_Window* window)
{
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
}

void RestoreWindow(SDL_Window* window)
{
    if (window)
        SDL_RestoreWindow(window);
}

void RaiseWindow(SDL_Window* window)
{
    if (window)
    {
        SDL_RestoreWindow(window);
        SDL_RaiseWindow(window);
    }
}

void GetClientSize(SDL_Window* window, int& width, int& height)
{
    width = height = 0;
    if (window)
        SDL_GetWindowSize(window, &width, &height);
}

Rect<int> PresentationRect(int clientW, int clientH, int logicalW, int logicalH, bool letterbox)
{
    if (!letterbox || clientW <= 0 || clientH <= 0 || logicalW <= 0 || logicalH <= 0)
        return {0, 0, std::max(clientW, 0), std::max(clientH, 0)};
    // Fit by the tighter dimension, in integers so every caller agrees to the pixel.
    int64_t wByH = int64_t(clientH) * logicalW / logicalH;
    int w, h;
    if (wByH <= clientW)
    {
        w = int(wByH);
        h = clientH;
    }
    else
    {
        w = clientW;
        h = int(int64_t(clientW) * logicalH / logicalW);
    }
    return {(clientW - w) / 2, (clientH - h) / 2, w, h};
}

void ClientToLogical(const Rect<int>& p, int logicalW, int logicalH, int x, int y, int& outX, int& outY)
{
    if (p.w <= 0 || p.h <= 0)
    {
        outX = outY = 0;
        return;
    }
    outX = int(std::trunc(double(int64_t(logicalW) * (x - p.x)) / double(p.w)));
    outY = int(std::trunc(double(int64_t(logicalH) * (y - p.y)) / double(p.h)));
}

bool GetDesktopSize(int& width, int& height)
{
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    width = mode.w;
    height = mode.h;
    return true;
}

std::string ExpandTabs(const std::string& text)
{
    constexpr size_t tabWidth = 8;
    std::string out;
    size_t column = 0;
    for (char c : text)
    {
        if (c == '\t')
        {
            const size_t spaces = tabWidth - column % tabWidth;
            out.append(spaces, ' ');
            column += spaces;
            continue;
        }
        out.push_back(c);
        if (c == '\n')
            column = 0;
        else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) // not a UTF-8 continuation byte
            ++column;
    }
    return out;
}

namespace
{
size_t Columns(std::string_view text)
{
    // A column per character: UTF-8 continuation bytes take none.
    return size_t(std::count_if(text.begin(), text.end(),
                                [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void WrapLine(std::string_view line, size_t columns, std::string& out)
{
    size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    // The indent stays with the first word.
    const std::string_view indent = line.substr(0, i);
    size_t width = indent.size();
    bool empty = true;
    while (i < line.size())
    {
        const size_t wordStart = line.find_first_not_of(' ', i);
        if (wordStart == std::string_view::npos)
            break;
        size_t wordEnd = line.find(' ', wordStart);
        if (wordEnd == std::string_view::npos)
            wordEnd = line.size();
        const std::string_view gap = line.substr(i, wordStart - i);
        const std::string_view word = line.substr(wordStart, wordEnd - wordStart);
        const size_t wordWidth = Columns(word);
        if (!empty && width + gap.size() + wordWidth > columns)
        {
            out.push_back('\n');
            width = 0;
        }
        else if (!empty)
        {
            out.append(gap);
            width += gap.size();
        }
        else
            out.append(indent);
        out.append(word);
        width += wordWidth;
        empty = false;
        i = wordEnd;
    }
}
} // namespace

std::string WrapAtSpaces(const std::string& text, size_t columns)
{
    std::string out;
    std::string_view rest = text;
    for (;;)
    {
        const size_t end = rest.find('\n');
        WrapLine(rest.substr(0, end), columns, out);
        if (end == std::string_view::npos)
            return out;
        out.push_back('\n');
        rest.remove_prefix(end + 1);
    }
}

std::string ErrorBoxText(const std::string& text)
{
    // SDL's boxes draw a tab as a stray glyph.
    return WrapAtSpaces(ExpandTabs(text), kErrorBoxColumns);
}

ErrorBoxLayout LayoutErrorBox(const std::string& program, const std::string& caption, const std::string& text)
{
    std::string body = caption;
    if (!caption.empty() && !text.empty())
        body += "\n\n";
    body += text;
    return {program, ErrorBoxText(body)};
}

bool ShowErrorBox(const std::string& title, const std::string& text)
{
    const std::string boxText = ErrorBoxText(text);
    bool shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), boxText.c_str(), nullptr) == 0;
    if (SDL_WasInit(SDL_INIT_EVENTS))
    {
        SDL_FlushEvents(SDL_KEYDOWN, SDL_TEXTINPUT);
        SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
    }
    return shown;
}

bool IsHeadlessVideo()
{
    return SDL_WasInit(SDL_INIT_VIDEO) && IsHeadlessDriver(SDL_GetCurrentVideoDriver());
}

bool CanShowBoxes()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return !IsHeadlessDriver(SDL_GetCurrentVideoDriver());
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    if (wanted && IsHeadlessDriver(wanted))
        return false;
    return SDL_getenv("DISPLAY") || SDL_getenv("WAYLAND_DISPLAY");
}

bool OpenUrl(const std::string& target)
{
    return SDL_OpenURL(target.c_str()) == 0;
}

void CaptureMouse(bool on)
{
    SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
}

SDL_Cursor* ArrowCursor()
{
    if (!g_arrow && SDL_WasInit(SDL_INIT_VIDEO))
        g_arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    return g_arrow;
}

void ShowCursor(SDL_Cursor* cursor)
{
    if (!cursor)
    {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    if (SDL_GetCursor() != cursor)
        SDL_SetCursor(cursor);
    SDL_ShowCursor(SDL_ENABLE);
}

bool IsMouseOver(SDL_Window* window)
{
    return window && SDL_GetMouseFocus() == window;
}

bool EventPump::HasPending()
{
    if (!m_full)
        m_full = SDL_PollEvent(&m_slot) == 1;
    return m_full;
}

namespace
{
// Win32 keeps at most one mouse move waiting, with the latest position; the loop takes one message a
// pass, so handing over every move a fast mouse reports would leave the game further behind the
// longer it moves. Only moves directly behind this one merge: anything else stays queued, in order.
void TakeQueuedMoves(SDL_MouseMotionEvent& motion)
{
    SDL_PumpEvents();
    SDL_Event next;
    while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
           next.type == SDL_MOUSEMOTION && next.motion.windowID == motion.windowID &&
           next.motion.which == motion.which &&
           SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION) == 1)
    {
        // The relative motion is the whole way travelled.
        const Sint32 xrel = motion.xrel + next.motion.xrel;
        const Sint32 yrel = motion.yrel + next.motion.yrel;
        motion = next.motion;
        motion.xrel = xrel;
        motion.yrel = yrel;
    }
}
} // namespace

bool EventPump::Take(SDL_Event& event)
{
    if (m_full)
    {
        event = m_slot;
        m_full = false;
    }
    else if (SDL_WaitEvent(&event) != 1)
        return false;
    if (event.type == SDL_MOUSEMOTION)
        TakeQueuedMoves(event.motion);
    return true;
}

bool EventPump::Wait()
{
    if (m_full)
        return true;
    if (SDL_WaitEvent(&m_slot) != 1)
        return false;
    m_full = true;
    return true;
}

} // namespace Kestrin::Shim
