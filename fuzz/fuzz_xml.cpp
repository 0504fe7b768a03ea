// Feeds arbitrary bytes to the XML reader, from memory and in small blocks, and copies every
// document that reads through the writer: the copy must read back with the same elements.
#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Base/XMLWriter.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{
// A stream without direct access that hands out a few bytes per read.
class BlockStream : public IStream
{
public:
    BlockStream(const uint8_t* data, size_t size, uint32_t block) : m_data(data), m_size(size), m_block(block)
    {
    }
    std::wstring GetName() const override { return L"fuzz"; }
    uint32_t GetCapabilities() const override { return CanRead | CanSeek; }
    uint32_t GetSize() override { return uint32_t(m_size); }
    bool IsEOF() override { return m_position >= m_size; }
    uint32_t Read(void* buffer, uint32_t count) override
    {
        size_t n = std::min<size_t>({count, m_block, m_size - m_position});
        std::memcpy(buffer, m_data + m_position, n);
        m_position += n;
        return uint32_t(n);
    }
    uint32_t ReadDirect(const uint8_t*&, uint32_t) override { return 0; }
    uint32_t Write(const void*, uint32_t) override { return 0; }
    uint32_t Seek(int, int32_t) override { return uint32_t(m_position); }
    uint32_t Tell() override { return uint32_t(m_position); }

private:
    const uint8_t* m_data;
    size_t m_size;
    uint32_t m_block;
    size_t m_position = 0;
};

struct Result
{
    bool ok = true;
    std::vector<std::wstring> elements; // "<name" and ">name", attributes appended
    std::wstring text;                  // all character data, joined
};

Result ReadAll(IStream& stream, XMLWriter* copy = nullptr)
{
    Result result;
    try
    {
        XMLReader reader(&stream);
        while (!reader.IsAtEnd())
        {
            XMLElement* node = reader.Next();
            if (copy)
                copy->WriteNode(*node);
            if (node->IsText())
            {
                result.text += node->GetText();
                continue;
            }
            std::wstring line = (node->IsStart() ? L"<" : L">") + node->GetName();
            for (const auto& [name, value] : node->GetAttributes())
                line += L" " + name + L"=" + value;
            result.elements.push_back(line);
            if (node->IsStart())
            {
                // An element reader over the same node must not disturb anything.
                XMLElementReader element(reader);
                if (element.GetStartNode() != node)
                    __builtin_trap();
            }
        }
    }
    catch (const xml_error&)
    {
        result.ok = false;
    }
    return result;
}

std::wstring WithoutLineEnds(std::wstring text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }),
               text.end());
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryStream memory(L"fuzz", data, uint32_t(size));
    MemoryStream copyBytes(L"copy");
    Result direct;
    {
        XMLWriter writer(&copyBytes);
        direct = ReadAll(memory, &writer);
    }

    BlockStream blocks(data, size, 1 + (size ? data[0] % 61 : 0));
    Result blockwise = ReadAll(blocks);
    if (direct.ok != blockwise.ok)
        __builtin_trap();
    if (!direct.ok || direct.elements.empty())
        return 0; // nothing to copy: a declaration alone is no document
    if (direct.elements != blockwise.elements || direct.text != blockwise.text)
        __builtin_trap();

    // What the writer made of a readable document reads back: same elements, same text apart from
    // the line ends it puts between elements.
    copyBytes.Seek(0, 0);
    Result copied = ReadAll(copyBytes);
    if (!copied.ok || copied.elements != direct.elements)
        __builtin_trap();
    if (WithoutLineEnds(copied.text) != WithoutLineEnds(direct.text))
        __builtin_trap();
    return 0;
}
