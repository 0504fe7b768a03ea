#include "Runs/ProgramRun.h"

#include "Runs/ScreenTour.h"
#include "Runs/StillRun.h"

std::unique_ptr<ProgramRun> MakeProgramRun(const Kestrin::CommandLine& line)
{
    if (std::optional<std::string> folder = ScreenTour::FolderFromCommandLine(line))
        return std::make_unique<ScreenTour>(*folder);
    if (std::optional<StillRun::Settings> still = StillRun::FromCommandLine(line))
        return std::make_unique<StillRun>(*still);
    return nullptr;
}
