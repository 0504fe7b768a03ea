#pragma once
#include "Platform/Shim/Flash/SwfHeader.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace Kestrin::Shim
{

// The movie control the Flash host drives, without an SWF renderer: it reads the movie's header
// and plays the movie as its background colour for the movie's length, so that screens waiting for
// a movie, skipping it or ending it behave as designed. The movie's sound is not played; volume
// and the audio switch are only kept. There is no window: every key and click stays with the game
// window, so the interactive flag is kept but changes nothing.

// Our own result codes for requests to the control.
enum class FlashResult
{
    Ok,
    NoMovie, // nothing was loaded yet
};

// The answer to "is it playing?": a 16-bit flag and a result; a failed request counts as ended.
struct FlashPlayingState
{
    uint16_t playing = 0;
    FlashResult result = FlashResult::NoMovie;
    bool IsPlaying() const { return result == FlashResult::Ok && playing != 0; }
};

// Registers the control once per process; true for the call that did it. The first registration
// logs that movies are shown as their background colour and their still.
bool RegisterFlashControlClass();
bool IsFlashControlClassRegistered();

class FlashControl
{
public:
    static constexpr uint32_t kMaxPlayMilliseconds = 30000;
    // Used for a header frame rate of 0 (and for LZMA movies, whose rate is not read).
    static constexpr uint16_t kDefaultFrameRate = 12 * 256;
    static constexpr int kMaxAudioVolume = 65535;

    // Registers the control class when not yet done.
    FlashControl();

    // Loads a movie held whole in memory and starts it on the engine clock; the bytes are not kept.
    // A file that is not a SWF is logged and answers "not playing" at once. `name` labels the log.
    void PutMovieFromMemory(const uint8_t* data, size_t size, const std::string& name = {});
    bool HasMovie() const { return m_state != State::Empty; }
    size_t GetMovieSize() const { return m_movieSize; }
    SwfStatus GetHeaderStatus() const { return m_status; }
    const SwfHeader& GetHeader() const { return m_header; }
    // What the movie is drawn as: its first SetBackgroundColor, white for a SWF without one (the
    // format's default), black when there is no playable movie.
    SwfRgb GetBackgroundColor() const { return m_background; }
    // How long the movie plays from its (re)start, in milliseconds; at most kMaxPlayMilliseconds.
    uint32_t GetPlayMilliseconds() const { return m_playMs; }

    void SetAudioEnabled(bool enabled) { m_audioEnabled = enabled; }
    bool IsAudioEnabled() const { return m_audioEnabled; }
    // 0..65535; values outside are clamped.
    void PutAudioVolume(int level);
    int GetAudioVolume() const { return m_audioVolume; }
    // The same volume as a fraction, clamped to [0, 1].
    void SetVolume(float volume);
    float GetVolume() const { return float(m_audioVolume) / float(kMaxAudioVolume); }

    // Movie variables (the host sets "_root"); an unset one reads as empty.
    void SetVariable(const std::wstring& name, const std::wstring& value);
    std::wstring GetVariable(const std::wstring& name) const;
    bool HasVariable(const std::wstring& name) const { return m_variables.count(name) != 0; }

    // Moves to a frame (clamped to the movie). A playing movie plays on from there; a stopped or
    // ended one stays where it is put. Ignored before a movie is loaded.
    void GotoFrame(int frame);
    int GetCurrentFrame();

    void SetInteractive(bool interactive) { m_interactive = interactive; }
    bool IsInteractive() const { return m_interactive; }

    FlashPlayingState QueryPlaying();
    bool IsPlaying() { return QueryPlaying().IsPlaying(); }
    // Halts on the current frame.
    void Stop();
    // Jumps to the last frame and ends.
    void Skip();

private:
    enum class State
    {
        Empty,
        Playing,
        Stopped,
        Ended,
    };

    uint32_t FramesToMilliseconds(uint32_t frames) const;
    int FrameAt(uint32_t now) const;
    void Restart(int frame);
    void Advance();

    State m_state = State::Empty;
    SwfStatus m_status = SwfStatus::NotSwf;
    SwfHeader m_header;
    size_t m_movieSize = 0;
    SwfRgb m_background;
    uint16_t m_frameRate = kDefaultFrameRate; // effective, never 0
    uint32_t m_frameCount = 1;                // effective, never 0

    int m_startFrame = 0;
    uint32_t m_startMs = 0;
    uint32_t m_playMs = 0;
    int m_frame = 0; // while stopped or ended

    bool m_audioEnabled = true;
    int m_audioVolume = kMaxAudioVolume;
    bool m_interactive = true;
    std::map<std::wstring, std::wstring> m_variables;
};

} // namespace Kestrin::Shim
