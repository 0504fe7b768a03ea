#include "UI/BrushObjects.h"
#include "UI/ButtonObjects.h"
#include "UI/ControlObject.h"

#include "Framework/Keys.h"
#include "UI/UINames.h"
#include "UI/UIServices.h"

#include "UITestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace UITest;

namespace
{

// Notes where it was asked to be opaque.
class ProbeControl : public ControlObject
{
public:
    using ControlObject::ControlObject;
    bool IsOpaqueAt(int x, int y) override
    {
        asked.push_back({x, y});
        return true;
    }
    std::vector<Vector2<int>> asked;
};

// A plain control that notes the events the database offers it.
class NotingControl : public ControlObject
{
public:
    using ControlObject::ControlObject;
    MessageResult OnMouseMove(int, int) override { return Note("move"); }
    MessageResult OnMouseDown(MouseButton, int, int) override { return Note("down"); }
    MessageResult OnMouseUp(MouseButton, int, int) override { return Note("up"); }
    MessageResult OnKeyDown(int) override { return Note("key"); }
    std::vector<std::string> events;

private:
    MessageResult Note(const char* what)
    {
        events.push_back(what);
        return MessageResult::NotHandled;
    }
};

class Buttons : public WidgetFixture
{
protected:
    template <typename T> T* Add(T* object)
    {
        database.AddObject(object);
        database.Update(0.0f); // sorts the draw list
        return object;
    }
    ButtonObject* Button(const char* name, IImageList* images, float x = 10, float y = 20)
    {
        auto* button =
            Add(new ButtonObject(MakeName(name), 1.0f, images, L"", nullptr, {x, y}, ColorF::Black(), 0));
        button->SetSounds(&sounds);
        return button;
    }
};

} // namespace

TEST_F(Buttons, ControlBaseIsAHalfOpenRectangleThatAnswersNothing)
{
    auto* control = Add(new ProbeControl(MakeName("c"), 2.0f));
    control->SetBounds({10, 5, 20, 10});
    EXPECT_TRUE(control->Contains(10.9f, 5.2f));
    EXPECT_EQ(control->asked.back(), (Vector2<int>(10, 5)));
    EXPECT_FALSE(control->Contains(30, 6));
    EXPECT_FALSE(control->Contains(12, 15));
    control->SetWidth(7);
    EXPECT_EQ(control->GetBounds(), (Rect<float>(10, 5, 7, 10)));
    control->SetHeight(3);
    EXPECT_EQ(control->GetBounds(), (Rect<float>(10, 5, 7, 3)));
    EXPECT_EQ(control->GetDepth(), 2.0f);
    EXPECT_EQ(control->GetColor(), (ColorF(1, 1, 1, 1)));
    EXPECT_TRUE(control->AcceptsFocus());
    EXPECT_EQ(control->OnKeyDown(VK_RETURN), MessageResult::NotHandled);
    EXPECT_EQ(control->OnMouseDown(MouseButton::Left, 12, 6), MessageResult::NotHandled);

    // A disabled control is offered nothing.
    auto* noting = Add(new NotingControl(MakeName("n"), 3.0f));
    noting->SetBounds({0, 0, 100, 100});
    database.SetFocus(noting);
    noting->SetEnabled(false);
    database.OnMouseDown(MouseButton::Left, 5, 5);
    database.OnKeyDown(VK_SPACE);
    EXPECT_TRUE(noting->events.empty());
    noting->SetEnabled(true);
    database.OnMouseDown(MouseButton::Left, 5, 5);
    database.OnKeyDown(VK_SPACE);
    EXPECT_EQ(noting->events, (std::vector<std::string>{"down", "key"}));
}

TEST_F(Buttons, ClickNeedsAPressAndAReleaseOverTheButton)
{
    auto images = SolidList(4, 40, 20);
    ButtonObject* button = Button("b", images.get());
    EXPECT_EQ(button->GetBounds(), (Rect<float>(10, 20, 40, 20)));

    // Press, drag off, release: no click, the capture is gone.
    EXPECT_TRUE(database.OnMouseDown(MouseButton::Left, 15, 25));
    EXPECT_TRUE(HoldsMouseCapture(button));
    EXPECT_EQ(button->GetStateIndex(), ControlState_Down);
    database.OnMouseMove(100, 100);
    EXPECT_EQ(button->GetStateIndex(), ControlState_Normal);
    database.OnMouseUp(MouseButton::Left, 100, 100);
    EXPECT_FALSE(HoldsMouseCapture(button));
    EXPECT_EQ(database.Count("ButtonClick"), 0u);

    // A release without the press.
    database.OnMouseUp(MouseButton::Left, 15, 25);
    EXPECT_EQ(database.Count("ButtonClick"), 0u);

    // Any mouse button clicks.
    database.OnMouseDown(MouseButton::Right, 15, 25);
    database.OnMouseUp(MouseButton::Right, 16, 26);
    EXPECT_EQ(database.events.back(), "ButtonClick b");
    EXPECT_EQ(platform->releases, 2);
}

