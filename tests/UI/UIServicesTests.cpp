#include "UI/UIServices.h"

#include "Framework/Keys.h"
#include "Framework/ObjectDatabase.h"
#include "UI/UINames.h"

#include "Support/EngineFakes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

class Focusable : public Object, public InputHandlerComponent
{
};

class CapturePlatform : public FakePlatform
{
public:
    using FakePlatform::FakePlatform;
    void SetCapture() override { calls.push_back("capture"); }
    void ReleaseCapture() override { calls.push_back("release"); }
    std::vector<std::string> calls;
};

class UIServices : public testing::Test
{
protected:
    UIServices() { SetTopObjectDatabase(&database); }
    ~UIServices() override
    {
        SetTopObjectDatabase(nullptr);
        delete GetPlatform();
    }

    Journal journal;
    CapturePlatform* platform = new CapturePlatform(journal);
    ObjectDatabase database;
};

} // namespace

TEST_F(UIServices, HasFocusAnswersForTheLiveFocusOnly)
{
    auto* a = new Focusable;
    auto* b = new Focusable;
    database.AddObject(a);
    database.AddObject(b);
    EXPECT_TRUE(HasFocus(nullptr)); // nobody has it
    database.SetFocus(a);
    EXPECT_TRUE(HasFocus(a));
    EXPECT_FALSE(HasFocus(b));
    EXPECT_FALSE(HasFocus(nullptr));

    // A focus handle that names nothing live: only null counts as focused.
    database.SetFocusHandle(a->GetHandle() + 0x10000);
    EXPECT_FALSE(HasFocus(a));
    EXPECT_TRUE(HasFocus(nullptr));
}

TEST_F(UIServices, CaptureIsTakenInTheObjectsDatabaseAndReleasedOnlyByItsHolder)
{
    auto* a = new Focusable;
    auto* b = new Focusable;
    database.AddObject(a);
    database.AddObject(b);

    // Another screen is current: the capture still goes to the database a lives in.
    ObjectDatabase other;
    {
        ScopedCurrentObjectDatabase scope(&other);
        SetMouseCapture(a);
    }
    EXPECT_EQ(database.GetCaptureHandle(), a->GetHandle());
    EXPECT_EQ(other.GetCaptureHandle(), NoObjectHandle);

    EXPECT_FALSE(ReleaseMouseCapture(b));
    EXPECT_EQ(database.GetCaptureHandle(), a->GetHandle());
    Focusable stray; // never added: holds nothing, even though its handle is "none" too
    database.SetCaptureHandle(NoObjectHandle);
    EXPECT_FALSE(ReleaseMouseCapture(&stray));
    database.SetCaptureHandle(a->GetHandle());
    EXPECT_TRUE(ReleaseMouseCapture(a));
    EXPECT_EQ(database.GetCaptureHandle(), NoObjectHandle);

    SetMouseCapture(b);
    SetMouseCapture(nullptr);
    EXPECT_EQ(database.GetCaptureHandle(), NoObjectHandle);
    EXPECT_EQ(platform->calls, (std::vector<std::string>{"capture", "release", "capture", "release"}));
}

TEST_F(UIServices, FocusControllerMovesTheFocusWithArrowsAndTab)
{
    auto* controller = new KeyboardFocusController;
    database.AddObject(controller);
    EXPECT_EQ(database.FindObject(Names::KeyboardFocusController), controller);
    EXPECT_TRUE(controller->AcceptsFocus());
    auto* a = new Focusable;
    auto* b = new Focusable;
    database.AddObject(a);
    database.AddObject(b);
    database.SetFocus(a);

    // The focus order is the table's: controller, a, b, wrapping around.
    struct Case
    {
        int key;
        Object* focus;
    };
    const Case cases[] = {
        {VK_RIGHT, b}, {VK_DOWN, controller}, {VK_TAB, a}, {VK_LEFT, controller}, {VK_UP, b}, {VK_UP, a},
        {VK_TAB, b}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(controller->OnKeyDown(c.key), MessageResult::Handled) << c.key;
        EXPECT_EQ(database.GetObject(database.GetFocusHandle()), c.focus) << c.key;
    }
    // Shift+Tab arrives as Tab: forward too. Through the database, with the controller focused.
    database.SetFocus(controller);
    EXPECT_TRUE(database.OnKeyDown(VK_SHIFT) == false);
    EXPECT_TRUE(database.OnKeyDown(VK_TAB));
    EXPECT_EQ(database.GetObject(database.GetFocusHandle()), a);

    for (int key : {int('A'), int(VK_RETURN), int(VK_SPACE), 0x102})
        EXPECT_EQ(controller->OnKeyDown(key), MessageResult::NotHandled) << key;
    EXPECT_EQ(controller->OnKeyUp(VK_TAB), MessageResult::NotHandled);
    EXPECT_EQ(controller->OnMouseDown(MouseButton::Left, 1, 1), MessageResult::NotHandled);
}
