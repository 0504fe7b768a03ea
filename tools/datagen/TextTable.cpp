#include "TextTable.h"

#include "Base/Stream.h"
#include "Base/Text.h"
#include "Base/XMLReader.h"

#include <cctype>
#include <fstream>
#include <set>
#include <stdexcept>

namespace DataGen
{
TextTable TextTable::Load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read the text table " + file.string());
    const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return FromXml(xml, file.string());
}

TextTable TextTable::FromXml(const std::string& xml, const std::string& origin)
{
    TextTable table;
    table.origin_ = origin;
    Kestrin::MemoryStream stream(L"text table", xml.data(), static_cast<uint32_t>(xml.size()));
    Kestrin::XMLReader reader(&stream);
    std::set<std::string> folded;
    try
    {
        while (!reader.IsAtEnd())
        {
            const Kestrin::XMLElement* e = reader.Next();
            if (!e)
                break;
            if (!e->IsStart() || e->GetName() != L"string" || !e->HasAttribute(L"name"))
                continue;
            const std::string key = Kestrin::ToUtf8(e->GetString(L"name"));
            std::string lower = key;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (!folded.insert(lower).second)
                throw std::runtime_error(origin + " holds the key " + key + " twice");
            table.values_[key] = Kestrin::ToUtf8(e->GetString(L"value"));
        }
    }
    catch (const Kestrin::xml_error& e)
    {
        throw std::runtime_error(origin + " is not well-formed XML: " + e.what());
    }
    return table;
}

const std::string& TextTable::Get(const std::string& key) const
{
    const auto it = values_.find(key);
    if (it == values_.end())
        throw std::runtime_error("the text key " + key + " is missing from " +
                                 (origin_.empty() ? std::string("the text table") : origin_));
    return it->second;
}
} // namespace DataGen
