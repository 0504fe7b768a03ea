#include "Base/XMLReader.h"

#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Base/Text.h"

#include <algorithm>
#include <cstdint>
#include <expat.h>

namespace Kestrin
{

struct XMLReader::ParserHolder
{
    XML_Parser parser = nullptr;
    ~ParserHolder()
    {
        if (parser)
            XML_ParserFree(parser);
    }
};

// expat here is the UTF-8 build: every name, value and text becomes wide at this edge. expat hands
// out whole characters only, so one split across two reads arrives complete.
struct XMLReader::Handlers
{
    static void Start(void* userData, const XML_Char* name, const XML_Char** attributes)
    {
        auto* reader = static_cast<XMLReader*>(userData);
        auto node = std::make_shared<XMLElement>(XMLElement::StartNode, FromUtf8(name));
        for (const XML_Char** a = attributes; a && a[0]; a += 2)
            node->SetAttribute(FromUtf8(a[0]), FromUtf8(a[1]));
        reader->m_queue.push_back(std::move(node));
    }

    static void End(void* userData, const XML_Char* name)
    {
        auto* reader = static_cast<XMLReader*>(userData);
        reader->m_queue.push_back(std::make_shared<XMLElement>(XMLElement::EndNode, FromUtf8(name)));
    }

    static void Text(void* userData, const XML_Char* text, int length)
    {
        auto* reader = static_cast<XMLReader*>(userData);
        reader->m_queue.push_back(std::make_shared<XMLElement>(
            XMLElement::TextNode, FromUtf8(std::string_view(text, size_t(length)))));
    }
};

XMLReader::XMLReader(IStream* stream) : m_stream(stream), m_parser(std::make_unique<ParserHolder>())
{
    m_parser->parser = XML_ParserCreate(nullptr);
    if (m_parser->parser)
    {
        XML_SetUserData(m_parser->parser, this);
        XML_SetElementHandler(m_parser->parser, &Handlers::Start, &Handlers::End);
        XML_SetCharacterDataHandler(m_parser->parser, &Handlers::Text);
    }
}

XMLReader::~XMLReader() = default;

void XMLReader::ThrowParseError()
{
    m_inputDone = true; // the parser is spent; nodes queued before the error stay queued
    XML_Parser p = m_parser->parser;
    int line = int(XML_GetCurrentLineNumber(p));
    const XML_LChar* text = XML_ErrorString(XML_GetErrorCode(p));
    std::string detail = text ? text : "unknown error";
    std::string where = "(" + std::to_string(line) + "): ";
    std::string message = NarrowString(m_stream->GetName()) + where + detail;
    xml_error error(KESTRIN_HERE, message, line);
    // The message keeps the byte-wise name; error boxes show the name as it really is.
    error.wideMessage = m_stream->GetName() + WidenString(where + detail);
    throw error;
}

// Reads until the block is full, the stream ends or a read yields nothing.
uint32_t XMLReader::ReadBlock(char* buffer, uint32_t count)
{
    uint32_t done = 0;
    while (done < count)
    {
        const uint32_t got = m_stream->Read(buffer + done, count - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// expat rescans a token left unfinished at the end of a block from its start on every later call.
// A memory stream is therefore parsed whole; other streams in blocks that double while a step
// finds no node, so a long token costs time in proportion to its length.
void XMLReader::Fill()
{
    XML_Parser p = m_parser->parser;
    uint32_t block = ReadBlockSize;
    uint64_t fed = 0;
    while (m_queue.empty() && !m_inputDone)
    {
        if (m_stream->IsEOF())
        {
            m_inputDone = true;
            break;
        }
        const char* direct = nullptr;
        uint32_t count = 0;
        if (m_stream->GetCapabilities() & IStream::CanReadDirect)
        {
            const uint8_t* bytes = nullptr;
            count = m_stream->ReadDirect(bytes, std::min<uint32_t>(m_stream->GetSize(), INT32_MAX));
            direct = reinterpret_cast<const char*>(bytes);
        }
        else
        {
            // The size only keeps the last request small; reading goes on past it all the same.
            const uint32_t size = m_stream->GetSize(), at = m_stream->Tell();
            const uint32_t wanted = size > at ? std::min(block, size - at) : block;
            void* buffer = XML_GetBuffer(p, int(wanted));
            if (!buffer)
                ThrowParseError();
            // A step that has gone this far without a node is inside a long token: short reads
            // would shrink its blocks again, so each is filled.
            count = fed >= LongTokenSize ? ReadBlock(static_cast<char*>(buffer), wanted)
                                         : m_stream->Read(buffer, wanted);
            fed += count;
            block = std::min(block * 2, LargestReadBlockSize);
        }
        // A read that yields nothing before the end (an I/O error, a stream without read access)
        // ends the input; the final parse then reports a truncated document instead of spinning.
        const bool final = count == 0 || m_stream->IsEOF();
        m_inputDone = final;
        const XML_Status status = direct || count == 0
                                      ? XML_Parse(p, count ? direct : nullptr, int(count), final)
                                      : XML_ParseBuffer(p, int(count), final);
        if (status == XML_STATUS_ERROR)
            ThrowParseError();
    }
}

bool XMLReader::IsAtEnd()
{
    if (!m_parser->parser || !m_stream)
        return true;
    Fill();
    return m_queue.empty();
}

XMLElement* XMLReader::Next()
{
    if (m_parser->parser && m_stream)
        Fill();
    m_current.reset();
    if (m_queue.empty())
        return nullptr;
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    return m_current.get();
}

XMLElementReader::XMLElementReader(IXMLReader& parent) : m_parent(parent), m_start(parent.ShareCurrent()) {}

XMLElement* XMLElementReader::Next()
{
    if (m_first)
    {
        m_first = false;
    }
    else if (m_parent.IsAtEnd())
    {
        // The parent ran out inside this element: end here rather than hand out nulls for ever.
        m_depth = 0;
        return nullptr;
    }
    else
    {
        m_parent.Next();
    }
    XMLElement* node = m_parent.GetCurrent();
    if (node && node->IsStart())
        ++m_depth;
    else if (node && node->IsEnd())
        --m_depth;
    return node;
}

} // namespace Kestrin
