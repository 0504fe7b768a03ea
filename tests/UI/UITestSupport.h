#pragma once
// A screen for widget tests: a database made current that records what is broadcast, a platform
// that notes mouse capture, a recording canvas made current, sounds that note their plays, and
// image lists of solid images.
#include "Framework/Audio.h"
#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"
#include "Platform/SoundResources.h"

#include "Support/EngineFakes.h"
#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace UITest
{

using namespace Kestrin;
using KestrinTest::CanvasCall;
using KestrinTest::FakeFont;
using KestrinTest::RecordingCanvas;

// Notes every broadcast as "<event> <sender's name or handle>".
class RecordingDatabase : public ObjectDatabase
{
public:
    void HandleMessage(const Message& message) override
    {
        Object* sender = GetObject(message.handle);
        std::string who =
            sender && sender->GetName() ? sender->GetName().c_str() : std::to_string(message.handle);
        events.push_back(std::string(message.name.c_str()) + " " + who);
    }
    // The broadcasts of one event name.
    size_t Count(const std::string& event) const
    {
        size_t n = 0;
        for (const std::string& e : events)
            if (e.compare(0, event.size() + 1, event + " ") == 0)
                ++n;
        return n;
    }
    std::vector<std::string> events;
};

class CapturePlatform : public KestrinTest::FakePlatform
{
public:
    using FakePlatform::FakePlatform;
    void SetCapture() override { ++captures; }
    void ReleaseCapture() override { ++releases; }
    int captures = 0;
    int releases = 0;
};

class NamedSound : public ISound
{
public:
    explicit NamedSound(std::string name_) : name(std::move(name_)) {}
    int GetCategory() const override { return 0; }
    float GetVolume() const override { return 1.0f; }
    float GetRate() const override { return 1.0f; }
    float GetPan() const override { return 0.0f; }
    int GetPlayCount() const override { return 1; }
    std::string name;
};

// A list of n solid images of the given size (alpha 255), or with the given pixels.
inline std::unique_ptr<ImageList> SolidList(int n, int w, int h, uint32_t argb = 0xFF808080)
{
    auto list = std::make_unique<ImageList>();
    for (int i = 0; i < n; ++i)
        list->AddOwnedImage(KestrinTest::FilledImage(w, h, argb).release());
    return list;
}

// A nine-slice list frame whose left column is 6 wide, top row 4 high, right column 3 and bottom
// row 5.
inline std::unique_ptr<ImageList> ListFrame()
{
    auto list = std::make_unique<ImageList>();
    const int w[9] = {6, 1, 3, 6, 1, 3, 6, 1, 3};
    const int h[9] = {4, 4, 4, 1, 1, 1, 5, 5, 5};
    for (int i = 0; i < 9; ++i)
        list->AddOwnedImage(KestrinTest::FilledImage(w[i], h[i], 0xFF000000).release());
    return list;
}

class WidgetFixture : public testing::Test
{
protected:
    WidgetFixture()
    {
        SetTopObjectDatabase(&database);
        Graphics::SetCurrentCanvas(&canvas);
        canvas.bounds = {0, 0, 800, 600};
        for (const char* event : {"Hot", "Down", "Snap", "Checked", "Unchecked"})
        {
            m_sounds.push_back(std::make_unique<NamedSound>(event));
            std::string text(event);
            sounds.Set(std::wstring(text.begin(), text.end()), m_sounds.back().get());
        }
        SetSoundPlayer([this](ISound* sound, const SoundPlayParams&, ISoundChannel**)
                       { played.push_back(static_cast<NamedSound*>(sound)->name); });
    }
    ~WidgetFixture() override
    {
        SetSoundPlayer(nullptr);
        Graphics::SetCurrentCanvas(nullptr);
        SetTopObjectDatabase(nullptr);
        delete GetPlatform();
    }

    // The recorded draw calls of one kind ("Image", "Text", "FillF"...).
    std::vector<CanvasCall> Calls(const std::string& what) const
    {
        std::vector<CanvasCall> out;
        for (const CanvasCall& call : canvas.calls)
            if (call.what == what)
                out.push_back(call);
        return out;
    }

    KestrinTest::Journal journal;
    CapturePlatform* platform = new CapturePlatform(journal);
    RecordingCanvas canvas;
    SoundList sounds;
    std::vector<std::string> played;
    // After the canvas and sounds: the objects still live at the end go before them.
    RecordingDatabase database;

private:
    std::vector<std::unique_ptr<NamedSound>> m_sounds;
};

} // namespace UITest
