#pragma once
#include "Base/FileSpec.h"
#include "Base/Stream.h"
#include "Framework/ResourceManager.h"

#include "Support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace KestrinTest
{

// Also notes how deep in the indexing bracket each open happened.
class GroupFileSystem : public FakeFileSystem
{
public:
    Kestrin::IStream* Open(const Kestrin::FileSpec& fileSpec, int access, int mode) override
    {
        depthAtOpen.push_back(indexDepth);
        return FakeFileSystem::Open(fileSpec, access, mode);
    }
    std::vector<int> depthAtOpen;
};

// A fresh resource manager over an in-memory file system for each test.
class ResourceTest : public testing::Test
{
protected:
    ResourceTest() : m_scope(&fs) { manager = Kestrin::ResourceManager::Instance(); }
    ~ResourceTest() override
    {
        delete Kestrin::ResourceManager::Instance();
        EXPECT_EQ(fs.indexDepth, 0) << "indexing bracket left open";
    }

    void AddGroup(const std::wstring& group, const std::string& xml)
    {
        fs.AddFile(Kestrin::FileSpec::FromNameAndExtension(group, L".xml"), xml);
    }
    void LoadText(const std::wstring& group, const std::string& xml,
                  Kestrin::IResourceLoadProgress* listener = nullptr)
    {
        Kestrin::MemoryStream stream(group, xml.data(), uint32_t(xml.size()));
        manager->Load(group, &stream, listener);
    }

    GroupFileSystem fs;
    Kestrin::ResourceManager* manager = nullptr;

private:
    ScopedFileSystem m_scope;
};

} // namespace KestrinTest
