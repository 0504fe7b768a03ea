#include "Framework/LibXmlReader.h"

#include "Base/FileExceptions.h"

#include "Support/ChunkedStream.h"
#include "Support/FakeFileSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libxml++/libxml++.h>

using namespace Kestrin;
using KestrinTest::FakeFileSystem;
using KestrinTest::ScopedFileSystem;

namespace
{
class LibXmlReaderTest : public ::testing::Test
{
protected:
    LibXmlReaderTest() : m_scope(&fs) {}

    LibXmlReader Load(const std::string& text, const wchar_t* name = L"F")
    {
        FileSpec fileSpec = FileSpec::FromNameAndExtension(name, L".xml");
        fs.AddFile(fileSpec, text);
        return LibXmlReader(fileSpec);
    }

    // The message of the FileReadException that fn throws, or "" when it throws none.
    template <typename Fn> static std::string ReadError(Fn fn, int* line = nullptr)
    {
        try
        {
            fn();
        }
        catch (const FileReadException& e)
        {
            if (line)
                *line = e.GetLine();
            return e.what();
        }
        return "";
    }

    FakeFileSystem fs;

private:
    ScopedFileSystem m_scope;
};
} // namespace

TEST_F(LibXmlReaderTest, RequiredChildMustExistExactlyOnce)
{
    LibXmlReader reader = Load("<Root>\n"
                               "  <Level name=\"a\"/>\n"
                               "  <Pair/>\n"
                               "  <Pair/>\n"
                               "</Root>\n");
    xmlpp::Element* root = reader.GetRootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->get_name(), "Root");
    EXPECT_EQ(GetRequiredChild(root, "Level", reader)->get_line(), 2);

    int line = 0;
    EXPECT_EQ(ReadError([&] { reader.GetRequiredChild(root, "Pair"); }, &line),
              "(0) Error reading file \"F.xml\" (line 1): expected one \"Pair\" child node, but found more "
              "than one");
    EXPECT_EQ(line, 1); // the parent's line
    EXPECT_EQ(ReadError([&] { GetRequiredChild(root, "Missing", reader); }),
              "(0) Error reading file \"F.xml\" (line 1): couldn't find required child node \"Missing\"");

    EXPECT_EQ(LibXmlReader::GetChildElements(root, "Pair").size(), 2u);
    EXPECT_TRUE(LibXmlReader::GetChildElements(root, "None").empty());
    EXPECT_TRUE(LibXmlReader::GetChildElements(nullptr, "Pair").empty());
}

TEST_F(LibXmlReaderTest, BlankTextIsDroppedAndOnlyElementsCount)
{
    // Blank text nodes carry the name "text" too; a child element named so is found once.
    LibXmlReader reader = Load("<Root>\n"
                               "    <text value=\"hello\"/>\n"
                               "    <!-- a comment is no element -->\n"
                               "    <item/>\n"
                               "</Root>\n");
    xmlpp::Element* root = reader.GetRootElement();
    xmlpp::Element* text = GetRequiredChild(root, "text", reader);
    EXPECT_EQ(ReadRequiredAttribute(text, "value", reader), "hello");
    EXPECT_EQ(LibXmlReader::GetChildElements(root, "").size(), 2u);
    for (xmlpp::Node* child : root->get_children())
        EXPECT_EQ(dynamic_cast<xmlpp::TextNode*>(child), nullptr) << "blank text was kept";
}

TEST_F(LibXmlReaderTest, AttributesRequiredAndOptional)
{
    LibXmlReader reader = Load("<Root>\n<Item name=\"caf\xC3\xA9\"/><!--c--></Root>");
    xmlpp::Element* item = GetRequiredChild(reader.GetRootElement(), "Item", reader);
    bool found = false;
    EXPECT_EQ(ReadAttribute(item, "name", reader, false, found), "caf\xC3\xA9"); // UTF-8 as stored
    EXPECT_TRUE(found);

    found = true;
    EXPECT_EQ(ReadAttribute(item, "missing", reader, true, found), "");
    EXPECT_FALSE(found);

    EXPECT_EQ(
        ReadError([&] { ReadRequiredAttribute(item, "missing", reader); }),
        "(0) Error reading file \"F.xml\" (line 2): couldn't read required attribute \"missing\" (attribute "
        "does not exist)");

    xmlpp::Node* comment = reader.GetRootElement()->get_children().back();
    ASSERT_NE(dynamic_cast<xmlpp::CommentNode*>(comment), nullptr);
    EXPECT_EQ(ReadError([&] { ReadRequiredAttribute(comment, "name", reader); }),
              "(0) Error reading file \"F.xml\" (line 2): couldn't read required attribute \"name\" (node is "
              "not an "
              "Element)");
    found = true;
    EXPECT_EQ(ReadAttribute(comment, "name", reader, true, found), "");
    EXPECT_FALSE(found);
}

