#pragma once
// Everything the art generator makes, in memory, and its writing into the data and docs trees.
#include "Family.h"
#include "Writers.h"

#include <filesystem>
#include <string>
#include <vector>

namespace DataGen
{
enum class Root
{
    Data,
    Docs
};

struct Output
{
    Root root = Root::Data;
    std::string path; // '/'-separated, relative to its root
    std::string family;
    Bytes bytes;
    int width = 0, height = 0; // images only
    bool inManifest = false;
};

struct Generated
{
    std::vector<Output> files; // images and contact sheets
    std::string manifest;      // images/manifest.tsv
    std::string section;       // the image section of groups/resources.xml, markers included
};

inline constexpr const char* ManifestFile = "images/manifest.tsv";
inline constexpr const char* ResourceFile = "groups/resources.xml";
inline constexpr const char* ImageSection = "image";

// Paints every family (in parallel, each family on one thread) and encodes the results.
// Throws when two files share a bare name or a name is not plain ASCII.
Generated GenerateAll();

// `*` and `?` wildcards, ASCII case ignored.
bool MatchesPattern(const std::string& pattern, const std::string& text);

// True when `pattern` selects at least one family or image.
bool AnyMatches(const Generated& g, const std::string& pattern);

// Writes the files of the families matching `pattern` (all when empty) and, always, the whole
// manifest and the image section of the resource file, whose other sections stay as they are.
// Answers the number of files written.
size_t WriteAll(const std::filesystem::path& dataRoot, const std::filesystem::path& docsRoot,
                const Generated& g, const std::string& pattern = "");

// `existing` with the section `name` replaced by `section`, or `section` added before the
// closing root tag; a new file when `existing` is empty. Throws on unbalanced markers.
std::string SpliceSection(const std::string& existing, const std::string& name, const std::string& section);
std::string ExtractSection(const std::string& file, const std::string& name);

Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);

// The review sheet of one family: every frame labelled, on a checker that shows the alpha.
Canvas ContactSheet(const Family& family, const FamilyArt& art);
} // namespace DataGen
