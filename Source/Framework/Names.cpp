#include "Framework/Names.h"

#include "Base/Threads.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace Kestrin
{

namespace
{

constexpr size_t kPoolSize = 65536;

// ASCII folding only, so the hash and the comparison always agree.
inline unsigned char Upper(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

bool EqualNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b)
    {
        if (Upper(*a) != Upper(*b))
            return false;
        if (*a == 0)
            return true;
    }
}

struct Entry
{
    const char* key;
    const char* id;
};

struct InternTable
{
    uint32_t bucketCount = 16;
    uint32_t entryCount = 0;
    uint32_t mask = 15;
    std::vector<Entry*> buckets;
    Entry* entries = nullptr;
    char* poolCursor = nullptr;
    char pool[kPoolSize];

    InternTable() : buckets(16, nullptr), entries(new Entry[16]), poolCursor(pool) {}
    ~InternTable()
    {
        for (uint32_t i = entryCount; i-- > 0;)
            if (!InPool(entries[i].id))
                delete[] entries[i].id;
        delete[] entries;
    }

    bool InPool(const char* p) const
    {
        return std::less_equal<const char*>()(pool, p) && std::less<const char*>()(p, pool + kPoolSize);
    }

    static uint32_t NextProbe(uint32_t h) { return (h * 1987u) ^ ~(h >> 8); }

    const char* Find(const char* text, uint32_t hash) const
    {
        for (uint32_t h = hash;; h = NextProbe(h))
        {
            Entry* e = buckets[h & mask];
            if (!e)
                return nullptr;
            if (EqualNoCase(e->key, text))
                return e->id;
        }
    }

    void Place(Entry* e)
    {
        for (uint32_t h = HashStringNoCase(e->key);; h = NextProbe(h))
        {
            Entry*& slot = buckets[h & mask];
            if (!slot)
            {
                slot = e;
                return;
            }
        }
    }

    void Grow()
    {
        uint32_t newCount = bucketCount * 2;
        Entry* newEntries = new Entry[newCount];
        std::copy(entries, entries + entryCount, newEntries);
        delete[] entries;
        entries = newEntries;
        bucketCount = newCount;
        mask = newCount - 1;
        buckets.assign(newCount, nullptr);
        for (uint32_t i = 0; i < entryCount; ++i)
            Place(&entries[i]);
    }

    const char* Insert(const char* text)
    {
        size_t size = std::strlen(text) + 1;
        char* copy;
        if (size_t(pool + kPoolSize - poolCursor) >= size)
        {
            copy = poolCursor;
            poolCursor += size;
        }
        else
        {
            copy = new char[size]; // the pool keeps its rest for shorter names
        }
        std::memcpy(copy, text, size);
        if ((uint64_t(entryCount) + 1) * 128 >= uint64_t(bucketCount) * 96)
            Grow();
        entries[entryCount] = {copy, copy};
        Place(&entries[entryCount]);
        ++entryCount;
        return copy;
    }
};

InternTable* g_table = nullptr;

Win32CriticalSection& TableLock()
{
    // Never destroyed: names may still be interned by static destructors.
    static Win32CriticalSection* lock = new Win32CriticalSection;
    return *lock;
}

InternTable& Table()
{
    if (!g_table)
        g_table = new InternTable;
    return *g_table;
}

} // namespace

uint32_t HashStringNoCase(const char* text)
{
    if (!text || !*text)
        return 0;
    uint32_t h = Upper(*text);
    for (const char* p = text + 1; *p; ++p)
        h = (h * 31u) ^ Upper(*p);
    return h;
}

const char* InternName(const char* text)
{
    Kestrin::MutexLock lock(TableLock());
    InternTable& table = Table();
    if (!text)
        return nullptr;
    if (const char* id = table.Find(text, HashStringNoCase(text)))
        return id;
    return table.Insert(text);
}

NameId InternNameF(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    NameId result;
    if (n < 0)
    {
        result = NameId::FromInterned(InternName(""));
    }
    else if (size_t(n) < sizeof small)
    {
        result = NameId::FromInterned(InternName(small));
    }
    else
    {
        std::vector<char> buffer(size_t(n) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, copy);
        result = NameId::FromInterned(InternName(buffer.data()));
    }
    va_end(copy);
    return result;
}

NameId MakeName(const char* text)
{
    return NameId::FromInterned(InternName(text));
}

NameId MakeName(const std::string& text)
{
    return NameId::FromInterned(InternName(text.c_str()));
}

NameId MakeNameFromWide(const wchar_t* text)
{
    if (!text)
        return NameId();
    std::string narrow;
    for (const wchar_t* p = text; *p; ++p)
        narrow.push_back(static_cast<char>(static_cast<uint32_t>(*p) & 0xFF));
    return MakeName(narrow);
}

NameId MakeNameFromWString(const std::wstring& text)
{
    return MakeNameFromWide(text.c_str());
}

void ClearInternedNames()
{
    Kestrin::MutexLock lock(TableLock());
    delete g_table;
    g_table = nullptr;
    Internal::g_internGeneration.fetch_add(1, std::memory_order_acq_rel);
}

NameId ConstantName::Refresh() const
{
    // Under the table's lock, so no clear falls between the intern and the generation stored with it.
    Kestrin::MutexLock lock(TableLock());
    const char* id = InternName(m_text);
    m_id.store(id, std::memory_order_relaxed);
    m_generation.store(Internal::g_internGeneration.load(std::memory_order_relaxed),
                       std::memory_order_release);
    return NameId::FromInterned(id);
}

namespace Internal
{

uint32_t InternTableBucketCount()
{
    Kestrin::MutexLock lock(TableLock());
    return g_table ? g_table->bucketCount : 0;
}

uint32_t InternTableEntryCount()
{
    Kestrin::MutexLock lock(TableLock());
    return g_table ? g_table->entryCount : 0;
}

size_t InternPoolBytesLeft()
{
    Kestrin::MutexLock lock(TableLock());
    InternTable& t = Table();
    return size_t(t.pool + kPoolSize - t.poolCursor);
}

void InternPoolConsumeForTest(size_t bytesLeft)
{
    Kestrin::MutexLock lock(TableLock());
    InternTable& t = Table();
    size_t left = size_t(t.pool + kPoolSize - t.poolCursor);
    if (bytesLeft <= left)
        t.poolCursor += left - bytesLeft;
}

bool InternIdIsInPool(const char* id)
{
    Kestrin::MutexLock lock(TableLock());
    return g_table && g_table->InPool(id);
}

} // namespace Internal

} // namespace Kestrin
