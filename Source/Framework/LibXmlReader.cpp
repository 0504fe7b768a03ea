#include "Framework/LibXmlReader.h"

#include "Base/FileExceptions.h"
#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Framework/FileSystem.h"

#include <boost/lexical_cast.hpp>
#include <libxml++/libxml++.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cmath>
#include <cstring>

using namespace Kestrin;

namespace
{
int LineOf(const xmlpp::Node* node)
{
    return node ? node->get_line() : 0;
}

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

// The parser's report spans several lines; a message box and the log want one.
std::string OneLine(const std::string& text)
{
    std::string out;
    for (char c : text)
    {
        if (c == '\n' || c == '\r')
            c = ' ';
        if (c != ' ' || (!out.empty() && out.back() != ' '))
            out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// A number word that the cast would take but our data never means.
bool IsNumberWord(const std::string& text)
{
    for (char c : text)
        if ((c >= 'a' && c <= 'z' && c != 'e') || (c >= 'A' && c <= 'Z' && c != 'E'))
            return true;
    return false;
}

// The parser's first complaint, where the document stops being XML; the later ones follow from
// it. While it is kept, nothing goes to the standard error stream.
class FirstParseError
{
public:
    FirstParseError() : m_previous(xmlStructuredError), m_previousContext(xmlStructuredErrorContext)
    {
        xmlSetStructuredErrorFunc(this, &FirstParseError::Keep);
    }
    ~FirstParseError() { xmlSetStructuredErrorFunc(m_previousContext, m_previous); }
    FirstParseError(const FirstParseError&) = delete;
    FirstParseError& operator=(const FirstParseError&) = delete;

    bool seen = false;
    int line = 0;
    int column = 0;
    std::string message;

private:
    static void Keep(void* context, xmlErrorPtr error)
    {
        auto* first = static_cast<FirstParseError*>(context);
        if (first->seen || !error || error->level < XML_ERR_ERROR)
            return;
        first->seen = true;
        first->line = error->line;
        first->column = error->int2;
        first->message = OneLine(error->message ? error->message : "");
    }

    xmlStructuredErrorFunc m_previous;
    void* m_previousContext;
};

template <typename T>
T ReadNumberAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                      bool optional, bool* present, const char* typeName)
{
    bool found = false;
    std::string text = ReadAttribute(node, name, reader, optional, found);
    if (present)
        *present = found;
    if (!found)
        return T();
    try
    {
        if (IsNumberWord(text))
            throw boost::bad_lexical_cast();
        T value = boost::lexical_cast<T>(text);
        if constexpr (std::is_floating_point_v<T>)
            if (!std::isfinite(value))
                throw boost::bad_lexical_cast();
        return value;
    }
    catch (const boost::bad_lexical_cast&)
    {
        throw FileReadException(0, reader.GetFileName(), LineOf(node),
                                "couldn't convert attribute " + Quoted(name) + " to the correct type (" +
                                    typeName + ")");
    }
}
} // namespace

LibXmlReader::LibXmlReader(const FileSpec& fileSpec)
    : m_parser(std::make_unique<xmlpp::DomParser>()), m_fileName(fileSpec.name + fileSpec.extension)
{
    if (fileSpec.name.empty())
        throw FileOpenException(0, "", "LibXmlReader requires a filename");
    FileStreamPtr stream = OpenFile(fileSpec, IFileSystem::AccessRead, IFileSystem::OpenExisting);
    if (!stream)
        throw FileOpenException(0, GetFileName(), "file doesn't exist");

    // Read until the end or a failed read, and parse only what actually arrived.
    std::vector<unsigned char> bytes(stream->GetSize());
    size_t done = 0;
    while (done < bytes.size())
    {
        uint32_t n = stream->Read(bytes.data() + done, uint32_t(bytes.size() - done));
        if (n == 0)
            break;
        done += n;
    }
    bytes.resize(done);
    stream.reset();

    // The old keep-blanks switch has no effect through the parser's own options; this does.
    m_parser->set_parser_options(XML_PARSE_NOBLANKS);
    static const unsigned char nothing = 0;
    FirstParseError first;
    try
    {
        m_parser->parse_memory_raw(bytes.empty() ? &nothing : bytes.data(), bytes.size());
    }
    catch (const xmlpp::exception& e)
    {
        // The parser's own text names no file and tells of its last complaint only.
        if (!first.seen)
            throw FileReadException(0, GetFileName(), 0, OneLine(e.what()));
        throw FileReadException(0, GetFileName(), first.line,
                                "Document not well-formed, column " + std::to_string(first.column) + ": " +
                                    first.message);
    }
}

LibXmlReader::~LibXmlReader() = default;

std::string LibXmlReader::GetFileName() const
{
    return NarrowString(m_fileName);
}

xmlpp::Element* LibXmlReader::GetRootElement() const
{
    if (!*m_parser)
        return nullptr;
    xmlpp::Document* document = const_cast<xmlpp::DomParser&>(*m_parser).get_document();
    return document ? document->get_root_node() : nullptr;
}

std::vector<xmlpp::Element*> LibXmlReader::GetChildElements(const xmlpp::Node* node, const std::string& name)
{
    std::vector<xmlpp::Element*> out;
    if (!node)
        return out;
    for (xmlpp::Node* child : node->get_children(name))
        if (auto* element = dynamic_cast<xmlpp::Element*>(child))
            out.push_back(element);
    return out;
}

xmlpp::Element* LibXmlReader::GetRequiredChild(const xmlpp::Node* node, const std::string& name) const
{
    std::vector<xmlpp::Element*> children = GetChildElements(node, name);
    if (children.empty())
        throw FileReadException(0, GetFileName(), LineOf(node),
                                "couldn't find required child node " + Quoted(name));
    if (children.size() > 1)
        throw FileReadException(0, GetFileName(), LineOf(node),
                                "expected one " + Quoted(name) + " child node, but found more than one");
    return children.front();
}

xmlpp::Element* GetRequiredChild(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader)
{
    return reader.GetRequiredChild(node, name);
}

std::string ReadAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                          bool optional, bool& found)
{
    found = true;
    const auto* element = dynamic_cast<const xmlpp::Element*>(node);
    const xmlpp::Attribute* attribute =
        element ? const_cast<xmlpp::Element*>(element)->get_attribute(name) : nullptr;
    if (attribute)
        return attribute->get_value().raw();
    found = false;
    if (!optional)
        throw FileReadException(0, reader.GetFileName(), LineOf(node),
                                "couldn't read required attribute " + Quoted(name) +
                                    (element ? " (attribute does not exist)" : " (node is not an Element)"));
    return std::string();
}

std::string ReadRequiredAttribute(const xmlpp::Node* node, const std::string& name,
                                  const LibXmlReader& reader)
{
    bool found = false;
    return ReadAttribute(node, name, reader, false, found);
}

float ReadFloatAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                         bool optional, bool* present)
{
    return ReadNumberAttribute<float>(node, name, reader, optional, present, "float");
}

int ReadIntAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                     bool optional, bool* present)
{
    return ReadNumberAttribute<int>(node, name, reader, optional, present, "int");
}

int FindStringIndex(const char* const* table, int count, const std::string& value)
{
    if (!table)
        return -1;
    for (int i = 0; i < count; ++i)
        if (table[i] && value == table[i])
            return i;
    return -1;
}
