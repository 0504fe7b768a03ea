#include "Game/GameDataReaders.h"

#include "GameTestSupport.h"

#include <libxml++/libxml++.h>

#include <memory>

using namespace GameTest;

namespace
{
class GameDataReaders : public GameDataTest
{
protected:
    GameDataReaders()
    {
        AddData(L"Data", "<root>\n"
                         "  <a one=\"1\" zero=\"0\" word=\"true\" spaced=\" 1\" two=\"2\" empty=\"\" "
                         "color=\"Red\" lower=\"red\" kind=\"Any\" n=\"12abc\" plus=\"+5\"/>\n"
                         "</root>\n");
        reader = std::make_unique<LibXmlReader>(Kestrin::FileSpec::FromNameAndExtension(L"Data", L".xml"));
        node = LibXmlReader::GetChildElements(reader->GetRootElement(), "a").front();
    }

    std::unique_ptr<LibXmlReader> reader;
    const xmlpp::Element* node = nullptr;
};

const char* const Colours[] = {"Red", "Green", "Blue"};
} // namespace

TEST_F(GameDataReaders, BoolTakesOnlyZeroAndOne)
{
    struct Case
    {
        const char* attribute;
        bool value;
        bool fails;
    };
    for (const Case& c : {Case{"one", true, false}, Case{"zero", false, false}, Case{"word", false, true},
                          Case{"spaced", false, true}, Case{"two", false, true}, Case{"empty", false, true}})
    {
        bool present = false;
        const std::string error = ErrorOf(
            [&] { EXPECT_EQ(ReadBoolAttribute(node, c.attribute, *reader, false, present), c.value); });
        if (c.fails)
            EXPECT_EQ(
                error,
                std::string("(0) Error reading file \"Data.xml\" (line 2): couldn't convert attribute \"") +
                    c.attribute + "\" to the correct type (bool)");
        else
            EXPECT_TRUE(error.empty() && present) << c.attribute << ": " << error;
    }
}

TEST_F(GameDataReaders, MissingAttributesFailUnlessOptional)
{
    bool present = true;
    EXPECT_FALSE(ReadBoolAttribute(node, "absent", *reader, true, present));
    EXPECT_FALSE(present);
    EXPECT_EQ(ReadEnumAttribute(node, "absent", Colours, 3, *reader, true), -1);
    EXPECT_EQ(ErrorOf([&] { ReadBoolAttribute(node, "absent", *reader, false, present); }),
              "(0) Error reading file \"Data.xml\" (line 2): couldn't read required attribute \"absent\" "
              "(attribute does not exist)");
    EXPECT_NE(ErrorOf([&] { ReadEnumAttribute(node, "absent", Colours, 3, *reader); }), "");
}

TEST_F(GameDataReaders, EnumerationsMatchExactly)
{
    EXPECT_EQ(ReadEnumAttribute(node, "color", Colours, 3, *reader), 0);
    EXPECT_EQ(ReadEnumAttribute<GremlinKind>(node, "kind", *reader), GremlinKind::Any);
    EXPECT_EQ(
        ErrorOf([&] { ReadEnumAttribute<GremlinColorType>(node, "lower", *reader); }),
        "(0) Error reading file \"Data.xml\" (line 2): \"red\" is an invalid value for attribute \"lower\"");
    // Optional: a name outside the table answers -1 instead.
    EXPECT_EQ(ReadEnumAttribute(node, "lower", Colours, 3, *reader, true), -1);
    // "Red" lies outside a table that does not reach it.
    EXPECT_NE(ErrorOf([&] { ReadEnumAttribute(node, "color", Colours + 1, 2, *reader); }), "");
}

TEST_F(GameDataReaders, WholeNumbersMustBeWhole)
{
    EXPECT_EQ(ReadIntAttribute(node, "plus", *reader), 5);
    EXPECT_EQ(ErrorOf([&] { ReadIntAttribute(node, "n", *reader); }),
              "(0) Error reading file \"Data.xml\" (line 2): couldn't convert attribute \"n\" to the correct "
              "type (int)");
}
