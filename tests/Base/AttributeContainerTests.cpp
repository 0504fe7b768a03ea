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

TEST(AttributeContainer, GetBoolReadsOnlyTheWordsTrueAndFalse)
{
    AttributeContainer c = Make({{L"spaced", L" true"},
                                 {L"no", L"false"},
                                 {L"one", L"1"},
                                 {L"upper", L"TRUE"},
                                 {L"yes", L"yes"},
                                 {L"empty", L""},
                                 {L"tail", L"true!"},
                                 {L"partial", L"tru"}});
    EXPECT_TRUE(c.GetBool(L"spaced", false));
    EXPECT_FALSE(c.GetBool(L"no", true));
    EXPECT_TRUE(c.GetBool(L"tail", false));
    for (const wchar_t* name : {L"one", L"upper", L"yes", L"empty", L"partial", L"missing"})
    {
        EXPECT_TRUE(c.GetBool(name, true)) << name;
        EXPECT_FALSE(c.GetBool(name, false)) << name;
    }
}

TEST(AttributeContainer, NumbersUseTheDefaultOnlyWhenTheNameIsMissing)
{
    AttributeContainer c = Make({{L"n", L"12ab"}, {L"letters", L"abc"}, {L"f", L" 2.5x"}});
    EXPECT_EQ(c.GetInt(L"n", 99), 12);
    EXPECT_EQ(c.GetInt(L"letters", 99), 0);
    EXPECT_EQ(c.GetInt(L"missing", 99), 99);
    EXPECT_FLOAT_EQ(c.GetFloat(L"f", 9.0f), 2.5f);
    EXPECT_EQ(c.GetFloat(L"letters", 9.0f), 0.0f);
    EXPECT_EQ(c.GetFloat(L"missing", 9.0f), 9.0f);
}

TEST(AttributeContainer, StringsPresenceAndCaseSensitiveNames)
{
    AttributeContainer c = Make({{L"Name", L"value"}, {L"blank", L""}});
    EXPECT_EQ(c.GetString(L"Name"), L"value");
    EXPECT_EQ(c.GetString(L"name"), L"");
    EXPECT_FALSE(c.HasAttribute(L"name"));
    EXPECT_TRUE(c.HasAttribute(L"blank"));
    EXPECT_EQ(c.GetString(L"blank"), L"");

    const wchar_t* fallback = L"fallback";
    EXPECT_EQ(c.GetCString(L"missing", fallback), fallback);
    EXPECT_EQ(c.GetCString(L"missing", nullptr), nullptr);
    EXPECT_STREQ(c.GetCString(L"Name", fallback), L"value");

    c.SetAttribute(L"Name", L"other");
    EXPECT_EQ(c.GetString(L"Name"), L"other");
    EXPECT_EQ(c.GetAttributes().size(), 2u);
}

TEST(AttributeContainer, CopiesAreIndependentAndOrderedByName)
{
    AttributeContainer a = Make({{L"b", L"2"}, {L"a", L"1"}, {L"B", L"3"}});
    AttributeContainer b = a;
    a.SetAttribute(L"a", L"changed");
    EXPECT_EQ(b.GetString(L"a"), L"1");

    std::wstring order;
    for (const auto& [name, value] : b.GetAttributes())
        order += name;
    EXPECT_EQ(order, L"Bab"); // by character code
}
