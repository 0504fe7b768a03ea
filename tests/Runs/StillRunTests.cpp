#include "Runs/StillRun.h"

#include "Base/Text.h"
#include "Runs/ScreenTour.h"

#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{

TEST(StillRunSwitch, SecondsThenAnOptionalButton)
{
    using Settings = StillRun::Settings;
    struct Case
    {
        const wchar_t* line;
        std::optional<Settings> settings;
    };
    for (const Case& c : {
             Case{L"Tanglewisp -still 20", Settings{20.0f, ""}},
             Case{L"Tanglewisp -software -still 2.5 options", Settings{2.5f, "options"}},
             Case{L"Tanglewisp -still 20 -software", Settings{20.0f, ""}},
             Case{L"Tanglewisp -still 20 credits -drawall", Settings{20.0f, "credits"}},
             Case{L"Tanglewisp -still", std::nullopt},
             Case{L"Tanglewisp -still options", std::nullopt},
             Case{L"Tanglewisp -still 0", std::nullopt},
             Case{L"Tanglewisp -still -3", std::nullopt},
             Case{L"Tanglewisp -still 20s", std::nullopt},
             Case{L"Tanglewisp -still 3601", std::nullopt},
             Case{L"Tanglewisp -stillness 20", std::nullopt},
             Case{L"Tanglewisp", std::nullopt},
         })
    {
        // The arguments as the program gets them: the line split at its blanks.
        std::vector<std::wstring> arguments;
        std::wistringstream words(c.line);
        for (std::wstring word; words >> word;)
            arguments.push_back(word);
        const std::optional<Settings> got = StillRun::FromCommandLine(Kestrin::CommandLine(arguments));
        EXPECT_EQ(got.has_value(), c.settings.has_value()) << c.line;
        if (got && c.settings)
        {
            EXPECT_EQ(*got, *c.settings) << got->seconds << " " << got->button;
        }
    }
    EXPECT_EQ(StillRun::FromCommandLine(Kestrin::CommandLine()), std::nullopt);
}

TEST(ProgramRun, TheTourGoesBeforeTheStillRunAndABadSwitchStartsNone)
{
    KestrinTest::TempFolder folder;
    const std::wstring shots = Kestrin::FromUtf8(folder.Path() + "/shots");
    auto make = [](std::vector<std::wstring> arguments)
    { return MakeProgramRun(Kestrin::CommandLine(std::move(arguments))); };
    EXPECT_NE(dynamic_cast<ScreenTour*>(make({L"Tanglewisp", L"-still", L"20", L"-tour", shots}).get()),
              nullptr);
    EXPECT_TRUE(folder.Has("shots"));
    EXPECT_NE(dynamic_cast<StillRun*>(make({L"Tanglewisp", L"-still", L"20", L"-tour"}).get()), nullptr);
    EXPECT_EQ(make({L"Tanglewisp", L"-still", L"0", L"-software"}), nullptr);
    EXPECT_EQ(make({L"Tanglewisp"}), nullptr);
}

} // namespace
