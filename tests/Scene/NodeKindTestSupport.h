#pragma once
// Layouts of the node kinds built from XML, with stand-in fonts, image lists and sounds defined in
// the same groups: "testfont" (advance, lineHeight), "testimages" (count, width, height; pixel
// (0, 0) of every image is clear with clearCorner="true"), "testimage" (width, height), "testsound",
// and the engine's own "string" and "soundlist".
#include "Base/XMLReader.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ValueResources.h"
#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Graphics/ImageList.h"
#include "Platform/Looper.h"
#include "Platform/SoundResources.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneResourceFactories.h"

#include "Support/GraphicsFakes.h"
#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace SceneTest
{

inline Kestrin::IResourceDescriptor* MakeTestFont(const std::wstring& source, Kestrin::NameId name,
                                                  Kestrin::XMLElement& element)
{
    auto* font = new Kestrin::ResourceWrapper<KestrinTest::FakeFont>(
        source, name, element, element.GetInt(L"advance", 1), element.GetInt(L"lineHeight", 20));
    if (element.HasAttribute(L"spaceAdvance"))
        font->widths[L' '] = element.GetInt(L"spaceAdvance", 0);
    return font;
}
using TestFontFactory = KestrinTest::ElementFactory<MakeTestFont>;

inline Kestrin::IResourceDescriptor* MakeTestImages(const std::wstring& source, Kestrin::NameId name,
                                                    Kestrin::XMLElement& element)
{
    auto* list = new Kestrin::ResourceWrapper<Kestrin::ImageList>(source, name, element);
    const int w = element.GetInt(L"width", 10);
    const int h = element.GetInt(L"height", 10);
    for (int i = 0; i < element.GetInt(L"count", 1); ++i)
    {
        auto image = KestrinTest::FilledImage(w, h, 0xFF000000u | uint32_t(i));
        if (element.GetBool(L"clearCorner", false))
            image->Pixels()[0] = 0;
        list->AddOwnedImage(image.release());
    }
    return list;
}
using TestImagesFactory = KestrinTest::ElementFactory<MakeTestImages>;

// One image ("testimage": width, height), clear.
inline Kestrin::IResourceDescriptor* MakeTestImage(const std::wstring& source, Kestrin::NameId name,
                                                   Kestrin::XMLElement& element)
{
    return new Kestrin::ResourceWrapper<Kestrin::Image>(source, name, element, element.GetInt(L"width", 1),
                                                        element.GetInt(L"height", 1));
}
using TestImageFactory = KestrinTest::ElementFactory<MakeTestImage>;

class FakeSound : public Kestrin::ISound
{
public:
    int GetCategory() const override { return 0; }
    float GetVolume() const override { return 1.0f; }
    float GetRate() const override { return 1.0f; }
    float GetPan() const override { return 0.0f; }
    int GetPlayCount() const override { return 1; }
};

inline Kestrin::IResourceDescriptor* MakeTestSound(const std::wstring& source, Kestrin::NameId name,
                                                   Kestrin::XMLElement& element)
{
    return new Kestrin::ResourceWrapper<FakeSound>(source, name, element);
}
using TestSoundFactory = KestrinTest::ElementFactory<MakeTestSound>;

// Notes each broadcast its own handler sees, as "<message> <object name>".
class NotingDatabase : public Kestrin::ObjectDatabase
{
public:
    void HandleMessage(const Kestrin::Message& message) override
    {
        Kestrin::Object* object = GetObject(message.handle);
        const Kestrin::NameId name = object ? object->GetName() : Kestrin::NameId();
        // A name keeps the spelling it was first made with, perhaps by another test: noted in lower
        // case.
        std::string spelled = name ? name.c_str() : "?";
        for (char& c : spelled)
            c = char(std::tolower((unsigned char)c));
        notes.push_back(std::string(message.name.c_str()) + " " + spelled);
    }
    std::vector<std::string> notes;
};

class NodeKindTest : public KestrinTest::ResourceTest
{
protected:
    NodeKindTest()
    {
        RegisterSceneResourceFactories(*manager);
        manager->RegisterFactory(L"testfont", new TestFontFactory);
        manager->RegisterFactory(L"testimages", new TestImagesFactory);
        manager->RegisterFactory(L"testsound", new TestSoundFactory);
        manager->RegisterFactory(L"testimage", new TestImageFactory);
        manager->RegisterFactory(L"string", new Kestrin::StringResourceFactory);
        manager->RegisterFactory(L"soundlist", new Kestrin::SoundListResourceFactory);
        Kestrin::SetTopObjectDatabase(&database);
        Kestrin::Graphics::SetCurrentCanvas(&canvas);
        canvas.offersText = true;
        canvas.bounds = {0, 0, 800, 600};
        Kestrin::SetSoundPlayer([this](Kestrin::ISound* sound, const Kestrin::SoundPlayParams&,
                                       Kestrin::ISoundChannel**) { played.push_back(SoundName(sound)); });
        root = new SceneNode;
        root->SetSize(800, 600);
        database.AddObject(root);
    }
    ~NodeKindTest() override
    {
        Kestrin::SetSoundPlayer(nullptr);
        Kestrin::Graphics::SetCurrentCanvas(nullptr);
        Kestrin::SetTopObjectDatabase(nullptr);
    }

    // Loads a group of resources (the text inside <resources>).
    void Resources(const std::string& content)
    {
        const std::wstring group = L"G" + std::to_wstring(++m_groups);
        LoadText(group, "<resources>" + content + "</resources>");
    }
    // Builds a one-layout group and instantiates the layout under the root, refreshed.
    SceneNode* Build(const std::string& nodeXml, const std::string& resources = "")
    {
        const std::string name = "L" + std::to_string(m_groups + 1);
        Resources(resources + "<scenelayout name=\"" + name + "\">" + nodeXml + "</scenelayout>");
        const SceneLayout* layout = GetSceneLayoutByString(name).second;
        EXPECT_NE(layout, nullptr) << nodeXml;
        if (!layout)
            return nullptr;
        SceneNode* node = layout->Instantiate(database, root);
        root->RefreshTree();
        return node;
    }
    template <typename T> T* BuildAs(const std::string& nodeXml, const std::string& resources = "")
    {
        SceneNode* node = Build(nodeXml, resources);
        auto* typed = dynamic_cast<T*>(node);
        EXPECT_NE(typed, nullptr) << nodeXml;
        return typed;
    }

    // Draws the tree and answers the frames of the list that were drawn, as sorted indices.
    std::vector<int> DrawnFrames(Kestrin::IImageList* images)
    {
        canvas.calls.clear();
        root->DrawTree({0, 0});
        auto* list = dynamic_cast<Kestrin::ImageList*>(images);
        std::vector<int> frames;
        for (const auto& call : Calls("Image"))
            for (int i = 0; list && i < list->Count(); ++i)
                if (list->GetImageAt(i) == call.image)
                    frames.push_back(i);
        std::sort(frames.begin(), frames.end());
        return frames;
    }

    // The recorded calls of one kind ("Text", "Image"...).
    std::vector<KestrinTest::CanvasCall> Calls(const std::string& what) const
    {
        std::vector<KestrinTest::CanvasCall> out;
        for (const auto& call : canvas.calls)
            if (call.what == what)
                out.push_back(call);
        return out;
    }

    std::string SoundName(Kestrin::ISound* sound) const
    {
        auto* descriptor = dynamic_cast<Kestrin::IResourceDescriptor*>(sound);
        return descriptor ? descriptor->GetName().c_str() : "?";
    }

    KestrinTest::RecordingCanvas canvas;
    std::vector<std::string> played;
    // Before the database, which deletes the nodes.
    NotingDatabase database;
    SceneNode* root = nullptr;

private:
    int m_groups = 0;
};

// A screen that builds one layout under its root as it enters, as the game's screens do.
class LayoutScreen : public SceneApplicationMode
{
public:
    explicit LayoutScreen(std::string layout) : m_layout(std::move(layout)) {}
    void Enter() override
    {
        SceneApplicationMode::Enter();
        if (const SceneLayout* layout = GetSceneLayoutByString(m_layout).second)
            layout->Instantiate(*this, GetRootNode());
    }

private:
    std::string m_layout;
};

// Input through the main loop's road to the screen on top of the looper.
class InputRoadTest : public NodeKindTest
{
protected:
    // Pushed and entered through one pass of the loop.
    template <typename Screen> Screen* Open(Screen* screen)
    {
        looper.PushModeNow(screen);
        looper.UpdateAll(0.02f);
        return screen;
    }
    // The texts one drawing of the screen writes, in order.
    std::vector<std::wstring> DrawnTexts(SceneApplicationMode& screen)
    {
        canvas.calls.clear();
        screen.Draw();
        std::vector<std::wstring> texts;
        for (const auto& call : Calls("Text"))
            texts.push_back(call.text);
        return texts;
    }
    void Send(int type, int x, int y, int value = 0)
    {
        looper.HandleInputEvent(Kestrin::InputEvent{type, x, y, value});
    }
    void Click(int x, int y)
    {
        Send(Kestrin::InputEvent_MouseMove, x, y);
        Send(Kestrin::InputEvent_ButtonDown, x, y, 0);
        Send(Kestrin::InputEvent_ButtonUp, x, y, 0);
    }

    Kestrin::Looper looper;
};

} // namespace SceneTest
