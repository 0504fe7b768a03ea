#include "Framework/ValueResources.h"

#include "Framework/ResourceManager.h"

#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;

namespace
{
class ValueResourcesTest : public KestrinTest::ResourceTest
{
protected:
    ValueResourcesTest() { RegisterValueResourceFactories(*manager); }

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

} // namespace

// How each text reads is the attribute container's business; these check each kind's attributes and defaults.
TEST_F(ValueResourcesTest, ScalarsAndColoursReadWithTheirDefaults)
{
    LoadValues(R"(
        <int name="i1" value="12abc"/><int name="i2"/><bool name="b1" value=" true"/><bool name="b2"/>
        <float name="f1" value="2.5e1x"/><float name="f2"/>
        <string name="s1" value="  A &amp; B &lt;&#xE9;&gt; "/><string name="s2"/>
        <vector2f name="v1" y="-3.5"/><rectf name="r1" x="1" y="2" w="30.25"/><rectf name="r2"/>
        <colorf name="hex" value="#FF000080"/><colorf name="noHash" value="FF000080"/>
        <colorf name="lower" value="#0a0B0c0D" r="0"/><colorf name="white"/><colorf name="green" g="0.5"/>
        <colori name="red" r="128"/><colori name="wrap" r="300" g="-1" b="0" a="256"/>
        <colori name="pale" r="100"/>)");
    EXPECT_EQ(Values<int>("i", 2), (std::vector<int>{12, 0}));
    EXPECT_EQ(Values<bool>("b", 2), (std::vector<bool>{true, false}));
    EXPECT_EQ(Values<float>("f", 2), (std::vector<float>{25.0f, 0.0f}));
    EXPECT_EQ(Values<std::wstring>("s", 2), (std::vector<std::wstring>{L"  A & B <\u00e9> ", L""}));
    EXPECT_EQ(Value<Vector2<float>>("v1"), Vector2<float>(0.0f, -3.5f));
    EXPECT_EQ(Values<Rect<float>>("r", 2), (std::vector<Rect<float>>{{1.0f, 2.0f, 30.25f, 0.0f}, {}}));

    const std::pair<const char*, uint32_t> colours[] = {
        {"hex", 0x80FF0000},   {"noHash", 0xFF000000}, // wrong length: opaque black
        {"lower", 0x0D0A0B0C},                         // "value" wins over the float channels
        {"white", 0xFFFFFFFF}, {"green", 0xFFFF80FF},  {"red", 0xFF80FFFF},
        {"wrap", 0x002CFF00}, // each channel keeps its low 8 bits: 300 -> 44, -1 -> 255, 256 -> 0
    };
    for (const auto& [name, argb] : colours)
        EXPECT_EQ(Value<ColorF>(name).ToARGB(), argb) << name;
    // Bytes times the float 1/255, exactly: 100 is one of the bytes where that is not 100 / 255.
    EXPECT_EQ(Value<ColorF>("pale"), ColorF(100 * (1.0f / 255.0f), 1.0f, 1.0f, 1.0f));
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
    std::vector<ColorF> tints = Value<std::vector<ColorF>>("tints"),
                        bytes = Value<std::vector<ColorF>>("bytes");
    ASSERT_EQ(tints.size(), 2u);
    ASSERT_EQ(bytes.size(), 1u);
    EXPECT_EQ(tints[0].ToARGB(), 0xFF00FF00u);
    EXPECT_EQ(tints[1].ToARGB(), 0x00FFFFFFu);
    EXPECT_EQ(bytes[0].ToARGB(), 0xFF000000u);

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
    EXPECT_EQ(manager->GetFactory(L"randomrange"), nullptr); // the scene graph's kind

    // Each new factory is made while the one it replaces still lives, so it sits elsewhere;
    // the replaced ones are destroyed (the leak checker would report them otherwise).
    RegisterValueResourceFactories(*manager);
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
