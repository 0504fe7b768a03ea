#pragma once
#include "Base/AttributeContainer.h"
#include "Framework/Names.h"

#include <string>
#include <type_traits>
#include <utility>

namespace Kestrin
{

class IXMLReader;
class XMLElement;

// A loaded resource as the resource manager holds it: shared by reference count, known by the
// group it came from and its interned name.
class IResourceDescriptor
{
public:
    virtual ~IResourceDescriptor() = default;
    // The group (source file name without ".xml") the resource was read from.
    virtual std::wstring GetSource() const = 0;
    // The resource's own name; null when its element had none.
    virtual NameId GetName() const = 0;
};

// The common base of every descriptor. Keeps a copy of its element's attributes, so code may read
// extra attributes of a resource later.
class ResourceDescriptor : public IResourceDescriptor, public AttributeContainer
{
public:
    // attributes must be an AttributeContainer (every element handed to a factory is one);
    // anything else throws std::bad_cast.
    ResourceDescriptor(const std::wstring& source, NameId name, const IAttributeContainer& attributes);

    std::wstring GetSource() const override { return m_source; }
    NameId GetName() const override { return m_name; }

private:
    std::wstring m_source;
    NameId m_name;
};

// A descriptor that also is a T, so the lookups reach T (or an interface of T) by a cast.
// For objects with a class hierarchy of their own: images, image lists, layouts, sounds...
template <typename T> class ResourceWrapper : public ResourceDescriptor, public T
{
public:
    template <typename... Args>
    ResourceWrapper(const std::wstring& source, NameId name, const IAttributeContainer& attributes,
                    Args&&... args)
        : ResourceDescriptor(source, name, attributes), T(std::forward<Args>(args)...)
    {
        // The lookups cross-cast at run time; that needs public, unambiguous bases.
        static_assert(std::is_convertible_v<ResourceWrapper*, IResourceDescriptor*>);
        static_assert(std::is_convertible_v<ResourceWrapper*, T*>);
    }
};

namespace Internal
{
// A descriptor holding one plain value (the value resources, random ranges).
template <typename T> class ValueWrapper : public ResourceDescriptor
{
public:
    ValueWrapper(const std::wstring& source, NameId name, const IAttributeContainer& attributes,
                 T initial = T())
        : ResourceDescriptor(source, name, attributes), value(std::move(initial))
    {
    }

    T value;
};
} // namespace Internal

// Turns one XML element into one resource; registered with the resource manager under the
// element's name.
class IResourceFactory
{
public:
    virtual ~IResourceFactory() = default;
    // source: the group name, passed on to ResourceDescriptor unchanged (conflict tests and
    // unloading go by it). name: the interned "name". element: the start element with its
    // attributes. children: a reader over the element's subtree; its first Next answers the
    // element itself. Answers a new descriptor, or throws to reject the element.
    virtual IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                        IXMLReader& children) = 0;
};

// Layout attribute values may be written across lines: drops space, tab, LF and CR.
std::wstring StripWhitespace(const std::wstring& text);

} // namespace Kestrin
