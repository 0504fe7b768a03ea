#include "Game/GameDataReaders.h"

#include "Base/FileExceptions.h"

#include <libxml++/libxml++.h>

#include <climits>

namespace
{
template <typename T>
T Bounded(T value, const xmlpp::Node* node, const std::string& name, Bound bound, const LibXmlReader& reader)
{
    if (bound == Bound::ZeroOrMore && value < T(0))
        RefuseAttribute(node, name, "must be 0 or more", reader);
    if (bound == Bound::AboveZero && value <= T(0))
        RefuseAttribute(node, name, "must be above 0", reader);
    return value;
}
} // namespace

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

float ReadFloatAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                         Bound bound, bool optional, bool* present)
{
    bool found = false;
    const float value = ReadFloatAttribute(node, name, reader, optional, &found);
    if (present)
        *present = found;
    return found ? Bounded(value, node, name, bound, reader) : value;
}

int ReadIntAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                     Bound bound, bool optional, bool* present)
{
    bool found = false;
    const int value = ReadIntAttribute(node, name, reader, optional, &found);
    if (present)
        *present = found;
    return found ? Bounded(value, node, name, bound, reader) : value;
}

void CheckMinNotAboveMax(const xmlpp::Node* node, const std::string& minName, float min,
                         const std::string& maxName, float max, const LibXmlReader& reader)
{
    if (min > max)
        RefuseAttribute(node, minName, "must not be above \"" + maxName + "\"", reader);
}

void RefuseAttribute(const xmlpp::Node* node, const std::string& name, const std::string& rule,
                     const LibXmlReader& reader)
{
    throw FileReadException(0, reader.GetFileName(), node ? node->get_line() : 0,
                            "attribute \"" + name + "\" " + rule);
}

int TruncateToInt(float value)
{
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return int(value);
}
