#include "Base/Stream.h"
#include "Base/XMLReader.h"

#include "Support/ChunkedStream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace Kestrin;
using KestrinTest::ChunkedStream;

namespace
{
MemoryStream Doc(const std::string& text, const wchar_t* name = L"doc")
{
    return MemoryStream(name, text.data(), uint32_t(text.size()));
}

// One line per node: "S name k=v ...", "E name" or "T text".
std::wstring Describe(const XMLElement& n)
{
    std::wstring line = n.IsStart() ? L"S " : n.IsEnd() ? L"E " : L"T ";
    line += n.GetName();
    for (const auto& [k, v] : n.GetAttributes())
        line += L" " + k + L"=" + v;
    return line;
}

// Element readers are at their end before the first Next, so they are read do-while.
std::vector<std::wstring> ReadElement(XMLElementReader& r)
{
    std::vector<std::wstring> out;
    do
    {
        XMLElement* n = r.Next();
        if (!n)
            break;
        out.push_back(Describe(*n));
    } while (!r.IsAtEnd());
    return out;
}

std::vector<std::wstring> ReadAll(IXMLReader& r)
{
    std::vector<std::wstring> out;
    while (!r.IsAtEnd())
        out.push_back(Describe(*r.Next()));
    return out;
}

// Joins consecutive text nodes, since the parser may split a run of text.
std::vector<std::wstring> Merged(const std::vector<std::wstring>& nodes)
{
    std::vector<std::wstring> out;
    for (const auto& n : nodes)
    {
        if (n.starts_with(L"T ") && !out.empty() && out.back().starts_with(L"T "))
            out.back() += n.substr(2);
        else
            out.push_back(n);
    }
    return out;
}
// Runs fn on its own thread; empty when it does not finish in time (the thread is then left
// spinning, and the test process ends with it). Capture by value only.
template <typename Fn> auto WithinSeconds(int seconds, Fn fn) -> std::optional<decltype(fn())>
{
    using Result = decltype(fn());
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> future = promise->get_future();
    std::thread([promise, fn]() mutable { promise->set_value(fn()); }).detach();
    if (future.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready)
        return std::nullopt;
    return future.get();
}

// The node count of a document read through a stream that fails at failAt, or the error it raises.
std::string ReadThroughFailure(const wchar_t* name, const std::string& bytes, size_t failAt)
{
    ChunkedStream s(name, bytes, 512, failAt);
    XMLReader r(&s);
    try
    {
        return std::to_string(ReadAll(r).size());
    }
    catch (const xml_error& e)
    {
        return e.what();
    }
}
} // namespace

TEST(XMLReader, YieldsNodesInOrderWithEntitiesResolvedInTheDeclaredEncoding)
{
    MemoryStream s = Doc("<a x=\"1\" v=\"&amp;&quot;&lt;&gt;&#x20AC;\" w='&apos;'><b/>hi</a>");
    XMLReader r(&s);
    EXPECT_EQ(r.GetCurrent(), nullptr);
    EXPECT_EQ(ReadAll(r),
              (std::vector<std::wstring>{L"S a v=&\"<>\u20ac w=' x=1", L"S b", L"E b", L"T hi", L"E a"}));
    EXPECT_EQ(r.Next(), nullptr); // outside the contract, but harmless

    MemoryStream latin = Doc("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a v=\"caf\xe9\">\xff</a>");
    XMLReader rl(&latin);
    EXPECT_EQ(ReadAll(rl), (std::vector<std::wstring>{L"S a v=caf\u00e9", L"T \u00ff", L"E a"}));
    MemoryStream empty = Doc("");
    EXPECT_TRUE(XMLReader(&empty).IsAtEnd());
    EXPECT_TRUE(XMLReader(nullptr).IsAtEnd());
}

