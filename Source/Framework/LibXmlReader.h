#pragma once
#include "Base/FileSpec.h"

#include <memory>
#include <string>
#include <vector>

namespace xmlpp
{
class DomParser;
class Element;
class Node;
} // namespace xmlpp

// Reads one game-data file whole into a document tree, through the file system. Blank text
// between elements is not kept, and every child walk sees elements only.
// Failures are exceptions: FileOpenException when the file is missing, FileReadException (file name
// and line) when it is not well-formed XML or something required is missing.
class LibXmlReader
{
public:
    explicit LibXmlReader(const Kestrin::FileSpec& fileSpec);
    virtual ~LibXmlReader();
    LibXmlReader(const LibXmlReader&) = delete;
    LibXmlReader& operator=(const LibXmlReader&) = delete;

    // Name and extension, narrowed byte-wise, for messages.
    std::string GetFileName() const;
    xmlpp::Element* GetRootElement() const;
    // The node's child elements of that name, in document order.
    static std::vector<xmlpp::Element*> GetChildElements(const xmlpp::Node* node, const std::string& name);
    // The one child element of that name; none or several throw with the parent's line.
    xmlpp::Element* GetRequiredChild(const xmlpp::Node* node, const std::string& name) const;

private:
    std::unique_ptr<xmlpp::DomParser> m_parser;
    std::wstring m_fileName;
};

xmlpp::Element* GetRequiredChild(const xmlpp::Node* node, const std::string& name,
                                 const LibXmlReader& reader);

// The attribute's text (UTF-8). found is set false, and "" answered, when node is not an element
// or lacks the attribute; unless optional that throws FileReadException with the node's line.
std::string ReadAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                          bool optional, bool& found);
std::string ReadRequiredAttribute(const xmlpp::Node* node, const std::string& name,
                                  const LibXmlReader& reader);

// The whole text must be a decimal number ("inf"/"nan" are not); otherwise FileReadException
// "couldn't convert attribute "<name>" to the correct type (float|int)". A missing optional
// attribute answers 0 and sets *present false.
float ReadFloatAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                         bool optional = false, bool* present = nullptr);
int ReadIntAttribute(const xmlpp::Node* node, const std::string& name, const LibXmlReader& reader,
                     bool optional = false, bool* present = nullptr);

// Index of the first entry equal to value (byte comparison), or -1; a count below 1 gives -1.
int FindStringIndex(const char* const* table, int count, const std::string& value);