TEST_F(LibXmlReaderTest, NumbersMustConvertWhole)
{
    LibXmlReader reader = Load("<Root f=\"3.5\" g=\"3.5x\" h=\"inf\" i=\"12\" j=\"12.5\" k=\"-7\" "
                               "l=\"99999999999\" m=\"1e39\" n=\"\" o=\" 4\"/>");
    xmlpp::Element* root = reader.GetRootElement();
    EXPECT_FLOAT_EQ(ReadFloatAttribute(root, "f", reader), 3.5f);
    EXPECT_EQ(ReadIntAttribute(root, "i", reader), 12);
    EXPECT_EQ(ReadIntAttribute(root, "k", reader), -7);

    auto convertError = [](const char* name, const char* type)
    {
        return std::string("(0) Error reading file \"F.xml\" (line 1): couldn't convert attribute \"") +
               name + "\" to the correct type (" + type + ")";
    };
    for (const char* name : {"g", "h", "m", "n", "o"})
        EXPECT_EQ(ReadError([&] { ReadFloatAttribute(root, name, reader); }), convertError(name, "float"));
    for (const char* name : {"f", "j", "l", "n", "o"})
        EXPECT_EQ(ReadError([&] { ReadIntAttribute(root, name, reader); }), convertError(name, "int"));

    bool present = true;
    EXPECT_EQ(ReadIntAttribute(root, "absent", reader, true, &present), 0);
    EXPECT_FALSE(present);
    EXPECT_EQ(ReadFloatAttribute(root, "absent", reader, true, &present), 0.0f);
    EXPECT_FALSE(present);
    EXPECT_EQ(ReadIntAttribute(root, "i", reader, true, &present), 12);
    EXPECT_TRUE(present);
    EXPECT_NE(ReadError([&] { ReadIntAttribute(root, "absent", reader); }), "");
}

TEST_F(LibXmlReaderTest, MissingUnnamedEmptyAndMalformedFiles)
{
    using testing::StrEq;
    using testing::ThrowsMessage;
    EXPECT_THAT([] { LibXmlReader(FileSpec::FromNameAndExtension(L"GameLevels", L".xml")); },
                ThrowsMessage<FileOpenException>(
                    StrEq("(0) Error opening file \"GameLevels.xml\": file doesn't exist")));
    EXPECT_THAT([] { LibXmlReader(FileSpec::FromNameAndExtension(L"", L".xml")); },
                ThrowsMessage<FileOpenException>(StrEq("(0) : LibXmlReader requires a filename")));
    EXPECT_EQ(fs.opens, 1); // the nameless one never reached the file system

    // The parser's first complaint, with the file and its line.
    using testing::AllOf;
    using testing::HasSubstr;
    using testing::StartsWith;
    EXPECT_THAT([&] { Load("", L"Empty"); }, ThrowsMessage<FileReadException>(StartsWith(
                                                 "(0) Error reading file \"Empty.xml\" (line 0): ")));
    EXPECT_THAT(
        [&] { Load("<Root>\n  <a>\n</Root>\n", L"Broken"); },
        ThrowsMessage<FileReadException>(AllOf(
            StartsWith("(0) Error reading file \"Broken.xml\" (line 3): Document not well-formed, column "),
            HasSubstr("Opening and ending tag mismatch: a line 2 and Root"))));
    EXPECT_EQ(fs.opens, 3);
    EXPECT_EQ(fs.closes, 2); // every stream that opened was given back
}

TEST_F(LibXmlReaderTest, ShortReadParsesOnlyWhatArrived)
{
    const std::string document = "<Root><Level/></Root>";
    // 7 bytes per read, then a failure 200 bytes short of the size the stream claims.
    fs.makeStream = [](const FileSpec&, const std::string& bytes) -> IStream*
    { return new KestrinTest::ChunkedStream(L"F", bytes, 7, bytes.size() - 200); };
    LibXmlReader reader = Load(document + std::string(200, '\0'));
    EXPECT_EQ(LibXmlReader::GetChildElements(reader.GetRootElement(), "Level").size(), 1u);
}

TEST(FindStringIndex, ExactByteMatchOrMinusOne)
{
    const char* const table[] = {"easy", "Medium", nullptr, "hard", "easy"};
    EXPECT_EQ(FindStringIndex(table, 5, "easy"), 0);
    EXPECT_EQ(FindStringIndex(table, 5, "hard"), 3);
    EXPECT_EQ(FindStringIndex(table, 5, "medium"), -1);
    EXPECT_EQ(FindStringIndex(table, 3, "hard"), -1); // beyond the count
    EXPECT_EQ(FindStringIndex(table, -1, "easy"), -1);
    EXPECT_EQ(FindStringIndex(nullptr, 2, "easy"), -1);
}
