#pragma once
// The program's runs without a player, each behind its switch: the tour of the screens ("-tour") and
// the still-screen measurement ("-still"). The program links them; the game's libraries know none of
// them.
#include "Framework/CommandLine.h"
#include "Screens/Application.h"

#include <functional>
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

// The game's application with a run beside it: the run is made once the start-up road is queued,
// and only when the data folder was found. The program and the soaks that drive it share it.
class ProgramWithRun : public Application
{
public:
    using MakeRun = std::function<std::unique_ptr<ProgramRun>()>;
    explicit ProgramWithRun(MakeRun makeRun);
    ~ProgramWithRun() override;

    void Initialize() override;
    void Update(float dt) override;
    void OnAfterDraw() override;

private:
    MakeRun m_makeRun;
    std::unique_ptr<ProgramRun> m_run;
};
