// The engine's start-up registers the game's kinds from the one list the program adds, after the
// engine's own and before the application starts.
#include "Screens/ResourceFactoryRegistrars.h"

#include "Base/Random.h"
#include "Framework/Paths.h"
#include "Framework/ResourceManager.h"
#include "Platform/Engine.h"
#include "Support/EngineFakes.h"
#include "harness/FakeClock.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

// One kind of each registrar: values, images, sounds, widgets, the scene graph.
std::string KindsNow()
{
    std::string kinds;
    for (const wchar_t* kind : {L"colorf", L"image", L"sound", L"layout", L"spriteanimationlist",
                                L"spritetype", L"scenelayout", L"randomrange"})
        if (ResourceManager::Instance()->GetFactory(kind))
            kinds += (kinds.empty() ? "" : " ") + std::string(kind, kind + std::wcslen(kind));
    return kinds;
}

std::vector<std::string> g_seen;
template <int N> void Probe(ResourceManager&)
{
    g_seen.push_back(KindsNow());
}

TEST(FactoryRegistration, StartUpRunsTheEnginesKindsThenTheGameListInAreaOrder)
{
    TempFolder folder;
    FakeClock clock;
    Journal journal;
    g_seen.clear();
    FakeGraphicsFactory graphics{journal};
    FakeAudioFactory audio{journal};
    SetAppDataFolderOverride(folder.WidePath() + L"/user");
    SetExecutableFolderOverride(folder.WidePath());
    new FakePlatform(journal);
    TestApplication app(journal);
    app.onInitialize = [] { g_seen.push_back("Initialize: " + KindsNow()); };

    ClearResourceFactoryRegistrars();
    // The program's road, with a probe before the list and after each of its registrars.
    AddGameResourceFactoryRegistrars();
    const std::vector<ResourceFactoryRegistrar> road = GetResourceFactoryRegistrars();
    ASSERT_EQ(road, GameResourceFactoryRegistrars());
    ASSERT_EQ(road.size(), 3u);
    ClearResourceFactoryRegistrars();
    const ResourceFactoryRegistrar probes[] = {&Probe<0>, &Probe<1>, &Probe<2>, &Probe<3>};
    AddResourceFactoryRegistrar(probes[0]);
    for (size_t i = 0; i < road.size(); ++i)
    {
        AddResourceFactoryRegistrar(road[i]);
        AddResourceFactoryRegistrar(probes[i + 1]);
    }
    ASSERT_TRUE(InitializeEngine());

    const std::string scene =
        "colorf image sound layout spriteanimationlist spritetype scenelayout randomrange";
    EXPECT_EQ(g_seen, (std::vector<std::string>{"colorf image sound", "colorf image sound layout", scene,
                                                scene, "Initialize: " + scene}));

    ClearResourceFactoryRegistrars();
    ResetEngineGlobals();
    delete ResourceManager::Instance();
    ShutdownRandomStreams();
    SetAppDataFolderOverride(L"");
    SetExecutableFolderOverride(L"");
}

} // namespace
