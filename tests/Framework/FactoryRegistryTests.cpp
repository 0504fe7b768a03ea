#include "Framework/FactoryRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{

// Notes its own destruction; may look the registry up while it goes.
struct NoteFactory
{
    NoteFactory(std::string name_, std::vector<std::string>& gone_) : name(std::move(name_)), gone(gone_) {}
    ~NoteFactory()
    {
        gone.push_back(name);
        if (onDestroy)
            onDestroy();
    }
    std::string name;
    std::vector<std::string>& gone;
    std::function<void()> onDestroy;
};

using Registry = FactoryRegistry<NoteFactory>;

} // namespace

TEST(FactoryRegistry, ANameHoldsOneFactoryAndTheReplacedOneIsDestroyed)
{
    std::vector<std::string> gone;
    Registry registry;
    auto* first = new NoteFactory("first", gone);
    registry.Register(L"node", first);
    registry.Register(L"node", first); // the same one again stays
    EXPECT_TRUE(gone.empty());
    EXPECT_EQ(registry.Find(L"node"), first);

    auto* second = new NoteFactory("second", gone);
    registry.Register(L"node", second);
    EXPECT_EQ(gone, (std::vector<std::string>{"first"}));
    EXPECT_EQ(registry.Find(L"node"), second);
    EXPECT_EQ(registry.Find(L"Node"), nullptr); // names compare exactly
    EXPECT_EQ(registry.Size(), 1u);

    registry.Unregister(L"missing");
    registry.Register(L"node", nullptr);
    EXPECT_EQ(gone, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(registry.Find(L"node"), nullptr);
    EXPECT_EQ(registry.Size(), 0u);
}

TEST(FactoryRegistry, TheRestGoesInNameOrderAndADestructorMayUseTheRegistry)
{
    std::vector<std::string> gone;
    {
        Registry registry;
        for (const char* name : {"zeta", "alpha", "mid"})
            registry.Register(std::wstring(name, name + std::char_traits<char>::length(name)),
                              new NoteFactory(name, gone));
        // Destroyed outside the lock: a factory that looks its kind up on the way out must not hang.
        auto* looking = new NoteFactory("looking", gone);
        looking->onDestroy = [&] { gone.push_back(registry.Find(L"looking") ? "found" : "not found"); };
        registry.Register(L"looking", looking);
        registry.Register(L"looking", new NoteFactory("replacement", gone));
        EXPECT_EQ(gone, (std::vector<std::string>{"looking", "found"}));
        gone.clear();
    }
    EXPECT_EQ(gone, (std::vector<std::string>{"alpha", "replacement", "mid", "zeta"}));
}
