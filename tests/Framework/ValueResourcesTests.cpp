#include "Framework/ValueResources.h"

#include "Base/Stream.h"
#include "Framework/ResourceManager.h"

#include "ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using KestrinTest::ResourceTest;

namespace
{
class ValueResourcesTest : public ResourceTest
{
protected:
    ValueResourcesTest() { RegisterValueResourceFactories(); }

    void LoadText(const std::string& body)
    {
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><values>" + body + "</values>";
        MemoryStream stream(L"Values", xml.data(), uint32_t(xml.size()));
        manager->Load(L"Values", &stream, nullptr);
    }

    template <typename T> T Value(const char* name)
    {
        Internal::ValueWrapper<T>* wrapper = GetValueResource<T>(name);
        EXPECT_NE(wrapper, nullptr) << name;
        return wrapper ? wrapper->value : T();
    }
};

void ExpectColor(const ColorF& c, float r, float g, float b, float a)
{
    EXPECT_NEAR(c.r, r, 1e-6f);
    EXPECT_NEAR(c.g, g, 1e-6f);
    EXPECT_NEAR(c.b, b, 1e-6f);
    EXPECT_NEAR(c.a, a, 1e-6f);
}
} // namespace

TEST_F(ValueResourcesTest, NumbersAndWordsReadAsTheCLibraryWould)
{
    LoadText(R"(
        <int name="i1" value="12abc"/><int name="i2" value="abc"/><int name="i3" value="  -7"/><int name="i4"/>
        <bool name="b1" value="1"/><bool name="b2" value="TRUE"/><bool name="b3" value=" true"/><bool name="b4"/>
        <float name="f1" value="2.5e1x"/><float name="f2" value="-.5"/><float name="f3"/>
        <string name="s1" value="  A &amp; B &lt;&#xE9;&gt; "/><string name="s2"/>)");
    EXPECT_EQ(Value<int>("i1"), 12);
    EXPECT_EQ(Value<int>("i2"), 0);
    EXPECT_EQ(Value<int>("i3"), -7);
    EXPECT_EQ(Value<int>("i4"), 0);
    EXPECT_FALSE(Value<bool>("b1"));
    EXPECT_FALSE(Value<bool>("b2"));
    EXPECT_TRUE(Value<bool>("b3"));
    EXPECT_FALSE(Value<bool>("b4"));
    EXPECT_EQ(Value<float>("f1"), 25.0f);
    EXPECT_EQ(Value<float>("f2"), -0.5f);
    EXPECT_EQ(Value<float>("f3"), 0.0f);
    EXPECT_EQ(Value<std::wstring>("s1"), L"  A & B <\u00e9> ");
    EXPECT_EQ(Value<std::wstring>("s2"), L"");
}

TEST_F(ValueResourcesTest, PointsAndRectanglesDefaultEachMissingFieldToZero)
{
    LoadText(R"(<vector2f name="v" y="-3.5"/><rectf name="r" x="1" y="2" w="30.25"/><rectf name="empty"/>)");
    EXPECT_EQ(Value<Vector2<float>>("v"), Vector2<float>(0.0f, -3.5f));
    EXPECT_EQ(Value<Rect<float>>("r"), Rect<float>(1.0f, 2.0f, 30.25f, 0.0f));
    EXPECT_EQ(Value<Rect<float>>("empty"), Rect<float>());
}

TEST_F(ValueResourcesTest, ColoursFromTextFloatsOrBytes)
{
    LoadText(R"(
        <colorf name="hex" value="#FF000080"/><colorf name="noHash" value="FF000080"/>
        <colorf name="lower" value="#0a0B0c0D" r="0"/><colorf name="white"/><colorf name="green" g="0.5"/>
        <colori name="red" r="128"/><colori name="wrap" r="300" g="-1" b="0" a="256"/><colori name="opaque"/>)");
    ExpectColor(Value<ColorF>("hex"), 1.0f, 0.0f, 0.0f, 128.0f / 255.0f);
    ExpectColor(Value<ColorF>("noHash"), 0.0f, 0.0f, 0.0f, 1.0f);
    // "value" wins over the float channels.
    ExpectColor(Value<ColorF>("lower"), 10.0f / 255.0f, 11.0f / 255.0f, 12.0f / 255.0f, 13.0f / 255.0f);
    ExpectColor(Value<ColorF>("white"), 1.0f, 1.0f, 1.0f, 1.0f);
    ExpectColor(Value<ColorF>("green"), 1.0f, 0.5f, 1.0f, 1.0f);
    ExpectColor(Value<ColorF>("red"), 128.0f / 255.0f, 1.0f, 1.0f, 1.0f);
    // Each channel keeps its low 8 bits: 300 -> 44, -1 -> 255, 256 -> 0.
    ExpectColor(Value<ColorF>("wrap"), 44.0f / 255.0f, 1.0f, 0.0f, 0.0f);
    ExpectColor(Value<ColorF>("opaque"), 1.0f, 1.0f, 1.0f, 1.0f);
}

