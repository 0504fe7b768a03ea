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

// A modal error box with the error icon and an OK button; headless, the text goes to the log only.
// The screens' load-failure handlers show the exception text under the caption
// "There was an error loading <group>.xml. Fix the problem and press F5 to reload".
inline void ShowErrorMessageBox(const std::wstring& text, const std::wstring& caption)
{
    Kestrin::ShowErrorBox(caption, text);
}
