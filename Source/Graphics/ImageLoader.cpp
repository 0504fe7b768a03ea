#include "Graphics/ImageLoader.h"

#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Framework/FileSystem.h"
#include "Graphics/Image.h"
#include "Graphics/ImageDecoders.h"

#include <mutex>

namespace Kestrin
{

namespace
{

std::mutex g_openerMutex;
ImageFileOpener g_opener;

enum class Format
{
    Gif,
    Jpeg,
    Png
};

struct Candidate
{
    const wchar_t* extension;
    Format format;
};

const Candidate kImageOrder[] = {{L".gif", Format::Gif}, {L".jpg", Format::Jpeg}, {L".png", Format::Png}};
const Candidate kMaskOrder[] = {{L".gif", Format::Gif}, {L".png", Format::Png}, {L".jpg", Format::Jpeg}};

// Alpha from a mask file; false (after logging, if it was there but unusable) to try the next.
bool ApplyMask(const std::wstring& name, const std::string& utf8Name, const Candidate& candidate,
               const ImageFileOpener& opener, uint32_t* pixels, int width, int height)
{
    std::shared_ptr<IStream> stream = opener(name + L"_mask", candidate.extension);
    if (!stream)
        return false;

    int maskW = -1, maskH = -1;
    std::unique_ptr<uint8_t[]> grey;
    std::unique_ptr<uint32_t[]> words;
    if (candidate.format == Format::Gif)
    {
        GifFrameList frames;
        int frameCount = 0;
        grey = DecodeGifMask(*stream, maskW, maskH, frameCount, frames);
        FreeGifFrames(frames);
    }
    else if (candidate.format == Format::Png)
        words = DecodePng(stream.get(), maskW, maskH);
    else
        words = DecodeJpeg(*stream, maskW, maskH);

    if (!grey && !words)
    {
        LogPrintf("Image Mask %s could not be loaded.\n", utf8Name.c_str());
        maskW = maskH = -1;
    }
    if (maskW != width || maskH != height)
    {
        LogPrintf("Image %s had an alpha mask that was the wrong size.\n", utf8Name.c_str());
        return false;
    }
    const size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i)
    {
        const uint32_t alpha = grey ? grey[i] : (words[i] & 0xFF);
        pixels[i] = (alpha << 24) | (pixels[i] & 0x00FFFFFF);
    }
    return true;
}

} // namespace

void SetImageFileOpener(ImageFileOpener opener)
{
    std::lock_guard lock(g_openerMutex);
    g_opener = std::move(opener);
}

std::shared_ptr<IStream> OpenDataFile(const std::wstring& name, const std::wstring& extension)
{
    IFileSystem* fileSystem = GetFileSystem();
    if (!fileSystem)
        return nullptr;
    // Exists may point the fileSpec at the folder where an index found the file.
    FileSpec fileSpec = FileSpec::FromNameAndExtension(name, extension);
    if (!fileSystem->Exists(fileSpec))
        return nullptr;
    IStream* stream = fileSystem->Open(fileSpec, IFileSystem::AccessRead, IFileSystem::OpenExisting);
    if (!stream)
        return nullptr;
    return std::shared_ptr<IStream>(stream, [fileSystem](IStream* s) { fileSystem->Close(s); });
}

ImageFileOpener GetDataFileOpener()
{
    {
        std::lock_guard lock(g_openerMutex);
        if (g_opener)
            return g_opener;
    }
    return OpenDataFile;
}

Image* LoadImage(const std::wstring& name, Image& image)
{
    return LoadImage(name, image, GetDataFileOpener());
}

Image* LoadImage(const std::wstring& name, Image& image, const ImageFileOpener& opener)
{
    const std::string utf8Name = ToUtf8(name);
    std::shared_ptr<IStream> stream;
    const Candidate* found = nullptr;
    for (const Candidate& candidate : kImageOrder)
    {
        stream = opener(name, candidate.extension);
        if (stream)
        {
            found = &candidate;
            break;
        }
    }
    if (!found)
    {
        LogPrintf("Image %s was not found.\n", utf8Name.c_str());
        return nullptr;
    }

    int width = 0, height = 0;
    bool hasAlpha = false, hasOneBitAlpha = false;
    std::unique_ptr<uint32_t[]> pixels;
    switch (found->format)
    {
    case Format::Gif:
    {
        GifFrameList frames;
        int frameCount = 0;
        bool transparency = false;
        pixels = DecodeGif(*stream, width, height, transparency, frameCount, frames);
        FreeGifFrames(frames);
        hasAlpha = hasOneBitAlpha = transparency;
        break;
    }
    case Format::Jpeg:
        pixels = DecodeJpeg(*stream, width, height);
        break;
    case Format::Png:
        pixels = DecodePng(stream.get(), width, height);
        hasAlpha = true;
        break;
    }
    stream.reset();
    if (!pixels || width <= 0 || height <= 0)
    {
        LogPrintf("Image %s could not be loaded.\n", utf8Name.c_str());
        return nullptr;
    }

    for (const Candidate& candidate : kMaskOrder)
    {
        if (ApplyMask(name, utf8Name, candidate, opener, pixels.get(), width, height))
        {
            hasAlpha = true;
            hasOneBitAlpha = false;
            break;
        }
    }

    image.SetRotationCache(nullptr);
    image.SetPixels(std::move(pixels), width, height);
    image.hasAlpha = hasAlpha;
    image.hasOneBitAlpha = hasOneBitAlpha;
    return &image;
}

} // namespace Kestrin
