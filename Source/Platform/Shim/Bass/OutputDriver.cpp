#include "Platform/Shim/Bass/OutputDriver.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace Kestrin::Shim::Bass
{

NullOutputDriver::NullOutputDriver() : devices{{"Null output", true}} {}

int NullOutputDriver::DeviceCount()
{
    return int(devices.size());
}

std::string NullOutputDriver::DeviceName(int index)
{
    return index >= 0 && index < int(devices.size()) ? devices[size_t(index)].name : std::string();
}

bool NullOutputDriver::Open(int index, uint32_t rate, IRenderer* renderer)
{
    openAttempts.push_back(index);
    bool opens = index < 0 ? defaultOpens : index < int(devices.size()) && devices[size_t(index)].opens;
    if (!opens || IsOpen())
        return false;
    m_openIndex = index;
    m_rate = rate;
    m_renderer = renderer;
    return true;
}

void NullOutputDriver::Close()
{
    std::lock_guard lock(m_mixing);
    m_renderer = nullptr;
    m_openIndex = -2;
}

std::vector<float> NullOutputDriver::Mix(int frames)
{
    std::vector<float> out(2 * size_t(std::max(frames, 0)));
    Mix(out.data(), frames);
    return out;
}

void NullOutputDriver::Mix(float* stereo, int frames)
{
    if (frames <= 0)
        return;
    std::lock_guard lock(m_mixing);
    if (IRenderer* renderer = m_renderer.load())
        renderer->Render(stereo, frames);
    else
        std::fill(stereo, stereo + 2 * frames, 0.0f);
}

SdlOutputDriver::SdlOutputDriver(int bufferFrames) : m_bufferFrames(bufferFrames) {}

SdlOutputDriver::~SdlOutputDriver()
{
    Close();
    StopSubsystem();
}

bool SdlOutputDriver::StartSubsystem()
{
    if (!m_subsystem)
        m_subsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return m_subsystem;
}

void SdlOutputDriver::StopSubsystem()
{
    if (m_subsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_subsystem = false;
}

int SdlOutputDriver::DeviceCount()
{
    if (!StartSubsystem())
        return 0;
    return std::max(SDL_GetNumAudioDevices(0), 0);
}

std::string SdlOutputDriver::DeviceName(int index)
{
    if (!StartSubsystem())
        return {};
    const char* name = SDL_GetAudioDeviceName(index, 0);
    return name ? name : "";
}

bool SdlOutputDriver::Open(int index, uint32_t rate, IRenderer* renderer)
{
    if (m_device || !StartSubsystem())
        return false;
    std::string name;
    if (index >= 0)
    {
        name = DeviceName(index);
        if (name.empty())
            return false;
    }
    SDL_AudioSpec want{};
    want.freq = int(rate);
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = uint16_t(m_bufferFrames);
    want.callback = &SdlOutputDriver::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    m_renderer = renderer;
    // No allowed changes: SDL converts our float stereo to whatever the hardware takes.
    m_device = SDL_OpenAudioDevice(index >= 0 ? name.c_str() : nullptr, 0, &want, &have, 0);
    if (!m_device)
    {
        m_renderer = nullptr;
        return false;
    }
    // SDL's own pause takes the device lock, which waits for a running callback; the layer
    // pauses by rendering silence instead, so the device runs from here until Close.
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlOutputDriver::Close()
{
    if (!m_device)
        return;
    SDL_CloseAudioDevice(m_device); // joins SDL's audio thread
    m_device = 0;
    m_renderer = nullptr;
    StopSubsystem();
}

void SdlOutputDriver::Callback(void* user, unsigned char* stream, int length)
{
    auto* self = static_cast<SdlOutputDriver*>(user);
    self->m_renderer->Render(reinterpret_cast<float*>(stream), length / int(2 * sizeof(float)));
}

} // namespace Kestrin::Shim::Bass
