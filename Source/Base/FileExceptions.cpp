#include "Base/FileExceptions.h"

namespace
{
std::string OpenText(int line, const std::string& fileName, const std::string& detail)
{
    std::string text = "(" + std::to_string(line) + ") ";
    if (!fileName.empty())
        text += "Error opening file \"" + fileName + "\"";
    if (!detail.empty())
        text += ": " + detail;
    return text;
}

std::string ReadText(int code, const std::string& fileName, int line, const std::string& detail)
{
    std::string text = "(" + std::to_string(code) + ") Error reading file \"" + fileName + "\" (line " +
                       std::to_string(line) + ")";
    if (!detail.empty())
        text += ": " + detail;
    return text;
}
} // namespace

FileOpenException::FileOpenException(int line, const std::string& fileName, const std::string& detail)
    : std::runtime_error(OpenText(line, fileName, detail)), m_fileName(fileName), m_detail(detail),
      m_line(line)
{
}

FileReadException::FileReadException(int code, const std::string& fileName, int line,
                                     const std::string& detail)
    : std::runtime_error(ReadText(code, fileName, line, detail)), m_fileName(fileName),
      m_message(ReadText(code, fileName, line, detail)), m_line(line)
{
}
