// The text table as the art generator reads it: values decoded as the game decodes them, and
// loud failures for a missing key, a key given twice or a broken file.
#include "TextTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace DataGen;

TEST(TextTable, ReadsStringValuesAsUtf8WithEntitiesDecoded)
{
    const TextTable t =
        TextTable::FromXml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<texts>\n"
                           "  <!-- <string name=\"Commented\" value=\"no\"/> -->\n"
                           "  <string name=\"Img.A\" value=\"Tom &amp; Jerry &quot;1&quot;\"/>\n"
                           "  <group><string name=\"Img.B\" value=\"caf\xC3\xA9&#10;line\"/></group>\n"
                           "  <float name=\"NotText\" value=\"2\"/>\n"
                           "</texts>\n");
    EXPECT_EQ(t.Size(), 2u);
    EXPECT_EQ(t.Get("Img.A"), "Tom & Jerry \"1\"");
    EXPECT_EQ(t.Get("Img.B"), "caf\xC3\xA9\nline");
    EXPECT_FALSE(t.Has("Commented"));
    EXPECT_FALSE(t.Has("NotText"));
}

TEST(TextTable, MissingKeysDuplicatesAndBrokenFilesFailNamingTheCause)
{
    const TextTable t = TextTable::FromXml("<t><string name=\"Img.A\" value=\"a\"/></t>", "table.xml");
    try
    {
        t.Get("Img.Missing");
        FAIL() << "a missing key must throw";
    }
    catch (const std::runtime_error& e)
    {
        EXPECT_NE(std::string(e.what()).find("Img.Missing"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("table.xml"), std::string::npos);
    }
    // The game's resource names ignore case, so these two are one name.
    EXPECT_THROW(
        TextTable::FromXml("<t><string name=\"Img.A\" value=\"1\"/><string name=\"img.a\" value=\"2\"/></t>"),
        std::runtime_error);
    EXPECT_THROW(TextTable::FromXml("<t><string name=\"Img.A\" value=\"1\"></t>"), std::runtime_error);
    EXPECT_THROW(TextTable::Load("/nonexistent/AllGameText_Export.xml"), std::runtime_error);
}
