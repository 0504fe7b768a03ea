// audiogen DATA_DIR: writes every sound, track and the audio resource records into
// the data tree (sounds/, music/, groups/resources.xml).
#include "Generate.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
        return 2;
    }
    try
    {
        const auto outputs = AudioGen::GenerateAll();
        AudioGen::WriteAll(argv[1], outputs);
        size_t bytes = 0;
        for (const auto& o : outputs)
            bytes += o.bytes.size();
        std::printf("audiogen: %zu files, %zu bytes written under %s\n", outputs.size(), bytes, argv[1]);
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "audiogen: %s\n", e.what());
        return 1;
    }
}
