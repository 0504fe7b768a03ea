#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace Kestrin::Shim::Bass
{

// What a driver pulls output from: interleaved stereo float frames at the opened rate.
class IRenderer
{
public:
    virtual ~IRenderer() = default;
    virtual void Render(float* stereo, int frames) = 0;
};

// An output device: enumeration, and one open device that pulls from a renderer on its own
// schedule. The layer keeps pause in its own hands, so a driver never has to block on it.
class IOutputDriver
{
public:
    virtual ~IOutputDriver() = default;
    // Playback devices, numbered from 0.
    virtual int DeviceCount() = 0;
    virtual std::string DeviceName(int index) = 0;
    // Opens device `index` (-1: the system default) for float stereo at `rate` Hz and starts
    // pulling from `renderer`. False when the device cannot be opened.
    virtual bool Open(int index, uint32_t rate, IRenderer* renderer) = 0;
    // Stops pulling: no Render runs or starts once this returns. Must not be called from Render.
    virtual void Close() = 0;
};

// A device without a sound card: a scripted device list, and output mixed only when a test asks.
// Set the script up before the driver is used; Mix and Close may then run on different threads.
class NullOutputDriver : public IOutputDriver
{
public:
    struct Device
    {
        std::string name;
        bool opens = true;
    };

    NullOutputDriver();

    int DeviceCount() override;
    std::string DeviceName(int index) override;
    bool Open(int index, uint32_t rate, IRenderer* renderer) override;
    void Close() override;

    // Renders `frames` frames as an audio thread would; silence when no device is open.
    std::vector<float> Mix(int frames);
    void Mix(float* stereo, int frames);

    bool IsOpen() const { return m_renderer.load() != nullptr; }
    int OpenIndex() const { return m_openIndex; }
    uint32_t Rate() const { return m_rate; }

    // The script: the enumerated devices and whether the default device opens.
    std::vector<Device> devices;
    bool defaultOpens = true;
    // Every Open asked for, in order (-1 for the default device).
    std::vector<int> openAttempts;

private:
    std::mutex m_mixing; // held for a whole Mix, so Close waits for one in progress
    std::atomic<IRenderer*> m_renderer{nullptr};
    int m_openIndex = -2;
    uint32_t m_rate = 0;
};

// SDL2 playback devices: float stereo, converted by SDL to whatever the hardware takes.
class SdlOutputDriver : public IOutputDriver
{
public:
    // frames per SDL callback
    explicit SdlOutputDriver(int bufferFrames = 1024);
    ~SdlOutputDriver() override;

    int DeviceCount() override;
    std::string DeviceName(int index) override;
    bool Open(int index, uint32_t rate, IRenderer* renderer) override;
    void Close() override;

private:
    bool StartSubsystem();
    void StopSubsystem();
    static void Callback(void* user, unsigned char* stream, int length);

    int m_bufferFrames;
    bool m_subsystem = false;
    uint32_t m_device = 0;
    IRenderer* m_renderer = nullptr;
};

} // namespace Kestrin::Shim::Bass
