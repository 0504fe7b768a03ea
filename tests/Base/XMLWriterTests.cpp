#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Base/XMLWriter.h"

#include "Support/ChunkedStream.h"

#include <gtest/gtest.h>

using namespace Kestrin;

namespace
{
std::string Text(const MemoryStream& s)
{
    return std::string(s.Bytes().begin(), s.Bytes().end());
}

std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes)
    {
        if (!out.empty())
            out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// Writes one record element whose value attribute and text are `value`, and reads both back.
std::pair<std::wstring, std::wstring> RoundTrip(const std::wstring& value)
{
    MemoryStream s(L"roundtrip");
    {
        XMLWriter w(&s);
        w.StartElement(L"account");
        w.StartElement(L"record");
        w.WriteAttribute(L"value", value);
        w.WriteText(value);
    }
    s.Seek(0, 0);
    XMLReader r(&s);
    std::wstring attribute;
    std::wstring text;
    bool inRecord = false;
    while (!r.IsAtEnd())
    {
        XMLElement* n = r.Next();
        if (n->IsStart() && n->GetName() == L"record")
        {
            attribute = n->GetString(L"value");
            inRecord = true;
        }
        else if (n->IsEnd() && n->GetName() == L"record")
            inRecord = false;
        else if (n->IsText() && inRecord)
            text += n->GetText();
    }
    return {attribute, text};
}
} // namespace

TEST(XMLWriter, WritesTheAccountExampleByteForByte)
{
    MemoryStream s;
    {
        XMLWriter w(&s);
        w.StartElement(L"account");
        w.StartElement(L"record");
        w.WriteAttribute(L"name", L"a");
        w.WriteAttribute(L"value", L"x<y");
        w.EndElement();
        w.EndElement();
        EXPECT_EQ(w.OpenElementCount(), 0);
        EXPECT_FALSE(w.HasFailed());
    }
    EXPECT_EQ(Text(s), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                       "<account>\r\n"
                       "<record name=\"a\" value=\"x&lt;y\" />\r\n"
                       "</account>\r\n");
}

TEST(XMLWriter, DestructorClosesOpenElementsAndEscapesMarkupInValues)
{
    MemoryStream s;
    {
        XMLWriter w(&s);
        w.StartElement(L"a");
        w.StartElement(L"b");
        w.WriteAttribute(L"v", L"&\"<>'");
    }
    EXPECT_EQ(Text(s), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                       "<a>\r\n"
                       "<b v=\"&amp;&quot;&lt;&gt;'\" />\r\n"
                       "</a>\r\n");
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
    EXPECT_EQ(encoded(L"A"), "41");
    EXPECT_EQ(encoded(L"\u00e9"), "C3 A9");
    EXPECT_EQ(encoded(L"\u07ff"), "DF BF");
    EXPECT_EQ(encoded(L"\u20ac"), "E2 82 AC");
    EXPECT_EQ(encoded(L"\U0001F600"), "F0 9F 98 80");
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

TEST(XMLWriter, ValuesWithControlsSpecialsAndAstralCharactersReadBack)
{
    // Forbidden controls are dropped; everything else, white space included, reads back unchanged.
    auto [attribute, text] = RoundTrip(L"a\nb&c\x01"
                                       L"d\te\rf\"g<h>i\U0001F600j\uFFFEk\u00e9");
    const std::wstring expected = L"a\nb&cd\te\rf\"g<h>i\U0001F600jk\u00e9";
    EXPECT_EQ(attribute, expected);
    EXPECT_EQ(text, expected);
}

TEST(XMLWriter, TextClosesAnOpenStartTagAndIsEscaped)
{
    MemoryStream s;
    {
        XMLWriter w(&s);
        w.StartElement(L"p");
        w.WriteText(L"1 < 2 & 3 > 0");
    }
    EXPECT_EQ(Text(s), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                       "<p>1 &lt; 2 &amp; 3 &gt; 0</p>\r\n");
}

TEST(XMLWriter, MisplacedCallsWriteNothingBroken)
{
    MemoryStream s;
    {
        XMLWriter w(&s);
        w.EndElement();               // nothing open
        w.WriteAttribute(L"x", L"1"); // no start tag to hold it
        w.StartElement(L"a");
        w.EndElement();
        w.EndElement();
    }
    EXPECT_EQ(Text(s), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<a />\r\n");
}

TEST(XMLWriter, WriteNodeCopiesADocument)
{
    const std::string source = "<account><record value=\"2\" name=\"k\"/>text<empty></empty></account>";
    MemoryStream in(L"in", source.data(), uint32_t(source.size()));
    MemoryStream out;
    {
        XMLReader r(&in);
        XMLWriter w(&out);
        while (!r.IsAtEnd())
            w.WriteNode(*r.Next());
    }
    EXPECT_EQ(Text(out), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                         "<account>\r\n"
                         "<record name=\"k\" value=\"2\" />\r\n"
                         "text<empty />\r\n"
                         "</account>\r\n");
}
