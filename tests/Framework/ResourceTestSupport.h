#pragma once
#include "Base/FileSpec.h"
#include "Framework/ResourceManager.h"

#include "Support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace KestrinTest
{

// A fresh resource manager over an in-memory file system for each test.
class ResourceTest : public testing::Test
{
protected:
    ResourceTest() : m_scope(&fs) { manager = Kestrin::ResourceManager::Instance(); }
    ~ResourceTest() override { delete Kestrin::ResourceManager::Instance(); }

    void AddGroup(const std::wstring& group, const std::string& xml)
    {
        fs.AddFile(Kestrin::FileSpec::FromNameAndExtension(group, L".xml"), xml);
    }

    FakeFileSystem fs;
    Kestrin::ResourceManager* manager = nullptr;

private:
    ScopedFileSystem m_scope;
};

// Records what a load reports; answers "stop" once it has seen stopAfter reports (0: never).
class RecordingProgress : public Kestrin::IResourceLoadProgress
{
public:
    explicit RecordingProgress(size_t stopAfter_ = 0) : stopAfter(stopAfter_) {}
    void OnProgress(float fraction) override { fractions.push_back(fraction); }
    bool IsAborted() override
    {
        ++abortQuestions;
        return stopAfter != 0 && fractions.size() >= stopAfter;
    }

    size_t stopAfter;
    std::vector<float> fractions;
    int abortQuestions = 0;
};

} // namespace KestrinTest
