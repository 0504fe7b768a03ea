#include "Framework/Resource.h"

namespace Kestrin
{

ResourceDescriptor::ResourceDescriptor(const std::wstring& source, NameId name,
                                       const IAttributeContainer& attributes)
    : AttributeContainer(dynamic_cast<const AttributeContainer&>(attributes)), m_source(source), m_name(name)
{
}

} // namespace Kestrin
