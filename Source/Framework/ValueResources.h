#pragma once
#include "Base/Geometry.h"
#include "Framework/Resource.h"

#include <string>
#include <vector>

namespace Kestrin
{

class ResourceManager;

// Tuning values, texts, points, rectangles and colours defined by name in resource groups.
// Each resource is an Internal::ValueWrapper<T>; missing attributes take the defaults noted.

// "bool": "value", only the words "true"/"false" (after leading blanks); default false.
class BoolResourceFactory : public IResourceFactory
{
public:
    using ValueType = bool;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "int": "value", decimal with its leading digits as far as they go; default 0.
class IntResourceFactory : public IResourceFactory
{
public:
    using ValueType = int;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "float": "value", decimal; default 0.
class FloatResourceFactory : public IResourceFactory
{
public:
    using ValueType = float;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "string": "value" verbatim; default empty.
class StringResourceFactory : public IResourceFactory
{
public:
    using ValueType = std::wstring;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "vector2f": "x", "y"; default 0.
class Vector2FResourceFactory : public IResourceFactory
{
public:
    using ValueType = Vector2<float>;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "rectf": "x", "y", "w", "h"; default 0.
class RectFResourceFactory : public IResourceFactory
{
public:
    using ValueType = Rect<float>;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "colorf": "value" as "#RRGGBBAA" (any other length is opaque black); without "value", the
// floats "r", "g", "b", "a", each 1 when missing.
class ColorFResourceFactory : public IResourceFactory
{
public:
    using ValueType = ColorF;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "colori": the ints "r", "g", "b", "a", each 255 when missing and cut to its low 8 bits.
class ColorIResourceFactory : public IResourceFactory
{
public:
    using ValueType = ColorF;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// An array kind: every start element inside the array element, at any depth and of any element
// name, is one item read by ItemFactory, in document order. Items are not resources of their own.
template <typename T, typename ItemFactory> class ArrayResourceFactory : public IResourceFactory
{
public:
    using ValueType = std::vector<T>;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// Made for the item types below only.
extern template class ArrayResourceFactory<bool, BoolResourceFactory>;
extern template class ArrayResourceFactory<int, IntResourceFactory>;
extern template class ArrayResourceFactory<float, FloatResourceFactory>;
extern template class ArrayResourceFactory<std::wstring, StringResourceFactory>;
extern template class ArrayResourceFactory<Vector2<float>, Vector2FResourceFactory>;
extern template class ArrayResourceFactory<Rect<float>, RectFResourceFactory>;
extern template class ArrayResourceFactory<ColorF, ColorFResourceFactory>;
extern template class ArrayResourceFactory<ColorF, ColorIResourceFactory>;

using BoolArrayResourceFactory = ArrayResourceFactory<bool, BoolResourceFactory>;
using IntArrayResourceFactory = ArrayResourceFactory<int, IntResourceFactory>;
using FloatArrayResourceFactory = ArrayResourceFactory<float, FloatResourceFactory>;
using StringArrayResourceFactory = ArrayResourceFactory<std::wstring, StringResourceFactory>;
using Vector2FArrayResourceFactory = ArrayResourceFactory<Vector2<float>, Vector2FResourceFactory>;
using RectFArrayResourceFactory = ArrayResourceFactory<Rect<float>, RectFResourceFactory>;
using ColorFArrayResourceFactory = ArrayResourceFactory<ColorF, ColorFResourceFactory>;
using ColorIArrayResourceFactory = ArrayResourceFactory<ColorF, ColorIResourceFactory>;

// Registers the 16 value kinds with the resource manager ("bool", "int", "float", "string",
// "vector2f", "rectf", "colorf", "colori", then their "...array" forms), replacing earlier ones.
void RegisterValueResourceFactories(ResourceManager& manager);

// A range to draw from; nothing orders min and max.
struct RandomRange
{
    float min = 0.0f;
    float max = 0.0f;
};

// "randomrange": floats "min" and "max", default 0. Registered by the scene graph.
class RandomRangeResourceFactory : public IResourceFactory
{
public:
    using ValueType = RandomRange;
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

} // namespace Kestrin
