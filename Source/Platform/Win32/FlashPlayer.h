#pragma once
#include "Base/Geometry.h"
#include "Platform/MovieSettings.h"

#include <memory>

namespace Kestrin
{

namespace Shim
{
class FlashControl;
struct FlashPlayingState;
} // namespace Shim

// Shows one movie over the game window. While it plays the main loop draws nothing. Movies run on
// the stand-in control: the movie is shown as its background colour for its length, its sound is
// not played, and all input stays with the game window (interactive changes nothing). There is no
// child window, so display rebuilds leave nothing dangling: a window-mode change keeps the movie,
// and the screens end it themselves.
class FlashPlayer
{
public:
    FlashPlayer();
    virtual ~FlashPlayer();
    FlashPlayer(const FlashPlayer&) = delete;
    FlashPlayer& operator=(const FlashPlayer&) = delete;

    // Loads settings.fileName + extension from game data (location 1) and starts it. A missing file
    // throws FileOpenException ("file doesn't exist") and leaves drawing as it was. Playing again
    // replaces the movie but suspends drawing only once.
    void Play(const MovieSettings& settings);

    // The screens poll this every update; a failed request (nothing loaded) counts as ended.
    Shim::FlashPlayingState QueryPlaying();
    bool IsPlaying();
    void Stop();
    void Skip();

    // True from a successful Play until destruction: this player holds drawing suspended.
    bool HoldsDrawing() const { return m_playing; }
    const MovieSettings& GetSettings() const { return m_settings; }
    const Shim::FlashControl& GetControl() const { return *m_control; }
    Shim::FlashControl& GetControl() { return *m_control; }

private:
    bool m_playing = false;
    // Held by pointer so that the screens holding a player never see the shim.
    std::unique_ptr<Shim::FlashControl> m_control;
    MovieSettings m_settings;
};

// The control's 0..65535 level for a settings volume: clamped to [0, 1], then truncated; NaN is 0.
int MovieVolumeLevel(float volume);

// While a movie suspends drawing the window must not show stale game frames. Whoever presents the
// window fills it with the backdrop colour (the background of the movie started last) and presents
// whenever TakeMovieBackdropFill answers true: once after a movie starts, and again after every
// repaint request of the window (an expose event), whose flag it clears.
bool GetMovieBackdropColor(ColorF& color);
bool TakeMovieBackdropFill();

} // namespace Kestrin
