#include "UI/Layout.h"

#include "Framework/Keys.h"
#include "Framework/ObjectDatabase.h"
#include "Platform/Display.h"
#include "UI/BrushObjects.h"
#include "UI/ButtonObjects.h"
#include "UI/SliderObjects.h"
#include "UI/SpriteObjects.h"
#include "UI/TextEditObject.h"
#include "UI/UIResourceFactories.h"

#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;

namespace
{

class Layouts : public KestrinTest::ResourceTest
{
protected:
    Layouts()
    {
        RegisterUIResourceFactories(*manager);
        SetTopObjectDatabase(&database);
        LoadText(L"Values", "<resources><float name=\"NotAnImageList\" value=\"1\"/></resources>");
    }
    ~Layouts() override
    {
        SetTopObjectDatabase(nullptr);
        GetCurrentDisplaySettings() = DisplaySettings{-1, 1, 800, 600};
    }

    // Loads a layout named "L" with the given layout attributes and content.
    const Layout* Load(const std::string& content, const std::string& attributes = "")
    {
        const std::string name = "L" + std::to_string(++m_groups);
        LoadText(L"G" + std::to_wstring(m_groups), "<resources><layout name=\"" + name + "\" " + attributes +
                                                       ">" + content + "</layout></resources>");
        return GetLayoutByName(name.c_str()).second;
    }
    // Builds it into the database and answers the objects added, in order.
    std::vector<Object*> Build(const Layout& layout)
    {
        const size_t before = database.GetTableSize();
        layout.CreateObjects();
        std::vector<Object*> objects;
        for (size_t i = before; i < database.GetTableSize(); ++i)
            objects.push_back(database.GetObject(ObjectHandle((1u << 16) | i)));
        return objects;
    }
    template <typename T> T* One(const std::string& element)
    {
        const Layout* layout = Load(element);
        EXPECT_NE(layout, nullptr) << element;
        if (!layout)
            return nullptr;
        const std::vector<Object*> objects = Build(*layout);
        EXPECT_EQ(objects.size(), 1u) << element;
        return objects.empty() ? nullptr : dynamic_cast<T*>(objects.back());
    }

    ObjectDatabase database;

private:
    int m_groups = 0;
};

} // namespace

TEST_F(Layouts, DesignSizeScalesPlacesButNotLayersOrLimits)
{
    const std::string content =
        "<textedit name=\"e\" x=\"10\" y=\"20\" width=\"100\" layer=\"3\" "
        "maxStringWidth=\"50\"/><ninebrush x=\"1\" y=\"2\" width=\"30\" height=\"40\"/>";
    const Layout* layout = Load(content, "screenWidth=\"400\" screenHeight=\"300\"");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetElementCount(), 2u);
    std::vector<Object*> objects = Build(*layout);
    ASSERT_EQ(objects.size(), 2u);
    auto* edit = dynamic_cast<TextEditObject*>(objects[0]);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetBounds().x, 20.0f);
    EXPECT_EQ(edit->GetBounds().y, 40.0f);
    EXPECT_EQ(edit->GetBounds().w, 200.0f);
    EXPECT_EQ(edit->GetDepth(), 3.0f);
    EXPECT_EQ(edit->GetMaxStringWidth(), 50);
    EXPECT_EQ(dynamic_cast<NineBrushObject*>(objects[1])->GetBounds(), (Rect<float>(2, 4, 60, 80)));

    // A 1024 x 768 screen; a design size of 0 counts as 800 x 600.
    GetCurrentDisplaySettings() = DisplaySettings{0, 1, 1024, 768};
    objects = Build(*Load(content, "screenWidth=\"0\" screenHeight=\"-5\""));
    const Rect<float> scaled = dynamic_cast<NineBrushObject*>(objects[1])->GetBounds();
    EXPECT_FLOAT_EQ(scaled.x, 1.28f);
    EXPECT_FLOAT_EQ(scaled.y, 2.56f);
    EXPECT_FLOAT_EQ(scaled.w, 38.4f);
    EXPECT_FLOAT_EQ(scaled.h, 51.2f);
}

TEST_F(Layouts, ElementsAreFlattenedInDocumentOrderAndUnknownOnesSkipped)
{
    const Layout* layout =
        Load("<ninebrush name=\"outer\"><gadget name=\"g\"><threebrush name=\"inner\"/></gadget>"
             "</ninebrush><imagesprite name=\"last\" visible=\"false\"/>");
    ASSERT_NE(layout, nullptr);
    ASSERT_EQ(layout->GetElementCount(), 4u);
    EXPECT_EQ(layout->GetElementName(2), L"threebrush");
    const std::vector<Object*> objects = Build(*layout);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0]->GetName(), MakeName("outer"));
    EXPECT_EQ(objects[1]->GetName(), MakeName("inner"));
    EXPECT_FALSE(dynamic_cast<IVisible*>(objects[2])->IsVisible());

    // Every call builds a set of its own.
    const std::vector<Object*> again = Build(*layout);
    ASSERT_EQ(again.size(), 3u);
    EXPECT_NE(again[0], objects[0]);
    EXPECT_EQ(database.FindObject(MakeName("inner")), again[1]);
}

