#pragma once
// Small pieces the drawing node kinds share.
#include "Graphics/Canvas.h"
#include "Scene/SceneNode.h"

#include <string>
#include <string_view>

// Limits the state's clip rectangle to the node's source rectangle, when the node has one (whole
// screen pixels).
void ClipToSourceRect(SceneNode& node, Kestrin::Graphics::DrawState& state);

// The text as the image fonts can show it: characters beyond U+00FF are left out.
std::wstring Latin1Only(std::wstring_view text);
