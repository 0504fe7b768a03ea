#include "Framework/Application.h"
#include "Framework/Singletons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Internal;

namespace
{
std::vector<std::string> g_destroyed;

struct Tracked
{
    std::string name;
    ~Tracked() { g_destroyed.push_back(name); }
};

Tracked* g_graphics = nullptr;
Tracked* g_resources = nullptr;
Tracked* g_accounts = nullptr;
} // namespace

TEST(Singletons, DestroyAllRunsInFixedOrderOnceAndSkipsMissingOnes)
{
    // Registered in the wrong order on purpose; destruction follows the fixed order.
    auto* graphics = new PointerSingletonDestructor<Tracked, SingletonOrder::GraphicsPlatform>(g_graphics);
    auto* resources = new PointerSingletonDestructor<Tracked, SingletonOrder::ResourceManager>(g_resources);
    auto* accounts = new PointerSingletonDestructor<Tracked, SingletonOrder::AccountManager>(g_accounts);
    g_graphics = new Tracked{"graphics"};
    g_resources = new Tracked{"resources"};
    g_accounts = nullptr; // never created, or already deleted by other code

    g_destroyed.clear();
    SingletonDestructor::DestroyAll();
    EXPECT_EQ(g_destroyed, (std::vector<std::string>{"resources", "graphics"}));
    EXPECT_EQ(g_graphics, nullptr);
    EXPECT_EQ(g_resources, nullptr);
    EXPECT_EQ(SingletonDestructor::RegisteredCount(), 0);

    SingletonDestructor::DestroyAll(); // a second call does nothing
    EXPECT_EQ(g_destroyed.size(), 2u);

    // The guards' own destructors find no registry and do nothing.
    delete graphics;
    delete resources;
    delete accounts;
}

TEST(Application, BaseDefaultsAndTheGlobalPointer)
{
    EXPECT_EQ(GetApplication(), nullptr);
    {
        BaseApplication app;
        EXPECT_EQ(GetApplication(), &app);
        EXPECT_EQ(std::wstring(app.GetApplicationInfo()->companyName), L"[Company Name]");
        EXPECT_EQ(std::wstring(app.GetApplicationInfo()->productName), L"[Product Name]");
        EXPECT_TRUE(app.GetStartupOptions()->singleInstance);
        EXPECT_EQ(*app.GetWindowMode(), (DisplaySettings{1, 2, 800, 600}));

        BaseApplication other; // the newest application owns the pointer
        EXPECT_EQ(GetApplication(), &other);
    }
    EXPECT_EQ(GetApplication(), nullptr);
}
