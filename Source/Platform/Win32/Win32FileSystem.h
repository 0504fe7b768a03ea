#pragma once
#include "Framework/FileSystem.h"

#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace Kestrin
{

// One folder tree on disk. Lookups ignore ASCII case in every path component. While indexed, a
// file is found by name and extension in any folder below the root.
class Win32FileSystemPartition : public IFileSystemPartition
{
public:
    struct sFileRecord
    {
        std::wstring extension; // with its dot, as on disk
        std::wstring folder;    // relative to the root, "." for the root itself
    };

    explicit Win32FileSystemPartition(std::wstring root);

    bool Exists(FileSpec& fileSpec) override;
    bool ListFiles(const FileSpec& fileSpec, std::vector<FileSpec>& found) override;
    IStream* Open(const FileSpec& fileSpec, int access, int mode) override;
    bool Delete(const FileSpec& fileSpec) override;
    void BeginIndexing() override;
    void EndIndexing() override;
    bool Rename(const FileSpec& from, const FileSpec& to) override;

    const std::wstring& GetRoot() const { return m_root; }
    int GetIndexCount() const;
    // Distinct names (without extension) in the index.
    size_t GetIndexedNameCount() const;

    // "Intro.xml" -> "Intro" and ".xml"; a name without a dot has no extension.
    static void SplitFileName(const std::wstring& fileName, std::wstring& name, std::wstring& extension);

private:
    using RecordList = std::vector<sFileRecord>;

    std::string PathOf(const FileSpec& fileSpec) const;
    void Scan();

    std::wstring m_root;
    std::string m_rootUtf8;
    // The loading thread and the main thread both look files up.
    mutable std::mutex m_mutex;
    int m_indexCount = 0;
    // Keyed by the name without extension, lower-cased (ASCII).
    std::unordered_map<std::wstring, std::shared_ptr<RecordList>> m_index;
};

// The engine's file system: location keys, each with an ordered list of partitions.
// The global file system from construction on; engine shutdown deletes it.
class Win32FileSystem : public IFileSystem
{
public:
    Win32FileSystem();
    ~Win32FileSystem() override;
    Win32FileSystem(const Win32FileSystem&) = delete;
    Win32FileSystem& operator=(const Win32FileSystem&) = delete;

    // Takes ownership; the partition is asked after those added earlier under the same key.
    void AddPartition(int location, IFileSystemPartition* partition);

    void DeleteAllPartitions() override;
    IStream* Open(const FileSpec& fileSpec, int access, int mode) override;
    void Close(IStream* stream) override;
    void BeginIndexing() override;
    void EndIndexing() override;
    bool Exists(FileSpec& fileSpec) override;
    bool ListFiles(const FileSpec& fileSpec, std::vector<FileSpec>& found) override;
    bool Delete(const FileSpec& fileSpec) override;
    // Streams this file system opened are file streams: fsync.
    bool Sync(IStream* stream) override;
    bool Rename(const FileSpec& from, const FileSpec& to) override;

    // The game's file system: keys 0 and 1 the data tree beside the program ("data" in the
    // program's folder), key 2 the per-user folder.
    static Win32FileSystem* CreateDefault();

private:
    std::shared_mutex m_mutex;
    std::map<int, std::vector<std::unique_ptr<IFileSystemPartition>>> m_partitions;
};

// Makes the global file system accessor build the game's file system on first use.
void InstallWin32FileSystemFactory();

} // namespace Kestrin
