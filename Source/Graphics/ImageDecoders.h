#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Kestrin
{

class IStream;

// One decoded image of a GIF file.
struct GifFrame
{
    int width = 0;
    int height = 0;
    // Colour-table bits (1 to 8); the palette has 2^bits entries.
    int bits = 0;
    // One colour index per pixel, rows `stride` bytes apart.
    std::unique_ptr<uint8_t[]> indices;
    // 2^bits entries of blue, green, red and an unused byte.
    std::unique_ptr<uint8_t[]> palette;
    int stride = 0;
    int transparentIndex = -1;
    int left = 0;
    int top = 0;
    int delayMs = 0;
    int disposeFlag = 0;
};

struct GifFrameList
{
    int screenWidth = 0;
    int screenHeight = 0;
    int reserved = 0;
    std::vector<std::unique_ptr<GifFrame>> frames;
};

void FreeGifFrames(GifFrameList& list);

// Pixels of the first image of a GIF file as 0xAARRGGBB words on its logical screen (width x
// height): the image at its place, transparent black where it does not reach. hasTransparency
// when the image has a transparent colour or leaves part of the screen uncovered. The frame goes
// into the list when its code stream decoded without failure. Null for a file that is not a GIF
// or has no image (width and height are untouched when the signature is wrong).
std::unique_ptr<uint32_t[]> DecodeGif(IStream& stream, int& width, int& height, bool& hasTransparency,
                                      int& frameCount, GifFrameList& list);
// The same with one grey byte per pixel, (r + g + b) / 3 of the palette colour; 0 where uncovered.
std::unique_ptr<uint8_t[]> DecodeGifMask(IStream& stream, int& width, int& height, int& frameCount,
                                         GifFrameList& list);

// LZW decode of a GIF image's gathered data into `indices`; minimum code size 1 to 11.
// Answers the number of bits consumed (non-zero) on success, 0 when the data ran out or was
// malformed before an end code or a full image. Never reads past `size` bytes.
int64_t DecodeGifCodeStream(int minimumCodeSize, const uint8_t* data, size_t size, uint8_t* indices,
                            int stride, int width, int height, bool interlaced);

// Baseline or progressive, greyscale or colour. Errors log "JpegFile Error: ..." and answer null.
std::unique_ptr<uint32_t[]> DecodeJpeg(IStream& stream, int& width, int& height);

// Any PNG; every pixel as a 0xAARRGGBB word. Null on any error; the library's errors and warnings
// are logged with the stream's name, never written to stderr.
std::unique_ptr<uint32_t[]> DecodePng(IStream* stream, int& width, int& height);

namespace Internal
{
// Largest image (in pixels) a decoder accepts; larger ones are refused. Fuzzing lowers it.
void SetDecodedPixelLimit(size_t pixels);
size_t DecodedPixelLimit();

// A decoder's pixels (from new[]) handed over with their size; null, the size untouched, when it
// failed.
inline std::unique_ptr<uint32_t[]> TakeDecodedPixels(uint32_t* pixels, int w, int h, int& width, int& height)
{
    if (pixels)
    {
        width = w;
        height = h;
    }
    return std::unique_ptr<uint32_t[]>(pixels);
}
} // namespace Internal

} // namespace Kestrin
