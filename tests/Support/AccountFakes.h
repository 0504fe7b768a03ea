#pragma once
#include "Base/Random.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Support/FakeFileSystem.h"
#include "Support/FakeRandom.h"

#include <map>
#include <string>
#include <vector>

namespace KestrinTest
{

// An in-memory file system that also lists, syncs and renames, records each step of a write
// ("open f", "write f", "sync f", "close f", "rename f g", "delete f") and can fail one kind.
class FaultyFileSystem : public FakeFileSystem
{
public:
    enum class Fault
    {
        None,
        Open,
        Write,
        Sync,
        Rename
    };
    Fault fault = Fault::None;
    std::vector<std::string> steps;

    static std::string FileName(const Kestrin::FileSpec& s) { return Kestrin::ToUtf8(s.name + s.extension); }
    void AddAccount(const std::wstring& number, const std::string& bytes)
    {
        AddFile(Kestrin::FileSpec(2, number, L".act", L"."), bytes);
    }
    std::string Account(const std::wstring& fileName) const
    {
        auto it = files.find(Key{2, L".", fileName});
        return it == files.end() ? "<none>" : it->second;
    }

    Kestrin::IStream* Open(const Kestrin::FileSpec& fileSpec, int access, int mode) override
    {
        if (!(access & AccessWrite))
            return FakeFileSystem::Open(fileSpec, access, mode);
        steps.push_back("open " + FileName(fileSpec));
        if (fault == Fault::Open || mode != CreateAlways) // the store only ever creates afresh
            return nullptr;
        files[KeyOf(fileSpec)].clear();
        auto* stream = new WriteStream(*this, FileName(fileSpec));
        m_open[stream] = KeyOf(fileSpec);
        return stream;
    }
    void Close(Kestrin::IStream* stream) override
    {
        auto it = m_open.find(stream);
        if (it == m_open.end())
            return FakeFileSystem::Close(stream);
        auto* writer = static_cast<WriteStream*>(stream);
        steps.push_back("close " + writer->name);
        files[it->second].assign(writer->Bytes().begin(), writer->Bytes().end());
        m_open.erase(it);
        delete writer;
    }
    bool Sync(Kestrin::IStream* stream) override
    {
        auto it = m_open.find(stream);
        steps.push_back("sync " + (it == m_open.end() ? "?" : static_cast<WriteStream*>(stream)->name));
        return it != m_open.end() && fault != Fault::Sync;
    }
    bool Rename(const Kestrin::FileSpec& from, const Kestrin::FileSpec& to) override
    {
        steps.push_back("rename " + FileName(from) + " " + FileName(to));
        auto it = files.find(KeyOf(from));
        if (fault == Fault::Rename || it == files.end())
            return false;
        std::string bytes = it->second;
        files.erase(it);
        files[KeyOf(to)] = bytes;
        return true;
    }
    bool Delete(const Kestrin::FileSpec& fileSpec) override
    {
        steps.push_back("delete " + FileName(fileSpec));
        return FakeFileSystem::Delete(fileSpec);
    }
    // Every file of the folder with the extension, in name order (fileSpec.name is taken as "*").
    bool ListFiles(const Kestrin::FileSpec& fileSpec, std::vector<Kestrin::FileSpec>& found) override
    {
        for (const auto& [key, bytes] : files)
        {
            const auto& [location, folder, file] = key;
            if (location == fileSpec.location && folder == fileSpec.FolderOrDot() &&
                file.ends_with(fileSpec.extension))
                found.emplace_back(location, file.substr(0, file.size() - fileSpec.extension.size()),
                                   fileSpec.extension, folder);
        }
        return true;
    }

private:
    struct WriteStream : Kestrin::MemoryStream
    {
        WriteStream(FaultyFileSystem& owner_, std::string name_) : owner(owner_), name(std::move(name_)) {}
        uint32_t Write(const void* buffer, uint32_t count) override
        {
            owner.steps.push_back("write " + name);
            return MemoryStream::Write(buffer,
                                       owner.fault == Fault::Write ? count / 2 : count); // a full disk
        }
        FaultyFileSystem& owner;
        std::string name;
    };
    std::map<Kestrin::IStream*, Key> m_open;
};

// Makes a stream random stream 2 for the scope.
struct ScopedStream2
{
    explicit ScopedStream2(Kestrin::IRandomNumberStream* stream) { Kestrin::SetRandomStream(2, stream); }
    ~ScopedStream2() { Kestrin::SetRandomStream(2, nullptr); }
};

inline const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n";
inline std::string RecordLine(const std::string& name, const std::string& value)
{
    return "<record name=\"" + name + "\" value=\"" + value + "\" />\r\n";
}

} // namespace KestrinTest
