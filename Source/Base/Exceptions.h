#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace Kestrin
{

using HRESULT = uint32_t;

// The engine's exception: a runtime error that also names where it was thrown.
class engine_error : public std::runtime_error
{
public:
    engine_error(const char* sourceFile, int line, const std::string& message);

    // Filled by throwers that have a wide text; the process entry prints it instead of what().
    std::wstring wideMessage;

    const std::string& SourceFile() const { return m_sourceFile; }
    int Line() const { return m_line; }

private:
    std::string m_sourceFile;
    int m_line;
};

// A failed call of the display layer, with its result code.
class com_error : public engine_error
{
public:
    com_error(const char* sourceFile, int line, HRESULT code, const char* description);

    HRESULT Code() const { return m_code; }

private:
    HRESULT m_code;
};

// A failed platform call. Reads errno unless a code and text are given.
class win32_error : public engine_error
{
public:
    win32_error(const char* sourceFile, int line, const char* description);
    win32_error(const char* sourceFile, int line, const char* description, int code,
                const std::string& systemText);
};

// The name of a display-layer result code ("DDERR_..."), or null when unknown.
// The display shim installs its table; until then no code has a name.
using HResultNameLookup = const char* (*)(HRESULT);
void SetHResultNameLookup(HResultNameLookup lookup);
const char* GetHResultName(HRESULT code);

// Text of a com_error / win32_error, exposed for the tests.
std::string FormatComErrorMessage(const char* description, HRESULT code);
std::string FormatWin32ErrorMessage(const char* description, int code, const std::string& systemText);

} // namespace Kestrin

// Source file and line of the throw site.
#define KESTRIN_HERE __FILE__, __LINE__

namespace Kestrin
{
// Writes the process entry's report of an exception to the log:
// "Unhandled Exception!", then the file, line and message (engine errors) or the message alone.
void LogUnhandledException(const std::exception& e);
// The file, line and message lines of that report, without its heading.
void LogExceptionDetails(const std::exception& e);
// The text of the error box for the same exception.
std::wstring UnhandledExceptionBoxText(const std::exception& e);
} // namespace Kestrin
