#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace Kestrin
{

// An interned name: the address of the one canonical copy of its text (null = no name).
// Equal names (compared without regard to ASCII case) have equal ids; ids compare by identity.
class NameId
{
public:
    constexpr NameId() = default;

    // Only for pointers that InternName answered.
    static constexpr NameId FromInterned(const char* id) { return NameId(id); }

    const char* c_str() const { return m_text; }
    const char* Get() const { return m_text; }
    bool IsNull() const { return m_text == nullptr; }
    explicit operator bool() const { return m_text != nullptr; }

    friend bool operator==(NameId a, NameId b) { return a.m_text == b.m_text; }
    friend bool operator!=(NameId a, NameId b) { return a.m_text != b.m_text; }
    // Orders by the id's numeric value, as the engine's ordered maps expect.
    friend bool operator<(NameId a, NameId b) { return std::less<const char*>()(a.m_text, b.m_text); }

private:
    constexpr explicit NameId(const char* text) : m_text(text) {}
    const char* m_text = nullptr;
};

// The id of a text, created when new. Null gives null; "" is a name of its own.
const char* InternName(const char* text);
NameId InternNameF(const char* format, ...) __attribute__((format(printf, 1, 2)));
NameId MakeName(const char* text);
NameId MakeName(const std::string& text);
// Narrows by keeping the low byte of each character.
NameId MakeNameFromWide(const wchar_t* text);
NameId MakeNameFromWString(const std::wstring& text);

uint32_t HashStringNoCase(const char* text);

// Frees the table at engine shutdown; every earlier id dangles afterwards.
// The next intern starts a fresh table.
void ClearInternedNames();

namespace Internal
{
// The table's generation: 1 at first, one more with each ClearInternedNames.
inline std::atomic<uint32_t> g_internGeneration{1};
} // namespace Internal

// A name the engine itself uses ("Remove", "ICanvas", "ButtonClick"...), interned on first use
// and again after each ClearInternedNames, so a cached id never dangles. Define one per name,
// constant-initialised, in the area that owns it:
//     namespace Names { inline constinit ConstantName Remove{"Remove"}; }
// and use it wherever a NameId is wanted: `message.name == Names::Remove`.
class ConstantName
{
public:
    constexpr explicit ConstantName(const char* text) : m_text(text) {}
    ConstantName(const ConstantName&) = delete;
    ConstantName& operator=(const ConstantName&) = delete;

    NameId Get() const
    {
        const uint32_t generation = m_generation.load(std::memory_order_acquire);
        if (generation == Internal::g_internGeneration.load(std::memory_order_acquire))
            return NameId::FromInterned(m_id.load(std::memory_order_relaxed));
        return Refresh();
    }
    operator NameId() const { return Get(); }
    const char* Text() const { return m_text; }

private:
    NameId Refresh() const;

    const char* m_text;
    mutable std::atomic<const char*> m_id{nullptr};
    mutable std::atomic<uint32_t> m_generation{0}; // 0: never interned
};

namespace Internal
{
// Table figures for tests.
uint32_t InternTableBucketCount();
uint32_t InternTableEntryCount();
size_t InternPoolBytesLeft();
// Moves the pool cursor so that exactly bytesLeft bytes remain (bytesLeft no more than what is left).
void InternPoolConsumeForTest(size_t bytesLeft);
bool InternIdIsInPool(const char* id);
} // namespace Internal

} // namespace Kestrin

template <> struct std::hash<Kestrin::NameId>
{
    size_t operator()(Kestrin::NameId id) const noexcept { return std::hash<const char*>()(id.Get()); }
};
