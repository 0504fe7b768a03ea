#include "Runs/ProgramRun.h"

#include "Runs/ScreenTour.h"
#include "Runs/StillRun.h"

#include <utility>

std::unique_ptr<ProgramRun> MakeProgramRun(const Kestrin::CommandLine& line)
{
    if (std::optional<std::string> folder = ScreenTour::FolderFromCommandLine(line))
        return std::make_unique<ScreenTour>(*folder);
    if (std::optional<StillRun::Settings> still = StillRun::FromCommandLine(line))
        return std::make_unique<StillRun>(*still);
    return nullptr;
}

ProgramWithRun::ProgramWithRun(MakeRun makeRun) : m_makeRun(std::move(makeRun)) {}

ProgramWithRun::~ProgramWithRun() = default;

void ProgramWithRun::Initialize()
{
    Application::Initialize();
    if (IsStarted() && m_makeRun)
        m_run = m_makeRun();
}

void ProgramWithRun::Update(float dt)
{
    Application::Update(dt);
    if (m_run)
        m_run->Update(dt);
}

void ProgramWithRun::OnAfterDraw()
{
    Application::OnAfterDraw();
    if (m_run)
        m_run->OnAfterDraw();
}
