#pragma once
#include <functional>
#include <string>

namespace Kestrin
{

// The error box of the areas above the platform (a screen whose data failed to load). The platform
// installs the window system's box as the sink; without a sink (tests, no display) the text only
// goes to the log.
using ErrorBoxSink = std::function<void(const std::wstring& caption, const std::wstring& text)>;
// Null removes the sink.
void SetErrorBoxSink(ErrorBoxSink sink);

// Writes the caption and text to the log, then hands them to the sink, which may block until the
// player dismisses the box.
void ShowErrorBox(const std::wstring& caption, const std::wstring& text);

} // namespace Kestrin
