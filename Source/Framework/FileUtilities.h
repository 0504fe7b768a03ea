#pragma once
#include "Base/FileSpec.h"

#include <cstdint>
#include <string>

namespace Kestrin
{

// Gives fileSpec a free random name: the decimal text of trunc(r * 100000000) for r the next float of
// random stream 2, drawn again while the global file system reports such a file. The location,
// extension and folder are kept. Throws engine_error when stream 2 has not been set up.
void MakeUniqueRandomFileSpec(FileSpec& fileSpec);

// Replaces the whole content of a file so that a crash or a full disk never leaves it empty or
// half written: the bytes go to "<name><extension>.tmp" beside it, which is synced to the disk and
// then renamed over the file. On failure the file is as it was, the temporary file is removed,
// and error (when given) says which step failed.
bool ReplaceFileContents(const FileSpec& fileSpec, const void* data, uint32_t size,
                         std::string* error = nullptr);

// The name of the temporary file ReplaceFileContents writes for fileSpec.
FileSpec TemporaryFileSpec(const FileSpec& fileSpec);

} // namespace Kestrin
