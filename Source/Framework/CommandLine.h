#pragma once

namespace Kestrin
{

// The process entry hands over its arguments once; they are kept as one wide text, the
// arguments (program name first) joined with single blanks, each read as UTF-8.
void SetCommandLine(int argc, const char* const* argv);

// The kept text; empty before SetCommandLine. The pointer stays valid until the next
// SetCommandLine.
const wchar_t* GetCommandLine();

} // namespace Kestrin
