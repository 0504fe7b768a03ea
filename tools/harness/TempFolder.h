#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace KestrinTest
{

// A fresh folder under /tmp, removed with everything in it at the end of the scope.
class TempFolder
{
public:
    TempFolder()
    {
        char pattern[] = "/tmp/kestrin-fsXXXXXX";
        m_path = ::mkdtemp(pattern);
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::wstring WidePath() const { return std::wstring(m_path.begin(), m_path.end()); }

    // Writes a file (folders created as needed) below the folder.
    void Write(const std::string& relative, const std::string& bytes) const
    {
        std::filesystem::path p = std::filesystem::path(m_path) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& relative) const
    {
        std::ifstream in(std::filesystem::path(m_path) / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Has(const std::string& relative) const
    {
        return std::filesystem::exists(std::filesystem::path(m_path) / relative);
    }

private:
    std::string m_path;
};

} // namespace KestrinTest
