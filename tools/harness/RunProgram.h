#pragma once
// The built program started as a player would start it, its output collected: for the tests, the
// benchmarks and the soaks alike.
#include "harness/TempFolder.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace KestrinTest
{

struct ProgramOutcome
{
    bool ended = false; // false: still running at the limit, then killed
    int status = -1;    // the exit status; -1 when a signal ended it
    std::string output; // stdout and stderr together
};

// Runs the program with the arguments and the environment changed as given (an empty value removes
// the variable), collecting its output until it ends or the limit passes.
inline ProgramOutcome RunProgram(const std::string& program,
                                 const std::map<std::string, std::string>& changes,
                                 std::chrono::seconds limit = std::chrono::seconds(60),
                                 std::vector<std::string> arguments = {})
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
    // Some runs end in a fatal error, which skips shutdown on purpose: what is left is the system's
    // to take back, not a leak to report (in sanitizer builds).
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::erase_if(env, [](const std::string& e) { return e.starts_with("ASAN_OPTIONS="); });
    env.push_back(std::string("ASAN_OPTIONS=") + (asan && *asan ? std::string(asan) + ":" : "") +
                  "detect_leaks=0");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    ProgramOutcome outcome;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return outcome;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    std::string path = program;
    std::vector<char*> argv{path.data()};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
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

// The program linked (or copied) into a fresh folder beside a data folder of its own, whose entries
// link to those of `dataTree`: what the program writes beside its data (the play-data log) stays in
// that folder, not in the tree, and goes with this object.
class ProgramWithOwnData
{
public:
    ProgramWithOwnData(const std::string& program, const std::string& dataTree)
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::create_directory(Data(), ec);
        for (const fs::directory_entry& entry : fs::directory_iterator(dataTree, ec))
        {
            std::string name = entry.path().filename().string();
            for (char& c : name)
                c = char(std::tolower((unsigned char)c));
            // The tree's own log, if a run wrote one, would take this run's lines back into the tree.
            if (name != "playdata.log")
                fs::create_symlink(entry.path(), fs::path(Data()) / entry.path().filename(), ec);
        }
        // The program finds its data beside its own file, not beside a link to it.
        m_program = (fs::path(m_folder.Path()) / fs::path(program).filename()).string();
        fs::create_hard_link(program, m_program, ec);
        if (ec)
            fs::copy_file(program, m_program, ec);
    }
    const std::string& Program() const { return m_program; }
    std::string Data() const { return m_folder.Path() + "/data"; }
    std::string Read(const std::string& relative) const { return m_folder.Read(relative); }

private:
    TempFolder m_folder;
    std::string m_program;
};

} // namespace KestrinTest
