#include "Graphics/GraphicsFactories.h"
#include "Graphics/ImageList.h"
#include "Graphics/StyledText.h"
#include "GraphicsTestSupport.h"
#include "Support/FakeFileSystem.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <png.h>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using KestrinTest::LogCapture;

namespace
{

// A fresh resource manager with the graphics factories over an in-memory file system.
class GraphicsFactories : public testing::Test
{
protected:
    GraphicsFactories() : m_scope(&files)
    {
        manager = ResourceManager::Instance();
        RegisterGraphicsResourceFactories(*manager);
    }
    ~GraphicsFactories() override { delete ResourceManager::Instance(); }

    void AddFile(const std::wstring& name, const std::wstring& extension, const std::string& bytes)
    {
        files.AddFile(FileSpec::FromNameAndExtension(name, extension), bytes);
    }
    void Load(const std::string& xml)
    {
        MemoryStream stream(L"gfx", xml.data(), uint32_t(xml.size()));
        manager->Load(L"gfx", &stream, nullptr);
    }

    KestrinTest::FakeFileSystem files;
    ResourceManager* manager = nullptr;

private:
    KestrinTest::ScopedFileSystem m_scope;
};

// An opaque RGB PNG of w x h.
std::string Png(int w, int h)
{
    GraphicsTest::PngLayout layout;
    layout.width = w;
    layout.height = h;
    layout.colorType = PNG_COLOR_TYPE_RGB;
    layout.samples.assign(size_t(w) * size_t(h) * 3, 200);
    const auto bytes = GraphicsTest::WritePng(layout);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST_F(GraphicsFactories, ImagesLoadOrStayEmptyAndAnswerByNameOrId)
{
    AddFile(L"pic", L".png", Png(2, 3));
    AddFile(L"mono", L".txt", "0 17 2 0 0 0\n");
    Load("<r><image name='Pic' src='pic' rotations='4'/><image name='gone' src='nothing'/>"
         "<image name='spin' src='pic' rotations='2000000000'/><font name='Body' src='mono'/></r>");
    // The image answers as its interface and as itself, in any letter case.
    ResourcePair<IImage> logo = GetImage(MakeName("PIC"));
    Image* pic = GetImageObject(MakeName("pic")).second;
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(static_cast<IImage*>(pic), logo.second);
    EXPECT_EQ(GetImageByName("pic"), logo);
    EXPECT_EQ(pic->GetWidth(), 2);
    ASSERT_NE(pic->GetRotationCache(), nullptr);
    EXPECT_EQ(pic->GetRotationCache()->count, 4);
    EXPECT_EQ(pic->GetRotationCache()->images[1]->GetWidth(), 3); // built at once
    // An absurd step count is capped rather than building copies without end.
    EXPECT_EQ(GetImageObject(MakeName("spin")).second->GetRotationCache()->count, 1024);

    // A missing file is still a resource: an empty image without alpha.
    auto gone = GetImage(MakeName("gone"));
    ASSERT_NE(gone.second, nullptr);
    EXPECT_EQ(gone.second->GetWidth(), 0);
    EXPECT_FALSE(GetImageObject(MakeName("gone")).second->hasAlpha);

    // A font is no image and an image no font: the descriptor without a typed object.
    EXPECT_EQ(GetFont("body").second->GetLineHeight(), 17);
    EXPECT_EQ(GetImageByName("Body"), ResourcePair<IImage>(manager->Find(MakeName("Body")), nullptr));
    EXPECT_EQ(GetFontById(MakeName("Pic")).second, nullptr);
    EXPECT_EQ(GetFont("Missing").first, nullptr);
}

TEST_F(GraphicsFactories, ImageListsOwnTheirImageChildren)
{
    AddFile(L"a", L".png", Png(4, 2));
    AddFile(L"strip", L".png", Png(6, 2));
    Load("<r><imagelist name='buttons'>"
         "<image src='a'/><filmstrip name='inner' src='strip' cols='3'/><unknown/><image src='missing'/>"
         "</imagelist><image name='after' src='a'/></r>");
    ImageList* list = GetImageListById(MakeName("buttons")).second;
    ASSERT_NE(list, nullptr);
    // The film strip is not an image and goes; the missing image stays as an empty one.
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->GetWidth(0), 4);
    EXPECT_EQ(list->GetWidth(1), 0);
    EXPECT_NE(list->GetImageAt(1), nullptr);
    // Children get no names of their own; reading goes on after the list.
    EXPECT_EQ(manager->Find(MakeName("inner")), nullptr);
    EXPECT_NE(GetImage(MakeName("after")).second, nullptr);
    EXPECT_EQ(GetImageList("buttons").second, list);
}

TEST_F(GraphicsFactories, FilmStripsCutTheirImageAndMissingListsCountAsEmpty)
{
    AddFile(L"strip", L".png", Png(100, 50));
    Load("<r><filmstrip name='walk' src='strip' cols='3'/><filmstrip name='odd' src='strip' cols='-2' "
         "rows='0'/><filmstrip name='none' src='nothing' cols='4'/><image name='pic' src='strip'/></r>");
    IImageList* walk = GetResource<IImageList>(MakeName("walk")).second;
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->Count(), 3);
    EXPECT_EQ(walk->GetWidth(2), 33);
    EXPECT_EQ(GetResource<IImageList>(MakeName("odd")).second->Count(), 1);
    IImageList* none = GetResource<IImageList>(MakeName("none")).second;
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->GetWidth(0), 0);
    GraphicsTest::RecordingCanvas canvas;
    EXPECT_EQ(none->DrawFrame(0, 0, 0, &canvas, DrawState()), 1);
    EXPECT_EQ(GetImageListById(MakeName("walk")).second, nullptr); // a film strip is no ImageList

    IImageList* missing = GetImageListOrEmpty(MakeName("NoSuchList"));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->Count(), 0);
    EXPECT_EQ(DrawThreeSliceHorizontal(missing, 0, 0, 0, 50, DrawState(), &canvas), -1);
    EXPECT_EQ(GetImageListOrEmpty(MakeName("walk"))->Count(), 3);
    EXPECT_EQ(GetImageListOrEmpty(MakeName("pic"))->Count(), 0); // an image is no list
}

