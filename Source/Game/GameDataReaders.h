#pragma once
// The two attribute readers the game's data files add to the reader's own (text, int, float):
// enumerations by name and "0"/"1" flags. Both are strict and name the file and the line.
#include "Framework/LibXmlReader.h"
#include "Game/GameConstants.h"

#include <string>

// The index of the first table entry equal to the attribute's text (exact, case-sensitive).
// A text not in the table throws FileReadException
//     "<value>" is an invalid value for attribute "<name>"
// unless optional, which answers -1; so does a missing optional attribute.
int ReadEnumAttribute(const xmlpp::Node* node, const std::string& name, const char* const* table, int count,
                      const LibXmlReader& reader, bool optional = false);

// The same over a game enumeration's own names.
template <typename E>
E ReadEnumAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader)
{
    const auto& names = EnumNames<E>::names;
    return static_cast<E>(ReadEnumAttribute(node, name, names.data(), int(names.size()), reader));
}

// "1" is true and "0" false; any other text (words, blanks) throws FileReadException
//     couldn't convert attribute "<name>" to the correct type (bool)
// A missing optional attribute answers false with present false.
bool ReadBoolAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                       bool optional, bool& present);

// Numbers the game cannot run with are refused where they are read. Each refusal is a
// FileReadException on the node's line naming the attribute:
//     attribute "<name>" must be 0 or more | must be above 0
enum class Bound
{
    ZeroOrMore,
    AboveZero,
};
float ReadFloatAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                         Bound bound, bool optional = false, bool* present = nullptr);
int ReadIntAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                     Bound bound, bool optional = false, bool* present = nullptr);

// attribute "<minName>" must not be above "<maxName>"
void CheckMinNotAboveMax(const xmlpp::Node* node, const std::string& minName, float min,
                         const std::string& maxName, float max, const LibXmlReader& reader);

// FileReadException: attribute "<name>" <rule>
[[noreturn]] void RefuseAttribute(const xmlpp::Node* node, const std::string& name, const std::string& rule,
                                  const LibXmlReader& reader);

// Toward 0, saturating beyond int's range: the files write some counts as floats.
int TruncateToInt(float value);
