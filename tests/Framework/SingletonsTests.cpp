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

TEST(Singletons, DestroyAllRunsInFixedOrderAndSkipsMissingOnesEachTime)
{
    const int before = SingletonDestructor::RegisteredCount();
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
    SingletonDestructor::DestroyAll(); // nothing left to destroy
    EXPECT_EQ(g_destroyed.size(), 2u);

    // An engine started again in the same process is shut down as fully: the guards stayed.
    g_accounts = new Tracked{"accounts"};
    g_graphics = new Tracked{"graphics again"};
    SingletonDestructor::DestroyAll();
    EXPECT_EQ(g_destroyed, (std::vector<std::string>{"resources", "graphics", "accounts", "graphics again"}));
    EXPECT_EQ(g_graphics, nullptr);

    delete graphics;
    delete resources;
    delete accounts;
    EXPECT_EQ(SingletonDestructor::RegisteredCount(), before);
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
