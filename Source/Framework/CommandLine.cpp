#include "Framework/CommandLine.h"

#include "Base/Text.h"

#include <algorithm>
#include <mutex>

namespace Kestrin
{

namespace
{
std::mutex g_mutex;

// Never destroyed: read during exit too.
CommandLine& Kept()
{
    static CommandLine* line = new CommandLine;
    return *line;
}

std::wstring& KeptText()
{
    static std::wstring* text = new std::wstring;
    return *text;
}
} // namespace

CommandLine::CommandLine(int argc, const char* const* argv)
{
    for (int i = 0; i < argc && argv && argv[i]; ++i)
        m_arguments.push_back(FromUtf8(argv[i]));
}

bool CommandLine::Has(std::wstring_view name) const
{
    return m_arguments.size() > 1 &&
           std::find(m_arguments.begin() + 1, m_arguments.end(), name) != m_arguments.end();
}

std::vector<std::wstring> CommandLine::After(std::wstring_view name, size_t count) const
{
    if (m_arguments.size() < 2)
        return {};
    auto at = std::find(m_arguments.begin() + 1, m_arguments.end(), name);
    if (at == m_arguments.end())
        return {};
    ++at;
    const auto end = at + std::ptrdiff_t(std::min(count, size_t(m_arguments.end() - at)));
    return std::vector<std::wstring>(at, end);
}

std::wstring CommandLine::Text() const
{
    std::wstring joined;
    for (const std::wstring& argument : m_arguments)
    {
        if (&argument != &m_arguments.front())
            joined += L' ';
        joined += argument;
    }
    return joined;
}

void SetCommandLine(int argc, const char* const* argv)
{
    CommandLine line(argc, argv);
    std::wstring text = line.Text();
    std::lock_guard lock(g_mutex);
    Kept() = std::move(line);
    KeptText() = std::move(text);
}

const wchar_t* GetCommandLine()
{
    std::lock_guard lock(g_mutex);
    return KeptText().c_str();
}

CommandLine GetProgramCommandLine()
{
    std::lock_guard lock(g_mutex);
    return Kept();
}

} // namespace Kestrin