TEST_F(Layouts, ColoursAreExactlyNineCharactersElseOpaqueBlack)
{
    struct Case
    {
        const char* attribute;
        ColorF color;
    };
    const Case cases[] = {{"color=\"#ff000080\"", ColorF(1, 0, 0, 128.0f / 255.0f)},
                          {"color=\"#FF000080\"", ColorF(1, 0, 0, 128.0f / 255.0f)},
                          {"color=\"red\"", ColorF(0, 0, 0, 1)},
                          {"", ColorF(0, 0, 0, 1)}};
    for (const Case& c : cases)
    {
        auto* sprite = One<TextSpriteObject>(std::string("<textsprite ") + c.attribute + "/>");
        ASSERT_NE(sprite, nullptr) << c.attribute;
        const ColorF got = sprite->GetColor();
        EXPECT_NEAR(got.r, c.color.r, 1e-6) << c.attribute;
        EXPECT_NEAR(got.a, c.color.a, 1e-6) << c.attribute;
    }
}

TEST_F(Layouts, KindWordsAreReadExactly)
{
    struct KeyCase
    {
        const char* element;
        int key;
    };
    const KeyCase keys[] = {{"<button keyCode=\"Escape\"/>", VK_ESCAPE},
                            {"<button keyCode=\"\"/>", -1},
                            {"<button/>", -1},
                            {"<button keyCode=\"NoSuchKey\"/>", 0},
                            {"<button keyCode=\"q\"/>", 'Q'}};
    for (const KeyCase& c : keys)
    {
        auto* button = One<ButtonObject>(c.element);
        ASSERT_NE(button, nullptr) << c.element;
        EXPECT_EQ(button->GetKeyCode(), c.key) << c.element;
        EXPECT_EQ(button->GetAlphaSensitivity(), 25);
    }

    auto* flipped = One<ImageSpriteObject>("<imagesprite flipH=\"true\" flipV=\"true\" halign=\"right\" "
                                           "valign=\"Middle\"/>");
    EXPECT_EQ(flipped->GetFlipFlags(), 3);
    EXPECT_EQ(flipped->GetHAlign(), 2);
    EXPECT_EQ(flipped->GetVAlign(), 0);
    EXPECT_EQ(One<TextSpriteObject>("<textsprite mode=\"Outline\"/>")->GetTextMode(), 0);
    EXPECT_EQ(One<TextSpriteObject>("<textsprite mode=\"outline\"/>")->GetTextMode(), 1);
    EXPECT_EQ(One<TextSpriteObject>("<textsprite mode=\"dropshadow\" width=\"90\"/>")->GetWrapWidth(), 90.0f);
}

TEST_F(Layouts, WidgetsGetTheirFurtherAttributes)
{
    auto* edit = One<TextEditObject>("<textedit maxCharacters=\"3\"/>");
    EXPECT_EQ(edit->GetMaxCharacters(), 3);
    EXPECT_EQ(edit->GetMaxStringWidth(), -1);

    auto* radio = One<RadioButtonObject>("<radiobutton group=\"Speed\" alphaSensitivity=\"0\"/>");
    EXPECT_EQ(radio->GetGroup(), MakeName("speed"));
    EXPECT_EQ(radio->GetAlphaSensitivity(), 0);
    EXPECT_EQ(One<RadioButtonObject>("<radiobutton/>")->GetGroup(), MakeName(""));

    // A missing resource, or one of another kind, is handed on as null.
    auto* box = One<CheckBoxObject>("<checkbox images=\"NotAnImageList\" font=\"Nothing\" text=\"Mute\"/>");
    EXPECT_EQ(box->GetImages(), nullptr);
    EXPECT_EQ(box->GetFont(), nullptr);
    EXPECT_EQ(box->GetText(), L"Mute");

    // A scroll bar's arrows come before it.
    const std::vector<Object*> objects = Build(*Load("<scrollbar name=\"SB\" height=\"100\" layer=\"2\"/>"));
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0]->GetName(), MakeName("SBScrollUp"));
    EXPECT_EQ(objects[1]->GetName(), MakeName("SBScrollDown"));
    EXPECT_NE(dynamic_cast<ScrollBarObject*>(objects[2]), nullptr);
}