TEST_F(ValueResourcesTest, ArrayItemsAtAnyDepthInDocumentOrderAreNoResources)
{
    LoadText(R"(
        <floatarray name="speeds">
            <item name="first" value="1"/>
            <item value="2.5"><deeper value="7"/></item>
            text between
        </floatarray>
        <intarray name="none"/>
        <stringarray name="words"><w value="b"/><x value="a"/><w/></stringarray>
        <boolarray name="flags"><f value="true"/><f value="yes"/><f value="true"/></boolarray>
        <vector2farray name="points"><p x="1" y="2"/><p y="4"/></vector2farray>
        <rectfarray name="boxes"><r w="5" h="6"/></rectfarray>
        <colorfarray name="tints"><c value="#00FF00FF"/><c a="0"/></colorfarray>
        <coloriarray name="bytes"><c r="0" g="0" b="0"/></coloriarray>
        <float name="after" value="3"/>)");

    EXPECT_EQ(Value<std::vector<float>>("speeds"), (std::vector<float>{1.0f, 2.5f, 7.0f}));
    EXPECT_TRUE(Value<std::vector<int>>("none").empty());
    EXPECT_EQ(Value<std::vector<std::wstring>>("words"), (std::vector<std::wstring>{L"b", L"a", L""}));
    EXPECT_EQ(Value<std::vector<bool>>("flags"), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(Value<std::vector<Vector2<float>>>("points"),
              (std::vector<Vector2<float>>{{1.0f, 2.0f}, {0.0f, 4.0f}}));
    EXPECT_EQ(Value<std::vector<Rect<float>>>("boxes"), (std::vector<Rect<float>>{{0.0f, 0.0f, 5.0f, 6.0f}}));
    std::vector<ColorF> tints = Value<std::vector<ColorF>>("tints");
    ASSERT_EQ(tints.size(), 2u);
    ExpectColor(tints[0], 0.0f, 1.0f, 0.0f, 1.0f);
    ExpectColor(tints[1], 1.0f, 1.0f, 1.0f, 0.0f);
    std::vector<ColorF> bytes = Value<std::vector<ColorF>>("bytes");
    ASSERT_EQ(bytes.size(), 1u);
    ExpectColor(bytes[0], 0.0f, 0.0f, 0.0f, 1.0f);

    // The named item is not a resource, and the reading resumes after the array.
    EXPECT_EQ(GetFloatValueByName("first"), nullptr);
    EXPECT_EQ(Value<float>("after"), 3.0f);
    EXPECT_EQ(manager->GetResourceCount(), 9u);
}

TEST_F(ValueResourcesTest, EverySixteenKindsRegisteredAndReplacedOnASecondCall)
{
    const wchar_t* kinds[] = {L"bool",       L"int",         L"float",       L"string",        L"vector2f",
                              L"rectf",      L"colorf",      L"colori",      L"boolarray",     L"intarray",
                              L"floatarray", L"stringarray", L"vector2farray", L"rectfarray", L"colorfarray",
                              L"coloriarray"};
    std::vector<IResourceFactory*> first;
    for (const wchar_t* kind : kinds)
    {
        first.push_back(manager->GetFactory(kind));
        EXPECT_NE(first.back(), nullptr) << kind;
    }
    EXPECT_NE(dynamic_cast<ColorIArrayResourceFactory*>(manager->GetFactory(L"coloriarray")), nullptr);
    EXPECT_NE(dynamic_cast<RectFResourceFactory*>(manager->GetFactory(L"rectf")), nullptr);
    EXPECT_EQ(manager->GetFactory(L"randomrange"), nullptr); // the game's own kind

    // Each new factory is made while the one it replaces still lives, so it sits elsewhere;
    // the replaced ones are destroyed (the leak checker would report them otherwise).
    RegisterValueResourceFactories();
    for (size_t i = 0; i < first.size(); ++i)
    {
        EXPECT_NE(manager->GetFactory(kinds[i]), nullptr);
        EXPECT_NE(manager->GetFactory(kinds[i]), first[i]) << kinds[i];
    }
}

TEST_F(ValueResourcesTest, RandomRangesKeepTheirBoundsAsWritten)
{
    manager->RegisterFactory(L"randomrange", new RandomRangeResourceFactory);
    LoadText(R"(<randomrange name="none"/><randomrange name="backwards" min="5" max="1"/>)");
    RandomRange none = Value<RandomRange>("none");
    EXPECT_EQ(none.min, 0.0f);
    EXPECT_EQ(none.max, 0.0f);
    RandomRange backwards = Value<RandomRange>("backwards");
    EXPECT_EQ(backwards.min, 5.0f);
    EXPECT_EQ(backwards.max, 1.0f);
}

TEST(StripWhitespace, DropsBlanksTabsAndLineEndsOnly)
{
    EXPECT_EQ(StripWhitespace(L" a\tb\r\nc "), L"abc");
    EXPECT_EQ(StripWhitespace(L"x\u00a0y\vz"), L"x\u00a0y\vz");
}
