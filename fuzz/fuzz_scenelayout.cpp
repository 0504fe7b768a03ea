// Arbitrary bytes as a resource group of scene layouts, read through the scene graph's factories
// after a group that defines "Base" (for references). Every layout that reads is built into a
// scratch database, refreshed, drawn on a recording canvas, searched, clicked at and typed into, then
// removed.
// Reading fails only with the layout reader's, the XML reader's or the manager's own errors; the
// refreshed tree is numbered in pre-order; nothing leaks.
#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Framework/Names.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneResourceFactories.h"

#include "Support/GraphicsFakes.h"

#include "FuzzElementNames.h"

#include <string>
#include <vector>

using namespace Kestrin;

namespace
{

const char kBase[] = R"(<resources><scenelayout name="Base"><scenenode width="40" height="30" hitTest="true">
  <scenenode nodeName="a" x="5" centerOnParent="true" width="4" height="4"/></scenenode></scenelayout></resources>)";

// Depths must run 0, 1, 2... in pre-order after a refresh.
void CheckNumbering(SceneNode* node, float& expected)
{
    if (node->GetDepth() != expected)
        __builtin_trap();
    expected += 1.0f;
    for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
        CheckNumbering(child, expected);
}

void Exercise(const SceneLayout& layout)
{
    KestrinTest::RecordingCanvas canvas;
    Graphics::SetCurrentCanvas(&canvas);
    {
        ObjectDatabase database;
        ScopedCurrentObjectDatabase current(&database);
        auto* root = new SceneNode;
        root->SetSize(800, 600);
        database.AddObject(root);
        try
        {
            layout.Instantiate(database, root);
            layout.Instantiate(database, nullptr);
        }
        catch (const std::exception&)
        {
            __builtin_trap(); // the plain kinds never fail to build
        }
        root->RefreshTree();
        float counter = 0.0f;
        CheckNumbering(root, counter);
        root->DrawTree({0.0f, 0.0f});
        root->GetSubtreeBounds();
        for (int i = 0; i < 8; ++i)
        {
            const int x = i * 97 % 800, y = i * 61 % 600;
            root->FindNodeAt({float(x), float(y)});
            database.OnMouseMove(x, y);
            database.OnMouseDown(MouseButton::Left, x, y);
            database.OnMouseUp(MouseButton::Left, x, y);
            // Keys reach whatever took the focus (a text field takes it when clicked).
            for (int key : {0x200, 0x28, 0x41, 0x08, 0x102, 0x201, 0x2E, 0x24})
                database.OnKeyDown(key);
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
    MemoryStream base(L"Base", kBase, uint32_t(sizeof kBase - 1));
    manager->Load(L"Base", &base, nullptr);

    MemoryStream stream(L"fuzz", data, uint32_t(size));
    try
    {
        manager->Load(L"fuzz", &stream, nullptr);
    }
    catch (const SceneLayoutException&)
    {
    }
    catch (const xml_error&)
    {
    }
    catch (const engine_error&) // a name that another group holds
    {
    }

    for (const std::string& name : ElementNames(data, size, L"scenelayout"))
        if (const SceneLayout* layout = GetSceneLayoutByString(name).second)
            Exercise(*layout);

    delete manager;
    // Every resource is gone: the names of this input need not outlive it.
    ClearInternedNames();
    return 0;
}
