#include "Framework/FileUtilities.h"

#include "Base/Exceptions.h"
#include "Base/Random.h"
#include "Base/Stream.h"
#include "Framework/FileSystem.h"

#include <cmath>

namespace Kestrin
{

void MakeUniqueRandomFileSpec(FileSpec& fileSpec)
{
    IRandomNumberStream* stream = GetRandomStream(2);
    if (!stream)
        throw engine_error(KESTRIN_HERE, "Random-number stream 2 is not set up.");
    IFileSystem* fileSystem = GetFileSystem();
    for (;;)
    {
        fileSpec.name = std::to_wstring(int(std::trunc(double(stream->NextFloat()) * 100000000.0)));
        // Exists may rewrite what it is given to where an index found the file; fileSpec must keep
        // its own folder and extension.
        FileSpec probe = fileSpec;
        if (!fileSystem || !fileSystem->Exists(probe))
            return;
    }
}

FileSpec TemporaryFileSpec(const FileSpec& fileSpec)
{
    FileSpec temporary = fileSpec;
    // Appended to the extension, so "*.act" listings never see a half-made file.
    temporary.extension += L".tmp";
    return temporary;
}

bool ReplaceFileContents(const FileSpec& fileSpec, const void* data, uint32_t size, std::string* error)
{
    auto fail = [&](const char* what)
    {
        if (error)
            *error = what;
        return false;
    };
    IFileSystem* fileSystem = GetFileSystem();
    if (!fileSystem)
        return fail("there is no file system");

    const FileSpec temporary = TemporaryFileSpec(fileSpec);
    IStream* stream = fileSystem->Open(temporary, IFileSystem::AccessWrite, IFileSystem::CreateAlways);
    if (!stream)
        return fail("couldn't create the temporary file");
    const bool written = size == 0 || stream->Write(data, size) == size;
    const bool synced = written && fileSystem->Sync(stream);
    fileSystem->Close(stream);
    if (!written || !synced)
    {
        fileSystem->Delete(temporary);
        return fail(written ? "couldn't flush the temporary file to the disk"
                            : "couldn't write the temporary file");
    }
    if (!fileSystem->Rename(temporary, fileSpec))
    {
        fileSystem->Delete(temporary);
        return fail("couldn't move the temporary file over the file");
    }
    return true;
}

} // namespace Kestrin
