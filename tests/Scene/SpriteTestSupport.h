#pragma once
// Image lists made in memory as resources, for sprite types to name without image files.
#include "Base/AttributeContainer.h"
#include "Base/XMLReader.h"
#include "Framework/Resource.h"
#include "Framework/ResourceManager.h"
#include "Graphics/ImageList.h"

#include "Support/GraphicsFakes.h"
#include "Support/ResourceTestSupport.h"

#include <algorithm>
#include <memory>
#include <string>

namespace SpriteTest
{

// "testimages": an image list of "count" images (at most 256), image i of (w + i) x (h + i)
// pixels (w and h default to 4), opaque white.
inline Kestrin::IResourceDescriptor* MakeTestImages(const std::wstring& source, Kestrin::NameId name,
                                                    Kestrin::XMLElement& element)
{
    auto wrapper = std::make_unique<Kestrin::ResourceWrapper<Kestrin::ImageList>>(source, name, element);
    const int count = std::clamp(element.GetInt(L"count", 0), 0, 256);
    const int w = std::clamp(element.GetInt(L"w", 4), 0, 64);
    const int h = std::clamp(element.GetInt(L"h", 4), 0, 64);
    for (int i = 0; i < count; ++i)
        wrapper->AddOwnedImage(KestrinTest::FilledImage(w + i, h + i, 0xFFFFFFFFu).release());
    return wrapper.release();
}

// "teststrip": a film strip of "cols" x "rows" frames of w x h pixels each (defaults 2 x 1 of
// 4 x 4), opaque white.
inline Kestrin::IResourceDescriptor* MakeTestStrip(const std::wstring& source, Kestrin::NameId name,
                                                   Kestrin::XMLElement& element)
{
    const int cols = std::clamp(element.GetInt(L"cols", 2), 1, 16);
    const int rows = std::clamp(element.GetInt(L"rows", 1), 1, 16);
    const int w = std::clamp(element.GetInt(L"w", 4), 1, 64);
    const int h = std::clamp(element.GetInt(L"h", 4), 1, 64);
    return new Kestrin::ResourceWrapper<Kestrin::FilmStrip>(
        source, name, element, KestrinTest::FilledImage(w * cols, h * rows, 0xFFFFFFFFu), cols, rows);
}

inline void RegisterTestImageFactories(Kestrin::ResourceManager& manager)
{
    manager.RegisterFactory(L"testimages", new KestrinTest::ElementFactory<MakeTestImages>);
    manager.RegisterFactory(L"teststrip", new KestrinTest::ElementFactory<MakeTestStrip>);
}

} // namespace SpriteTest
