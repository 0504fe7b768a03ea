#include "Framework/ValueResources.h"

#include "Framework/ResourceManager.h"

#include "ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;

namespace
{
class ValueResourcesTest : public KestrinTest::ResourceTest
{
protected:
    ValueResourcesTest() { RegisterValueResourceFactories(); }

    void LoadValues(const std::string& body)
    {
        LoadText(L"Values", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><values>" + body + "</values>");
    }

    template <typename T> T Value(const std::string& name)
    {
        Internal::ValueWrapper<T>* wrapper = GetValueResource<T>(name);
        EXPECT_NE(wrapper, nullptr) << name;
        return wrapper ? wrapper->value : T();
    }
    // The values named <prefix>1 .. <prefix>count.
    template <typename T> std::vector<T> Values(const std::string& prefix, int count)
    {
        std::vector<T> values;
        for (int i = 1; i <= count; ++i)
            values.push_back(Value<T>(prefix + std::to_string(i)));
        return values;
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

TEST_F(ValueResourcesTest, ScalarsReadWithTheirDefaults)
{
    LoadValues(R"(
        <int name="i1" value="12abc"/><int name="i2" value="abc"/><int name="i3" value="  -7"/><int name="i4"/>
        <bool name="b1" value="1"/><bool name="b2" value="TRUE"/><bool name="b3" value=" true"/><bool name="b4"/>
        <float name="f1" value="2.5e1x"/><float name="f2" value="-.5"/><float name="f3"/>
        <string name="s1" value="  A &amp; B &lt;&#xE9;&gt; "/><string name="s2"/>
        <vector2f name="v1" y="-3.5"/><rectf name="r1" x="1" y="2" w="30.25"/><rectf name="r2"/>)");
    EXPECT_EQ(Values<int>("i", 4), (std::vector<int>{12, 0, -7, 0}));
    EXPECT_EQ(Values<bool>("b", 4), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(Values<float>("f", 3), (std::vector<float>{25.0f, -0.5f, 0.0f}));
    EXPECT_EQ(Values<std::wstring>("s", 2), (std::vector<std::wstring>{L"  A & B <\u00e9> ", L""}));
    EXPECT_EQ(Value<Vector2<float>>("v1"), Vector2<float>(0.0f, -3.5f));
    EXPECT_EQ(Values<Rect<float>>("r", 2), (std::vector<Rect<float>>{{1.0f, 2.0f, 30.25f, 0.0f}, {}}));
}

TEST_F(ValueResourcesTest, ColoursFromTextFloatsOrBytes)
{
    LoadValues(R"(
        <colorf name="hex" value="#FF000080"/><colorf name="noHash" value="FF000080"/>
        <colorf name="lower" value="#0a0B0c0D" r="0"/><colorf name="white"/><colorf name="green" g="0.5"/>
        <colori name="red" r="128"/><colori name="wrap" r="300" g="-1" b="0" a="256"/>)");
    ExpectColor(Value<ColorF>("hex"), 1.0f, 0.0f, 0.0f, 128.0f / 255.0f);
    ExpectColor(Value<ColorF>("noHash"), 0.0f, 0.0f, 0.0f, 1.0f); // wrong length: opaque black
    // "value" wins over the float channels.
    ExpectColor(Value<ColorF>("lower"), 10.0f / 255.0f, 11.0f / 255.0f, 12.0f / 255.0f, 13.0f / 255.0f);
    ExpectColor(Value<ColorF>("white"), 1.0f, 1.0f, 1.0f, 1.0f);
    ExpectColor(Value<ColorF>("green"), 1.0f, 0.5f, 1.0f, 1.0f);
    ExpectColor(Value<ColorF>("red"), 128.0f / 255.0f, 1.0f, 1.0f, 1.0f);
    // Each channel keeps its low 8 bits: 300 -> 44, -1 -> 255, 256 -> 0.
    ExpectColor(Value<ColorF>("wrap"), 44.0f / 255.0f, 1.0f, 0.0f, 0.0f);
}

TEST_F(ValueResourcesTest, ArrayItemsAtAnyDepthInDocumentOrderAreNoResources)
{
    LoadValues(R"(
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
    ExpectColor(tints[1], 1.0f, 1.0f, 1.0f, 0.0f);
    std::vector<ColorF> bytes = Value<std::vector<ColorF>>("bytes");
    ASSERT_EQ(bytes.size(), 1u);
    ExpectColor(bytes[0], 0.0f, 0.0f, 0.0f, 1.0f);

    // The named item is not a resource, and the reading resumes after the array.
    EXPECT_EQ(GetFloatValueByName("first"), nullptr);
    EXPECT_EQ(Value<float>("after"), 3.0f);
    EXPECT_EQ(manager->GetResourceCount(), 9u);
}

TEST_F(ValueResourcesTest, SixteenKindsRegisteredAndReplacedOnASecondCall)
{
    const wchar_t* kinds[] = {L"bool",          L"int",        L"float",       L"string",
                              L"vector2f",      L"rectf",      L"colorf",      L"colori",
                              L"boolarray",     L"intarray",   L"floatarray",  L"stringarray",
                              L"vector2farray", L"rectfarray", L"colorfarray", L"coloriarray"};
    std::vector<IResourceFactory*> first;
    for (const wchar_t* kind : kinds)
        first.push_back(manager->GetFactory(kind));
    EXPECT_NE(dynamic_cast<ColorIArrayResourceFactory*>(first[15]), nullptr);
    EXPECT_EQ(manager->GetFactory(L"randomrange"), nullptr); // the game's own kind

    // Each new factory is made while the one it replaces still lives, so it sits elsewhere;
    // the replaced ones are destroyed (the leak checker would report them otherwise).
    RegisterValueResourceFactories();
    for (size_t i = 0; i < first.size(); ++i)
    {
        EXPECT_NE(first[i], nullptr) << kinds[i];
        EXPECT_NE(manager->GetFactory(kinds[i]), first[i]) << kinds[i];
    }
}

TEST_F(ValueResourcesTest, RandomRangesKeepTheirBoundsAsWritten)
{
    manager->RegisterFactory(L"randomrange", new RandomRangeResourceFactory);
    LoadValues(R"(<randomrange name="none"/><randomrange name="backwards" min="5" max="1"/>)");
    EXPECT_EQ(Value<RandomRange>("none").min, 0.0f);
    EXPECT_EQ(Value<RandomRange>("none").max, 0.0f);
    EXPECT_EQ(Value<RandomRange>("backwards").min, 5.0f);
    EXPECT_EQ(Value<RandomRange>("backwards").max, 1.0f);
    EXPECT_EQ(StripWhitespace(L" a\tb\r\nc\u00a0"), L"abc\u00a0");
}
