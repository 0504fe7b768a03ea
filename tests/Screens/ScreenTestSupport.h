#pragma once
// The game's screens on the engine without a window: the real file system over two temporary
// folders (the data tree and the player's folder), a scripted window and graphics platform, audio
// on the null device, a looper of the test's own whose request queue the tests read, the fake
// clock, and every error box and log line recorded.
#include "Base/Random.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/Paths.h"
#include "Framework/ResourceManager.h"
#include "Framework/TypeName.h"
#include "Game/GameText.h"
#include "Game/MusicManager.h"
#include "Platform/Display.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Platform/ResourceFactories.h"
#include "Platform/Win32/Win32FileSystem.h"
#include "Scene/SceneNode.h"
#include "Screens/ResourceFactoryRegistrars.h"
#include "UI/UIResourceFactories.h"

#include "Support/AudioPlatformFixture.h"
#include "Support/EngineFakes.h"
#include "harness/ErrorBoxRecorder.h"
#include "harness/FakeClock.h"
#include "harness/GameGlobals.h"
#include "harness/LogCapture.h"
#include "harness/TempFolder.h"
#include "swfgen/SwfGen.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace ScreenTest
{

// A queued screen request as the tests compare it: the kind and the screen's class ("" for a pop).
struct Queued
{
    int kind;
    std::string type;
    bool operator==(const Queued&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Queued& q)
{
    return out << "{" << q.kind << ", " << (q.type.empty() ? "-" : q.type) << "}";
}

class ScreenFixture : public AudioPlatformTest
{
protected:
    ScreenFixture()
    {
        Kestrin::InitRandomStreams();
        Kestrin::SetExecutableFolderOverride(data.WidePath());
        auto* files = new Kestrin::Win32FileSystem; // becomes the global one
        files->AddPartition(0, new Kestrin::Win32FileSystemPartition(data.WidePath() + L"/data"));
        files->AddPartition(1, new Kestrin::Win32FileSystemPartition(data.WidePath() + L"/data"));
        files->AddPartition(2, new Kestrin::Win32FileSystemPartition(user.WidePath()));
        data.Write("data/README", "the data tree of one test\n");

        window = new KestrinTest::FakePlatform(journal);
        Kestrin::DisplaySettings windowed{0, 2, 800, 600};
        Kestrin::ApplyDisplaySettings(windowed, false);
        Start(); // audio on the null device

        RegisterAllFactories();
    }

    // A fresh resource manager with every factory the game has.
    void ResetResources()
    {
        delete Kestrin::ResourceManager::Instance();
        RegisterAllFactories();
    }
    static void RegisterAllFactories()
    {
        Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
        Kestrin::RegisterResourceFactories(*resources);
        for (Kestrin::ResourceFactoryRegistrar registrar : GameResourceFactoryRegistrars())
            registrar(*resources);
    }

    // The committed data tree behind the test's own, with the groups every screen relies on
    // loaded: the game's text and the shared "resources". A file the test writes into its own
    // tree (a broken group, say) hides the committed one.
    void UseCommittedData()
    {
        Kestrin::IFileSystem* old = Kestrin::GetFileSystem();
        auto* files = new Kestrin::Win32FileSystem;
        const std::wstring root = Kestrin::FromUtf8(KESTRIN_SOURCE_DIR) + L"/data";
        for (int location : {0, 1})
        {
            files->AddPartition(location, new Kestrin::Win32FileSystemPartition(data.WidePath() + L"/data"));
            files->AddPartition(location, new Kestrin::Win32FileSystemPartition(root));
        }
        files->AddPartition(2, new Kestrin::Win32FileSystemPartition(user.WidePath()));
        delete old;
        ResetResources();
        LoadGameText();
        Kestrin::ResourceManager::Instance()->LoadFile(L"resources", nullptr, true);
    }

    // What the game reads at start before any group: the text table, the committed tuning and a
    // catalogue with no days (a missing one is an error box).
    void WriteStartupFiles()
    {
        data.Write("data/AllGameText_Export.xml", "<strings/>");
        std::ifstream tuning(std::string(KESTRIN_SOURCE_DIR) + "/data/GlobalSettings.xml", std::ios::binary);
        data.Write("data/GlobalSettings.xml", std::string(std::istreambuf_iterator<char>(tuning), {}));
        data.Write("data/GameLevels.xml", "<GameLevels><EndlessLevels/></GameLevels>");
    }

    // From now on sounds are not played but their names recorded in `played`.
    void RecordSounds()
    {
        Kestrin::SetSoundPlayer(
            [this](Kestrin::ISound* sound, const Kestrin::SoundPlayParams&, Kestrin::ISoundChannel**)
            {
                auto* descriptor = dynamic_cast<Kestrin::IResourceDescriptor*>(sound);
                played.push_back(descriptor ? descriptor->GetName().c_str() : "?");
            });
    }

    ~ScreenFixture() override
    {
        Kestrin::SetSoundPlayer(&Kestrin::PlaySoundOnPlatform);
        // Screens first: a loading screen's worker still uses the resources and the files.
        looper.reset();
        MusicManager::Instance().ReleaseChannels();
        delete Kestrin::ResourceManager::Instance();
        delete Kestrin::AccountManager::Instance();
        delete Kestrin::GetFileSystem();
        Kestrin::ClearQueuedDisplayChanges();
        delete Kestrin::GetGraphicsPlatform();
        Kestrin::SetGraphicsPlatform(nullptr);
        delete window;
        Kestrin::GetCurrentDisplaySettings() = Kestrin::DisplaySettings{-1, 1, 800, 600};
        Kestrin::GetWindowModeChangeHandlers().clear();
        Kestrin::SetExecutableFolderOverride(L"");
        Kestrin::ShutdownRandomStreams();
    }

    // data/groups/<name>.xml
    void AddGroup(const std::string& name, const std::string& xml) const
    {
        data.Write("data/groups/" + name + ".xml", xml);
    }
    // data/groups/<name>.xml cut off before its end, so that it fails to load.
    void AddBrokenGroup(const std::string& name) const
    {
        AddGroup(name, "<resources><float name=\"x\" value=\"1\"/>");
    }
    // data/movies/<name>.swf: `seconds` of one colour at 10 frames per second.
    void AddMovie(const std::string& name, double seconds) const
    {
        SwfGen::SwfWriter writer(800, 600, SwfGen::FixedFrameRate(10), uint16_t(seconds * 10));
        writer.SetBackgroundColor(0x2B, 0xA6, 0xA0);
        for (int i = 0; i < int(seconds * 10); ++i)
            writer.ShowFrame();
        const std::vector<uint8_t> bytes = writer.Finish(false);
        data.Write("data/movies/" + name + ".swf", std::string(bytes.begin(), bytes.end()));
    }

    std::vector<Queued> Requests() const
    {
        std::vector<Queued> out;
        for (const Kestrin::Looper::Request& r : looper->GetPendingRequests())
            out.push_back({r.kind, r.mode ? Kestrin::DemangledTypeName(typeid(*r.mode)) : std::string()});
        return out;
    }
    // The queued screen of a request, as its class.
    template <typename T> T* QueuedAs(size_t index) const
    {
        const auto& requests = looper->GetPendingRequests();
        return index < requests.size() ? dynamic_cast<T*>(requests[index].mode) : nullptr;
    }
    void Pass() { looper->ProcessModeRequests(); }
    // Fixed steps of the top screen, each moving the clock on with it.
    void Steps(int count, float dt = 0.02f)
    {
        for (int i = 0; i < count; ++i)
        {
            clock.Advance(uint32_t(dt * 1000.0f + 0.5f));
            looper->UpdateAll(dt);
        }
    }
    // Input through the main loop's road, as the window delivers it.
    void Send(int type, int x, int y, int value = 0)
    {
        looper->HandleInputEvent(Kestrin::InputEvent{type, x, y, value});
    }
    // A left click in the middle of the node as it was last refreshed.
    void ClickNode(SceneNode* node)
    {
        ASSERT_NE(node, nullptr);
        const SceneNode::Rectf rect = node->GetWorldRect();
        const int x = int(rect.x + rect.w / 2), y = int(rect.y + rect.h / 2);
        Send(Kestrin::InputEvent_MouseMove, x, y);
        Send(Kestrin::InputEvent_ButtonDown, x, y, 0);
        Send(Kestrin::InputEvent_ButtonUp, x, y, 0);
    }
    Kestrin::ApplicationMode* Top() const { return looper->GetTopMode(); }

    // First made and last gone, after the screens and the stores that set these globals.
    KestrinTest::SavedGameGlobals savedGlobals;
    KestrinTest::TempFolder data; // data/ below it is the data tree
    KestrinTest::TempFolder user;
    KestrinTest::FakeClock clock;
    KestrinTest::Journal journal;
    KestrinTest::FakePlatform* window = nullptr;
    KestrinTest::FakeGraphicsFactory factory{journal};
    KestrinTest::ErrorBoxRecorder boxes;
    KestrinTest::LogCapture log;
    std::vector<std::string> played;
    std::unique_ptr<Kestrin::Looper> looper = std::make_unique<Kestrin::Looper>();
};

} // namespace ScreenTest
