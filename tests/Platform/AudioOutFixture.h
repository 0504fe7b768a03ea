#pragma once
#include "Platform/Shim/Bass/AudioOut.h"
#include "Support/AudioData.h"

#include <gtest/gtest.h>

#include <list>
#include <vector>

// The layer's error code after a call that failed (a false, zero or null result); -1 if it did not fail.
template <class Result> int ErrorOf(Result result)
{
    return result ? -1 : Kestrin::Shim::Bass::AudioOut::ErrorGetCode();
}

// A layer on the null device, open and started, with the test's sound bytes kept alive.
class AudioOutTest : public ::testing::Test
{
protected:
    using AudioOut = Kestrin::Shim::Bass::AudioOut;
    using Handle = Kestrin::Shim::Bass::Handle;

    AudioOutTest()
        : m_device(new Kestrin::Shim::Bass::NullOutputDriver),
          out(std::unique_ptr<Kestrin::Shim::Bass::IOutputDriver>(m_device))
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(out.Init(-1, 44100));
        ASSERT_TRUE(out.Start());
    }

    Kestrin::Shim::Bass::NullOutputDriver& Device() { return *m_device; }

    // A stream over bytes that live as long as the test.
    Handle Stream(std::vector<unsigned char> bytes)
    {
        m_kept.push_back(std::move(bytes));
        return out.StreamCreateMemory(m_kept.back().data(), m_kept.back().size());
    }

    // A float WAV stream of interleaved stereo frames at `rate`.
    Handle StereoStream(const std::vector<float>& frames, int rate = 44100)
    {
        return Stream(KestrinTest::MakeWav(frames, 2, rate));
    }

    // `frames` frames holding (left, right) everywhere.
    static std::vector<float> Constant(int frames, float left, float right)
    {
        std::vector<float> v;
        for (int i = 0; i < frames; ++i)
            v.insert(v.end(), {left, right});
        return v;
    }

    // Left rises i/1000, right falls -i/1000: every frame is distinct and the sides differ.
    static std::vector<float> Ramp(int frames)
    {
        std::vector<float> v;
        for (int i = 0; i < frames; ++i)
            v.insert(v.end(), {float(i) / 1000.0f, -float(i) / 1000.0f});
        return v;
    }

    std::vector<float> Mix(int frames) { return m_device->Mix(frames); }

    // Declared first so the bytes outlive the streams over them.
    std::list<std::vector<unsigned char>> m_kept;
    Kestrin::Shim::Bass::NullOutputDriver* m_device;
    AudioOut out;
};
