#pragma once
#include "Base/Geometry.h"

#include <SDL2/SDL.h>

#include <string>

namespace Kestrin::Shim
{

// SDL's video subsystem; false with the reason when no display can be opened. A driver without a
// display (offscreen, dummy) counts only when SDL_VIDEODRIVER asks for it.
bool StartVideo(std::string& error);
void StopVideo();

// The last error of an SDL call.
std::string LastSdlError();

struct WindowOptions
{
    std::string title;
    int width = 800;
    int height = 600;
    bool fullScreen = false; // a desktop-sized borderless window; the frame is letterboxed into it
    bool resizable = false;
    int minWidth = 0; // 0: no minimum
    int minHeight = 0;
};

// Null with SDL's error text on failure. Text input is on for the new window.
SDL_Window* CreateWindow(const WindowOptions& options, std::string& error);
void DestroyWindow(SDL_Window* window);
bool IsMinimized(SDL_Window* window);
void RestoreWindow(SDL_Window* window);
void RaiseWindow(SDL_Window* window);
// Client size in the units of mouse events.
void GetClientSize(SDL_Window* window, int& width, int& height);

// Where a logical frame of logicalW x logicalH appears in a client area: the whole area, or with
// letterbox the largest centred rectangle of the frame's aspect ratio.
Rect<int> PresentationRect(int clientW, int clientH, int logicalW, int logicalH, bool letterbox);

// Maps a client position into the logical frame through the presentation rectangle
// (truncation toward zero). A zero-sized area gives (0, 0).
void ClientToLogical(const Rect<int>& presentation, int logicalW, int logicalH, int x, int y, int& outX,
                     int& outY);

// The primary desktop's size; false when unknown.
bool GetDesktopSize(int& width, int& height);

// A blocking error box; false when none could be shown (headless). Queued input is dropped,
// as a modal box would swallow it. The text is laid out by ErrorBoxText.
bool ShowErrorBox(const std::string& title, const std::string& text);
// An error box as shown: the window system cuts a long title short, so the title is the program's
// name and the body holds the caption, an empty line and the text.
struct ErrorBoxLayout
{
    std::string title;
    std::string body;
};
ErrorBoxLayout LayoutErrorBox(const std::string& program, const std::string& caption,
                              const std::string& text);
// Columns of an error box's text; SDL's boxes grow as wide as their longest line.
constexpr size_t kErrorBoxColumns = 64;
// Tabs laid out as spaces, then wrapped at spaces to kErrorBoxColumns.
std::string ErrorBoxText(const std::string& text);
// Breaks every line of UTF-8 text at spaces so that none is wider than the columns (a character
// each), unless it is a single word; the spaces at a break go, line ends and indents stay, and
// spaces ending a line are dropped.
std::string WrapAtSpaces(const std::string& text, size_t columns);
// Whether a box would reach a person: false while the video driver (running or asked for by
// SDL_VIDEODRIVER) draws into nothing, or when no display is named at all.
bool CanShowBoxes();
// Whether the running video driver draws into nothing (dummy, offscreen): no window manager gives
// its windows the focus there.
bool IsHeadlessVideo();
// Tabs become spaces up to the next stop of 8 columns (a column per character; UTF-8 text).
std::string ExpandTabs(const std::string& text);

bool OpenUrl(const std::string& target);

// Mouse capture while a control is pressed.
void CaptureMouse(bool on);

// The system arrow cursor (owned by the shim; null while video is down or on drivers without
// system cursors) and cursor visibility.
SDL_Cursor* ArrowCursor();
void ShowCursor(SDL_Cursor* cursor); // null hides the cursor
bool IsMouseOver(SDL_Window* window);

// One event of look-ahead over SDL's queue: HasPending peeks without taking.
class EventPump
{
public:
    bool HasPending();
    // Takes the waiting event, or blocks for the next one. False when SDL reports an error. Mouse
    // moves queued directly behind a move come with it as one: the latest, with their relative
    // motion summed.
    bool Take(SDL_Event& event);
    // Blocks until an event is waiting and leaves it queued. False on error.
    bool Wait();
    // Drops the look-ahead (events of a destroyed window must not leak into a new one).
    void Reset() { m_full = false; }

private:
    SDL_Event m_slot{};
    bool m_full = false;
};

} // namespace Kestrin::Shim
