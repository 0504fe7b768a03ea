#include "UI/ListObject.h"
#include "UI/SliderObjects.h"
#include "UI/TextEditObject.h"

#include "Framework/Keys.h"
#include "UI/ButtonObjects.h"
#include "UI/UIServices.h"

#include "UITestSupport.h"

#include <gtest/gtest.h>

using namespace UITest;

namespace
{

class ValueWidgets : public WidgetFixture
{
protected:
    template <typename T> T* Add(T* object)
    {
        database.AddObject(object);
        database.Update(0.0f);
        return object;
    }
    // Width 200 from x 100, a 20-wide thumb: travel 180.
    SliderObject* Slider(int steps = 0, float value = 0.0f)
    {
        auto* slider =
            Add(new SliderObject(MakeName("s"), 1, {100, 50}, 200, channel.get(), thumb.get(), value));
        slider->SetSteps(steps);
        slider->SetStepped(steps != 0);
        slider->SetSounds(&sounds);
        slider->SetAlphaSensitivity(0);
        return slider;
    }

    std::unique_ptr<ImageList> channel = SolidList(3, 10, 8);
    std::unique_ptr<ImageList> thumb = SolidList(5, 20, 12);
};

} // namespace

TEST_F(ValueWidgets, SliderDragsClampedAndSnapsToSteps)
{
    SliderObject* slider = Slider(5);
    EXPECT_EQ(slider->GetBounds(), (Rect<float>(100, 50, 200, 12)));
    // Grab the thumb at its left edge and drag to 0.6 of the travel (x 208): snaps to 0.5.
    database.OnMouseDown(MouseButton::Left, 100, 55);
    database.OnMouseMove(208, 55);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
    EXPECT_EQ(slider->GetThumbX(), 190.0f);
    database.OnMouseMove(210, 55); // same step: no "Snap"
    database.OnMouseMove(900, 55); // past the end
    EXPECT_FLOAT_EQ(slider->GetValue(), 1.0f);
    database.OnMouseMove(-50, 55);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.0f);
    EXPECT_EQ(played, (std::vector<std::string>{"Down", "Snap", "Snap", "Snap"}));
    // Every move of a drag tells, changed or not.
    EXPECT_EQ(database.Count("SliderValueChange"), 4u);
    database.OnMouseUp(MouseButton::Left, 100, 55);
    EXPECT_EQ(database.Count("SliderReleased"), 1u);
    EXPECT_FALSE(HoldsMouseCapture(slider));

    // A release over it without a press is still a release.
    database.OnMouseUp(MouseButton::Left, 105, 55);
    EXPECT_EQ(database.Count("SliderReleased"), 2u);
}

TEST_F(ValueWidgets, SliderKeysNudgeInKeyboardMode)
{
    SliderObject* slider = Slider(0, 0.02f);
    EXPECT_EQ(slider->OnKeyDown(Key_KeyboardMode), MessageResult::NotHandled); // no focus
    database.SetFocus(slider);
    EXPECT_EQ(slider->OnKeyDown(VK_LEFT), MessageResult::NotHandled);
    EXPECT_EQ(slider->OnKeyDown(Key_KeyboardMode), MessageResult::Handled);
    EXPECT_EQ(slider->OnKeyDown(VK_LEFT), MessageResult::Handled);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    slider->OnKeyDown(VK_RIGHT);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.05f);
    EXPECT_EQ(database.Count("SliderValueChange"), 2u);
    // Losing the focus leaves the keyboard mode.
    database.SetFocus(nullptr);
    EXPECT_FALSE(slider->IsKeyboardMode());

    slider->SetStepped(true);
    slider->SetSteps(1);
    EXPECT_FALSE(slider->AcceptsFocus());
    slider->SetValue(0.37f, false); // fewer than two steps: continuous
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.37f);
}

