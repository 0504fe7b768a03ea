#pragma once
#include "Base/AttributeContainer.h"
#include "Base/Exceptions.h"

#include <deque>
#include <memory>
#include <string>

namespace Kestrin
{

class IStream;

// One node of a pulled XML document: the start of an element (with its attributes), its end, or
// a run of character data. The parser may split one run of text into several nodes.
class XMLElement : public AttributeContainer
{
public:
    enum Type
    {
        StartNode = 0,
        EndNode = 1,
        TextNode = 2,
    };

    XMLElement(int type, std::wstring nameOrText) : m_type(type), m_value(std::move(nameOrText)) {}

    int GetType() const { return m_type; }
    bool IsStart() const { return m_type == StartNode; }
    bool IsEnd() const { return m_type == EndNode; }
    bool IsText() const { return m_type == TextNode; }
    // The element name of a start or end node.
    const std::wstring& GetName() const { return m_value; }
    // The characters of a text node.
    const std::wstring& GetText() const { return m_value; }

private:
    int m_type;
    std::wstring m_value;
};

// A parse error: "<stream name>(<line>): <parser's text>".
class xml_error : public engine_error
{
public:
    xml_error(const char* sourceFile, int line, const std::string& message, int documentLine)
        : engine_error(sourceFile, line, message), m_documentLine(documentLine)
    {
    }
    int DocumentLine() const { return m_documentLine; }

private:
    int m_documentLine;
};

class IXMLReader
{
public:
    virtual ~IXMLReader() = default;
    virtual bool IsAtEnd() = 0;
    // Call only after IsAtEnd answered false; answers null when nothing is left.
    virtual XMLElement* Next() = 0;
    virtual XMLElement* GetCurrent() = 0;
    // Shared ownership of the current node, so a holder keeps it alive past the next Next().
    virtual std::shared_ptr<XMLElement> ShareCurrent() = 0;
};

// Pulls nodes from an XML document on a stream (not owned; its owner closes it).
// Names, attributes and text arrive as wide text; the document's own declaration picks its encoding.
class XMLReader : public IXMLReader
{
public:
    explicit XMLReader(IStream* stream);
    ~XMLReader() override;
    XMLReader(const XMLReader&) = delete;
    XMLReader& operator=(const XMLReader&) = delete;

    // Throws xml_error when the document is malformed.
    bool IsAtEnd() override;
    XMLElement* Next() override;
    XMLElement* GetCurrent() override { return m_current.get(); }
    std::shared_ptr<XMLElement> ShareCurrent() override { return m_current; }

    // A stream without direct access is read in blocks of this size, so the position (which load
    // progress follows) moves steadily. A fill step that has queued no node yet doubles its next
    // block, up to the largest, and once it has read LongTokenSize bytes fills each block even
    // from a stream that answers in short reads: a long token is rescanned a bounded number of
    // times instead of once per block.
    static constexpr uint32_t ReadBlockSize = 512;
    static constexpr uint32_t LargestReadBlockSize = 64u << 20;
    static constexpr uint32_t LongTokenSize = 64u << 10;

private:
    struct Handlers;
    void Fill();
    uint32_t ReadBlock(char* buffer, uint32_t count);
    [[noreturn]] void ThrowParseError();

    IStream* m_stream;
    struct ParserHolder;
    std::unique_ptr<ParserHolder> m_parser;
    std::shared_ptr<XMLElement> m_current;
    std::deque<std::shared_ptr<XMLElement>> m_queue;
    bool m_inputDone = false;
};

// Restricts a reader to the subtree of the element whose start node is the parent's current node.
// The first Next() answers that start node without advancing the parent; IsAtEnd() is true before
// the first Next() and once the element's end node has been handed out. The start node stays
// alive as long as this reader, so whoever was handed it may keep using it while reading children.
class XMLElementReader : public IXMLReader
{
public:
    explicit XMLElementReader(IXMLReader& parent);
    // Nesting: an element reader over another element reader (never a copy of it).
    explicit XMLElementReader(XMLElementReader& parent) : XMLElementReader(static_cast<IXMLReader&>(parent))
    {
    }
    XMLElementReader(const XMLElementReader&) = delete;
    XMLElementReader& operator=(const XMLElementReader&) = delete;

    bool IsAtEnd() override { return m_first || m_depth <= 0; }
    XMLElement* Next() override;
    XMLElement* GetCurrent() override { return m_parent.GetCurrent(); }
    std::shared_ptr<XMLElement> ShareCurrent() override { return m_parent.ShareCurrent(); }

    XMLElement* GetStartNode() const { return m_start.get(); }

private:
    IXMLReader& m_parent;
    bool m_first = true;
    int m_depth = 0;
    std::shared_ptr<XMLElement> m_start;
};

} // namespace Kestrin
