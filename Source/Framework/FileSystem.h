#pragma once
#include "Base/FileSpec.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Kestrin
{

class IStream;

// One folder tree that a location of the file system reads from.
class IFileSystemPartition
{
public:
    virtual ~IFileSystemPartition() = default;
    // May rewrite fileSpec's folder and extension to where an index found the file.
    virtual bool Exists(FileSpec& fileSpec) = 0;
    // Appends what matches fileSpec (name may be "*"); false when the partition cannot answer.
    virtual bool ListFiles(const FileSpec& fileSpec, std::vector<FileSpec>& found) = 0;
    virtual IStream* Open(const FileSpec& fileSpec, int access, int mode) = 0;
    virtual bool Delete(const FileSpec& fileSpec) = 0;
    virtual void BeginIndexing() = 0;
    virtual void EndIndexing() = 0;
    // Moves from over to (replacing it) and makes the move durable; false when it did not happen.
    virtual bool Rename(const FileSpec& /*from*/, const FileSpec& /*to*/) { return false; }
};

// Every file the engine and the game open goes through the one global file system. A location key
// (1 game data, 2 per-user data) selects an ordered list of partitions.
class IFileSystem
{
public:
    // Open access.
    static constexpr int AccessRead = 1;
    static constexpr int AccessWrite = 2;
    static constexpr int AccessReadWrite = 3;
    // Open modes.
    static constexpr int CreateAlways = 0; // create, or truncate an existing file
    static constexpr int CreateNew = 1;    // fail when the file exists
    static constexpr int OpenAlways = 2;   // open, or create a missing file
    static constexpr int OpenExisting = 3; // fail when the file is missing

    virtual ~IFileSystem() = default;
    // Start hook, called once its partitions are set up.
    virtual void Initialize() {}
    virtual void DeleteAllPartitions() = 0;
    // The first partition that opens the file wins; null when none does. Give the stream back with Close.
    virtual IStream* Open(const FileSpec& fileSpec, int access, int mode) = 0;
    virtual void Close(IStream* stream) = 0;
    // Counted: the first Begin indexes every partition's tree, the last End drops the index.
    virtual void BeginIndexing() = 0;
    virtual void EndIndexing() = 0;
    // True when a partition finds the file; an indexed partition may rewrite fileSpec's folder and
    // extension to where the file lies, so a following Open finds it there.
    virtual bool Exists(FileSpec& fileSpec) = 0;
    // The first partition that can answer appends the matches; needs a folder ("." for the root).
    virtual bool ListFiles(const FileSpec& fileSpec, std::vector<FileSpec>& found) = 0;
    // Asks every partition of the location; answers the last one's result.
    virtual bool Delete(const FileSpec& fileSpec) = 0;
    // Pushes what was written to a stream it opened down to the disk. A file system that cannot
    // promise that answers false, so nothing that relies on it takes a write for safe.
    virtual bool Sync(IStream* /*stream*/) { return false; }
    // Moves a file over another of the same location, replacing it, durably (the folder too).
    // The first partition that manages it wins; false when none does.
    virtual bool Rename(const FileSpec& /*from*/, const FileSpec& /*to*/) { return false; }
};

// The global file system, made through the installed factory on first use (null while there is
// neither). A file system becomes the global one when it is constructed; engine shutdown deletes it.
IFileSystem* GetFileSystem();
void SetFileSystem(IFileSystem* fileSystem);
// Clears the global pointer when it is this file system (its destructor calls this).
void UnregisterFileSystem(IFileSystem* fileSystem);
// The platform installs the maker of the real file system; tests may install their own.
using FileSystemFactory = IFileSystem* (*)();
void SetFileSystemFactory(FileSystemFactory factory);

// Gives a stream back to the file system that opened it.
struct FileSystemCloser
{
    IFileSystem* fileSystem = nullptr;
    void operator()(IStream* stream) const;
};
using FileStreamPtr = std::unique_ptr<IStream, FileSystemCloser>;

// Opens through the global file system; empty when there is none or the file does not open.
FileStreamPtr OpenFile(const FileSpec& fileSpec, int access, int mode);

// The whole file, opened for reading as an existing file. Null, with size untouched, when the
// file does not open; otherwise size is the number of bytes actually read.
std::unique_ptr<uint8_t[]> ReadWholeFile(const FileSpec& fileSpec, uint32_t& size);

} // namespace Kestrin
