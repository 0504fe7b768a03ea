#pragma once
// A screen with the tutorial bubble's layout and pictures loaded, a player's account, and a screen
// stack whose queue the tests read.
#include "Framework/AccountManager.h"
#include "Framework/ResourceManager.h"
#include "Game/TutorialBubble.h"
#include "Platform/Looper.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneResourceFactories.h"

#include "GameTestSupport.h"
#include "Scene/NodeKindTestSupport.h"
#include "Support/AccountFakes.h"
#include "harness/LogCapture.h"

#include <memory>
#include <string>

namespace GameTest
{

inline const std::string TutorialResources =
    "<resources>"
    "<testimages name=\"TutorialImages\" count=\"17\" width=\"320\" height=\"140\"/>"
    "<scenelayout name=\"tutorialRootLayout\">"
    "  <scenenode nodeName=\"tutorialRoot\" name=\"TutorialRootNode\">"
    "    <scenenode nodeName=\"messageBubble\" width=\"320\" height=\"140\">"
    "      <scenenode nodeName=\"text_attach\" width=\"320\" height=\"140\"/>"
    "      <scenenode nodeName=\"arrow\">"
    "        <scenenode nodeName=\"left_up\" visible=\"false\"/>"
    "        <scenenode nodeName=\"left_down\" visible=\"false\"/>"
    "        <scenenode nodeName=\"right_up\" visible=\"false\"/>"
    "        <scenenode nodeName=\"right_down\" visible=\"false\"/>"
    "      </scenenode>"
    "      <scenenode nodeName=\"buttonOK\" name=\"buttonOK\" x=\"250\" y=\"110\" width=\"60\" "
    "height=\"20\"/>"
    "    </scenenode>"
    "  </scenenode>"
    "</scenelayout>"
    "</resources>";

class TutorialTest : public GameDataTest
{
protected:
    TutorialTest()
    {
        Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
        RegisterSceneResourceFactories(*resources);
        resources->RegisterFactory(L"testimages", new SceneTest::TestImagesFactory);
        Kestrin::MemoryStream stream(L"Tutorial_Window", TutorialResources.data(),
                                     uint32_t(TutorialResources.size()));
        resources->Load(L"Tutorial_Window", &stream, nullptr);
        accounts = std::make_unique<Kestrin::AccountManager>();
    }
    ~TutorialTest() override
    {
        looper.reset();
        accounts.reset();
        delete Kestrin::ResourceManager::Instance();
    }

    Kestrin::Account& Player() { return *accounts->GetCurrentAccount(); }
    std::vector<int> RequestKinds() const
    {
        std::vector<int> kinds;
        for (const auto& request : looper->GetPendingRequests())
            kinds.push_back(request.kind);
        return kinds;
    }
    // The arrows shown under the bubble, by name.
    static std::vector<std::string> ShownArrows(SceneNode* root)
    {
        std::vector<std::string> shown;
        SceneNode* arrow = FindTutorialPart(root, NodePath::TutorialArrow);
        for (SceneNode* child = arrow ? arrow->GetFirstChild() : nullptr; child;
             child = child->GetNextSibling())
            if (child->GetLocalState().visible)
                shown.push_back(child->GetNodeName().c_str());
        return shown;
    }

    KestrinTest::FakeRandomStream random{{0.5f, 0.25f, 0.125f}};
    KestrinTest::ScopedStream2 stream2{&random};
    KestrinTest::LogCapture log;
    std::unique_ptr<Kestrin::AccountManager> accounts;
    std::unique_ptr<Kestrin::Looper> looper = std::make_unique<Kestrin::Looper>();
};

} // namespace GameTest
