// Feeds arbitrary bytes as the one account file of a fresh start. A file that is skipped must be
// left byte for byte as it was; a file that loads must take a new record, read it back, keep
// its profile name through the rewrite and load again.
#include "Base/Log.h"
#include "Base/Random.h"
#include "Base/Stream.h"
#include "Framework/AccountManager.h"
#include "Framework/FileSystem.h"

#include <map>
#include <string>

using namespace Kestrin;

namespace
{
// Per-user files of the root folder only, keyed by name + extension.
class MemoryFileSystem : public IFileSystem
{
public:
    std::map<std::wstring, std::string> files;

    void DeleteAllPartitions() override { files.clear(); }
    IStream* Open(const FileSpec& fileSpec, int access, int mode) override
    {
        auto it = files.find(Key(fileSpec));
        if ((it == files.end() && mode == OpenExisting) || (it != files.end() && mode == CreateNew))
            return nullptr;
        std::string bytes = it == files.end() || mode == CreateAlways ? std::string() : it->second;
        auto* stream = new MemoryStream(fileSpec.name, bytes.data(), uint32_t(bytes.size()));
        if (access & AccessWrite)
            m_writers[stream] = Key(fileSpec);
        return stream;
    }
    void Close(IStream* stream) override
    {
        auto it = m_writers.find(stream);
        if (it != m_writers.end())
        {
            const auto& bytes = static_cast<MemoryStream*>(stream)->Bytes();
            files[it->second] = std::string(bytes.begin(), bytes.end());
            m_writers.erase(it);
        }
        delete stream;
    }
    void BeginIndexing() override {}
    void EndIndexing() override {}
    bool Exists(FileSpec& fileSpec) override { return files.count(Key(fileSpec)) != 0; }
    bool ListFiles(const FileSpec& fileSpec, std::vector<FileSpec>& found) override
    {
        for (const auto& [name, bytes] : files)
            if (name.size() > fileSpec.extension.size() && name.ends_with(fileSpec.extension))
                found.emplace_back(2, name.substr(0, name.size() - fileSpec.extension.size()),
                                   fileSpec.extension, L".");
        return true;
    }
    bool Delete(const FileSpec& fileSpec) override { return files.erase(Key(fileSpec)) != 0; }
    bool Sync(IStream* stream) override { return m_writers.count(stream) != 0; }
    bool Rename(const FileSpec& from, const FileSpec& to) override
    {
        auto it = files.find(Key(from));
        if (it == files.end())
            return false;
        std::string bytes = std::move(it->second);
        files.erase(it);
        files[Key(to)] = std::move(bytes);
        return true;
    }

private:
    static std::wstring Key(const FileSpec& fileSpec) { return fileSpec.name + fileSpec.extension; }
    std::map<IStream*, std::wstring> m_writers;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetLogToStderr(false); // every skipped file is logged; the noise would slow the run down
    MemoryFileSystem fs;
    SetFileSystem(&fs);
    BoostRandomNumberStream random(1);
    SetRandomStream(2, &random);
    const std::string input(reinterpret_cast<const char*>(data), size);
    fs.files[L"1.act"] = input;
    {
        AccountManager manager;
        Account* loaded = nullptr;
        for (Account* account : manager.GetAccounts())
            if (account->GetFileSpec().name == L"1")
                loaded = account;
        if (!loaded)
        {
            if (fs.files[L"1.act"] != input || manager.GetAccounts().size() != 1)
                __builtin_trap();
        }
        else
        {
            const std::wstring name = loaded->GetName();
            const std::wstring value = L"a&\"<>\r\n\tb \u00e9\U0001F600";
            // A change whose file would not read back is refused, and the file stays as it was. The
            // manager's current flag then holds for the session only.
            const bool rewritable = loaded->SetString(L"fuzz", value);
            if (!rewritable)
            {
                if (fs.files[L"1.act"] != input)
                    __builtin_trap();
            }
            else if (loaded->GetString(L"fuzz") != value || !loaded->HasRecord(L"fuzz") ||
                     !loaded->SetInt(L"fuzz", -5) || loaded->GetInt(L"fuzz", 0) != -5)
                __builtin_trap();
            Account again(loaded->GetFileSpec());
            if (again.GetName() != name || (rewritable && again.IsCurrent() != loaded->IsCurrent()))
                __builtin_trap();
        }
    }
    for (const auto& [name, bytes] : fs.files)
        if (name.ends_with(L".tmp"))
            __builtin_trap();
    SetRandomStream(2, nullptr);
    UnregisterFileSystem(&fs);
    return 0;
}
