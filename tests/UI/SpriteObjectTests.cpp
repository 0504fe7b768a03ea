#include "UI/SpriteObjects.h"

#include "UITestSupport.h"

#include <gtest/gtest.h>

using namespace UITest;

using SpriteObjects = WidgetFixture;

TEST_F(SpriteObjects, ImageSpriteDrawsAnchoredTintedAndFlipped)
{
    auto image = KestrinTest::FilledImage(10, 10, 0xFFFFFFFF);
    ImageSpriteObject none(MakeName("n"), 1, nullptr, {5, 5});
    none.Draw();
    ImageSpriteObject sprite(MakeName("s"), 2, image.get(), {20.7f, 30.2f});
    sprite.SetVisible(false);
    sprite.Draw();
    EXPECT_TRUE(canvas.calls.empty());

    sprite.SetVisible(true);
    sprite.SetAlignment(1, 0);
    sprite.SetColor({1, 0.5f, 0.5f, 0.25f});
    sprite.SetFlipFlags(3);
    sprite.Draw();
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].what, "Image");
    EXPECT_FLOAT_EQ(canvas.calls[0].x, 15.7f); // half the width to the left
    EXPECT_EQ(canvas.calls[0].state.imageColor, (ColorF(1, 0.5f, 0.5f, 0.25f)));
    EXPECT_EQ(canvas.calls[0].state.flags & (Graphics::DrawFlag_MirrorX | Graphics::DrawFlag_MirrorY),
              uint32_t(Graphics::DrawFlag_MirrorX | Graphics::DrawFlag_MirrorY));

    // Scaled: stretched into the scaled size from the truncated location.
    canvas.calls.clear();
    sprite.SetAlignment(0, 0);
    sprite.SetScale({1.5f, 1.5f});
    sprite.Draw();
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].what, "Stretch");
    EXPECT_EQ(canvas.calls[0].rect, (Rect<int>(20, 30, 15, 15)));

    // A part of the image, clipped to a rectangle of the screen.
    canvas.calls.clear();
    sprite.SetScale({1, 1});
    sprite.SetImageRect({2, 2, 4, 4});
    sprite.SetClipRect({0, 0, 22.5f, 100});
    sprite.Draw();
    EXPECT_TRUE(canvas.calls[0].state.flags & Graphics::DrawFlag_SourceRect);
    EXPECT_EQ(canvas.calls[0].state.sourceRect, (Rect<int>(2, 2, 4, 4)));
    EXPECT_EQ(canvas.calls[0].state.clipRect, (Rect<int>(0, 0, 22, 100)));
    EXPECT_EQ(sprite.GetDepth(), 2.0f);
}

TEST_F(SpriteObjects, TextSpriteDrawsItsShadowUnderTheText)
{
    canvas.offersText = true;
    FakeFont font(4, 10);
    TextSpriteObject text(MakeName("t"), 1, &font, L"Loading", 0, {400, 500}, ColorF(1, 1, 1, 1));
    text.SetTextMode(2);
    text.SetAlignment(1, 0);
    text.Draw();
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].state.color, (ColorF(0, 0, 0, 0.5f)));
    EXPECT_EQ(canvas.calls[0].x, 400.0f - 14.0f + 2.0f);
    EXPECT_EQ(canvas.calls[1].state.color, (ColorF(1, 1, 1, 1)));
    EXPECT_EQ(canvas.calls[1].x, 386.0f);

    // Wrapped to its width: one line each.
    canvas.calls.clear();
    TextSpriteObject wrapped(NameId(), 1, &font, L"one two", 16, {0, 0}, ColorF(1, 1, 1, 1));
    wrapped.Draw();
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[1].y, 10.0f);
    TextSpriteObject fontless(NameId(), 1, nullptr, L"x", 0, {0, 0}, ColorF());
    fontless.Draw();
    EXPECT_EQ(canvas.calls.size(), 2u);
}
