#pragma once
#include <functional>
#include <memory>
#include <string>

namespace Kestrin
{

class IStream;
class Image;

// Opens a data file by name and extension (".gif"), answering null when there is none.
// The virtual file system plugs in here; lookups are case-insensitive there.
using ImageFileOpener =
    std::function<std::shared_ptr<IStream>(const std::wstring& name, const std::wstring& extension)>;

// The opener LoadImage uses when given none; null restores the file system's.
void SetImageFileOpener(ImageFileOpener opener);
// The opener set, else the one over the global file system: game data (location 1) by bare name,
// found in any folder while the file system is indexing.
ImageFileOpener GetDataFileOpener();
// Opens through the global file system as GetDataFileOpener's default does; null when it lacks the file.
std::shared_ptr<IStream> OpenDataFile(const std::wstring& name, const std::wstring& extension);

// Fills the image from "<name>.gif", ".jpg" or ".png" (the first that opens), with the alpha of
// "<name>_mask" (".gif", ".png", ".jpg") when one of those fits. Answers the image, or null after
// logging why; the image is then left as it was.
Image* LoadImage(const std::wstring& name, Image& image, const ImageFileOpener& opener);
Image* LoadImage(const std::wstring& name, Image& image);

} // namespace Kestrin
