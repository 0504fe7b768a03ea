// Arbitrary bytes as a resource group of sprite types and animation lists, read through the scene
// graph's factories after a group that defines image lists ("Three", a list of three images, and
// "Strip", a film strip of four frames) and an animation list ("Shared"). Reading fails only with
// standard runtime errors (the frame check, the parser's errors, the XML reader's and the
// manager's own). Every type that reads keeps its frames inside its image list and links within
// its own animations; each is then played, queued and interrupted on animated sprite nodes (own and
// shared controllers) in a scratch database, updated, drawn and hit; nothing leaks.
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Framework/Names.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SceneResourceFactories.h"
#include "Scene/SpriteType.h"

#include "Scene/SpriteTestSupport.h"
#include "Support/GraphicsFakes.h"

#include "FuzzElementNames.h"

#include <stdexcept>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{

const char kBase[] =
    R"(<resources><testimages name="Three" count="3"/><teststrip name="Strip" cols="2" rows="2"/>
  <spriteanimationlist name="Shared"><animation name="walk" frameList="0-2" fps="30" numPlays="0"/>
  <animation name="stop" frameList="2,1" duration="0.1" linkedAnimation="walk"/></spriteanimationlist></resources>)";

void Check(const SpriteType& type)
{
    const int count = type.GetImageList() ? type.GetImageList()->Count() : 0;
    for (const auto& [name, animation] : type.GetAnimations())
    {
        if (animation.frames.empty() || animation.name != name)
            __builtin_trap();
        for (const SpriteAnimationFrame& frame : animation.frames)
            if (frame.index < 0 || frame.index >= count || !(frame.duration > 0.0f))
                __builtin_trap();
        if (const SpriteAnimation* link = animation.linkedAnimation)
            if (type.FindAnimation(animation.linkedName) != link)
                __builtin_trap();
    }
}

void Exercise(SpriteType& type)
{
    Check(type);
    KestrinTest::RecordingCanvas canvas;
    Graphics::SetCurrentCanvas(&canvas);
    {
        ObjectDatabase database;
        ScopedCurrentObjectDatabase current(&database);
        auto* root = new SceneNode;
        root->SetSize(800, 600);
        database.AddObject(root);
        AnimatedSpriteNode* nodes[2];
        for (int i = 0; i < 2; ++i)
        {
            nodes[i] = new AnimatedSpriteNode(&type);
            nodes[i]->SetUseSharedAnimationController(i == 1);
            nodes[i]->SetAlphaSensitivity(i * 10);
            nodes[i]->SetHitTest(true);
            nodes[i]->SetParent(root);
            database.AddObject(nodes[i]);
        }
        int step = 0;
        for (const auto& [name, animation] : type.GetAnimations())
        {
            AnimatedSpriteNode* node = nodes[step % 2];
            switch (step++ % 3)
            {
            case 0:
                node->PlayAnimation(name, step % 2 == 0);
                break;
            case 1:
                node->QueueAnimation(name);
                break;
            default:
                node->InterruptWithAnimation(name);
                break;
            }
            for (int i = 0; i < 4; ++i)
            {
                database.Update(0.013f * float(i + 1));
                root->RefreshTree();
                root->DrawTree({0.0f, 0.0f});
                root->FindNodeAt({1.0f, 1.0f});
                node->IsPlayingAnimation(name);
            }
            if (step > 64)
                break;
        }
        database.RemoveObject(root->GetHandle());
        database.Update(0.02f);
    }
    Graphics::SetCurrentCanvas(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogToStderr(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResourceManager* manager = ResourceManager::Instance();
    RegisterSceneResourceFactories(*manager);
    SpriteTest::RegisterTestImageFactories(*manager);
    MemoryStream base(L"Base", kBase, uint32_t(sizeof kBase - 1));
    manager->Load(L"Base", &base, nullptr);

    MemoryStream stream(L"fuzz", data, uint32_t(size));
    try
    {
        manager->Load(L"fuzz", &stream, nullptr);
    }
    catch (const std::runtime_error&) // frames, the parser, the XML reader, name conflicts
    {
    }

    for (const std::string& name : ElementNames(data, size, L"spritetype"))
        if (SpriteType* type = GetSpriteType(name.c_str()).second)
            Exercise(*type);

    delete manager;
    ClearInternedNames();
    return 0;
}
