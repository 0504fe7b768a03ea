#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Base/XMLWriter.h"

#include "Support/ChunkedStream.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Kestrin;

namespace
{
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n";

std::string Text(const MemoryStream& s)
{
    return std::string(s.Bytes().begin(), s.Bytes().end());
}

// What a writer given to fn leaves in memory once it is destroyed.
std::string Written(const std::function<void(XMLWriter&)>& fn)
{
    MemoryStream s;
    {
        XMLWriter w(&s);
        fn(w);
    }
    return Text(s);
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    for (unsigned char b : bytes)
        out += (out.empty() ? "" : " ") + std::string{"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
    return out;
}
} // namespace

TEST(XMLWriter, WritesTheAccountExampleByteForByte)
{
    EXPECT_EQ(Written(
                  [](XMLWriter& w)
                  {
                      w.StartElement(L"account");
                      w.StartElement(L"record");
                      w.WriteAttribute(L"name", L"a");
                      w.WriteAttribute(L"value", L"x<y");
                      w.EndElement();
                      w.EndElement();
                      EXPECT_EQ(w.OpenElementCount(), 0);
                      EXPECT_FALSE(w.HasFailed());
                  }),
              kDeclaration + "<account>\r\n<record name=\"a\" value=\"x&lt;y\" />\r\n</account>\r\n");
}

TEST(XMLWriter, DestructorClosesOpenElementsAndMarkupIsEscaped)
{
    EXPECT_EQ(Written(
                  [](XMLWriter& w)
                  {
                      w.StartElement(L"a");
                      w.StartElement(L"b");
                      w.WriteAttribute(L"v", L"&\"<>'");
                  }),
              kDeclaration + "<a>\r\n<b v=\"&amp;&quot;&lt;&gt;'\" />\r\n</a>\r\n");
    // Text closes an open start tag.
    EXPECT_EQ(Written(
                  [](XMLWriter& w)
                  {
                      w.StartElement(L"p");
                      w.WriteText(L"1 < 2 & 3 > 0");
                  }),
              kDeclaration + "<p>1 &lt; 2 &amp; 3 &gt; 0</p>\r\n");
    // Misplaced calls write nothing broken.
    EXPECT_EQ(Written(
                  [](XMLWriter& w)
                  {
                      w.EndElement();               // nothing open
                      w.WriteAttribute(L"x", L"1"); // no start tag to hold it
                      w.StartElement(L"a");
                      w.EndElement();
                      w.EndElement();
                  }),
              kDeclaration + "<a />\r\n");
}

TEST(XMLWriter, EncodesEveryCodePointAsOneUtf8Sequence)
{
    auto encoded = [](const std::wstring& text)
    {
        MemoryStream s;
        WriteUtf8Line(s, text);
        std::string bytes = Text(s);
        return Hex(bytes.substr(0, bytes.size() - 2));
    };
    EXPECT_EQ(encoded(L"A\u00e9"), "41 C3 A9");
    EXPECT_EQ(encoded(L"\u07ff"), "DF BF");
    EXPECT_EQ(encoded(L"\u20ac"), "E2 82 AC");
    EXPECT_EQ(encoded(L"\U0010FFFF"), "F4 8F BF BF");
    // A surrogate pair that made it into wide text is joined; a lone half becomes U+FFFD.
    EXPECT_EQ(encoded(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}), "F0 9F 98 80");
    EXPECT_EQ(encoded(std::wstring{wchar_t(0xD83D), L'x'}), "EF BF BD 78");
    EXPECT_EQ(encoded(std::wstring{wchar_t(0x110000)}), "EF BF BD");

    MemoryStream s;
    EXPECT_TRUE(WriteUtf8Char(s, L'\u20ac'));
    EXPECT_TRUE(WriteUtf8CStringLine(s, L"ab"));
    EXPECT_TRUE(WriteUtf8CStringLine(s, nullptr));
    EXPECT_EQ(Text(s), "\xE2\x82\xAC"
                       "ab\r\n\r\n");
}

TEST(XMLWriter, ReportsAShortWrite)
{
    KestrinTest::LimitedStream full(20);
    EXPECT_FALSE(WriteUtf8Line(full, L"more than twenty characters"));
    KestrinTest::LimitedStream tiny(50);
    XMLWriter w(&tiny);
    EXPECT_FALSE(w.HasFailed()); // the declaration fits
    w.StartElement(L"account");
    w.WriteAttribute(L"name", L"long enough to fill the rest");
    EXPECT_TRUE(w.HasFailed());
}

TEST(XMLWriter, ValuesReadBackAndWriteNodeCopiesADocument)
{
    // Forbidden controls are dropped; everything else, white space included, reads back unchanged.
    const std::wstring value = L"a\nb&c\x01"
                               L"d\te\rf\"g<h>i\U0001F600j\uFFFEk\u00e9";
    MemoryStream s(L"roundtrip");
    {
        XMLWriter w(&s);
        w.StartElement(L"record");
        w.WriteAttribute(L"value", value);
        w.WriteText(value);
    }
    s.Seek(0, 0);
    XMLReader r(&s);
    const std::wstring expected = L"a\nb&cd\te\rf\"g<h>i\U0001F600jk\u00e9";
    EXPECT_EQ(r.Next()->GetString(L"value"), expected);
    std::wstring text;
    while (!r.IsAtEnd())
        if (XMLElement* n = r.Next(); n->IsText())
            text += n->GetText();
    EXPECT_EQ(text, expected);

    const std::string source = "<account><record value=\"2\" name=\"k\"/>text<empty></empty></account>";
    MemoryStream in(L"in", source.data(), uint32_t(source.size()));
    XMLReader copy(&in);
    EXPECT_EQ(Written(
                  [&](XMLWriter& w)
                  {
                      while (!copy.IsAtEnd())
                          w.WriteNode(*copy.Next());
                  }),
              kDeclaration +
                  "<account>\r\n<record name=\"k\" value=\"2\" />\r\ntext<empty />\r\n</account>\r\n");
}
