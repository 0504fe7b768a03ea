#pragma once
// The per-screen registries: every object of class T of one screen, in registration order, kept
// without scanning the object database. T derives from HeldObject<T>. The owner is not built yet
// while this base registers it, so the registry casts to T only when it hands objects out.
#include <cstddef>
#include <vector>

namespace Kestrin
{
class ObjectDatabase;
}

template <typename T> class HeldObject
{
public:
    HeldObject(const HeldObject&) = delete;
    HeldObject& operator=(const HeldObject&) = delete;

    // The registered objects of the current screen, first registered first.
    static std::vector<T*> GetAll();
    static size_t Count();

protected:
    // With registerNow, joins the registry of the current screen's database.
    explicit HeldObject(bool registerNow = true);
    // Leaves the registry it joined, if any.
    virtual ~HeldObject();
    // Joins the registry of the current screen (again).
    virtual void Reregister();

private:
    bool m_registered = false;
    Kestrin::ObjectDatabase* m_screenKey = nullptr;
};