TEST_F(Buttons, KeysClickWithTheFocusAndTheHotKeyWithout)
{
    auto images = SolidList(4, 40, 20);
    ButtonObject* button = Button("b", images.get());
    button->SetKeyCode(VK_ESCAPE);
    for (int key : {int(VK_RETURN), int(VK_SPACE), int(Key_GamePadA)})
        EXPECT_EQ(button->OnKeyDown(key), MessageResult::NotHandled) << key;
    EXPECT_EQ(button->OnKeyDown(VK_ESCAPE), MessageResult::Handled);
    EXPECT_EQ(database.Count("ButtonClick"), 1u);
    database.SetFocus(button);
    for (int key : {int(VK_RETURN), int(VK_SPACE), int(Key_GamePadA)})
        EXPECT_EQ(button->OnKeyDown(key), MessageResult::Handled) << key;
    EXPECT_EQ(button->OnKeyDown('A'), MessageResult::NotHandled);
    EXPECT_EQ(database.Count("ButtonClick"), 4u);
    EXPECT_EQ(button->OnKeyUp(VK_RETURN), MessageResult::NotHandled);
}

TEST_F(Buttons, HotPlaysOnceOnEntryAndDownOnThePress)
{
    auto images = SolidList(4, 40, 20);
    Button("b", images.get());
    for (int x : {0, 15, 16, 30, 80, 20})
        database.OnMouseMove(x, 25);
    database.OnMouseDown(MouseButton::Left, 20, 25);
    EXPECT_EQ(played, (std::vector<std::string>{"Hot", "Hot", "Down"}));
}

TEST_F(Buttons, DrawsTheStatesImageAndItsCaption)
{
    auto three = SolidList(3, 40, 20);
    ButtonObject* disabled = Button("d", three.get());
    disabled->SetEnabled(false);
    disabled->Draw();
    EXPECT_TRUE(canvas.calls.empty());

    auto four = SolidList(4, 40, 20);
    ButtonObject* focused = Button("f", four.get());
    database.SetFocus(focused);
    focused->Draw();
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].image, four->GetImageAt(1)); // no focus image with four

    // A caption-only button is centred on its point; its caption is centred on it.
    canvas.offersText = true;
    canvas.calls.clear();
    FakeFont font(4, 12);
    auto* caption = Add(
        new ButtonObject(MakeName("c"), 1, nullptr, L"0123456789", &font, {100, 50}, ColorF(1, 0, 0, 1), 0));
    EXPECT_EQ(caption->GetBounds(), (Rect<float>(80, 44, 40, 12)));
    caption->Draw();
    ASSERT_EQ(Calls("Text").size(), 1u);
    EXPECT_EQ(Calls("Text")[0].x, 80.0f); // floor(80 + 41 / 2) less half the text's width
    EXPECT_EQ(Calls("Text")[0].y, 44.0f);
    EXPECT_EQ(Calls("Text")[0].state.color, (ColorF(1, 0, 0, 1)));
    caption->SetVisible(false);
    canvas.calls.clear();
    caption->Draw();
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(Buttons, CheckBoxTogglesFromBoxLabelAndKeys)
{
    canvas.offersText = true;
    auto images = SolidList(8, 16, 16);
    FakeFont font(5, 10);
    auto* box = Add(
        new CheckBoxObject(MakeName("cb"), 1, {10, 10}, images.get(), 0, L"Mute", &font, ColorF(0, 0, 1, 1)));
    box->SetSounds(&sounds);
    EXPECT_EQ(box->GetLabelRect(), (Rect<float>(31, 13, 20, 10)));

    // A click on the label toggles; one in the gap between box and label does not.
    database.OnMouseDown(MouseButton::Left, 40, 15);
    database.OnMouseUp(MouseButton::Left, 40, 15);
    EXPECT_TRUE(box->checked);
    database.OnMouseDown(MouseButton::Left, 28, 15);
    database.OnMouseUp(MouseButton::Left, 28, 15);
    EXPECT_TRUE(box->checked);
    database.SetFocus(box);
    EXPECT_EQ(box->OnKeyDown(VK_SPACE), MessageResult::Handled);
    EXPECT_FALSE(box->checked);
    EXPECT_EQ(database.Count("CheckBoxClick"), 2u);
    EXPECT_EQ(played, (std::vector<std::string>{"Down", "Checked", "Unchecked"}));

    // Checked, focused, eight images: frame 1 + 4; the label at its rectangle.
    box->checked = true;
    box->Draw();
    EXPECT_EQ(Calls("Image").at(0).image, images->GetImageAt(5));
    ASSERT_EQ(Calls("Text").size(), 1u);
    EXPECT_EQ(Calls("Text")[0].x, 31.0f);
    EXPECT_EQ(Calls("Text")[0].y, 13.0f);

    // Moved, the label goes along.
    box->SetLocation({20, 30});
    EXPECT_EQ(box->GetLabelRect(), (Rect<float>(41, 33, 20, 10)));
}

