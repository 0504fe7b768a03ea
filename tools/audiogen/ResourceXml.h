#pragma once
// The audio records of the "resources" group. Several generators share
// groups/resources.xml: each owns one section between marker comments and rewrites
// only that section, so their records never overwrite each other's.
#include <string>

namespace AudioGen
{
// The audio section, markers included.
std::string AudioResourceSection();

// `existing` with the section `name` replaced by `section` (which carries its own
// markers); an empty `existing` gives a new file with that one section. A section that
// is not there yet goes before the closing root tag. Throws std::runtime_error when
// `existing` has no root to insert into or unbalanced markers.
std::string SpliceSection(const std::string& existing, const std::string& name, const std::string& section);

// The section `name` of a file, markers included, or empty when absent.
std::string ExtractSection(const std::string& file, const std::string& name);

std::string SectionBegin(const std::string& name);
std::string SectionEnd(const std::string& name);
} // namespace AudioGen
