#pragma once
#include "Base/Stream.h"
#include "Framework/FileSystem.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace KestrinTest
{

// An in-memory file system: files keyed by location, folder (or ".") and name plus extension,
// compared exactly. Streams opened for writing store their bytes back when closed.
class FakeFileSystem : public Kestrin::IFileSystem
{
public:
    using Key = std::tuple<int, std::wstring, std::wstring>;

    static Key KeyOf(const Kestrin::FileSpec& fileSpec)
    {
        return {fileSpec.location, fileSpec.FolderOrDot(), fileSpec.name + fileSpec.extension};
    }

    void AddFile(const Kestrin::FileSpec& fileSpec, const std::string& bytes)
    {
        files[KeyOf(fileSpec)] = bytes;
    }

    void DeleteAllPartitions() override { files.clear(); }
    Kestrin::IStream* Open(const Kestrin::FileSpec& fileSpec, int access, int mode) override
    {
        ++opens;
        auto it = files.find(KeyOf(fileSpec));
        if (it == files.end() && mode == OpenExisting)
            return nullptr;
        if (it != files.end() && mode == CreateNew)
            return nullptr;
        std::string bytes = it == files.end() || mode == CreateAlways ? std::string() : it->second;
        if (makeStream && access == AccessRead)
            return makeStream(fileSpec, bytes);
        auto* stream = new Kestrin::MemoryStream(fileSpec.name, bytes.data(), uint32_t(bytes.size()));
        stream->Seek(0, 0);
        if (access & AccessWrite)
            m_writers[stream] = KeyOf(fileSpec);
        return stream;
    }
    void Close(Kestrin::IStream* stream) override
    {
        ++closes;
        auto it = m_writers.find(stream);
        if (it != m_writers.end())
        {
            auto& bytes = static_cast<Kestrin::MemoryStream*>(stream)->Bytes();
            files[it->second] = std::string(bytes.begin(), bytes.end());
            m_writers.erase(it);
        }
        delete stream;
    }
    void BeginIndexing() override { ++indexDepth; }
    void EndIndexing() override { --indexDepth; }
    bool Exists(Kestrin::FileSpec& fileSpec) override { return files.count(KeyOf(fileSpec)) != 0; }
    bool ListFiles(const Kestrin::FileSpec&, std::vector<Kestrin::FileSpec>&) override { return false; }
    bool Delete(const Kestrin::FileSpec& fileSpec) override { return files.erase(KeyOf(fileSpec)) != 0; }

    std::map<Key, std::string> files;
    // When set, read-only opens get the stream this makes (short reads, failures...).
    std::function<Kestrin::IStream*(const Kestrin::FileSpec&, const std::string&)> makeStream;
    int opens = 0;
    int closes = 0;
    int indexDepth = 0;

private:
    std::map<Kestrin::IStream*, Key> m_writers;
};

// Makes a file system the global one for the lifetime of the scope.
class ScopedFileSystem
{
public:
    explicit ScopedFileSystem(Kestrin::IFileSystem* fileSystem) : m_fileSystem(fileSystem)
    {
        Kestrin::SetFileSystem(fileSystem);
    }
    ~ScopedFileSystem() { Kestrin::UnregisterFileSystem(m_fileSystem); }
    ScopedFileSystem(const ScopedFileSystem&) = delete;
    ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

private:
    Kestrin::IFileSystem* m_fileSystem;
};

} // namespace KestrinTest
