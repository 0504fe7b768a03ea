#pragma once
#include "Base/Geometry.h"
#include "Platform/MovieSettings.h"

#include <memory>
#include <string>
#include <vector>

namespace Kestrin
{

class IImage;
class IResourceDescriptor;

namespace Shim
{
class FlashControl;
struct FlashPlayingState;
} // namespace Shim

// Shows one movie over the game window. While it plays the main loop draws nothing. Movies run on
// the stand-in control: the movie is shown as its background colour for its length, with its
// poster (the first loaded image of MoviePosterNames) faded in and out over it, its sound is
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

    // Loads settings.fileName + extension from game data (location 1), looks up its poster and
    // starts it. A missing file throws FileOpenException ("file doesn't exist") and leaves drawing
    // as it was. Playing again replaces the movie but suspends drawing only once.
    void Play(const MovieSettings& settings);

    // The screens poll this every update; a failed request (nothing loaded) counts as ended.
    Shim::FlashPlayingState QueryPlaying();
    bool IsPlaying();
    void Stop();
    void Skip();

    // True from a successful Play until destruction: this player holds drawing suspended.
    bool HoldsDrawing() const { return m_playing; }
    const MovieSettings& GetSettings() const { return m_settings; }
    // The poster found when the movie started; null when there is none.
    IImage* GetPoster() const { return m_poster; }
    // How opaque the poster is now: MoviePosterOpacity of the time since Play, 0 once the movie
    // has ended.
    float GetPosterOpacity();
    const Shim::FlashControl& GetControl() const { return *m_control; }
    Shim::FlashControl& GetControl() { return *m_control; }

private:
    bool m_playing = false;
    std::shared_ptr<IResourceDescriptor> m_posterResource;
    IImage* m_poster = nullptr;
    uint32_t m_startMs = 0;
    // Held by pointer so that the screens holding a player never see the shim.
    std::unique_ptr<Shim::FlashControl> m_control;
    MovieSettings m_settings;
};

// The images a movie's poster may be, in the order they are looked for: "<movie>_<label>_poster"
// for a movie given a "_root" label, then "<movie>_poster".
std::vector<std::string> MoviePosterNames(const MovieSettings& settings);

// The control's 0..65535 level for a settings volume: clamped to [0, 1], then truncated; NaN is 0.
int MovieVolumeLevel(float volume);

// A poster's opacity `elapsedMs` into a movie of `lengthMs`: up from 0 and back down to 0 over
// three quarters of a second (a third of a shorter movie) at either end, 1 between; 0 outside
// the movie.
float MoviePosterOpacity(uint32_t elapsedMs, uint32_t lengthMs);

// The newest covering movie's poster and its opacity now; null when it has none.
IImage* GetMoviePoster(float& opacity);

// While a movie suspends drawing the window must not show stale game frames. Whoever presents the
// window fills it with the backdrop colour (the background of the movie started last) and presents
// whenever TakeMovieBackdropFill answers true: once after a movie starts, again after every
// repaint request of the window (an expose event), whose flag it clears, and on every frame the
// poster's opacity has changed; over the backdrop it draws the poster, centred.
bool GetMovieBackdropColor(ColorF& color);
bool TakeMovieBackdropFill();

} // namespace Kestrin
