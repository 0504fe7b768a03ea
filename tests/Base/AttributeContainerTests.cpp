#include "Base/AttributeContainer.h"

#include <gtest/gtest.h>

using namespace Kestrin;

namespace
{
AttributeContainer Make(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> values)
{
    AttributeContainer c;
    for (auto& [name, value] : values)
        c.SetAttribute(name, value);
    return c;
}
} // namespace

TEST(AttributeContainer, BoolsAreOnlyTheWordsTrueAndFalseAndNumbersTakeTheDefaultOnlyWhenMissing)
{
    AttributeContainer c = Make({{L"spaced", L" true"},
                                 {L"no", L"false"},
                                 {L"tail", L"true!"},
                                 {L"one", L"1"},
                                 {L"upper", L"TRUE"},
                                 {L"empty", L""},
                                 {L"partial", L"tru"},
                                 {L"n", L"12ab"},
                                 {L"letters", L"abc"},
                                 {L"f", L" 2.5x"}});
    EXPECT_TRUE(c.GetBool(L"spaced", false));
    EXPECT_FALSE(c.GetBool(L"no", true));
    EXPECT_TRUE(c.GetBool(L"tail", false));
    for (const wchar_t* name : {L"one", L"upper", L"empty", L"partial", L"missing"})
    {
        EXPECT_TRUE(c.GetBool(name, true)) << name;
        EXPECT_FALSE(c.GetBool(name, false)) << name;
    }
    EXPECT_EQ(c.GetInt(L"n", 99), 12);
    EXPECT_EQ(c.GetInt(L"letters", 99), 0);
    EXPECT_EQ(c.GetInt(L"missing", 99), 99);
    EXPECT_FLOAT_EQ(c.GetFloat(L"f", 9.0f), 2.5f);
    EXPECT_EQ(c.GetFloat(L"letters", 9.0f), 0.0f);
    EXPECT_EQ(c.GetFloat(L"missing", 9.0f), 9.0f);
}

TEST(AttributeContainer, StringsPresenceCaseSensitiveNamesAndNameOrder)
{
    AttributeContainer c = Make({{L"Name", L"value"}, {L"blank", L""}, {L"B", L"3"}});
    EXPECT_EQ(c.GetString(L"name"), L"");
    EXPECT_FALSE(c.HasAttribute(L"name"));
    EXPECT_TRUE(c.HasAttribute(L"blank"));
    const wchar_t* fallback = L"fallback";
    EXPECT_EQ(c.GetCString(L"missing", fallback), fallback);
    EXPECT_EQ(c.GetCString(L"missing", nullptr), nullptr);
    EXPECT_STREQ(c.GetCString(L"Name", fallback), L"value");
    c.SetAttribute(L"Name", L"other");
    EXPECT_EQ(c.GetString(L"Name"), L"other");

    std::wstring order;
    for (const auto& [name, value] : c.GetAttributes())
        order += name + L";";
    EXPECT_EQ(order, L"B;Name;blank;"); // by character code, one entry per name
}
