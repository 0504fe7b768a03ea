#pragma once
// The program's runs without a player, each behind its switch: the tour of the screens ("-tour") and
// the still-screen measurement ("-still"). The program links them; the game's libraries know none of
// them.
#include "Framework/CommandLine.h"

#include <memory>

class ProgramRun
{
public:
    virtual ~ProgramRun() = default;

    // Every update step, after the application's.
    virtual void Update(float dt) = 0;
    // After the screens are drawn.
    virtual void OnAfterDraw() {}
};

// The run the command line asks for: "-tour <folder>" before "-still <seconds> [buttons]"; none
// when it asks for neither.
std::unique_ptr<ProgramRun> MakeProgramRun(const Kestrin::CommandLine& line);
