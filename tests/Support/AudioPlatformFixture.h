#pragma once
#include "Platform/BassAudio.h"
#include "Support/AudioData.h"

#include <gtest/gtest.h>

#include <memory>

// The audio platform over a layer on the null device, with sounds made from test bytes.
class AudioPlatformTest : public ::testing::Test
{
protected:
    using NullOutputDriver = Kestrin::Shim::Bass::NullOutputDriver;

    // Installs the layer first and uninstalls it last, after the sounds and the platform.
    struct Layer
    {
        NullOutputDriver* device = new NullOutputDriver;
        Kestrin::Shim::Bass::AudioOut out{std::unique_ptr<Kestrin::Shim::Bass::IOutputDriver>(device)};
        Layer() { Kestrin::Shim::Bass::SetAudioOut(&out); }
        ~Layer() { Kestrin::Shim::Bass::SetAudioOut(nullptr); }
    };

    // Initialises and starts the output.
    void Start()
    {
        ASSERT_TRUE(platform->Initialize());
        platform->SetActive(true);
    }

    // A sound over a WAV of `frames` frames of constant 0.5 at `rate`.
    std::unique_ptr<Kestrin::BASSSound> Tone(int frames, int rate = 44100, int playCount = 1)
    {
        auto sound = std::make_unique<Kestrin::BASSSound>();
        std::vector<float> v(2 * size_t(frames), 0.5f);
        sound->files.push_back(Kestrin::MakeSoundFileData(".wav", KestrinTest::MakeWav(v, 2, rate)));
        sound->playCount = playCount;
        return sound;
    }

    // A channel under its own node beneath the master (full volume).
    Kestrin::ISoundChannel* Channel()
    {
        Kestrin::ISoundChannel* channel = platform->GetFreeChannel();
        Kestrin::IAudioControls* controls = platform->CreateControls(platform->GetMasterControls());
        channel->SetControls(controls);
        controls->Release();
        return channel;
    }

    // Frames whose left sample is not silent, over `frames` mixed frames.
    int Audible(int frames)
    {
        std::vector<float> mixed = layer.device->Mix(frames);
        int count = 0;
        for (size_t i = 0; i < mixed.size(); i += 2)
            count += mixed[i] != 0.0f;
        return count;
    }

    Layer layer;
    std::unique_ptr<Kestrin::BASSAudioPlatform> platform = std::make_unique<Kestrin::BASSAudioPlatform>();
};
