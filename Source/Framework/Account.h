#pragma once
#include "Base/AttributeContainer.h"
#include "Base/FileSpec.h"

#include <functional>
#include <string>

namespace Kestrin
{

class XMLElement;

// One player profile: an XML file of "record" elements, each a "name" and a "value" text.
// Nothing is cached: every read parses the file again, every change rewrites it (through a
// temporary file, so a failed write leaves the old file whole).
class Account
{
public:
    // Keys the store itself keeps in every file.
    static constexpr const wchar_t* NameKey = L"Kestrin::AccountManager::Name";
    static constexpr const wchar_t* IsCurrentKey = L"Kestrin::AccountManager::IsCurrent";

    // An existing file: reads its name and current flag. Throws xml_error when the file is not
    // well-formed, engine_error when its root is not "account" (an empty file has none) and
    // FileOpenException when it cannot be opened.
    explicit Account(const FileSpec& file);
    // A new file that already holds an empty "account" element: writes the name record, then
    // IsCurrent "false". Throws engine_error when either write fails.
    Account(const FileSpec& file, const std::wstring& name);

    Account(const Account&) = delete;
    Account& operator=(const Account&) = delete;

    // A missing record, or a file that cannot be opened, gives "" or the default.
    // A file that is not well-formed throws xml_error.
    std::wstring GetString(const wchar_t* key) const;
    int GetInt(const wchar_t* key, int defaultValue) const;
    float GetFloat(const wchar_t* key, float defaultValue) const;
    bool GetBool(const wchar_t* key, bool defaultValue) const;
    bool HasRecord(const wchar_t* key) const;

    // Each answers whether the value reached the disk. A file that cannot be opened or read, is
    // not well-formed or has no "account" element is left as it is: false, and the reason logged.
    // They never throw.
    bool SetString(const wchar_t* key, const std::wstring& text);
    bool SetInt(const wchar_t* key, int value);
    bool SetFloat(const wchar_t* key, float value);
    bool SetBool(const wchar_t* key, bool value);

    // Keys built at run time.
    std::wstring GetString(const std::wstring& key) const { return GetString(key.c_str()); }
    int GetInt(const std::wstring& key, int defaultValue) const { return GetInt(key.c_str(), defaultValue); }
    float GetFloat(const std::wstring& key, float defaultValue) const
    {
        return GetFloat(key.c_str(), defaultValue);
    }
    bool GetBool(const std::wstring& key, bool defaultValue) const
    {
        return GetBool(key.c_str(), defaultValue);
    }
    bool HasRecord(const std::wstring& key) const { return HasRecord(key.c_str()); }
    bool SetString(const std::wstring& key, const std::wstring& text) { return SetString(key.c_str(), text); }
    bool SetInt(const std::wstring& key, int value) { return SetInt(key.c_str(), value); }
    bool SetFloat(const std::wstring& key, float value) { return SetFloat(key.c_str(), value); }
    bool SetBool(const std::wstring& key, bool value) { return SetBool(key.c_str(), value); }

    // Sets the record's value text, in its place when it exists, else at the end of "account".
    // False (logged) when the file could not be read or rewritten, or has no "account" element.
    bool WriteRecord(const std::wstring& name, const std::wstring& valueText);

    const FileSpec& GetFileSpec() const { return m_file; }
    const std::wstring& GetName() const { return m_name; }
    bool IsCurrent() const { return m_isCurrent; }
    // True when made by the manager's CreateAccount, false when loaded from disk.
    bool IsCreated() const { return m_created; }

    // The bytes of a file that holds no records yet.
    static std::string EmptyFileBytes();

private:
    friend class AccountManager;

    // Last matching record wins; an unopenable file is an empty set.
    AttributeContainer ReadRecord(const wchar_t* key) const;
    // Calls visit with every start node until it answers false. False when the file could not
    // be opened.
    bool ReadRecords(const std::function<bool(const XMLElement&)>& visit) const;
    std::string FileName() const;

    FileSpec m_file;
    std::wstring m_name;
    bool m_isCurrent = false;
    bool m_created = false;
};

// A profile that could not be made or saved: the account store tells the player (once per store,
// so once per run) in the error box, naming the per-user folder and the reason.
void ReportAccountSaveFailure(const std::string& reason);

} // namespace Kestrin
