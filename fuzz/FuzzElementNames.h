#pragma once
// The "name" attributes of one element kind in a fuzz input that reads as XML, so a target can
// look up what the input defined.

#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Base/XMLReader.h"

#include <string>
#include <vector>

inline std::vector<std::string> ElementNames(const uint8_t* data, size_t size, const wchar_t* element)
{
    std::vector<std::string> names;
    Kestrin::MemoryStream stream(L"names", data, uint32_t(size));
    try
    {
        Kestrin::XMLReader reader(&stream);
        while (!reader.IsAtEnd())
        {
            Kestrin::XMLElement* node = reader.Next();
            if (node && node->IsStart() && node->GetName() == element && node->HasAttribute(L"name"))
                names.push_back(Kestrin::NarrowString(node->GetString(L"name")));
        }
    }
    catch (const Kestrin::xml_error&)
    {
    }
    return names;
}
