#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace Kestrin
{

class IStream;
class XMLElement;

// UTF-8 writers for the engine's text files. Wide text holds code points, so a character above
// U+FFFF becomes one 4-byte sequence (never two 3-byte surrogate halves, which no reader accepts);
// a surrogate pair that did reach a wide string is joined, and a lone surrogate or a value beyond
// U+10FFFF is written as U+FFFD. Each answers false when the stream took fewer bytes than given.
bool WriteUtf8Char(IStream& stream, wchar_t c);
bool WriteUtf8Line(IStream& stream, const std::wstring& text);
bool WriteUtf8CStringLine(IStream& stream, const wchar_t* text);

// Writes the engine's own XML files: UTF-8, one element per line, lines ended by CR LF.
// Every file it writes reads back: characters XML 1.0 forbids (controls other than tab, line feed
// and carriage return; U+FFFE, U+FFFF) are dropped, and markup characters in values and text are
// escaped.
class XMLWriter
{
public:
    // Writes the declaration line.
    explicit XMLWriter(IStream* stream);
    // Closes every element still open.
    ~XMLWriter();
    XMLWriter(const XMLWriter&) = delete;
    XMLWriter& operator=(const XMLWriter&) = delete;

    void StartElement(std::wstring_view name);
    // Only while a start tag is open; otherwise there is no place for it and it is dropped.
    void WriteAttribute(std::wstring_view name, std::wstring_view value);
    void EndElement();
    // Character data. An open start tag is closed first so the text lands inside the element.
    void WriteText(std::wstring_view text);
    // Copies one node of a read document: start (attributes in name order), end or text.
    void WriteNode(const XMLElement& node);

    // True once the stream took fewer bytes than it was given.
    bool HasFailed() const { return m_failed; }
    int OpenElementCount() const { return int(m_openNames.size()); }

private:
    void Put(const std::string& bytes);

    IStream* m_stream;
    int m_state = 0; // 1 while a start tag is open
    std::vector<std::wstring> m_openNames;
    bool m_failed = false;
};

} // namespace Kestrin
