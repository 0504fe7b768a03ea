#pragma once

namespace Kestrin
{

// From now on, the first log text written while an application object exists and the per-user
// folder is known opens "LOG.TXT" there (truncating) and goes there with every later text. The open is tried
// once; texts written before it reach only stderr and the listeners. The process entry calls
// this first thing.
void InstallLogFile();

} // namespace Kestrin
