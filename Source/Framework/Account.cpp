#include "Framework/Account.h"

#include "Base/Exceptions.h"
#include "Base/FileExceptions.h"
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/StringFormatter.h"
#include "Base/Text.h"
#include "Base/XMLReader.h"
#include "Base/XMLWriter.h"
#include "Framework/FileSystem.h"
#include "Framework/FileUtilities.h"

namespace Kestrin
{

namespace
{
constexpr const wchar_t* RecordElement = L"record";
constexpr const wchar_t* AccountElement = L"account";
constexpr const wchar_t* NameAttribute = L"name";
constexpr const wchar_t* ValueAttribute = L"value";

std::wstring Format(const wchar_t* pattern, const StringFormatter::Argument& argument)
{
    StringFormatter formatter(pattern);
    formatter.AddArgument(argument);
    formatter.Render();
    return formatter.result;
}

bool IsRecord(const XMLElement& node)
{
    return node.IsStart() && node.GetName() == RecordElement;
}

bool IsRecordNamed(const XMLElement& node, const wchar_t* key)
{
    return IsRecord(node) && node.GetString(NameAttribute) == key;
}
} // namespace

std::string Account::EmptyFileBytes()
{
    MemoryStream bytes;
    {
        XMLWriter writer(&bytes);
        writer.StartElement(AccountElement);
        writer.EndElement();
    }
    return std::string(bytes.Bytes().begin(), bytes.Bytes().end());
}

Account::Account(const FileSpec& file) : m_file(file)
{
    // One pass for both keys; with duplicates the last record wins, as in ReadRecord.
    bool first = true;
    bool opened = ReadRecords(
        [&](const XMLElement& node)
        {
            // An empty or cut-off file from an old crash, or some other document, is no profile.
            if (first && node.GetName() != AccountElement)
                throw engine_error(KESTRIN_HERE, FileName() + ": not an account file");
            first = false;
            if (!IsRecord(node))
                return true;
            const XMLElement& record = node;
            const std::wstring key = record.GetString(NameAttribute);
            if (key == NameKey)
            {
                m_name = record.GetString(ValueAttribute);
            }
            else if (key == IsCurrentKey)
            {
                m_isCurrent = record.GetBool(ValueAttribute, false);
            }
            return true;
        });
    if (!opened)
        throw FileOpenException(__LINE__, FileName(), "file couldn't be opened");
    if (first)
        throw engine_error(KESTRIN_HERE, FileName() + ": not an account file");
}

Account::Account(const FileSpec& file, const std::wstring& name) : m_file(file), m_name(name), m_created(true)
{
    if (!WriteRecord(NameKey, name) || !SetBool(IsCurrentKey, false))
        throw engine_error(KESTRIN_HERE, "Couldn't write the new account file \"" + FileName() + "\".");
}

std::string Account::FileName() const
{
    return ToUtf8(m_file.name + m_file.extension);
}

bool Account::ReadRecords(const std::function<bool(const XMLElement&)>& visit) const
{
    FileStreamPtr stream = OpenFile(m_file, IFileSystem::AccessRead, IFileSystem::OpenExisting);
    if (!stream)
        return false;
    XMLReader reader(stream.get());
    while (!reader.IsAtEnd())
    {
        XMLElement* node = reader.Next();
        if (!node)
            break;
        if (node->IsStart() && !visit(*node))
            break;
    }
    return true;
}

AttributeContainer Account::ReadRecord(const wchar_t* key) const
{
    AttributeContainer found;
    ReadRecords(
        [&](const XMLElement& node)
        {
            if (IsRecordNamed(node, key))
                found = node;
            return true;
        });
    return found;
}

std::wstring Account::GetString(const wchar_t* key) const
{
    return ReadRecord(key).GetString(ValueAttribute);
}

int Account::GetInt(const wchar_t* key, int defaultValue) const
{
    return ReadRecord(key).GetInt(ValueAttribute, defaultValue);
}

float Account::GetFloat(const wchar_t* key, float defaultValue) const
{
    return ReadRecord(key).GetFloat(ValueAttribute, defaultValue);
}

bool Account::GetBool(const wchar_t* key, bool defaultValue) const
{
    return ReadRecord(key).GetBool(ValueAttribute, defaultValue);
}

bool Account::HasRecord(const wchar_t* key) const
{
    bool found = false;
    ReadRecords(
        [&](const XMLElement& node)
        {
            found = IsRecordNamed(node, key);
            return !found;
        });
    return found;
}

bool Account::SetString(const wchar_t* key, const std::wstring& text)
{
    return WriteRecord(key, Format(L"%1%", text));
}

bool Account::SetInt(const wchar_t* key, int value)
{
    return WriteRecord(key, Format(L"%1:d%", value));
}

bool Account::SetFloat(const wchar_t* key, float value)
{
    return WriteRecord(key, Format(L"%1%", value));
}

bool Account::SetBool(const wchar_t* key, bool value)
{
    return WriteRecord(key, value ? L"true" : L"false");
}

namespace
{

// Whether an XML document reads to its end without an error.
bool ReadsBack(const std::vector<uint8_t>& bytes)
{
    MemoryStream stream(L"Account", bytes.data(), uint32_t(bytes.size()));
    try
    {
        XMLReader reader(&stream);
        while (!reader.IsAtEnd())
            if (!reader.Next())
                break;
        return true;
    }
    catch (const xml_error&)
    {
        return false;
    }
}

} // namespace

bool Account::WriteRecord(const std::wstring& name, const std::wstring& valueText)
{
    auto fail = [this](const std::string& reason)
    {
        LogPrintf("Couldn't write account file \"%s\": %s\n", FileName().c_str(), reason.c_str());
        ReportAccountSaveFailure(FileName() + ": " + reason);
        return false;
    };
    auto writeRecord = [&](XMLWriter& writer)
    {
        writer.StartElement(RecordElement);
        writer.WriteAttribute(NameAttribute, name);
        writer.WriteAttribute(ValueAttribute, valueText);
    };

    MemoryStream temporary(L"Temporary");
    bool stored = false;
    {
        // Rewriting a file that cannot be read would throw away every other record.
        FileStreamPtr input = OpenFile(m_file, IFileSystem::AccessRead, IFileSystem::OpenExisting);
        if (!input)
            return fail("it couldn't be opened for reading");
        XMLWriter writer(&temporary);
        try
        {
            XMLReader reader(input.get());
            while (!reader.IsAtEnd())
            {
                XMLElement* node = reader.Next();
                if (!node)
                    break;
                if (IsRecordNamed(*node, name.c_str()))
                {
                    // Replaced in its place; its own end node, copied later, closes it.
                    writeRecord(writer);
                    stored = true;
                }
                else if (node->IsEnd() && node->GetName() == AccountElement && !stored)
                {
                    writeRecord(writer);
                    writer.EndElement();
                    writer.WriteNode(*node);
                    stored = true;
                }
                else if (!node->IsText())
                {
                    writer.WriteNode(*node);
                }
            }
        }
        catch (const xml_error& e)
        {
            return fail(std::string("it couldn't be read: ") + e.what());
        }
    }
    if (!stored)
        return fail("it has no account element");
    std::string error;
    const std::vector<uint8_t>& bytes = temporary.Bytes();
    // A name only another encoding could read (the file declared Latin-1, say) would come out as a
    // file nothing reads any more: keep the old one.
    if (!ReadsBack(bytes))
        return fail("its copy would not read back");
    if (!ReplaceFileContents(m_file, bytes.data(), uint32_t(bytes.size()), &error))
        return fail(error);
    return true;
}

} // namespace Kestrin
