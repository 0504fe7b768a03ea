#pragma once
#include "Base/FileSpec.h"
#include "Base/Stream.h"
#include "Framework/ResourceManager.h"

#include "Support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace KestrinTest
{

// A stand-in resource kind of a test's own: Make(source, name, element) makes each resource.
template <auto Make> class ElementFactory : public Kestrin::IResourceFactory
{
public:
    Kestrin::IResourceDescriptor* Create(const std::wstring& source, Kestrin::NameId name,
                                         Kestrin::XMLElement& element, Kestrin::IXMLReader&) override
    {
        return Make(source, name, element);
    }
};

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

// A group loaded on a thread of its own, as the loading screen loads one, while the test goes on.
class ThreadedLoad
{
public:
    ThreadedLoad(Kestrin::ResourceManager* manager, std::wstring group,
                 Kestrin::IResourceLoadProgress* progress = nullptr)
        : m_worker(
              [this, manager, group, progress]
              {
                  try
                  {
                      manager->LoadFile(group, progress, true);
                  }
                  catch (const std::exception& e)
                  {
                      m_error = e.what();
                  }
                  catch (...)
                  {
                      m_error = "an exception of another kind";
                  }
                  m_done.store(true);
              })
    {
    }
    // A test that stops early still waits for the thread.
    ~ThreadedLoad()
    {
        if (m_worker.joinable())
            m_worker.join();
    }

    bool Done() const { return m_done.load(); }
    // Waits for the load; what it threw, or "" when it threw nothing.
    std::string Join()
    {
        m_worker.join();
        return m_error;
    }

private:
    std::string m_error;
    std::atomic<bool> m_done{false};
    // Last, so that it starts once the others are made.
    std::thread m_worker;
};

} // namespace KestrinTest