TEST(XMLReader, ElementReaderStopsAtTheEndOfItsElementAndKeepsItsStartNodeAlive)
{
    MemoryStream s = Doc("<a><b><c/></b><d/></a>");
    XMLReader r(&s);
    r.Next(); // start a
    r.Next(); // start b
    XMLElementReader b(r);
    EXPECT_TRUE(b.IsAtEnd()); // before the first Next
    EXPECT_EQ(ReadElement(b), (std::vector<std::wstring>{L"S b", L"S c", L"E c", L"E b"}));
    EXPECT_EQ(Describe(*r.GetCurrent()), L"E b");
    r.Next(); // start d: self-closed
    XMLElementReader d(r);
    EXPECT_EQ(ReadElement(d), (std::vector<std::wstring>{L"S d", L"E d"}));
    EXPECT_EQ(ReadAll(r), (std::vector<std::wstring>{L"E a"}));

    MemoryStream s2 = Doc("<group><image name=\"logo\" path=\"a/b\"><frame/><frame/></image></group>");
    XMLReader r2(&s2);
    r2.Next();
    XMLElement& element = *r2.Next(); // what a resource factory is handed
    std::vector<std::wstring> seen;
    {
        XMLElementReader children(r2);
        EXPECT_EQ(children.GetStartNode(), &element);
        do
        {
            children.Next();
            // Reading the element between children must stay valid (ASan catches a dangling node).
            seen.push_back(element.GetString(L"name") + L":" + element.GetString(L"path"));
        } while (!children.IsAtEnd());
    }
    EXPECT_EQ(seen, std::vector<std::wstring>(6, L"logo:a/b"));
    EXPECT_EQ(Describe(*r2.GetCurrent()), L"E image");
}

TEST(XMLReader, NestedElementReadersAndAParentThatRunsOut)
{
    // A parent reader that runs dry inside the element (a source other than a whole document).
    class Scripted : public IXMLReader
    {
    public:
        Scripted()
        {
            m_nodes.push_back(std::make_shared<XMLElement>(XMLElement::StartNode, L"a"));
            m_nodes.push_back(std::make_shared<XMLElement>(XMLElement::StartNode, L"b"));
            m_current = m_nodes.front();
        }
        bool IsAtEnd() override { return m_index + 1 >= m_nodes.size(); }
        XMLElement* Next() override
        {
            m_current = ++m_index < m_nodes.size() ? m_nodes[m_index] : nullptr;
            return m_current.get();
        }
        XMLElement* GetCurrent() override { return m_current.get(); }
        std::shared_ptr<XMLElement> ShareCurrent() override { return m_current; }

    private:
        std::vector<std::shared_ptr<XMLElement>> m_nodes;
        std::shared_ptr<XMLElement> m_current;
        size_t m_index = 0;
    };
    Scripted parent;
    XMLElementReader a(parent);
    EXPECT_EQ(ReadElement(a), (std::vector<std::wstring>{L"S a", L"S b"}));
    EXPECT_TRUE(a.IsAtEnd()); // a caller's do-while loop ends here

    MemoryStream s = Doc("<a><b><c/></b></a>");
    XMLReader r(&s);
    r.Next();
    XMLElementReader outer(r);
    outer.Next();
    outer.Next(); // start b
    XMLElementReader inner(outer);
    EXPECT_EQ(ReadElement(inner), (std::vector<std::wstring>{L"S b", L"S c", L"E c", L"E b"}));
    EXPECT_EQ(ReadAll(outer), (std::vector<std::wstring>{L"E a"}));
}

TEST(XMLReader, ParseErrorNamesTheStreamAndTheLineAndAnEmptyStreamIsNone)
{
    std::string text = "<GameLevels>\n<a/>\n<a/>\n<a/>\n<a/>\n<a/>\n<b></c>\n</GameLevels>\n";
    MemoryStream s = Doc(text, L"GameLevels");
    XMLReader r(&s);
    try
    {
        ReadAll(r);
        FAIL() << "expected xml_error";
    }
    catch (const xml_error& e)
    {
        EXPECT_EQ(std::string(e.what()), "GameLevels(7): mismatched tag");
        EXPECT_EQ(e.DocumentLine(), 7);
        EXPECT_EQ(e.SourceFile(), "Source/Base/XMLReader.cpp");
        EXPECT_EQ(e.wideMessage, L"GameLevels(7): mismatched tag");
    }
    // Nodes parsed before the error stay queued; draining them raises no second error.
    std::vector<std::wstring> rest;
    EXPECT_NO_THROW(rest = ReadAll(r));
    ASSERT_FALSE(rest.empty());
    EXPECT_EQ(rest.front(), L"S GameLevels");

    // A truncated document fails at its end; the narrow text keeps the low bytes of the name.
    MemoryStream cut = Doc("<a><b>", L"Caf\u00e9\u20ac");
    XMLReader rc(&cut);
    try
    {
        ReadAll(rc);
        FAIL() << "expected xml_error";
    }
    catch (const xml_error& e)
    {
        EXPECT_EQ(std::string(e.what()), "Caf\xe9\xac(1): no element found");
        EXPECT_EQ(e.wideMessage, L"Caf\u00e9\u20ac(1): no element found");
    }
    ChunkedStream empty(L"empty", "");
    EXPECT_TRUE(XMLReader(&empty).IsAtEnd());
}

