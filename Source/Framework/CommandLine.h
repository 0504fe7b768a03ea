#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Kestrin
{

// The program's arguments as the entry hands them over, program name first, each read as UTF-8.
// Every switch is read through it: a switch is a whole argument spelled exactly ("-software"),
// never a part of another one, and an argument keeps its blanks.
class CommandLine
{
public:
    CommandLine() = default;
    // Stops at argc or at the first null entry, whichever comes first.
    CommandLine(int argc, const char* const* argv);
    explicit CommandLine(std::vector<std::wstring> arguments) : m_arguments(std::move(arguments)) {}

    // Whether an argument after the program's name is exactly this switch.
    bool Has(std::wstring_view name) const;
    // Up to `count` arguments after the first argument that is exactly this switch; none without it.
    std::vector<std::wstring> After(std::wstring_view name, size_t count) const;
    // The arguments joined with single blanks.
    std::wstring Text() const;

    const std::vector<std::wstring>& Arguments() const { return m_arguments; }

private:
    std::vector<std::wstring> m_arguments;
};

// The process entry hands over its arguments once; a later call replaces them.
void SetCommandLine(int argc, const char* const* argv);

// The kept arguments joined with single blanks; empty before SetCommandLine. The pointer stays
// valid until the next SetCommandLine.
const wchar_t* GetCommandLine();

// A copy of the kept arguments; none before SetCommandLine.
CommandLine GetProgramCommandLine();

} // namespace Kestrin
