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
// it answers a failure status (1) for the shell or launcher. Otherwise it answers the exit status
// (0 unless set), and 0 when another copy already runs.
int EngineMain(int argc, char** argv);

// The status EngineMain answers after a normal shutdown: 0 unless the application asked for another
// (it ends through the main loop's quit, then sets why, say a missing data folder).
void SetExitStatus(int status);
int GetExitStatus();

// How the entry shows its last-resort report; tests install their own.
using ErrorBoxFunction = void (*)(const std::wstring& title, const std::wstring& text);
void SetErrorBoxFunction(ErrorBoxFunction function);

} // namespace Kestrin
