#include "Game/GameDataReaders.h"

#include "Base/FileExceptions.h"

#include <libxml++/libxml++.h>

int ReadEnumAttribute(const xmlpp::Node* node, const std::string& name, const char* const* table, int count,
                      const LibXmlReader& reader, bool optional)
{
    bool found = false;
    const std::string value = ReadAttribute(node, name, reader, optional, found);
    if (!found)
        return -1;
    const int index = FindStringIndex(table, count, value);
    if (index < 0 && !optional)
        throw FileReadException(0, reader.GetFileName(), node ? node->get_line() : 0,
                                "\"" + value + "\" is an invalid value for attribute \"" + name + "\"");
    return index;
}

bool ReadBoolAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                       bool optional, bool& present)
{
    const std::string value = ReadAttribute(node, name, reader, optional, present);
    if (!present)
        return false;
    if (value != "0" && value != "1")
        throw FileReadException(0, reader.GetFileName(), node ? node->get_line() : 0,
                                "couldn't convert attribute \"" + name + "\" to the correct type (bool)");
    return value == "1";
}
