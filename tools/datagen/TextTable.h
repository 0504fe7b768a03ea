#pragma once
// The game's text table, "AllGameText_Export.xml": the one source of every shown text, also of
// the text baked into pictures ("Img.*" keys). Read with the engine's own XML reader.
#include <filesystem>
#include <map>
#include <string>

namespace DataGen
{
class TextTable
{
public:
    TextTable() = default;
    // Every "string" element's name and value (UTF-8). Throws std::runtime_error when the file
    // cannot be read or parsed, or holds a key twice (the game refuses two resources of one name,
    // ignoring case).
    static TextTable Load(const std::filesystem::path& file);
    static TextTable FromXml(const std::string& xml, const std::string& origin = "text table");

    // The value of `key`; throws std::runtime_error naming the key and the file when it is absent.
    const std::string& Get(const std::string& key) const;
    bool Has(const std::string& key) const { return values_.count(key) != 0; }
    size_t Size() const { return values_.size(); }

private:
    std::string origin_;
    std::map<std::string, std::string> values_;
};
} // namespace DataGen
