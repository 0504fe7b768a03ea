#pragma once
// The widget layout ("layout" resources): a flat list of elements, each built into one widget or
// sprite object of the current database on request, placed from the size the layout was designed
// for onto the logical screen.
#include "Base/AttributeContainer.h"
#include "Framework/ResourceManager.h"

#include <string>
#include <vector>

namespace Kestrin
{

class Layout
{
public:
    // Appends an element's name and a copy of its attributes.
    void AddElement(const std::wstring& name, const IAttributeContainer& attributes);
    // Builds one object per element into the current database, in element order; every call
    // builds a new set. Elements of unknown kinds build nothing; missing resources are handed on as
    // null. Nothing is built while no database is current.
    void CreateObjects() const;

    size_t GetElementCount() const { return m_names.size(); }
    const std::wstring& GetElementName(size_t i) const { return m_names.at(i); }
    const AttributeContainer& GetElementAttributes(size_t i) const { return m_attributes.at(i); }

    // The size the layout was designed for; a size of 0 or less counts as 800 x 600.
    float screenWidth = 800.0f;
    float screenHeight = 600.0f;

private:
    std::vector<std::wstring> m_names;
    std::vector<AttributeContainer> m_attributes;
};

// "layout": the design size from "screenWidth" and "screenHeight"; every element inside, at any
// depth, becomes one element of the flat list, in document order.
class LayoutResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

inline ResourcePair<Layout> GetLayout(NameId id)
{
    return GetResource<Layout>(id);
}
inline ResourcePair<Layout> GetLayoutByName(const char* name)
{
    return GetResource<Layout>(name);
}

} // namespace Kestrin
