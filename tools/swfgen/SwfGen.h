#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes minimal valid SWF movies: a header, a frame size, tags of the caller's choice and an End
// tag, uncompressed ("FWS") or zlib-compressed ("CWS"). Used by the tests and by the data set for
// short title movies.
namespace SwfGen
{

// Tag codes the generator writes itself.
constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;

// Frames per second as the header's 8.8 fixed-point value (rounded). Throws std::invalid_argument
// outside [0, 256).
uint16_t FixedFrameRate(double fps);

class SwfWriter
{
public:
    // The frame rate is the header's raw 8.8 value; the frame count is written as given, whatever
    // number of ShowFrame tags follows, so tests can write inconsistent headers on purpose.
    SwfWriter(int widthPx, int heightPx, uint16_t frameRate, uint16_t frameCount);

    // Short form for bodies under 63 bytes unless longForm asks for the 32-bit length.
    void AddTag(uint16_t code, const std::vector<uint8_t>& body, bool longForm = false);
    void SetBackgroundColor(uint8_t r, uint8_t g, uint8_t b);
    void ShowFrame();

    // The whole file: header, the tags so far, then an End tag. The declared length is always
    // the uncompressed length, header included.
    std::vector<uint8_t> Finish(bool compress, uint8_t version = 6) const;

private:
    std::vector<uint8_t> m_body; // frame size onwards, without the End tag
};

struct MovieOptions
{
    uint32_t rgb = 0x000000; // 0xRRGGBB
    unsigned frames = 1;     // ShowFrame tags, also the header's frame count
    double fps = 12.0;
    bool compress = false;
    int width = 800;
    int height = 600;
    uint8_t version = 6;
};

// A movie of `frames` empty frames over the given background colour.
// Throws std::invalid_argument for a frame count above 65535 or a bad frame rate.
std::vector<uint8_t> MakeMovie(const MovieOptions& options);

// Reads the command line of the swfgen tool (without the program name). Throws
// std::invalid_argument with a message for the user when it is wrong.
struct CommandLine
{
    std::string output;
    MovieOptions options;
};
CommandLine ParseCommandLine(const std::vector<std::string>& args);

} // namespace SwfGen
