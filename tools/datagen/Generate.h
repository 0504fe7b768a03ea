#pragma once
// Everything the art generator makes, in memory, and its writing into the data and docs trees.
#include "Family.h"
#include "TextTable.h"
#include "Writers.h"

#include <filesystem>
#include <map>
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
    std::string captions;      // images/captions.tsv
    // Per resource group, the image section of groups/<group>.xml, markers included.
    std::map<std::string, std::string> sections;
    // Per group, the sprite section (records derived from the pictures), for the groups that have one.
    std::map<std::string, std::string> spriteSections;
};

inline constexpr const char* ManifestFile = "images/manifest.tsv";
inline constexpr const char* CaptionFile = "images/captions.tsv";
inline constexpr const char* ResourceFile = "groups/resources.xml";
inline constexpr const char* ImageSection = "image";
inline constexpr const char* SpriteSection = "sprite";
// The text table, at the data root.
inline constexpr const char* TextTableFile = "AllGameText_Export.xml";

// groups/<group>.xml
std::string GroupFile(const std::string& group);

// Paints every family (in parallel, each family on one thread) and encodes the results; the
// families that bake text read it from `text`. Throws when two files share a bare name, a name is
// not plain ASCII or a text key is missing.
Generated GenerateAll(const TextTable* text);

// `*` and `?` wildcards, ASCII case ignored.
bool MatchesPattern(const std::string& pattern, const std::string& text);

// True when `pattern` selects at least one family or image.
bool AnyMatches(const Generated& g, const std::string& pattern);

// Writes the files of the families matching `pattern` (all when empty) and, always, the whole
// manifest, the caption areas and the image section of every group file, whose other content stays as it is;
// a missing group file is made with just the section. Answers the number of files written.
size_t WriteAll(const std::filesystem::path& dataRoot, const std::filesystem::path& docsRoot,
                const Generated& g, const std::string& pattern = "");

// `existing` with the section `name` replaced by `section`, or `section` added on the line after
// the root's start tag (images come before the sprite types that name them), or any other section
// added right after the image section when there is one; a new file of
// `group` when `existing` is empty. Throws on unbalanced markers or a file without a root.
std::string SpliceSection(const std::string& existing, const std::string& name, const std::string& section,
                          const std::string& group = "resources");
std::string ExtractSection(const std::string& file, const std::string& name);

Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);

// The review sheet of one family: every frame labelled, on a checker that shows the alpha.
Canvas ContactSheet(const Family& family, const FamilyArt& art);
} // namespace DataGen