TEST(XMLReader, CharacterSplitAcrossTwoReadsDecodesWhole)
{
    // Place a 2-, 3- and 4-byte character across each 512-byte boundary.
    std::string doc = "<a>";
    std::wstring expected;
    const std::pair<const char*, const wchar_t*> pieces[] = {
        {"\xC3\xA9", L"\u00e9"}, {"\xE2\x82\xAC", L"\u20ac"}, {"\xF0\x9F\x98\x80", L"\U0001F600"}};
    for (size_t k = 0; k < 3; ++k)
    {
        size_t boundary = 512 * (k + 1);
        while (doc.size() < boundary - 1)
        {
            doc += 'x';
            expected += L'x';
        }
        doc += pieces[k].first;
        expected += pieces[k].second;
    }
    doc += "</a>";
    ChunkedStream s(L"split", doc);
    XMLReader r(&s);
    std::vector<std::wstring> nodes = Merged(ReadAll(r));
    EXPECT_EQ(nodes, (std::vector<std::wstring>{L"S a", L"T " + expected, L"E a"}));
    EXPECT_EQ(s.largestRequest, 512u);
    EXPECT_GE(s.reads, 4);
}

TEST(XMLReader, MultiMegabyteTokensAreScannedInLinearTime)
{
    // expat scans a token that a block leaves unfinished again from its start on every block: fed
    // from a file in small blocks, each of these takes minutes. They load (or are refused) in about
    // a second.
    const std::string big(16u << 20, 'v');
    auto loaded = WithinSeconds(120,
                                [big]
                                {
                                    ChunkedStream file(L"doc", "<a v=\"" + big + "\"/>", 64u << 10);
                                    XMLReader r(&file);
                                    std::vector<size_t> sizes;
                                    while (!r.IsAtEnd())
                                        sizes.push_back(r.Next()->GetString(L"v").size());
                                    return sizes;
                                });
    ASSERT_TRUE(loaded.has_value()) << "a long attribute value takes minutes";
    EXPECT_EQ(*loaded, (std::vector<size_t>{big.size(), 0}));

    // The error after a long comment is on the line where it is.
    auto refused = WithinSeconds(120,
                                 [big]
                                 {
                                     ChunkedStream file(L"long", "<a>\n<!--" + big + "\n-->\n<b></c>\n</a>\n",
                                                        64u << 10);
                                     XMLReader r(&file);
                                     try
                                     {
                                         ReadAll(r);
                                     }
                                     catch (const xml_error& e)
                                     {
                                         return std::string(e.what());
                                     }
                                     return std::string("no error");
                                 });
    ASSERT_TRUE(refused.has_value()) << "a long comment takes minutes";
    EXPECT_EQ(*refused, "long(4): mismatched tag");
}

TEST(XMLReader, DirectAndBlockReadsGiveTheSameNodes)
{
    std::string doc = "<?xml version=\"1.0\"?>\n<resources>\n";
    for (int i = 0; i < 200; ++i)
        doc += "  <image name=\"img" + std::to_string(i) + "\" path=\"images/\xC3\xA9" + std::to_string(i) +
               "\">caption &amp; " + std::to_string(i) + "</image>\n";
    doc += "</resources>\n";
    MemoryStream memory = Doc(doc);
    ChunkedStream blocks(L"doc", doc, 100); // short reads as well
    XMLReader a(&memory);
    XMLReader b(&blocks);
    std::vector<std::wstring> fromMemory = Merged(ReadAll(a));
    EXPECT_EQ(fromMemory.size(), 3u + 200u * 4u); // root, and per image blanks, start, text, end
    EXPECT_EQ(fromMemory, Merged(ReadAll(b)));
}

TEST(XMLReader, FailedReadEndsTheInputInsteadOfLooping)
{
    std::string doc = "<a>";
    for (int i = 0; i < 100; ++i)
        doc += "<b>text</b>";
    doc += "</a>";

    // The read fails in mid-document: the truncated document's error, not a hang.
    auto truncated = WithinSeconds(10, [doc] { return ReadThroughFailure(L"broken", doc, 600); });
    ASSERT_TRUE(truncated.has_value()) << "reader spins";
    EXPECT_EQ(truncated->rfind("broken(1): ", 0), 0u) << *truncated;
    // A failure right after a complete document just ends it.
    auto complete = WithinSeconds(
        10, [doc] { return ReadThroughFailure(L"padded", doc + std::string(2000, ' '), doc.size()); });
    ASSERT_TRUE(complete.has_value()) << "reader spins";
    EXPECT_EQ(*complete, std::to_string(2 + 100 * 3));
}
