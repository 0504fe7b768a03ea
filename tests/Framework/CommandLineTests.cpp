#include "Framework/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

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
    SetCommandLine(0, nullptr);
    EXPECT_EQ(std::wstring(GetCommandLine()), L"");
}
