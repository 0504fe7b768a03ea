#pragma once
#include <string>
#include <string_view>
#include <vector>

// Files for the engine's file system classes: the operations they were designed around (create or
// open with an access and a creation mode, delete, folder search with wildcards), on POSIX.
// The data was named for a case-insensitive file system, so every path component below a root
// is matched ignoring ASCII case when the exact name is missing. Paths are UTF-8, '/' separated.
namespace Win32Shim
{

enum FileAccess
{
    AccessRead = 1,
    AccessWrite = 2,
    AccessReadWrite = 3,
};

enum FileCreation
{
    CreateAlways = 0, // create, or truncate an existing file
    CreateNew = 1,    // fail when it exists
    OpenAlways = 2,   // open, or create when missing
    OpenExisting = 3, // fail when missing
};

enum FileError
{
    FileOk = 0,
    FileNotFound,
    FileAlreadyExists,
    FileAccessDenied,
    FileIsFolder,
    FileBadParameter,
    FileOtherError,
};

struct FolderEntry
{
    std::string name;
    bool isFolder = false;
    bool isFile = false; // a regular file (links are followed)
};

// root joined with relative ("." and empty components skipped), each component of relative
// resolved ignoring ASCII case when the exact name does not exist. Where nothing matches, the
// rest is kept as given (so a file can be created there). Among several case variants the first
// in byte order wins.
std::string ResolvePath(const std::string& root, std::string_view relative);

// Opens a regular file; answers the descriptor or -1 with *error set.
int CreateFile(const std::string& path, int access, int creation, FileError* error = nullptr);
bool DeleteFile(const std::string& path);
// Moves a regular file over another path (replacing a file there) in one step, then syncs the
// folders involved so the move survives a crash. False when the move did not happen; a folder
// that cannot be synced does not undo a move that did.
bool MoveFileReplacing(const std::string& from, const std::string& to);
// Flushes a folder's entries (new, renamed and removed names) to the disk.
bool SyncFolder(const std::string& path);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);

// The entries of a folder, "." and ".." left out, sorted by name (byte order). Empty when the
// folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& path);

// '*' matches any run, '?' one character; letters compare ignoring ASCII case.
bool MatchWildcard(std::string_view pattern, std::string_view name);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// Identity of a folder (device and inode), so a scan can skip folders it has seen through links.
bool FolderIdentity(const std::string& path, unsigned long long& device, unsigned long long& inode);

} // namespace Win32Shim
