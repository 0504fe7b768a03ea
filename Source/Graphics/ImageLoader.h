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
using ImageFileOpener = std::function<std::shared_ptr<IStream>(const std::wstring& name, const std::wstring& extension)>;

// The opener LoadImage uses when given none.
void SetImageFileOpener(ImageFileOpener opener);

// Fills the image from "<name>.gif", ".jpg" or ".png" (the first that opens), with the alpha of
// "<name>_mask" (".gif", ".png", ".jpg") when one of those fits. Answers the image, or null after
// logging why; the image is then left as it was.
Image* LoadImage(const std::wstring& name, Image& image, const ImageFileOpener& opener);
Image* LoadImage(const std::wstring& name, Image& image);

} // namespace Kestrin
