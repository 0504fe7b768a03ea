#include "UI/Layout.h"

#include "Base/Log.h"
#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Framework/ObjectDatabase.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/ImageList.h"
#include "Platform/Display.h"
#include "Platform/SoundResources.h"
#include "UI/BrushObjects.h"
#include "UI/ButtonObjects.h"
#include "UI/ListObject.h"
#include "UI/SliderObjects.h"
#include "UI/SpriteObjects.h"
#include "UI/TextEditObject.h"
#include "UI/UINames.h"

#include <array>
#include <memory>
#include <string_view>

namespace Kestrin
{

namespace
{

float DesignSize(float size, float fallback)
{
    return size > 0.0f ? size : fallback;
}

constexpr std::array<std::wstring_view, 3> kTextModeWords{L"normal", L"outline", L"dropshadow"};

// One element's reading: its common values and typed lookups of its own attributes.
struct Element
{
    const AttributeContainer& a;
    float sx, sy;

    NameId name() const
    {
        const std::wstring text = a.GetString(L"name");
        return text.empty() ? NameId() : MakeNameFromWString(text);
    }
    Vector2<float> location() const { return {a.GetFloat(L"x", 0.0f) * sx, a.GetFloat(L"y", 0.0f) * sy}; }
    float width() const { return a.GetFloat(L"width", 0.0f) * sx; }
    float height() const { return a.GetFloat(L"height", 0.0f) * sy; }
    float layer() const { return a.GetFloat(L"layer", 0.0f); }
    template <typename T> T* resource(const wchar_t* attribute) const
    {
        const std::wstring text = a.GetString(attribute);
        return text.empty() ? nullptr : GetResource<T>(MakeNameFromWString(text)).second;
    }
    IImageList* images(const wchar_t* attribute) const { return resource<IImageList>(attribute); }
    Font* font() const { return resource<Font>(L"font"); }
    ColorF color(const wchar_t* attribute) const
    {
        return ParseColorF(a.GetString(attribute), ColorF::Black());
    }
    int alphaSensitivity() const { return a.GetInt(L"alphaSensitivity", 25); }
    const SoundList* sounds() const { return resource<SoundList>(L"sounds"); }
    void align(SpriteObject& sprite) const
    {
        sprite.SetAlignment(WordIndex(a.GetString(L"halign"), HorizontalAlignWords, sprite.GetHAlign()),
                            WordIndex(a.GetString(L"valign"), VerticalAlignWords, sprite.GetVAlign()));
    }
};

// The object of an element, with its further attributes applied; null for an unknown kind.
Object* Build(const std::wstring& kind, const Element& e)
{
    const AttributeContainer& a = e.a;
    if (kind == L"background")
        return new BackgroundObject(e.name(), e.layer(), e.images(L"images"), e.location(), e.width(),
                                    e.height());
    if (kind == L"textedit")
    {
        auto* edit =
            new TextEditObject(e.name(), e.layer(), e.location(), e.images(L"fieldImages"),
                               e.resource<IImage>(L"cursorImage"), e.width(), e.font(), e.color(L"color"));
        edit->SetMaxCharacters(a.GetInt(L"maxCharacters", -1));
        edit->SetText(edit->GetText());
        edit->SetMaxStringWidth(a.GetInt(L"maxStringWidth", -1));
        return edit;
    }
    if (kind == L"list")
        return new ListObject(e.name(), e.layer(), e.location(), e.images(L"images"), e.width(), e.height(),
                              e.font(), e.color(L"textColor"), e.color(L"selectedTextColor"));
    if (kind == L"scrollbar")
    {
        auto* bar = new ScrollBarObject(e.name(), e.layer(), e.location(), e.height(),
                                        e.images(L"channelImages"), e.images(L"thumbImages"),
                                        e.images(L"upArrowImages"), e.images(L"downArrowImages"));
        bar->SetSounds(e.sounds());
        return bar;
    }
    if (kind == L"slider")
    {
        auto* slider = new SliderObject(e.name(), e.layer(), e.location(), e.width(),
                                        e.images(L"channelImages"), e.images(L"thumbImages"), 0.0f);
        slider->SetAlphaSensitivity(e.alphaSensitivity());
        slider->SetSounds(e.sounds());
        return slider;
    }
    if (kind == L"checkbox")
    {
        auto* box = new CheckBoxObject(e.name(), e.layer(), e.location(), e.images(L"images"), e.width(),
                                       a.GetString(L"text"), e.font(), e.color(L"color"));
        box->SetAlphaSensitivity(e.alphaSensitivity());
        box->SetSounds(e.sounds());
        return box;
    }
    if (kind == L"button")
    {
        auto* button = new ButtonObject(e.name(), e.layer(), e.images(L"images"), a.GetString(L"text"),
                                        e.font(), e.location(), e.color(L"color"), e.width());
        button->SetAlphaSensitivity(e.alphaSensitivity());
        const std::wstring key = a.GetString(L"keyCode");
        if (!key.empty())
            button->SetKeyCode(KeyNameToVirtualKey(key.c_str()));
        button->SetSounds(e.sounds());
        return button;
    }
    if (kind == L"radiobutton")
    {
        auto* radio = new RadioButtonObject(e.name(), e.layer(), e.location(), e.images(L"images"), e.width(),
                                            MakeNameFromWString(a.GetString(L"group")), a.GetString(L"text"),
                                            e.font(), e.color(L"color"));
        radio->SetAlphaSensitivity(e.alphaSensitivity());
        radio->SetSounds(e.sounds());
        return radio;
    }
    if (kind == L"textsprite")
    {
        auto* sprite = new TextSpriteObject(e.name(), e.layer(), e.font(), a.GetString(L"text"), e.width(),
                                            e.location(), e.color(L"color"));
        e.align(*sprite);
        sprite->SetTextMode(WordIndex(a.GetString(L"mode"), kTextModeWords, sprite->GetTextMode()));
        return sprite;
    }
    if (kind == L"imagesprite")
    {
        auto* sprite = new ImageSpriteObject(e.name(), e.layer(), e.resource<IImage>(L"src"), e.location());
        e.align(*sprite);
        sprite->SetFlipFlags((a.GetBool(L"flipH", false) ? 1 : 0) + (a.GetBool(L"flipV", false) ? 2 : 0));
        return sprite;
    }
    if (kind == L"ninebrush")
        return new NineBrushObject(e.name(), e.images(L"images"), e.location(), e.width(), e.height(),
                                   e.layer());
    if (kind == L"threebrush")
        return new ThreeBrushObject(e.name(), e.images(L"images"), e.layer(), e.location(), e.width());
    return nullptr;
}

} // namespace

void Layout::AddElement(const std::wstring& name, const IAttributeContainer& attributes)
{
    m_names.push_back(name);
    const auto* container = dynamic_cast<const AttributeContainer*>(&attributes);
    m_attributes.push_back(container ? *container : AttributeContainer());
}

void Layout::CreateObjects() const
{
    ObjectDatabase* database = GetCurrentObjectDatabase();
    if (!database)
    {
        LogPrintf("Layout: no screen to build %d objects into\n", int(m_names.size()));
        return;
    }
    const DisplaySettings& display = GetCurrentDisplaySettings();
    const float sx = float(display.width) / DesignSize(screenWidth, 800.0f);
    const float sy = float(display.height) / DesignSize(screenHeight, 600.0f);
    for (size_t i = 0; i < m_names.size(); ++i)
    {
        const Element element{m_attributes[i], sx, sy};
        std::unique_ptr<Object> object(Build(m_names[i], element));
        if (!object)
            continue;
        if (auto* visible = dynamic_cast<IVisible*>(object.get()))
            visible->SetVisible(m_attributes[i].GetBool(L"visible", true));
        database->AddObject(object.release());
    }
}

IResourceDescriptor* LayoutResourceFactory::Create(const std::wstring& source, NameId name,
                                                   XMLElement& element, IXMLReader& children)
{
    auto wrapper = std::make_unique<ResourceWrapper<Layout>>(source, name, element);
    wrapper->screenWidth = DesignSize(element.GetFloat(L"screenWidth", 800.0f), 800.0f);
    wrapper->screenHeight = DesignSize(element.GetFloat(L"screenHeight", 600.0f), 600.0f);
    children.Next(); // the "layout" element itself
    while (!children.IsAtEnd())
    {
        XMLElement* node = children.Next();
        if (!node)
            break;
        if (node->IsStart())
            wrapper->AddElement(node->GetName(), *node);
    }
    return wrapper.release();
}

} // namespace Kestrin
