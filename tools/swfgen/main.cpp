// swfgen out.swf --rgb RRGGBB --frames N --fps F [--compress]
#include "swfgen/SwfGen.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

int main(int argc, char** argv)
{
    SwfGen::CommandLine cl;
    try
    {
        cl = SwfGen::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    }
    catch (const std::invalid_argument& e)
    {
        std::fprintf(stderr,
                     "swfgen: %s\nusage: swfgen out.swf --rgb RRGGBB --frames N --fps F [--compress]\n",
                     e.what());
        return 2;
    }

    std::vector<uint8_t> bytes = SwfGen::MakeMovie(cl.options);
    std::ofstream out(cl.output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out)
    {
        std::fprintf(stderr, "swfgen: cannot write %s\n", cl.output.c_str());
        return 1;
    }
    return 0;
}