TEST_F(Buttons, RadioSelectionClearsItsGroupOnly)
{
    auto images = SolidList(5, 16, 16);
    auto radio = [&](const char* name, const char* group, float x)
    {
        return Add(new RadioButtonObject(name ? MakeName(name) : NameId(), 1, {x, 0}, images.get(), 0,
                                         MakeName(group), L"", nullptr, ColorF::Black()));
    };
    // Unnamed buttons, as a layout without "name" makes them, clear each other too.
    RadioButtonObject* a = radio(nullptr, "g", 0);
    RadioButtonObject* b = radio(nullptr, "g", 20);
    RadioButtonObject* c = radio("c", "g", 40);
    RadioButtonObject* other = radio("o", "h", 60);
    EXPECT_EQ(a->GetRole(), Names::RadioButton);
    other->selected = a->selected = c->selected = true;

    database.OnMouseDown(MouseButton::Left, 25, 5);
    database.OnMouseUp(MouseButton::Left, 25, 5);
    EXPECT_TRUE(b->selected);
    EXPECT_FALSE(a->selected);
    EXPECT_FALSE(c->selected);
    EXPECT_TRUE(other->selected);
    EXPECT_EQ(b->GetStateIndex(), ControlState_Down);
    EXPECT_EQ(c->GetStateIndex(), ControlState_Normal);

    // Selecting it again fires again.
    b->Select();
    EXPECT_EQ(database.Count("RadioButtonClick"), 2u);
}

TEST_F(Buttons, RadioLabelSitsBesideThePlainButtonAndIsNotClickable)
{
    canvas.offersText = true;
    auto images = SolidList(5, 16, 16);
    FakeFont font(5, 10);
    auto* radio = Add(new RadioButtonObject(MakeName("r"), 1, {10, 10}, images.get(), 0, MakeName("g"),
                                            L"One", &font, ColorF::Black()));
    radio->Draw();
    ASSERT_EQ(Calls("Text").size(), 1u);
    EXPECT_EQ(Calls("Text")[0].x, 31.0f);
    EXPECT_EQ(Calls("Text")[0].y, 18.0f - 5.0f); // centred on floor(10 + 17 / 2)
    database.OnMouseDown(MouseButton::Left, 35, 15);
    database.OnMouseUp(MouseButton::Left, 35, 15);
    EXPECT_FALSE(radio->selected);
}

TEST_F(Buttons, BackgroundSwallowsTheMouseOfWhatIsBehindIt)
{
    auto images = SolidList(4, 40, 20);
    ButtonObject* button = Button("b", images.get());
    auto frame = SolidList(9, 4, 4);
    auto* background = Add(new BackgroundObject(MakeName("bg"), 5.0f, frame.get(), {0, 0}, 200, 100));
    EXPECT_FALSE(background->AcceptsFocus());
    database.OnMouseMove(15, 25);
    database.OnMouseDown(MouseButton::Left, 15, 25);
    database.OnMouseUp(MouseButton::Left, 15, 25);
    EXPECT_FALSE(button->IsHot());
    EXPECT_EQ(database.Count("ButtonClick"), 0u);
    EXPECT_TRUE(played.empty());
    EXPECT_EQ(background->OnKeyDown(VK_RETURN), MessageResult::NotHandled);

    BackgroundObject(NameId(), 0, frame.get(), {3, 4}, 12, 12).Draw();
    ASSERT_EQ(Calls("Image").size(), 9u);
    const auto calls = Calls("Image");
    EXPECT_TRUE(
        std::any_of(calls.begin(), calls.end(), [](const CanvasCall& c) { return c.x == 11 && c.y == 12; }));
    canvas.calls.clear();
    auto few = SolidList(8, 4, 4);
    BackgroundObject(NameId(), 0, few.get(), {0, 0}, 50, 50).Draw();
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(Buttons, BrushesDrawAtTheirAlphaAndTint)
{
    auto frame = SolidList(9, 4, 4);
    NineBrushObject nine(MakeName("n"), frame.get(), {0, 0}, 12, 12, 1);
    nine.SetAlpha(0.0f);
    nine.Draw();
    EXPECT_TRUE(canvas.calls.empty());
    nine.SetAlpha(0.5f);
    nine.Draw();
    ASSERT_EQ(canvas.calls.size(), 9u);
    EXPECT_EQ(canvas.calls[0].state.imageColor.a, 0.5f);

    // Narrower than its caps: the caps overlap, no middle.
    canvas.calls.clear();
    auto three = SolidList(3, 10, 6);
    ThreeBrushObject brush(MakeName("t"), three.get(), 1, {100, 50}, 15);
    EXPECT_EQ(brush.GetBounds().h, 0.0f);
    brush.SetColor({1, 0, 0, 0.25f});
    brush.Draw();
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].x, 100.0f);
    EXPECT_EQ(canvas.calls[1].x, 105.0f);
    EXPECT_EQ(canvas.calls[1].state.imageColor, (ColorF(1, 0, 0, 0.25f)));
    brush.SetAlpha(0.0f);
    canvas.calls.clear();
    brush.Draw();
    EXPECT_TRUE(canvas.calls.empty());
}
