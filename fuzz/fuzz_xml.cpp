// Feeds arbitrary bytes to the XML reader, from memory and in small blocks, and copies every
// document that reads through the writer: the copy must read back with the same elements.
#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Base/XMLWriter.h"
#include "Support/ChunkedStream.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{

struct Result
{
    bool ok = true;
    std::vector<std::wstring> elements; // "<name" and ">name", attributes appended
    std::wstring text;                  // all character data, joined
    bool asciiNames = true;             // every element and attribute name
};

bool IsAscii(const std::wstring& name)
{
    return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c >= 0 && c <= 0x7F; });
}

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
            result.asciiNames = result.asciiNames && IsAscii(node->GetName());
            for (const auto& [name, value] : node->GetAttributes())
            {
                line += L" " + name + L"=" + value;
                result.asciiNames = result.asciiNames && IsAscii(name);
            }
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

    KestrinTest::ChunkedStream blocks(L"fuzz", std::string(reinterpret_cast<const char*>(data), size),
                                      1 + (size ? data[0] % 61 : 0));
    Result blockwise = ReadAll(blocks);
    if (direct.ok != blockwise.ok)
        __builtin_trap();
    if (!direct.ok || direct.elements.empty())
        return 0; // nothing to copy: a declaration alone is no document
    if (direct.elements != blockwise.elements || direct.text != blockwise.text)
        __builtin_trap();

    // What the writer made of a readable document reads back: same elements, same text apart from
    // the line ends it puts between elements. Only with ASCII names, the only ones the engine writes:
    // expat's Latin-1 decoder takes a few name characters (U+00B5, say) that its UTF-8 one refuses.
    if (!direct.asciiNames)
        return 0;
    copyBytes.Seek(0, 0);
    Result copied = ReadAll(copyBytes);
    if (!copied.ok || copied.elements != direct.elements)
        __builtin_trap();
    if (WithoutLineEnds(copied.text) != WithoutLineEnds(direct.text))
        __builtin_trap();
    return 0;
}
