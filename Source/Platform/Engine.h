#pragma once
#include <string>

namespace Kestrin
{

// Engine start-up: random streams, the platform, the single-copy test, the audio platform, the
// window and graphics platform for the application's settings, the engine's resource factories,
// then the application's Initialize. False when another copy already runs (it was woken).
// Failures are thrown.
bool InitializeEngine();

// The process entry: the log file, the command line, start-up, the main loop and shutdown.
// An exception that reaches it is logged and shown in an error box; no shutdown runs then, and
// it answers a failure status (1) for the shell or launcher. Otherwise, and when another copy
// already runs, it answers 0.
int EngineMain(int argc, char** argv);

// How the entry shows its last-resort report; tests install their own.
using ErrorBoxFunction = void (*)(const std::wstring& title, const std::wstring& text);
void SetErrorBoxFunction(ErrorBoxFunction function);

} // namespace Kestrin
