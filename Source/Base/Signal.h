#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace Kestrin
{

// A list of callbacks called in connection order. Slots may connect or disconnect (themselves or
// others) while the signal is being emitted: a slot connected during an emission is first called
// by the next one, a slot disconnected during it is not called after that. A signal with no slots
// costs one pointer, so objects that exist by the thousand can carry several.
template <typename... Args> class Signal
{
public:
    using Slot = std::function<void(Args...)>;
    // Names one connection; 0 is never used.
    using Connection = uint64_t;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    Connection Connect(Slot slot)
    {
        if (!m_slots)
            m_slots = std::make_unique<Slots>();
        auto record = std::make_shared<Record>(Record{++m_slots->lastId, std::move(slot), true});
        m_slots->list.push_back(record);
        return record->id;
    }

    void Disconnect(Connection connection)
    {
        if (!m_slots)
            return;
        auto& list = m_slots->list;
        for (auto it = list.begin(); it != list.end(); ++it)
            if ((*it)->id == connection)
            {
                (*it)->connected = false;
                list.erase(it);
                return;
            }
    }

    void DisconnectAll()
    {
        if (!m_slots)
            return;
        for (auto& record : m_slots->list)
            record->connected = false;
        m_slots->list.clear();
    }

    bool IsEmpty() const { return !m_slots || m_slots->list.empty(); }
    size_t SlotCount() const { return m_slots ? m_slots->list.size() : 0; }

    void Emit(Args... args) const
    {
        if (IsEmpty())
            return;
        // A copy: the slots may change the list.
        const std::vector<std::shared_ptr<Record>> snapshot = m_slots->list;
        for (const auto& record : snapshot)
            if (record->connected)
                record->slot(args...);
    }
    void operator()(Args... args) const { Emit(args...); }

private:
    struct Record
    {
        Connection id;
        Slot slot;
        bool connected;
    };
    struct Slots
    {
        Connection lastId = 0;
        std::vector<std::shared_ptr<Record>> list;
    };
    std::unique_ptr<Slots> m_slots;
};

} // namespace Kestrin
