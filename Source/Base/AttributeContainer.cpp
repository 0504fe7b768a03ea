#include "Base/AttributeContainer.h"

#include "Base/Strings.h"

namespace Kestrin
{

bool ReadBoolWord(std::wstring_view text, bool& value)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    // Like a stream in alphabetic mode: the word must match from its start; what follows is left over.
    std::wstring_view rest = text.substr(i);
    if (rest.starts_with(L"true"))
    {
        value = true;
        return true;
    }
    if (rest.starts_with(L"false"))
    {
        value = false;
        return true;
    }
    return false;
}

const std::wstring* AttributeContainer::Find(std::wstring_view name) const
{
    auto it = m_attributes.find(name);
    return it == m_attributes.end() ? nullptr : &it->second;
}

bool AttributeContainer::GetBool(std::wstring_view name, bool defaultValue) const
{
    const std::wstring* value = Find(name);
    bool result = defaultValue;
    if (value)
        ReadBoolWord(*value, result);
    return result;
}

float AttributeContainer::GetFloat(std::wstring_view name, float defaultValue) const
{
    const std::wstring* value = Find(name);
    return value ? WideToFloat(*value) : defaultValue;
}

int AttributeContainer::GetInt(std::wstring_view name, int defaultValue) const
{
    const std::wstring* value = Find(name);
    return value ? WideToInt(*value) : defaultValue;
}

const wchar_t* AttributeContainer::GetCString(std::wstring_view name, const wchar_t* defaultValue) const
{
    const std::wstring* value = Find(name);
    return value ? value->c_str() : defaultValue;
}

std::wstring AttributeContainer::GetString(std::wstring_view name) const
{
    const std::wstring* value = Find(name);
    return value ? *value : std::wstring();
}

bool AttributeContainer::HasAttribute(std::wstring_view name) const
{
    return Find(name) != nullptr;
}

void AttributeContainer::SetAttribute(std::wstring name, std::wstring value)
{
    m_attributes.insert_or_assign(std::move(name), std::move(value));
}

} // namespace Kestrin
