#pragma once

namespace Kestrin
{

// Order in which engine shutdown destroys the singletons: resources first, so images and sounds
// are released while the graphics and audio platforms still exist.
enum class SingletonOrder
{
    ResourceManager = 1,
    AccountManager = 2,
    FileSystem = 3,
    Platform = 4,
    Display = 5,
    AudioPlatform = 6,
    GraphicsPlatform = 7,
};

namespace Internal
{

// A static guard record that destroys one singleton at engine shutdown.
class SingletonDestructor
{
public:
    explicit SingletonDestructor(SingletonOrder order);
    virtual ~SingletonDestructor();
    SingletonDestructor(const SingletonDestructor&) = delete;
    SingletonDestructor& operator=(const SingletonDestructor&) = delete;

    // Deletes the singleton, if it exists, and clears its pointer.
    virtual void DestroySingleton() = 0;

    SingletonOrder Order() const { return m_order; }

    // Runs every registered guard in order. The guards stay registered: a second call destroys
    // only what was made since.
    static void DestroyAll();
    // Number of registered guards (tests).
    static int RegisteredCount();

private:
    SingletonOrder m_order;
};

// A guard over a global pointer: deletes the object and clears the pointer.
template <typename T, SingletonOrder O> class PointerSingletonDestructor : public SingletonDestructor
{
public:
    explicit PointerSingletonDestructor(T*& pointer) : SingletonDestructor(O), m_pointer(pointer) {}
    void DestroySingleton() override
    {
        T* p = m_pointer;
        m_pointer = nullptr;
        delete p;
    }

private:
    T*& m_pointer;
};

} // namespace Internal
} // namespace Kestrin
