#pragma once
#include "Graphics/Canvas.h"

#include <cstdint>

namespace Kestrin
{
class Image;
}

namespace Kestrin::Graphics
{

// A 32-bit 0xAARRGGBB buffer, rows `width` words apart.
struct BlitTarget
{
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// How a blit combines source and target; chosen once per call.
enum BlitMode
{
    Blit_Block = 0,       // one copy of the whole block
    Blit_Copy = 1,        // row copies
    Blit_AlphaTest = 2,   // one-bit alpha
    Blit_Alpha = 3,       // full alpha
    Blit_Tinted = 4,      // tinted copy
    Blit_TintedTest = 5,  // tinted, one-bit alpha
    Blit_TintedAlpha = 6, // tinted, full alpha
};

// The mode a blit of this image with this state uses; `wholeTarget` when the copy covers the
// whole image, which is exactly as large as the target, at the target's origin.
BlitMode ChooseBlitMode(const Image& image, const DrawState& state, bool wholeTarget);

// The image (or the state's source rectangle of it, whose corner then goes to (x, y)) into the
// target, clipped to the target and the clip rectangle, tinted and faded by the state's image
// colour and blended with DrawFlag_Blend. Mirror flags are not looked at.
// 0 drawn; 1 nothing (null image, alpha 0, nothing left after clipping).
int BlitImage(const Image* image, int x, int y, const BlitTarget& target, const DrawState& state);

// Scaled to the destination by nearest samples, mirrored by DrawFlag_MirrorX / MirrorY.
// Unmirrored 1:1 draws go to BlitImage.
int BlitStretchedImage(const Image* image, const BlitTarget& target, const Rect<int>& destination,
                       const DrawState& state);

namespace Internal
{
// The rows the two blending modes run. Start-up picks the widest the CPU and the build offer; the
// plain rows are the reference every other path must match bit for bit.
enum class BlitPath
{
    Plain,
    Sse2,
    Avx2,
};
// False, and nothing changes, when this CPU or build lacks the path.
bool SetBlitPath(BlitPath path);
BlitPath CurrentBlitPath();
BlitPath BestBlitPath();
bool BlitPathAvailable(BlitPath path);
const char* BlitPathName(BlitPath path);
// On picks the best path again; off forces the plain rows.
void SetFastBlitRows(bool enabled);
} // namespace Internal

} // namespace Kestrin::Graphics