TEST_F(ValueWidgets, SliderDrawsChannelFocusFillAndTheStatesThumb)
{
    SliderObject* slider = Slider(0, 0.5f);
    database.SetFocus(slider);
    slider->Draw();
    const auto fills = Calls("FillF");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].state.color, (ColorF(1, 1, 1, 0.5f)));
    const auto images = Calls("Image");
    EXPECT_EQ(images.back().image, thumb->GetImageAt(0));
    EXPECT_EQ(images.back().x, 190.0f);

    canvas.calls.clear();
    slider->OnKeyDown(Key_KeyboardMode);
    slider->Draw();
    EXPECT_TRUE(Calls("FillF").empty());
    EXPECT_EQ(Calls("Image").back().image, thumb->GetImageAt(4));

    // Only the thumb takes the mouse with an alpha sensitivity; a thumb without travel is safe.
    slider->SetAlphaSensitivity(25);
    EXPECT_TRUE(slider->Contains(195, 55));
    EXPECT_FALSE(slider->Contains(120, 55));
    SliderObject narrow(NameId(), 0, {0, 0}, 10, channel.get(), thumb.get(), 0.7f);
    EXPECT_EQ(narrow.GetValue(), 0.0f);
    EXPECT_EQ(narrow.GetThumbX(), 0.0f);
}

TEST_F(ValueWidgets, ScrollBarAddsItsArrowsFirstAndGivesThemItsSounds)
{
    auto up = SolidList(4, 16, 16);
    auto down = SolidList(4, 16, 14);
    auto* bar =
        new ScrollBarObject(MakeName("SB"), 3, {50, 10}, 200, channel.get(), nullptr, up.get(), down.get());
    const ObjectHandle barHandle = database.AddObject(bar);
    auto* upButton = dynamic_cast<ButtonObject*>(database.FindObject(MakeName("SBScrollUp")));
    auto* downButton = dynamic_cast<ButtonObject*>(database.FindObject(MakeName("SBScrollDown")));
    ASSERT_TRUE(upButton && downButton);
    EXPECT_LT(upButton->GetHandle() & 0xFFFF, downButton->GetHandle() & 0xFFFF);
    EXPECT_LT(downButton->GetHandle() & 0xFFFF, barHandle & 0xFFFF);
    EXPECT_EQ(upButton->GetDepth(), 4.0f);
    EXPECT_EQ(upButton->GetBounds(), (Rect<float>(50, 10, 16, 16)));
    EXPECT_EQ(downButton->GetBounds(), (Rect<float>(50, 196, 16, 14)));
    EXPECT_EQ(bar->GetBounds(), (Rect<float>(50, 10, 10, 200)));

    bar->SetSounds(&sounds);
    EXPECT_EQ(upButton->GetSounds(), &sounds);
    EXPECT_EQ(downButton->GetSounds(), &sounds);
    database.Update(0);
    database.OnMouseDown(MouseButton::Left, 55, 200);
    database.OnMouseUp(MouseButton::Left, 55, 200);
    EXPECT_EQ(database.events.back(), "ButtonClick SBScrollDown");
}

TEST_F(ValueWidgets, ListSelectsByMouseAndKeys)
{
    auto frame = ListFrame();
    FakeFont font(5, 14);
    // Content 2.5 rows high: 40 pixels.
    auto* list = Add(new ListObject(MakeName("l"), 1, {0, 0}, frame.get(), 109, 49, &font, ColorF(1, 1, 1, 1),
                                    ColorF(1, 0, 0, 1)));
    EXPECT_FALSE(list->AcceptsFocus());
    database.SetFocusHandle(list->GetHandle());
    EXPECT_EQ(list->OnKeyDown(Key_KeyboardMode), MessageResult::NotHandled);

    for (const wchar_t* item : {L"alpha", L"beta", L"gamma"})
        list->AddItem(item);
    EXPECT_TRUE(list->AcceptsFocus());
    EXPECT_EQ(list->GetVisibleRowCount(), 2);
    EXPECT_EQ(list->GetItemRect(1), (Rect<float>(6, 20, 100, 16)));

    EXPECT_TRUE(database.OnMouseDown(MouseButton::Middle, 50, 25));
    EXPECT_TRUE(database.OnMouseDown(MouseButton::Left, 50, 25)); // again: told again
    EXPECT_EQ(database.Count("ListSelectionChange"), 2u);
    EXPECT_EQ(list->GetSelection(), 1);
    EXPECT_FALSE(database.OnMouseDown(MouseButton::Left, 50, 46)); // below the content

    EXPECT_EQ(list->OnKeyDown(Key_KeyboardMode), MessageResult::Handled);
    EXPECT_EQ(list->OnKeyDown(VK_DOWN), MessageResult::Handled);
    EXPECT_EQ(list->GetSelection(), 2);
    EXPECT_EQ(list->GetFirstVisible(), 1);
    EXPECT_EQ(list->OnKeyDown(VK_DOWN), MessageResult::Handled); // the last: no change
    EXPECT_EQ(database.Count("ListSelectionChange"), 3u);
    list->HandleMessage(Message(NoObjectHandle, Names::LostFocus));
    EXPECT_FALSE(list->IsKeyboardMode());
}

