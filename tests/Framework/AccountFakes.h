#pragma once
#include "Base/Random.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Support/FakeFileSystem.h"
#include "Support/FakeRandom.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace KestrinTest
{

// An in-memory file system that lists, syncs and renames like the real one, records every step
// of a write, and can be told to fail one of them.
class FaultyFileSystem : public FakeFileSystem
{
public:
    enum class Fault
    {
        None,
        OpenForWriting, // any open for writing
        Write,          // writes take only half of what they are given
        Sync,
        Rename,
    };

    Fault fault = Fault::None;
    // Steps in order: "open <file>", "write <file>", "sync <file>", "close <file>",
    // "rename <from> <to>", "delete <file>" (files as name + extension, UTF-8).
    std::vector<std::string> steps;

    static std::string FileName(const Kestrin::FileSpec& spec) { return Kestrin::ToUtf8(spec.name + spec.extension); }

    // The bytes of a per-user file in the root folder, or "<none>".
    std::string Account(const std::wstring& fileName) const
    {
        auto it = files.find(Key{2, L".", fileName});
        return it == files.end() ? std::string("<none>") : it->second;
    }
    void AddAccount(const std::wstring& number, const std::string& bytes)
    {
        AddFile(Kestrin::FileSpec(2, number, L".act", L"."), bytes);
    }
    size_t FileCount() const { return files.size(); }

    Kestrin::IStream* Open(const Kestrin::FileSpec& spec, int access, int mode) override
    {
        if (!(access & AccessWrite))
            return FakeFileSystem::Open(spec, access, mode);
        steps.push_back("open " + FileName(spec));
        if (fault == Fault::OpenForWriting)
            return nullptr;
        auto it = files.find(KeyOf(spec));
        if ((it == files.end() && mode == OpenExisting) || (it != files.end() && mode == CreateNew))
            return nullptr;
        std::string bytes = it == files.end() || mode == CreateAlways ? std::string() : it->second;
        auto* stream = new WriteStream(*this, FileName(spec), bytes);
        m_open[stream] = KeyOf(spec);
        if (mode == CreateAlways)
            files[KeyOf(spec)].clear(); // truncated at once, as on disk
        return stream;
    }
    void Close(Kestrin::IStream* stream) override
    {
        auto it = m_open.find(stream);
        if (it == m_open.end())
        {
            FakeFileSystem::Close(stream);
            return;
        }
        auto* writer = static_cast<WriteStream*>(stream);
        steps.push_back("close " + writer->fileName);
        files[it->second] = std::string(writer->Bytes().begin(), writer->Bytes().end());
        m_open.erase(it);
        delete writer;
    }
    bool Sync(Kestrin::IStream* stream) override
    {
        auto it = m_open.find(stream);
        steps.push_back("sync " + (it == m_open.end() ? std::string("<unknown>") : static_cast<WriteStream*>(stream)->fileName));
        return it != m_open.end() && fault != Fault::Sync;
    }
    bool Rename(const Kestrin::FileSpec& from, const Kestrin::FileSpec& to) override
    {
        steps.push_back("rename " + FileName(from) + " " + FileName(to));
        auto it = files.find(KeyOf(from));
        if (fault == Fault::Rename || it == files.end() || from.location != to.location)
            return false;
        std::string bytes = it->second;
        files.erase(it);
        files[KeyOf(to)] = bytes;
        return true;
    }
    bool Delete(const Kestrin::FileSpec& spec) override
    {
        steps.push_back("delete " + FileName(spec));
        return FakeFileSystem::Delete(spec);
    }
    // Name "*" and an extension list every file of the folder with that extension, in name order.
    bool ListFiles(const Kestrin::FileSpec& spec, std::vector<Kestrin::FileSpec>& found) override
    {
        if (!spec.folder)
            return false;
        for (const auto& [key, bytes] : files)
        {
            const auto& [location, folder, fileName] = key;
            if (location != spec.location || folder != *spec.folder || fileName.size() <= spec.extension.size() ||
                !fileName.ends_with(spec.extension))
                continue;
            std::wstring name = fileName.substr(0, fileName.size() - spec.extension.size());
            if (spec.name == L"*" || spec.name == name)
                found.emplace_back(location, name, spec.extension, folder);
        }
        return true;
    }

private:
    struct WriteStream : Kestrin::MemoryStream
    {
        WriteStream(FaultyFileSystem& owner_, std::string fileName_, const std::string& bytes)
            : MemoryStream(L"", bytes.data(), uint32_t(bytes.size())), owner(owner_), fileName(std::move(fileName_))
        {
        }
        uint32_t Write(const void* buffer, uint32_t count) override
        {
            owner.steps.push_back("write " + fileName);
            if (owner.fault == Fault::Write)
                return MemoryStream::Write(buffer, count / 2); // a full disk
            return MemoryStream::Write(buffer, count);
        }
        FaultyFileSystem& owner;
        std::string fileName;
    };

    std::map<Kestrin::IStream*, Key> m_open;
};

// Makes a stream random stream 2 for the scope.
class ScopedStream2
{
public:
    explicit ScopedStream2(Kestrin::IRandomNumberStream* stream) { Kestrin::SetRandomStream(2, stream); }
    ~ScopedStream2() { Kestrin::SetRandomStream(2, nullptr); }
    ScopedStream2(const ScopedStream2&) = delete;
    ScopedStream2& operator=(const ScopedStream2&) = delete;
};

// The engine's XML declaration line and a record line, as the writer puts them.
inline const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n";
inline std::string RecordLine(const std::string& name, const std::string& value)
{
    return "<record name=\"" + name + "\" value=\"" + value + "\" />\r\n";
}

} // namespace KestrinTest
