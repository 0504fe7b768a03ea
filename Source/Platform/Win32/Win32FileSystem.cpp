#include "Platform/Win32/Win32FileSystem.h"

#include "Base/Text.h"
#include "Framework/Paths.h"
#include "Platform/Shim/Win32/Files.h"
#include "Platform/Win32/Win32FileStream.h"

#include <set>
#include <utility>

namespace Kestrin
{

namespace
{
std::wstring LowerAscii(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = wchar_t(c - L'A' + L'a');
    return text;
}

bool EqualsIgnoreCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

std::string FolderPart(const FileSpec& fileSpec)
{
    return ToUtf8(fileSpec.FolderOrDot());
}
} // namespace

// --- partition

Win32FileSystemPartition::Win32FileSystemPartition(std::wstring root)
    : m_root(std::move(root)), m_rootUtf8(ToUtf8(m_root))
{
    if (m_rootUtf8.empty())
        m_rootUtf8 = ".";
}

void Win32FileSystemPartition::SplitFileName(const std::wstring& fileName, std::wstring& name,
                                             std::wstring& extension)
{
    size_t dot = fileName.find_last_of(L'.');
    if (dot == std::wstring::npos)
    {
        name = fileName;
        extension.clear();
    }
    else
    {
        name = fileName.substr(0, dot);
        extension = fileName.substr(dot);
    }
}

std::string Win32FileSystemPartition::PathOf(const FileSpec& fileSpec) const
{
    return Win32Shim::ResolvePath(m_rootUtf8,
                                  FolderPart(fileSpec) + "/" + ToUtf8(fileSpec.name + fileSpec.extension));
}

int Win32FileSystemPartition::GetIndexCount() const
{
    std::lock_guard lock(m_mutex);
    return m_indexCount;
}

size_t Win32FileSystemPartition::GetIndexedNameCount() const
{
    std::lock_guard lock(m_mutex);
    return m_index.size();
}

bool Win32FileSystemPartition::Exists(FileSpec& fileSpec)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_indexCount > 0)
        {
            auto it = m_index.find(LowerAscii(fileSpec.name));
            if (it != m_index.end())
                for (const sFileRecord& record : *it->second)
                    if (EqualsIgnoreCase(record.extension, fileSpec.extension))
                    {
                        fileSpec.extension = record.extension;
                        fileSpec.folder = record.folder;
                        return true;
                    }
        }
    }
    // Also asked while indexed: a file written after the scan (a new account) or a name with a
    // folder in it is still there on disk, and must not be reported missing.
    return Win32Shim::IsFile(PathOf(fileSpec));
}

bool Win32FileSystemPartition::ListFiles(const FileSpec& fileSpec, std::vector<FileSpec>& found)
{
    if (!fileSpec.folder)
        return false;
    std::string folder = Win32Shim::ResolvePath(m_rootUtf8, ToUtf8(*fileSpec.folder));
    if (!Win32Shim::IsFolder(folder))
        return false;
    std::string pattern = ToUtf8(fileSpec.name + fileSpec.extension);
    for (const Win32Shim::FolderEntry& entry : Win32Shim::ListFolder(folder))
    {
        if (!entry.isFile || !Win32Shim::MatchWildcard(pattern, entry.name))
            continue;
        std::wstring name;
        std::wstring extension;
        SplitFileName(FromUtf8(entry.name), name, extension);
        found.emplace_back(fileSpec.location, name, fileSpec.extension, fileSpec.folder);
    }
    return true;
}

IStream* Win32FileSystemPartition::Open(const FileSpec& fileSpec, int access, int mode)
{
    int fd = Win32Shim::CreateFile(PathOf(fileSpec), access, mode);
    if (fd < 0)
        return nullptr;
    // The stream is named after the file as asked for, whatever its case on disk.
    return new Win32FileStream(fd, ToUtf8(fileSpec.name + fileSpec.extension),
                               (access & IFileSystem::AccessRead) != 0,
                               (access & IFileSystem::AccessWrite) != 0);
}

bool Win32FileSystemPartition::Delete(const FileSpec& fileSpec)
{
    return Win32Shim::DeleteFile(PathOf(fileSpec));
}

bool Win32FileSystemPartition::Rename(const FileSpec& from, const FileSpec& to)
{
    return Win32Shim::MoveFileReplacing(PathOf(from), PathOf(to));
}

void Win32FileSystemPartition::BeginIndexing()
{
    std::lock_guard lock(m_mutex);
    if (m_indexCount++ == 0)
        Scan();
}

void Win32FileSystemPartition::EndIndexing()
{
    std::lock_guard lock(m_mutex);
    if (m_indexCount == 0)
        return; // unbalanced; never below zero
    if (--m_indexCount == 0)
        m_index.clear();
}

