#pragma once
// The image files the tool writes. The engine reads images only, so the writers are ours:
// fixed settings, so the same canvas always gives the same bytes.
#include "Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace DataGen
{
using Bytes = std::vector<uint8_t>;

// RGBA, straight alpha, 8 bits a channel, zlib level 9.
Bytes EncodePng(const Canvas& canvas);
// Baseline, 4:2:0, integer DCT, the given quality. The canvas must be opaque: JPEG has no alpha.
Bytes EncodeJpeg(const Canvas& canvas, int quality = 88);
// GIF89a with one image and a global palette of the canvas's distinct colours; pixels with
// alpha below one half become the transparent index 0. Throws when the canvas has more than
// 255 colours (quantise first).
Bytes EncodeGif(const Canvas& canvas);
// LZW code stream of a GIF image (the data sub-blocks' content, without the block framing).
Bytes GifLzw(const std::vector<uint8_t>& indices, int minimumCodeSize);

uint64_t Fnv1a64(const Bytes& bytes);
std::string Hex64(uint64_t v);
} // namespace DataGen
