#pragma once
#include <stdexcept>
#include <string>

// A file that could not be opened. what() is the whole text:
// "(<line>) Error opening file \"<file>\": <detail>" (the file and detail parts only when given).
class FileOpenException : public std::runtime_error
{
public:
    FileOpenException(int line, const std::string& fileName, const std::string& detail);

    const std::string& GetFileName() const { return m_fileName; }
    const std::string& GetDetail() const { return m_detail; }
    int GetLine() const { return m_line; }

private:
    std::string m_fileName;
    std::string m_detail;
    int m_line;
};

// A data file that lacks something or holds a wrong value. what() is the whole text:
// "(<code>) Error reading file \"<file>\" (line <line>): <detail>" (": <detail>" only when given).
class FileReadException : public std::runtime_error
{
public:
    FileReadException(int code, const std::string& fileName, int line, const std::string& detail);

    const std::string& GetFileName() const { return m_fileName; }
    const std::string& GetMessage() const { return m_message; }
    int GetLine() const { return m_line; }

private:
    std::string m_fileName;
    std::string m_message;
    int m_line;
};