void Win32FileSystemPartition::Scan()
{
    m_index.clear();
    m_index.max_load_factor(0.75f);
    m_index.rehash(4096);

    // Folders reached twice through links are scanned once, so a link loop cannot recurse for ever.
    std::set<std::pair<unsigned long long, unsigned long long>> seen;
    auto scan = [&](auto& self, const std::string& path, const std::wstring& relative) -> void
    {
        std::pair<unsigned long long, unsigned long long> id;
        if (!Win32Shim::FolderIdentity(path, id.first, id.second) || !seen.insert(id).second)
            return;
        for (const Win32Shim::FolderEntry& entry : Win32Shim::ListFolder(path))
        {
            std::wstring wideName = FromUtf8(entry.name);
            if (entry.isFolder)
            {
                if (entry.name[0] != '.')
                    self(self, path + "/" + entry.name,
                         relative == L"." ? wideName : relative + L"/" + wideName);
            }
            else if (entry.isFile)
            {
                std::wstring name;
                std::wstring extension;
                SplitFileName(wideName, name, extension);
                std::shared_ptr<RecordList>& records = m_index[LowerAscii(name)];
                if (!records)
                    records = std::make_shared<RecordList>();
                records->push_back({extension, relative});
            }
        }
    };
    scan(scan, m_rootUtf8, L".");
}

// --- file system

Win32FileSystem::Win32FileSystem()
{
    SetFileSystem(this);
}

Win32FileSystem::~Win32FileSystem()
{
    UnregisterFileSystem(this);
}

void Win32FileSystem::AddPartition(int location, IFileSystemPartition* partition)
{
    std::unique_lock lock(m_mutex);
    m_partitions[location].emplace_back(partition);
}

void Win32FileSystem::DeleteAllPartitions()
{
    std::unique_lock lock(m_mutex);
    m_partitions.clear();
}

IStream* Win32FileSystem::Open(const FileSpec& fileSpec, int access, int mode)
{
    std::shared_lock lock(m_mutex);
    auto it = m_partitions.find(fileSpec.location);
    if (it == m_partitions.end())
        return nullptr;
    for (const auto& partition : it->second)
        if (IStream* stream = partition->Open(fileSpec, access, mode))
            return stream;
    return nullptr;
}

void Win32FileSystem::Close(IStream* stream)
{
    delete stream;
}

void Win32FileSystem::BeginIndexing()
{
    std::shared_lock lock(m_mutex);
    for (const auto& [location, partitions] : m_partitions)
        for (const auto& partition : partitions)
            partition->BeginIndexing();
}

void Win32FileSystem::EndIndexing()
{
    std::shared_lock lock(m_mutex);
    for (const auto& [location, partitions] : m_partitions)
        for (const auto& partition : partitions)
            partition->EndIndexing();
}

bool Win32FileSystem::Exists(FileSpec& fileSpec)
{
    std::shared_lock lock(m_mutex);
    auto it = m_partitions.find(fileSpec.location);
    if (it == m_partitions.end())
        return false;
    for (const auto& partition : it->second)
        if (partition->Exists(fileSpec))
            return true;
    return false;
}

bool Win32FileSystem::ListFiles(const FileSpec& fileSpec, std::vector<FileSpec>& found)
{
    std::shared_lock lock(m_mutex);
    auto it = m_partitions.find(fileSpec.location);
    if (it == m_partitions.end())
        return false;
    for (const auto& partition : it->second)
        if (partition->ListFiles(fileSpec, found))
            return true;
    return false;
}

bool Win32FileSystem::Delete(const FileSpec& fileSpec)
{
    std::shared_lock lock(m_mutex);
    auto it = m_partitions.find(fileSpec.location);
    if (it == m_partitions.end())
        return false;
    bool result = false;
    for (const auto& partition : it->second)
        result = partition->Delete(fileSpec);
    return result;
}

bool Win32FileSystem::Sync(IStream* stream)
{
    auto* file = dynamic_cast<Win32FileStream*>(stream);
    return file && file->Sync();
}

bool Win32FileSystem::Rename(const FileSpec& from, const FileSpec& to)
{
    // A move never crosses locations: their partitions may lie on different disks.
    if (from.location != to.location)
        return false;
    std::shared_lock lock(m_mutex);
    auto it = m_partitions.find(from.location);
    if (it == m_partitions.end())
        return false;
    for (const auto& partition : it->second)
        if (partition->Rename(from, to))
            return true;
    return false;
}

Win32FileSystem* Win32FileSystem::CreateDefault()
{
    auto* fileSystem = new Win32FileSystem;
    const std::wstring data = GetDataFolder();
    fileSystem->AddPartition(0, new Win32FileSystemPartition(data));
    fileSystem->AddPartition(1, new Win32FileSystemPartition(data));
    fileSystem->AddPartition(2, new Win32FileSystemPartition(GetAppDataFolder()));
    return fileSystem;
}

void InstallWin32FileSystemFactory()
{
    SetFileSystemFactory([]() -> IFileSystem* { return Win32FileSystem::CreateDefault(); });
}

} // namespace Kestrin
