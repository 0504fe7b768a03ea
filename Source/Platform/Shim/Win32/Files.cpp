#include "Platform/Shim/Win32/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Win32Shim
{

namespace
{
char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    std::string out = folder;
    if (out.back() != '/')
        out += '/';
    out += name;
    return out;
}
} // namespace

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

bool MatchWildcard(std::string_view pattern, std::string_view name)
{
    // Iterative matcher with one backtrack point for the last '*'.
    size_t p = 0;
    size_t n = 0;
    size_t starP = std::string_view::npos;
    size_t starN = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && pattern[p] == '*')
        {
            starP = p++;
            starN = n;
        }
        else if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n])))
        {
            ++p;
            ++n;
        }
        else if (starP != std::string_view::npos)
        {
            p = starP + 1;
            n = ++starN;
        }
        else
        {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<FolderEntry> ListFolder(const std::string& path)
{
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
    if (!dir)
        return entries;
    while (dirent* e = ::readdir(dir))
    {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        FolderEntry entry;
        entry.name = name;
        struct stat st;
        if (::stat(Join(path, name).c_str(), &st) == 0)
        {
            entry.isFolder = S_ISDIR(st.st_mode);
            entry.isFile = S_ISREG(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    // readdir's order is unspecified; sorting makes every lookup and index deterministic.
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

std::string ResolvePath(const std::string& root, std::string_view relative)
{
    std::string path = root;
    bool resolving = true;
    size_t start = 0;
    while (start <= relative.size())
    {
        size_t slash = relative.find('/', start);
        std::string_view part =
            relative.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        start = slash == std::string_view::npos ? relative.size() + 1 : slash + 1;
        if (part.empty() || part == ".")
            continue;
        std::string exact = Join(path, part);
        if (!resolving || part == ".." || Exists(exact))
        {
            path = std::move(exact);
            continue;
        }
        std::string match;
        for (const FolderEntry& entry : ListFolder(path))
            if (EqualsIgnoreAsciiCase(entry.name, part))
            {
                match = entry.name;
                break;
            }
        if (match.empty())
        {
            resolving = false;
            path = std::move(exact);
        }
        else
        {
            path = Join(path, match);
        }
    }
    return path;
}

int CreateFile(const std::string& path, int access, int creation, FileError* error)
{
    auto fail = [&](FileError e)
    {
        if (error)
            *error = e;
        return -1;
    };
    int flags = O_CLOEXEC;
    switch (access)
    {
    case AccessRead:
        flags |= O_RDONLY;
        break;
    case AccessWrite:
        flags |= O_WRONLY;
        break;
    case AccessReadWrite:
        flags |= O_RDWR;
        break;
    default:
        return fail(FileBadParameter);
    }
    switch (creation)
    {
    case CreateAlways:
        flags |= O_CREAT | O_TRUNC;
        break;
    case CreateNew:
        flags |= O_CREAT | O_EXCL;
        break;
    case OpenAlways:
        flags |= O_CREAT;
        break;
    case OpenExisting:
        break;
    default:
        return fail(FileBadParameter);
    }
    // Only regular files: a folder is no file, and opening a pipe or device could block.
    struct stat before;
    if (::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode))
        return fail(S_ISDIR(before.st_mode) ? FileIsFolder : FileOtherError);
    int fd;
    do
        fd = ::open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
    {
        switch (errno)
        {
        case ENOENT:
        case ENOTDIR:
            return fail(FileNotFound);
        case EEXIST:
            return fail(FileAlreadyExists);
        case EACCES:
        case EPERM:
        case EROFS:
            return fail(FileAccessDenied);
        case EISDIR:
            return fail(FileIsFolder);
        default:
            return fail(FileOtherError);
        }
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return fail(FileOtherError);
    }
    if (error)
        *error = FileOk;
    return fd;
}

bool DeleteFile(const std::string& path)
{
    return IsFile(path) && ::unlink(path.c_str()) == 0;
}

bool SyncFolder(const std::string& path)
{
    int fd;
    do
        fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

namespace
{
std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
} // namespace

bool MoveFileReplacing(const std::string& from, const std::string& to)
{
    // Only files: renaming a folder, or over one, is never what a caller of this wants.
    if (!IsFile(from) || IsFolder(to))
        return false;
    if (::rename(from.c_str(), to.c_str()) != 0)
        return false;
    // Without this the new name may still be lost in a crash even though the data is on disk.
    // Best effort: some file systems refuse to sync folders, and the move has happened anyway.
    std::string target = FolderOf(to);
    SyncFolder(target);
    std::string source = FolderOf(from);
    if (source != target)
        SyncFolder(source);
    return true;
}

bool IsFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FolderIdentity(const std::string& path, unsigned long long& device, unsigned long long& inode)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    device = st.st_dev;
    inode = st.st_ino;
    return true;
}

} // namespace Win32Shim
