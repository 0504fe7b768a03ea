#pragma once
// Helpers shared by the recipes: control states, slicing one painting into brush pieces and
// putting pieces together the way the engine draws three- and nine-slice brushes.
#include "Family.h"

#include <string>
#include <vector>

namespace DataGen
{
// The image order of buttons and other controls: normal, hot, down, disabled, focus.
enum class State
{
    Normal,
    Hot,
    Down,
    Disabled,
    Focus
};
inline constexpr State kAllStates[] = {State::Normal, State::Hot, State::Down, State::Disabled, State::Focus};
const char* StateName(State s);

ImageFile Frame(const std::string& stem, Canvas canvas, std::string label = "");

// An image resource stored as an opaque JPEG "<name>.jpg" with its alpha in "<name>_mask.png",
// which the engine's loader applies.
Resource JpegWithMask(const std::string& name, const Canvas& picture, Rgba matte);

// Cuts `c` at the given column edges into len-1 pieces (left to right).
std::vector<Canvas> SliceColumns(const Canvas& c, const std::vector<int>& edges);
// Three rows by three columns, row by row: the nine-slice order.
std::vector<Canvas> SliceNine(const Canvas& c, int piece);

// As the engine draws them: caps at both ends, the middle repeated and the last copy cropped.
Canvas AssembleThree(const Canvas& left, const Canvas& middle, const Canvas& right, int width);
// Top row, the middle row repeated downwards, the bottom row against the bottom edge.
Canvas AssembleNine(const std::vector<Canvas>& pieces, int width, int height);
} // namespace DataGen
