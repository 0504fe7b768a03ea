#include "Framework/ValueResources.h"

#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Framework/ResourceManager.h"

#include <memory>

namespace Kestrin
{

namespace
{
template <typename T>
IResourceDescriptor* MakeValue(const std::wstring& source, NameId name, const XMLElement& element, T value)
{
    return new Internal::ValueWrapper<T>(source, name, element, std::move(value));
}
} // namespace

IResourceDescriptor* BoolResourceFactory::Create(const std::wstring& source, NameId name, XMLElement& element,
                                                 IXMLReader&)
{
    return MakeValue(source, name, element, element.GetBool(L"value", false));
}

IResourceDescriptor* IntResourceFactory::Create(const std::wstring& source, NameId name, XMLElement& element,
                                                IXMLReader&)
{
    return MakeValue(source, name, element, element.GetInt(L"value", 0));
}

IResourceDescriptor* FloatResourceFactory::Create(const std::wstring& source, NameId name,
                                                  XMLElement& element, IXMLReader&)
{
    return MakeValue(source, name, element, element.GetFloat(L"value", 0.0f));
}

IResourceDescriptor* StringResourceFactory::Create(const std::wstring& source, NameId name,
                                                   XMLElement& element, IXMLReader&)
{
    return MakeValue(source, name, element, element.GetString(L"value"));
}

IResourceDescriptor* Vector2FResourceFactory::Create(const std::wstring& source, NameId name,
                                                     XMLElement& element, IXMLReader&)
{
    return MakeValue(source, name, element,
                     Vector2<float>(element.GetFloat(L"x", 0.0f), element.GetFloat(L"y", 0.0f)));
}

IResourceDescriptor* RectFResourceFactory::Create(const std::wstring& source, NameId name,
                                                  XMLElement& element, IXMLReader&)
{
    return MakeValue(source, name, element,
                     Rect<float>(element.GetFloat(L"x", 0.0f), element.GetFloat(L"y", 0.0f),
                                 element.GetFloat(L"w", 0.0f), element.GetFloat(L"h", 0.0f)));
}

IResourceDescriptor* ColorFResourceFactory::Create(const std::wstring& source, NameId name,
                                                   XMLElement& element, IXMLReader&)
{
    ColorF color;
    if (element.HasAttribute(L"value"))
        color = ParseColorF(element.GetString(L"value"), ColorF::Black());
    else
        color = ColorF(element.GetFloat(L"r", 1.0f), element.GetFloat(L"g", 1.0f),
                       element.GetFloat(L"b", 1.0f), element.GetFloat(L"a", 1.0f));
    return MakeValue(source, name, element, color);
}

IResourceDescriptor* ColorIResourceFactory::Create(const std::wstring& source, NameId name,
                                                   XMLElement& element, IXMLReader&)
{
    auto channel = [&](const wchar_t* attribute) { return uint32_t(element.GetInt(attribute, 255)) & 0xFF; };
    uint32_t argb = channel(L"a") << 24 | channel(L"r") << 16 | channel(L"g") << 8 | channel(L"b");
    return MakeValue(source, name, element, ColorF(argb));
}

template <typename T, typename ItemFactory>
IResourceDescriptor* ArrayResourceFactory<T, ItemFactory>::Create(const std::wstring& source, NameId name,
                                                                  XMLElement& element, IXMLReader& children)
{
    auto array = std::make_unique<Internal::ValueWrapper<std::vector<T>>>(source, name, element);
    children.Next(); // the array element itself, not an item
    while (!children.IsAtEnd())
    {
        XMLElement* node = children.Next();
        if (!node || !node->IsStart())
            continue;
        std::wstring itemName = node->GetString(L"name");
        NameId itemId = itemName.empty() ? NameId() : MakeNameFromWString(itemName);
        ItemFactory factory;
        std::unique_ptr<IResourceDescriptor> item(factory.Create(source, itemId, *node, children));
        if (auto* value = dynamic_cast<Internal::ValueWrapper<T>*>(item.get()))
            array->value.push_back(value->value);
    }
    return array.release();
}

template class ArrayResourceFactory<bool, BoolResourceFactory>;
template class ArrayResourceFactory<int, IntResourceFactory>;
template class ArrayResourceFactory<float, FloatResourceFactory>;
template class ArrayResourceFactory<std::wstring, StringResourceFactory>;
template class ArrayResourceFactory<Vector2<float>, Vector2FResourceFactory>;
template class ArrayResourceFactory<Rect<float>, RectFResourceFactory>;
template class ArrayResourceFactory<ColorF, ColorFResourceFactory>;
template class ArrayResourceFactory<ColorF, ColorIResourceFactory>;

void RegisterValueResourceFactories(ResourceManager& manager)
{
    manager.RegisterFactory(L"bool", new BoolResourceFactory);
    manager.RegisterFactory(L"int", new IntResourceFactory);
    manager.RegisterFactory(L"float", new FloatResourceFactory);
    manager.RegisterFactory(L"string", new StringResourceFactory);
    manager.RegisterFactory(L"vector2f", new Vector2FResourceFactory);
    manager.RegisterFactory(L"rectf", new RectFResourceFactory);
    manager.RegisterFactory(L"colorf", new ColorFResourceFactory);
    manager.RegisterFactory(L"colori", new ColorIResourceFactory);
    manager.RegisterFactory(L"boolarray", new BoolArrayResourceFactory);
    manager.RegisterFactory(L"intarray", new IntArrayResourceFactory);
    manager.RegisterFactory(L"floatarray", new FloatArrayResourceFactory);
    manager.RegisterFactory(L"stringarray", new StringArrayResourceFactory);
    manager.RegisterFactory(L"vector2farray", new Vector2FArrayResourceFactory);
    manager.RegisterFactory(L"rectfarray", new RectFArrayResourceFactory);
    manager.RegisterFactory(L"colorfarray", new ColorFArrayResourceFactory);
    manager.RegisterFactory(L"coloriarray", new ColorIArrayResourceFactory);
}

IResourceDescriptor* RandomRangeResourceFactory::Create(const std::wstring& source, NameId name,
                                                        XMLElement& element, IXMLReader&)
{
    return MakeValue(source, name, element,
                     RandomRange{element.GetFloat(L"min", 0.0f), element.GetFloat(L"max", 0.0f)});
}

std::wstring StripWhitespace(const std::wstring& text)
{
    return RemoveCharacters(text, L" \t\n\r");
}

} // namespace Kestrin
