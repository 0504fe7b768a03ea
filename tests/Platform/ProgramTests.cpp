// The built program, started as a player would start it, in environments where it must give up.
#include "harness/RunProgram.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

// No video device at all: an unknown driver asked for, or no display for SDL to find (it would
// otherwise draw into its offscreen stand-in, a window nobody sees, until killed).
TEST(Program, WithoutADisplayItSaysSoAndFails)
{
    KestrinTest::TempFolder home;
    struct Case
    {
        const char* driver;
        const char* says;
    };
    for (const Case& c : {Case{"nosuch", "No display could be opened: nosuch not available"},
                          Case{"", "No display could be opened: SDL found none"}})
    {
        SCOPED_TRACE(c.driver);
        const KestrinTest::ProgramOutcome run =
            KestrinTest::RunProgram(KESTRIN_PROGRAM, {{"SDL_VIDEODRIVER", c.driver},
                                                      {"DISPLAY", ""},
                                                      {"WAYLAND_DISPLAY", ""},
                                                      {"XDG_DATA_HOME", home.Path()}});
        ASSERT_TRUE(run.ended) << "still running without a display:\n" << run.output;
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_EQ(Count(run.output, c.says), 1u) << run.output;
        // The log file keeps it too.
        const std::string log = home.Read("Quorvane/Tanglewisp/LOG.TXT");
        EXPECT_NE(log.find("Unhandled Exception!\n"), std::string::npos) << log;
        EXPECT_NE(log.find(c.says), std::string::npos) << log;
    }
}

// A per-user folder nobody can make (a file stands in its way, so root cannot either): said once,
// naming the folder, and the program goes on as far as it can.
TEST(Program, APerUserFolderThatCannotBeWrittenIsSaidOnce)
{
    KestrinTest::TempFolder temp;
    temp.Write("blocker", "a file where the folder should be");
    const KestrinTest::ProgramOutcome run = KestrinTest::RunProgram(
        KESTRIN_PROGRAM, {{"SDL_VIDEODRIVER", "nosuch"}, {"XDG_DATA_HOME", temp.Path() + "/blocker/share"}});
    ASSERT_TRUE(run.ended) << run.output;
    const std::string said =
        "Cannot write to the per-user folder \"" + temp.Path() + "/blocker/share/Quorvane/Tanglewisp\" (";
    EXPECT_EQ(Count(run.output, said), 1u) << run.output;
    EXPECT_NE(run.output.find("the log and the player profiles cannot be saved there.\n"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.status, 1) << run.output; // it still needs a display
}
