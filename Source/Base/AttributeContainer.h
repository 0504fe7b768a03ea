#pragma once
#include <map>
#include <string>
#include <string_view>

namespace Kestrin
{

// Named text values read through typed getters: the attributes of XML nodes and of resources.
class IAttributeContainer
{
public:
    virtual ~IAttributeContainer() = default;
    // Only "true" and "false" (after leading blanks) are booleans; any other text gives the default.
    virtual bool GetBool(std::wstring_view name, bool defaultValue) const = 0;
    // A present value is always converted (0 when it holds no number); the default is for absence only.
    virtual float GetFloat(std::wstring_view name, float defaultValue) const = 0;
    virtual int GetInt(std::wstring_view name, int defaultValue) const = 0;
    // Points into the container: valid while it lives unchanged.
    virtual const wchar_t* GetCString(std::wstring_view name, const wchar_t* defaultValue) const = 0;
    virtual std::wstring GetString(std::wstring_view name) const = 0;
    virtual bool HasAttribute(std::wstring_view name) const = 0;
};

class AttributeContainer : public IAttributeContainer
{
public:
    // Ordered by name, compared by character code (case-sensitive).
    using Map = std::map<std::wstring, std::wstring, std::less<>>;

    bool GetBool(std::wstring_view name, bool defaultValue) const override;
    float GetFloat(std::wstring_view name, float defaultValue) const override;
    int GetInt(std::wstring_view name, int defaultValue) const override;
    const wchar_t* GetCString(std::wstring_view name, const wchar_t* defaultValue) const override;
    std::wstring GetString(std::wstring_view name) const override;
    bool HasAttribute(std::wstring_view name) const override;

    // Replaces an existing value of the same name.
    void SetAttribute(std::wstring name, std::wstring value);
    const Map& GetAttributes() const { return m_attributes; }
    void ClearAttributes() { m_attributes.clear(); }

private:
    const std::wstring* Find(std::wstring_view name) const;

    Map m_attributes;
};

// Reads "true" / "false" after leading blanks; anything else leaves value unchanged and answers false.
bool ReadBoolWord(std::wstring_view text, bool& value);

} // namespace Kestrin
