#include "Framework/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;

TEST(CommandLine, ArgumentsJoinedWithBlanksAsWideText)
{
    EXPECT_EQ(std::wstring(GetCommandLine()), L"");
    const char* argv[] = {"/opt/game/Tanglewisp", "-software", "Zo\xC3\xAB", nullptr};
    SetCommandLine(3, argv);
    EXPECT_EQ(std::wstring(GetCommandLine()), L"/opt/game/Tanglewisp -software Zo\u00eb");

    // A later call replaces the text; a short argv stops at its terminating null.
    SetCommandLine(5, argv);
    EXPECT_EQ(std::wstring(GetCommandLine()), L"/opt/game/Tanglewisp -software Zo\u00eb");
    SetCommandLine(1, argv);
    EXPECT_EQ(std::wstring(GetCommandLine()), L"/opt/game/Tanglewisp");
    EXPECT_EQ(GetProgramCommandLine().Arguments(), std::vector<std::wstring>{L"/opt/game/Tanglewisp"});
    SetCommandLine(0, nullptr);
    EXPECT_EQ(std::wstring(GetCommandLine()), L"");
    EXPECT_TRUE(GetProgramCommandLine().Arguments().empty());
}

TEST(CommandLine, ASwitchIsAWholeArgumentAfterTheProgramsName)
{
    const char* argv[] = {"-tour", "-tour", "my shots", "-still", "20", "-software"};
    const CommandLine line(6, argv);
    EXPECT_TRUE(line.Has(L"-software"));
    EXPECT_FALSE(line.Has(L"-soft"));
    EXPECT_FALSE(line.Has(L"shots"));
    EXPECT_EQ(line.After(L"-tour", 1), std::vector<std::wstring>{L"my shots"});
    EXPECT_EQ(line.After(L"-still", 5), (std::vector<std::wstring>{L"20", L"-software"}));
    EXPECT_EQ(line.After(L"-software", 1), std::vector<std::wstring>{});
    EXPECT_EQ(line.After(L"-drawall", 1), std::vector<std::wstring>{});
    // The program's own name is never a switch.
    EXPECT_FALSE(CommandLine(1, argv).Has(L"-tour"));
    EXPECT_EQ(CommandLine(1, argv).After(L"-tour", 1), std::vector<std::wstring>{});
}
