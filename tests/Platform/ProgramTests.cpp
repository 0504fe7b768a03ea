// The built program, started as a player would start it, in environments where it must give up.
#include "Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{

struct Outcome
{
    bool ended = false; // false: still running at the limit, then killed
    int status = -1;    // the exit status; -1 when a signal ended it
    std::string output; // stdout and stderr together
};

// Runs the program with the environment changed as given (an empty value removes the variable),
// collecting its output until it ends or the limit passes.
Outcome RunProgram(const std::map<std::string, std::string>& changes,
                   std::chrono::seconds limit = std::chrono::seconds(60))
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
    {
        std::string entry = *e;
        if (!changes.count(entry.substr(0, entry.find('='))))
            env.push_back(entry);
    }
    for (const auto& [name, value] : changes)
        if (!value.empty())
            env.push_back(name + "=" + value);
    // These runs end in a fatal error, which skips shutdown on purpose: what is left is the
    // system's to take back, not a leak to report (in sanitizer builds).
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::erase_if(env, [](const std::string& e) { return e.starts_with("ASAN_OPTIONS="); });
    env.push_back(std::string("ASAN_OPTIONS=") + (asan && *asan ? std::string(asan) + ":" : "") +
                  "detect_leaks=0");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    Outcome outcome;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return outcome;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    std::string program = KESTRIN_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0)
    {
        ::close(pipeFds[0]);
        outcome.output = std::string("could not start ") + program + ": " + std::strerror(spawned);
        return outcome;
    }

    // The output ends when the program does (or hands its stderr on, which it does not).
    const auto end = std::chrono::steady_clock::now() + limit;
    char buffer[4096];
    for (;;)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{pipeFds[0], POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0)
            continue;
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0)
        {
            outcome.ended = true;
            break;
        }
        outcome.output.append(buffer, size_t(n));
    }
    ::close(pipeFds[0]);
    if (!outcome.ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (outcome.ended && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

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
        const Outcome run = RunProgram({{"SDL_VIDEODRIVER", c.driver},
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
    const Outcome run =
        RunProgram({{"SDL_VIDEODRIVER", "nosuch"}, {"XDG_DATA_HOME", temp.Path() + "/blocker/share"}});
    ASSERT_TRUE(run.ended) << run.output;
    const std::string said =
        "Cannot write to the per-user folder \"" + temp.Path() + "/blocker/share/Quorvane/Tanglewisp\" (";
    EXPECT_EQ(Count(run.output, said), 1u) << run.output;
    EXPECT_NE(run.output.find("the log and the player profiles cannot be saved there.\n"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.status, 1) << run.output; // it still needs a display
}