TEST_F(GraphicsFactories, FontsNeedTheirDescription)
{
    AddFile(L"strip", L".txt", "0 2 1 2 3 2\nA 0 2\nB 2 1\n0 -1\n0 0\n");
    AddFile(L"strip", L".png", Png(3, 2));
    LogCapture log;
    Load("<r><font name='Title' src='strip'/><font name='Lost' src='nowhere'/></r>");
    Font* font = GetFontById(MakeName("Title")).second;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetFont("title").second, font);
    EXPECT_EQ(font->GetAdvance(L'A', L'B'), 2);
    // Repacked under the resource's name; a missing description makes no resource and no line.
    EXPECT_NE(log.Text().find("Font: Title was 3x2 now 64x64\n"), std::string::npos);
    EXPECT_EQ(manager->Find(MakeName("Lost")), nullptr);
    EXPECT_EQ(log.Text().find("nowhere"), std::string::npos);
}

TEST_F(GraphicsFactories, AMissingFontCountsAsEmpty)
{
    Font* font = GetFontOrEmpty(MakeName("NoSuchFont"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetLineHeight(), 0);
    EXPECT_EQ(MeasureWrappedText(L"Hello there", font, 100), (Vector2<int>{0, 0}));
    GraphicsTest::RecordingCanvas canvas;
    DrawState s;
    s.font = font;
    EXPECT_EQ(DrawText(L"Hello", 0, 0, s, &canvas), 1);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(GraphicsFactories, StyledTextFindsItsFontsByName)
{
    AddFile(L"mono", L".txt", "0 9 2 0 0 0\n");
    AddFile(L"strip", L".png", Png(4, 4));
    Load("<r><font name='Mono' src='mono'/><image name='Pic' src='strip'/></r>");
    std::vector<StyledTextRun> runs;
    TextStyle initial;
    initial.font = MakeName("Mono");
    ParseStyledText(L"ab <style font='Pic'>cd</style> <style font='Other'>e</style>", runs, initial);
    StyledTextLayout layout;
    LayoutStyledTextLines(layout, runs, 100, nullptr);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].font, GetFontById(MakeName("mono")).second);
    EXPECT_EQ(runs[1].font, nullptr); // an image is no font
    EXPECT_EQ(runs[3].font, nullptr);
    // "ab " and " " remain: four characters, the trailing spaces not in the width.
    EXPECT_EQ(layout.lines, (std::vector<StyledTextLine>{{4, 4, 9}}));
}
