#pragma once
#include <optional>
#include <string>

namespace Kestrin
{

// Names one file for the file system. location: 1 game data beside the program, 2 per-user data.
// name "*" lists every file; extension carries its dot (".xml"); the folder is relative to the
// location's root, "." for the root itself, or none. Holds its own copies of the texts.
struct FileSpec
{
    int location = 1;
    std::wstring name;
    std::wstring extension;
    std::optional<std::wstring> folder;

    FileSpec() = default;
    FileSpec(int location_, std::wstring name_, std::wstring extension_,
             std::optional<std::wstring> folder_ = std::nullopt)
        : location(location_), name(std::move(name_)), extension(std::move(extension_)),
          folder(std::move(folder_))
    {
    }

    // Location 1, no folder: how resource groups and data files are named.
    static FileSpec FromNameAndExtension(std::wstring name, std::wstring extension)
    {
        return FileSpec(1, std::move(name), std::move(extension));
    }

    void CopyFrom(const FileSpec& other) { *this = other; }

    // The folder, or "." when there is none.
    std::wstring FolderOrDot() const { return folder ? *folder : std::wstring(L"."); }

    bool operator==(const FileSpec&) const = default;
};

} // namespace Kestrin
