#include "Base/XMLWriter.h"

#include "Base/Stream.h"
#include "Base/Text.h"
#include "Base/XMLReader.h"

namespace Kestrin
{

namespace
{
const char* const LineEnd = "\r\n";

bool IsHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Calls emit for each code point of text, joining surrogate pairs.
template <typename Emit> void ForEachCodePoint(std::wstring_view text, Emit emit)
{
    for (size_t i = 0; i < text.size(); ++i)
    {
        char32_t c = char32_t(uint32_t(text[i]));
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(char32_t(uint32_t(text[i + 1]))))
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(uint32_t(text[i + 1])) - 0xDC00);
            ++i;
        }
        emit(c);
    }
}

bool XmlAllows(char32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    return c != 0xFFFE && c != 0xFFFF;
}

enum class Escape
{
    None,
    Attribute,
    Text,
};

std::string EncodeXml(std::wstring_view text, Escape escape)
{
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text,
                     [&](char32_t c)
                     {
                         if (!XmlAllows(c))
                             return;
                         if (escape != Escape::None)
                         {
                             switch (c)
                             {
                             case U'&':
                                 out += "&amp;";
                                 return;
                             case U'<':
                                 out += "&lt;";
                                 return;
                             case U'>':
                                 out += "&gt;";
                                 return;
                             // A reader turns raw CR (and in values tab and LF) into other white space, so
                             // these are written as references to read back unchanged.
                             case U'\r':
                                 out += "&#13;";
                                 return;
                             default:
                                 break;
                             }
                             if (escape == Escape::Attribute)
                             {
                                 switch (c)
                                 {
                                 case U'"':
                                     out += "&quot;";
                                     return;
                                 case U'\t':
                                     out += "&#9;";
                                     return;
                                 case U'\n':
                                     out += "&#10;";
                                     return;
                                 default:
                                     break;
                                 }
                             }
                         }
                         AppendUtf8(out, c);
                     });
    return out;
}

bool PutBytes(IStream& stream, const std::string& bytes)
{
    return bytes.empty() || stream.Write(bytes.data(), uint32_t(bytes.size())) == bytes.size();
}
} // namespace

bool WriteUtf8Char(IStream& stream, wchar_t c)
{
    std::string bytes;
    AppendUtf8(bytes, char32_t(uint32_t(c)));
    return PutBytes(stream, bytes);
}

bool WriteUtf8Line(IStream& stream, const std::wstring& text)
{
    std::string bytes;
    ForEachCodePoint(text, [&](char32_t c) { AppendUtf8(bytes, c); });
    bytes += LineEnd;
    return PutBytes(stream, bytes);
}

bool WriteUtf8CStringLine(IStream& stream, const wchar_t* text)
{
    return WriteUtf8Line(stream, text ? std::wstring(text) : std::wstring());
}

XMLWriter::XMLWriter(IStream* stream) : m_stream(stream)
{
    Put(std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>") + LineEnd);
}

XMLWriter::~XMLWriter()
{
    while (!m_openNames.empty())
        EndElement();
}

void XMLWriter::Put(const std::string& bytes)
{
    if (m_stream && !PutBytes(*m_stream, bytes))
        m_failed = true;
}

void XMLWriter::StartElement(std::wstring_view name)
{
    std::string bytes;
    if (m_state == 1)
        bytes = std::string(">") + LineEnd;
    bytes += "<" + EncodeXml(name, Escape::None);
    Put(bytes);
    m_openNames.emplace_back(name);
    m_state = 1;
}

void XMLWriter::WriteAttribute(std::wstring_view name, std::wstring_view value)
{
    if (m_state != 1)
        return;
    Put(" " + EncodeXml(name, Escape::None) + "=\"" + EncodeXml(value, Escape::Attribute) + "\"");
}

void XMLWriter::EndElement()
{
    if (m_openNames.empty())
        return;
    if (m_state == 1)
        Put(std::string(" />") + LineEnd);
    else
        Put("</" + EncodeXml(m_openNames.back(), Escape::None) + ">" + LineEnd);
    m_openNames.pop_back();
    m_state = 0;
}

void XMLWriter::WriteText(std::wstring_view text)
{
    std::string bytes;
    if (m_state == 1)
    {
        // No line end here: it would become part of the element's text.
        bytes = ">";
        m_state = 0;
    }
    bytes += EncodeXml(text, Escape::Text);
    Put(bytes);
}

void XMLWriter::WriteNode(const XMLElement& node)
{
    switch (node.GetType())
    {
    case XMLElement::StartNode:
        StartElement(node.GetName());
        for (const auto& [name, value] : node.GetAttributes())
            WriteAttribute(name, value);
        break;
    case XMLElement::EndNode:
        EndElement();
        break;
    case XMLElement::TextNode:
        WriteText(node.GetText());
        break;
    default:
        break;
    }
}

} // namespace Kestrin
