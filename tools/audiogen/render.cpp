// audiogen-render MUSIC_DIR OUT_DIR: renders every module once through to a 16-bit
// 44.1 kHz stereo WAV, for listening.
#include "Generate.h"

#include <sndfile.h>

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s MUSIC_DIR OUT_DIR\n", argv[0]);
        return 2;
    }
    try
    {
        namespace fs = std::filesystem;
        fs::create_directories(argv[2]);
        for (const auto& entry : fs::directory_iterator(argv[1]))
        {
            if (entry.path().extension() != ".xm")
                continue;
            const auto audio = AudioGen::RenderModule(AudioGen::ReadFileBytes(entry.path()), 44100, 2);
            const fs::path out = fs::path(argv[2]) / (entry.path().stem().string() + ".wav");
            SF_INFO info{};
            info.samplerate = audio.rate;
            info.channels = audio.channels;
            info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
            SNDFILE* sf = sf_open(out.c_str(), SFM_WRITE, &info);
            if (!sf)
            {
                std::fprintf(stderr, "cannot write %s: %s\n", out.c_str(), sf_strerror(nullptr));
                return 1;
            }
            sf_command(sf, SFC_SET_CLIPPING, nullptr, SF_TRUE);
            const sf_count_t written = sf_writef_float(sf, audio.samples.data(), audio.frames);
            sf_close(sf);
            if (written != audio.frames)
            {
                std::fprintf(stderr, "short write to %s\n", out.c_str());
                return 1;
            }
            std::printf("%s: %.2f s\n", out.c_str(), static_cast<double>(audio.frames) / audio.rate);
        }
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "audiogen-render: %s\n", e.what());
        return 1;
    }
}
