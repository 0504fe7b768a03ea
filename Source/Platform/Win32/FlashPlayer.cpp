#include "Platform/Win32/FlashPlayer.h"

#include "Base/Clock.h"
#include "Base/FileExceptions.h"
#include "Base/Text.h"
#include "Framework/FileSystem.h"
#include "Graphics/GraphicsResources.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Platform/Shim/Flash/FlashControl.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Kestrin
{

namespace
{

// Players holding drawing suspended, oldest first; the newest one's movie is the backdrop.
std::vector<FlashPlayer*> g_holders;
bool g_fillPending = false;
// The poster's opacity at the last fill, so a fading poster is drawn again when it changes.
float g_filledOpacity = 0.0f;

void AddHolder(FlashPlayer* player)
{
    g_holders.erase(std::remove(g_holders.begin(), g_holders.end(), player), g_holders.end());
    g_holders.push_back(player);
    g_fillPending = true;
}

void RemoveHolder(FlashPlayer* player)
{
    bool wasBackdrop = !g_holders.empty() && g_holders.back() == player;
    g_holders.erase(std::remove(g_holders.begin(), g_holders.end(), player), g_holders.end());
    // An older movie still holding drawing shows through now.
    if (wasBackdrop && !g_holders.empty())
        g_fillPending = true;
}

} // namespace

float MoviePosterOpacity(uint32_t elapsedMs, uint32_t lengthMs)
{
    if (elapsedMs >= lengthMs)
        return 0.0f;
    const float fade = std::clamp(float(lengthMs) / 3.0f, 1.0f, 750.0f);
    const float in = float(elapsedMs) / fade, out = float(lengthMs - elapsedMs) / fade;
    return std::clamp(std::min(in, out), 0.0f, 1.0f);
}

std::vector<std::string> MoviePosterNames(const MovieSettings& settings)
{
    const std::string movie = ToUtf8(settings.fileName);
    std::vector<std::string> names;
    // One movie holds several films, told apart by their label.
    if (settings.setRootVariable && !settings.rootVariable.empty())
        names.push_back(movie + "_" + ToUtf8(settings.rootVariable) + "_poster");
    names.push_back(movie + "_poster");
    return names;
}

int MovieVolumeLevel(float volume)
{
    if (std::isnan(volume))
        return 0;
    double v = std::clamp(double(volume), 0.0, 1.0);
    return int(v * Shim::FlashControl::kMaxAudioVolume);
}

FlashPlayer::FlashPlayer() : m_control(std::make_unique<Shim::FlashControl>()) {}

Shim::FlashPlayingState FlashPlayer::QueryPlaying()
{
    return m_control->QueryPlaying();
}
bool FlashPlayer::IsPlaying()
{
    return m_control->IsPlaying();
}
void FlashPlayer::Stop()
{
    m_control->Stop();
}
void FlashPlayer::Skip()
{
    m_control->Skip();
}

FlashPlayer::~FlashPlayer()
{
    if (m_playing)
    {
        m_playing = false;
        RemoveHolder(this);
        ResumeDrawing();
    }
}

void FlashPlayer::Play(const MovieSettings& settings)
{
    m_settings = settings;

    FileSpec fileSpec(1, m_settings.fileName, m_settings.extension);
    IFileSystem* fileSystem = GetFileSystem();
    if (!fileSystem || !fileSystem->Exists(fileSpec))
        throw FileOpenException(__LINE__, ToUtf8(m_settings.fileName + m_settings.extension),
                                "file doesn't exist");

    // The file may vanish between the check and the read; an empty movie then simply ends at once.
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> bytes = ReadWholeFile(fileSpec, size);
    m_control->PutMovieFromMemory(bytes.get(), bytes ? size : 0, ToUtf8(fileSpec.name + fileSpec.extension));
    bytes.reset();
    // Held, so a reload of its group while the movie plays cannot free it.
    m_posterResource.reset();
    m_poster = nullptr;
    for (const std::string& name : MoviePosterNames(m_settings))
    {
        m_posterResource = ResourceManager::Instance()->FindShared(MakeName(name));
        if ((m_poster = dynamic_cast<IImage*>(m_posterResource.get())))
            break;
    }
    if (!m_poster)
        m_posterResource.reset();

    m_control->SetAudioEnabled(m_settings.audioEnabled);
    if (m_settings.setVolume)
        m_control->PutAudioVolume(MovieVolumeLevel(m_settings.volume));
    if (m_settings.setRootVariable)
        m_control->SetVariable(L"_root", m_settings.rootVariable);
    if (m_settings.goToFrame)
        m_control->GotoFrame(m_settings.frameNumber);

    // Activate runs each time a movie screen comes back on top; one player suspends drawing once.
    if (!m_playing)
        SuspendDrawing();
    m_control->SetInteractive(m_settings.interactive);
    m_playing = true;
    m_startMs = GetClock().Now();
    AddHolder(this);
}

float FlashPlayer::GetPosterOpacity()
{
    if (!m_poster || !m_control->IsPlaying())
        return 0.0f;
    return MoviePosterOpacity(GetClock().Now() - m_startMs, m_control->GetPlayMilliseconds());
}

IImage* GetMoviePoster(float& opacity)
{
    opacity = 0.0f;
    if (g_holders.empty() || GetDrawSuspendCount() <= 0)
        return nullptr;
    opacity = g_holders.back()->GetPosterOpacity();
    return g_holders.back()->GetPoster();
}

bool GetMovieBackdropColor(ColorF& color)
{
    if (g_holders.empty() || GetDrawSuspendCount() <= 0)
        return false;
    Shim::SwfRgb rgb = g_holders.back()->GetControl().GetBackgroundColor();
    color = ColorF::FromARGB(0xFF000000u | uint32_t(rgb.r) << 16 | uint32_t(rgb.g) << 8 | rgb.b);
    return true;
}

bool TakeMovieBackdropFill()
{
    ColorF unused;
    if (!GetMovieBackdropColor(unused))
    {
        g_fillPending = false;
        return false;
    }
    bool due = g_fillPending;
    g_fillPending = false;
    float opacity = 0.0f;
    GetMoviePoster(opacity);
    if (opacity != g_filledOpacity)
    {
        g_filledOpacity = opacity;
        due = true;
    }
    if (IPlatform* platform = GetPlatform(); platform && platform->IsRepaintRequested())
    {
        platform->ClearRepaintRequest();
        due = true;
    }
    return due;
}

} // namespace Kestrin