TEST_F(ValueWidgets, ListDrawsRowsClippedToThemselves)
{
    canvas.offersText = true;
    auto frame = ListFrame();
    FakeFont font(5, 14);
    auto* list = Add(new ListObject(MakeName("l"), 1, {0, 0}, frame.get(), 109, 49, &font, ColorF(1, 1, 1, 1),
                                    ColorF(1, 0, 0, 1)));
    for (const wchar_t* item : {L"alpha", L"beta", L"gamma", L"delta"})
        list->AddItem(item);
    list->Select(0);
    database.SetFocus(list);
    list->Draw();
    ASSERT_EQ(Calls("FillF").size(), 1u);
    EXPECT_EQ(Calls("FillF")[0].state.color.a, 0.15f);
    auto texts = Calls("Text");
    ASSERT_EQ(texts.size(), 3u); // the fourth row lies below the content
    EXPECT_EQ(texts[0].state.color, (ColorF(1, 0, 0, 1)));
    EXPECT_EQ(texts[1].state.color, (ColorF(1, 1, 1, 1)));
    EXPECT_EQ(texts[2].state.clipRect, (Rect<int>(6, 36, 100, 8)));

    canvas.calls.clear();
    list->OnKeyDown(Key_KeyboardMode);
    list->Draw();
    EXPECT_TRUE(Calls("FillF").empty());
    EXPECT_EQ(Calls("Text")[0].state.color, (ColorF(0, 1, 1, 1)));

    // No frame with fewer than nine images, and no font: nothing at all, no crash.
    canvas.calls.clear();
    auto few = SolidList(8, 4, 4);
    ListObject bare(NameId(), 0, {0, 0}, few.get(), 50, 50, nullptr, ColorF(), ColorF());
    bare.AddItem(L"x");
    bare.Draw();
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(ValueWidgets, TextEditTakesTheFocusByClickAndTellsEachEdit)
{
    canvas.offersText = true;
    auto field = SolidList(9, 4, 4);
    auto cursor = KestrinTest::FilledImage(1, 10, 0xFFFFFFFF);
    FakeFont font(10, 8);
    auto* edit = Add(new TextEditObject(MakeName("t"), 1, {100, 20}, field.get(), cursor.get(), 58, &font,
                                        ColorF(0, 0, 0, 1)));
    EXPECT_EQ(edit->GetBounds(), (Rect<float>(100, 20, 58, 16)));
    EXPECT_EQ(edit->OnKeyDown('A'), MessageResult::NotHandled);
    EXPECT_EQ(edit->OnText(L'a'), MessageResult::NotHandled);
    EXPECT_FALSE(database.OnMouseDown(MouseButton::Left, 90, 25));
    EXPECT_TRUE(database.OnMouseDown(MouseButton::Left, 110, 25));
    EXPECT_TRUE(HasFocus(edit));

    // Keys that type are taken; their characters come as text.
    edit->SetMaxCharacters(6);
    for (wchar_t c : std::wstring(L"Ab\u00e7defg"))
    {
        EXPECT_TRUE(database.OnKeyDown('A'));
        EXPECT_TRUE(database.OnText(c));
    }
    EXPECT_EQ(edit->GetText(), L"Ab\u00e7def");
    EXPECT_EQ(database.Count("TextEditChange"), 6u); // the refused seventh tells nothing
    EXPECT_FALSE(database.OnKeyDown(VK_RETURN));

    edit->Update(0.1f);
    edit->Draw();
    auto texts = Calls("Text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].x, 104.0f - 10.0f); // scrolled: the caret at the right edge of the text area
    EXPECT_EQ(texts[0].state.clipRect, (Rect<int>(104, 24, 50, 8)));
    EXPECT_EQ(Calls("Image").back().image, cursor.get());
    EXPECT_EQ(Calls("Image").back().x, 154.0f);

    canvas.calls.clear();
    database.SetFocus(nullptr);
    edit->Draw();
    EXPECT_NE(Calls("Image").back().image, cursor.get());
}
