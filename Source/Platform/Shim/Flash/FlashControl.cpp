#include "Platform/Shim/Flash/FlashControl.h"

#include "Base/Clock.h"
#include "Base/Log.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace Kestrin::Shim
{

namespace
{
std::atomic<bool> g_registered{false};

constexpr SwfRgb kWhite{255, 255, 255};
constexpr SwfRgb kBlack{0, 0, 0};
} // namespace

bool RegisterFlashControlClass()
{
    if (g_registered.exchange(true))
        return false;
    LogPrintf("FlashPlayer: no movie renderer available; movies are shown as their background colour and "
              "their still, where the data has one\n");
    return true;
}

bool IsFlashControlClassRegistered()
{
    return g_registered.load();
}

FlashControl::FlashControl()
{
    RegisterFlashControlClass();
}

uint32_t FlashControl::FramesToMilliseconds(uint32_t frames) const
{
    // frames / (rate / 256) seconds, rounded to the millisecond; 65535 frames at 1/256 fps fit.
    uint64_t ms = (uint64_t(frames) * 256000 + m_frameRate / 2) / m_frameRate;
    return uint32_t(std::min<uint64_t>(ms, kMaxPlayMilliseconds));
}

int FlashControl::FrameAt(uint32_t now) const
{
    // Unsigned difference: right across the 2^32 wrap of the clock.
    uint32_t elapsed = std::min(now - m_startMs, m_playMs);
    uint64_t advanced = uint64_t(elapsed) * m_frameRate / 256000;
    return int(std::min<uint64_t>(m_startFrame + advanced, m_frameCount - 1));
}

void FlashControl::Restart(int frame)
{
    m_startFrame = frame;
    m_startMs = GetClock().Now();
    m_playMs = FramesToMilliseconds(m_frameCount - uint32_t(frame));
    m_state = State::Playing;
}

// Latches the end once it is due, so a later wrap of the clock cannot revive the movie.
void FlashControl::Advance()
{
    if (m_state != State::Playing)
        return;
    uint32_t now = GetClock().Now();
    if (now - m_startMs >= m_playMs)
    {
        m_frame = FrameAt(now);
        m_state = State::Ended;
    }
}

void FlashControl::PutMovieFromMemory(const uint8_t* data, size_t size, const std::string& name)
{
    m_movieSize = size;
    m_status = ParseSwfHeader(data, size, m_header);
    const char* label = name.empty() ? "(movie from memory)" : name.c_str();

    bool isSwf = m_status == SwfStatus::HeaderOnly || m_header.hasFrameInfo;
    if (!isSwf)
    {
        m_background = kBlack;
        m_frameRate = kDefaultFrameRate;
        m_frameCount = 1;
        m_startFrame = 0;
        m_frame = 0;
        m_playMs = 0;
        m_state = State::Ended;
        LogPrintf("FlashPlayer: %s is not a playable SWF movie (%s, %zu bytes); nothing is shown\n", label,
                  SwfStatusText(m_status), size);
        return;
    }

    m_background = m_header.hasBackground ? m_header.background : kWhite;
    m_frameRate = m_header.frameRate ? m_header.frameRate : kDefaultFrameRate;
    m_frameCount = std::max<uint32_t>(m_header.frameCount, 1);
    Restart(0);

    if (m_status == SwfStatus::HeaderOnly)
        LogPrintf("FlashPlayer: %s (SWF %d, %s) shown as #%02X%02X%02X for %.2f s\n", label, m_header.version,
                  SwfStatusText(m_status), m_background.r, m_background.g, m_background.b, m_playMs / 1000.0);
    else
        LogPrintf(
            "FlashPlayer: %s (SWF %d%s%s, %u frames at %.2f fps, %lldx%lld) shown as #%02X%02X%02X%s for "
            "%.2f s\n",
            label, m_header.version, m_status == SwfStatus::Ok ? "" : ", ",
            m_status == SwfStatus::Ok ? "" : SwfStatusText(m_status), unsigned(m_header.frameCount),
            m_header.FramesPerSecond(), (long long)m_header.WidthPixels(), (long long)m_header.HeightPixels(),
            m_background.r, m_background.g, m_background.b, m_header.hasBackground ? "" : " (default)",
            m_playMs / 1000.0);
}

void FlashControl::PutAudioVolume(int level)
{
    m_audioVolume = std::clamp(level, 0, kMaxAudioVolume);
}

void FlashControl::SetVolume(float volume)
{
    // NaN counts as silence.
    float v = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
    m_audioVolume = int(v * float(kMaxAudioVolume));
}

void FlashControl::SetVariable(const std::wstring& name, const std::wstring& value)
{
    m_variables[name] = value;
}

std::wstring FlashControl::GetVariable(const std::wstring& name) const
{
    auto it = m_variables.find(name);
    return it == m_variables.end() ? std::wstring() : it->second;
}

void FlashControl::GotoFrame(int frame)
{
    Advance();
    if (m_state == State::Empty)
        return;
    frame = int(std::clamp<int64_t>(frame, 0, int64_t(m_frameCount) - 1));
    if (m_state == State::Playing)
        Restart(frame);
    else
        m_frame = frame;
}

int FlashControl::GetCurrentFrame()
{
    Advance();
    if (m_state == State::Playing)
        return FrameAt(GetClock().Now());
    return m_frame;
}

FlashPlayingState FlashControl::QueryPlaying()
{
    if (m_state == State::Empty)
        return {0, FlashResult::NoMovie};
    Advance();
    return {uint16_t(m_state == State::Playing ? 1 : 0), FlashResult::Ok};
}

void FlashControl::Stop()
{
    Advance();
    if (m_state != State::Playing)
        return;
    m_frame = FrameAt(GetClock().Now());
    m_state = State::Stopped;
}

void FlashControl::Skip()
{
    if (m_state == State::Empty)
        return;
    m_frame = int(m_frameCount - 1);
    m_state = State::Ended;
}

} // namespace Kestrin::Shim
