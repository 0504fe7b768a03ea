#include "Framework/FileSystem.h"

#include "Base/Stream.h"
#include "Framework/Singletons.h"

#include <mutex>

namespace Kestrin
{

namespace
{
// Recursive: the factory runs under the lock and its file system registers itself.
std::recursive_mutex g_mutex;
IFileSystem* g_fileSystem = nullptr;
FileSystemFactory g_factory = nullptr;

Internal::PointerSingletonDestructor<IFileSystem, SingletonOrder::FileSystem> g_guard(g_fileSystem);
} // namespace

IFileSystem* GetFileSystem()
{
    std::lock_guard lock(g_mutex);
    if (!g_fileSystem && g_factory)
    {
        // The made file system normally registers itself while it is constructed.
        IFileSystem* made = g_factory();
        if (!g_fileSystem)
            g_fileSystem = made;
    }
    return g_fileSystem;
}

void SetFileSystem(IFileSystem* fileSystem)
{
    std::lock_guard lock(g_mutex);
    g_fileSystem = fileSystem;
}

void UnregisterFileSystem(IFileSystem* fileSystem)
{
    std::lock_guard lock(g_mutex);
    if (g_fileSystem == fileSystem)
        g_fileSystem = nullptr;
}

void SetFileSystemFactory(FileSystemFactory factory)
{
    std::lock_guard lock(g_mutex);
    g_factory = factory;
}

void FileSystemCloser::operator()(IStream* stream) const
{
    if (fileSystem)
        fileSystem->Close(stream);
    else
        delete stream;
}

FileStreamPtr OpenFile(const FileSpec& fileSpec, int access, int mode)
{
    IFileSystem* fileSystem = GetFileSystem();
    if (!fileSystem)
        return FileStreamPtr(nullptr, FileSystemCloser{});
    return FileStreamPtr(fileSystem->Open(fileSpec, access, mode), FileSystemCloser{fileSystem});
}

std::unique_ptr<uint8_t[]> ReadWholeFile(const FileSpec& fileSpec, uint32_t& size)
{
    FileStreamPtr stream = OpenFile(fileSpec, IFileSystem::AccessRead, IFileSystem::OpenExisting);
    if (!stream)
        return nullptr;
    uint32_t total = stream->GetSize();
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[total ? total : 1]);
    size = stream->Read(bytes.get(), total);
    return bytes;
}

} // namespace Kestrin
