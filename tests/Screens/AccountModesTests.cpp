#include "Screens/AccountModes.h"

#include "Framework/AccountManager.h"
#include "Framework/Keys.h"
#include "Framework/Paths.h"
#include "Framework/ValueResources.h"
#include "Graphics/GraphicsResources.h"
#include "Scene/TextEditNode.h"
#include "Scene/TextSpriteNode.h"

#include "RealDataFixture.h"

#include <filesystem>
#include <fstream>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class Opener : public SceneApplicationMode
{
};

class ChangeRecorder : public IAccountChangeHandler
{
public:
    void OnAccountChanging() override { calls += "changing "; }
    void OnAccountChanged() override { calls += "changed "; }
    std::string calls;
};

class Profiles : public RealDataFixture
{
protected:
    AccountManager& Store() { return *AccountManager::Instance(); }
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (Account* account : Store().GetAccounts())
            names.push_back(account->GetName());
        return names;
    }
    std::wstring Current()
    {
        return Store().GetCurrentAccount() ? Store().GetCurrentAccount()->GetName() : L"-";
    }
    // Profiles besides the default one, the last of them current.
    void Make(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names)
            ASSERT_NE(Store().CreateAccount(name), nullptr);
        Store().SetCurrentAccount(*(names.end() - 1));
    }
    AccountMode* ShowList()
    {
        Show(new Opener);
        return Show(new AccountMode);
    }
    // Through a pop-up's slide, in or out, and the requests it queued.
    void Settle()
    {
        Steps(30);
        Pass();
    }
    TextEditNode* Field() { return dynamic_cast<TextEditNode*>(Top()->FindObject(MakeName("AccountName"))); }
    TextSpriteNode* Instruction()
    {
        return dynamic_cast<TextSpriteNode*>(
            dynamic_cast<SceneApplicationMode*>(Top())->GetRootNode()->FindNode(
                {"popup_new_profile", "text_ProfileInstruction"}));
    }
    // Types the name into the pop-up and presses "OK".
    void Submit(const std::wstring& name)
    {
        ASSERT_NE(Field(), nullptr);
        Field()->SetText(name);
        ASSERT_TRUE(Click("OK"));
    }
    // The rows of the list as {text, selected colour}.
    std::vector<std::pair<std::wstring, bool>> Rows(AccountMode* list)
    {
        const ColorF selected = GetValueResource<ColorF>("profileSelectedColor")->value;
        std::vector<std::pair<std::wstring, bool>> rows;
        SceneNode* container = list->GetRootNode()->FindNode({"accountRoot", "AccountEntriesAttach"});
        for (SceneNode* child = container->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* text = dynamic_cast<TextSpriteNode*>(child))
                rows.emplace_back(text->GetText(), text->GetLocalState().color == selected);
        return rows;
    }
    SceneNode* RowHandle(AccountMode* list, const std::wstring& name)
    {
        SceneNode* container = list->GetRootNode()->FindNode({"accountRoot", "AccountEntriesAttach"});
        for (SceneNode* child = container->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* text = dynamic_cast<TextSpriteNode*>(child); text && text->GetText() == name)
                return child->FindChild("mouseHandle");
        return nullptr;
    }
    float HighlightY(AccountMode* list)
    {
        return list->GetRootNode()
            ->FindNode({"accountRoot", "AccountEntriesAttach", "selected_player"})
            ->GetLocalState()
            .y;
    }
};

TEST_F(Profiles, NewAndDeleteFollowTheNumberOfProfiles)
{
    struct Case
    {
        int extra;
        bool newEnabled, deleteEnabled;
    };
    for (const Case& c : {Case{0, true, false}, Case{8, true, true}, Case{9, false, true}})
    {
        SCOPED_TRACE(c.extra + 1);
        for (int i = int(Store().GetAccounts().size()) - 1; i < c.extra; ++i)
            ASSERT_NE(Store().CreateAccount(L"P" + std::to_wstring(i)), nullptr);
        ShowList();
        EXPECT_EQ(IsEnabled("New"), c.newEnabled);
        EXPECT_EQ(IsEnabled("Delete"), c.deleteEnabled);
        ClearStackAndPush(new Opener);
        Pass();
    }
}

TEST_F(Profiles, TheListPicksTheCurrentProfile)
{
    Make({L"Ann", L"Bob", L"Cy"});
    Store().SetCurrentAccount(L"Bob"); // third: after "[ Player ]" and "Ann"
    AccountMode* list = ShowList();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Rows(list), (std::vector<std::pair<std::wstring, bool>>{
                              {L"[ Player ]", false}, {L"Ann", false}, {L"Bob", true}, {L"Cy", false}}));
    EXPECT_FLOAT_EQ(HighlightY(list), 52.0f);
    EXPECT_EQ(list->GetSelectedIndex(), 2);

    // A press on a row picks it; "OK" makes it current and closes the list.
    ChangeRecorder recorder;
    Store().AddAccountChangeHandler(&recorder);
    ClickNode(RowHandle(list, L"Ann"));
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    EXPECT_FLOAT_EQ(HighlightY(list), 26.0f);
    EXPECT_EQ(Current(), L"Bob");
    ASSERT_TRUE(Click("OK"));
    EXPECT_EQ(Current(), L"Ann");
    EXPECT_EQ(recorder.calls, "changing changed ");
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Store().RemoveAccountChangeHandler(&recorder);
}

TEST_F(Profiles, ANameDifferingOnlyInCaseIsANewProfileAndCancelKeepsIt)
{
    Make({L"Ann"});
    AccountMode* list = ShowList();
    ASSERT_TRUE(Click("New"));
    Pass();
    Steps(30);
    Submit(L"ann");
    EXPECT_EQ(Current(), L"ann");
    Settle(); // slides out, then pops
    ASSERT_EQ(Top(), list);
    EXPECT_EQ(Rows(list).back(), (std::pair<std::wstring, bool>{L"ann", true}));
    EXPECT_EQ(list->GetSelectedIndex(), 2);
    ASSERT_TRUE(Click("Cancel"));
    Pass();
    EXPECT_EQ(Current(), L"ann");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"[ Player ]", L"Ann", L"ann"}));
}

TEST_F(Profiles, ANameTypedOnAnotherLayoutKeepsItsDigitsAndAccents)
{
    AccountMode* list = ShowList();
    ASSERT_TRUE(Click("New"));
    Pass();
    Steps(30);
    ClickNode(Field());
    // As the window delivers a French layout: digits are Shift with keys that have no key code
    // here, as has the e acute key; a dead circumflex sends nothing until its e.
    using Kestrin::InputEvent;
    const InputEvent typed[] = {
        {InputEvent_KeyDown, 0, 0, VK_SHIFT}, {InputEvent_KeyDown, 0, 0, 'Z'},
        {InputEvent_Text, 0, 0, 'Z'},         {InputEvent_KeyUp, 0, 0, VK_SHIFT},
        {InputEvent_KeyDown, 0, 0, 'O'},      {InputEvent_Text, 0, 0, 'o'},
        {InputEvent_Text, 0, 0, 0xE9},        {InputEvent_KeyDown, 0, 0, VK_SHIFT},
        {InputEvent_Text, 0, 0, '1'},         {InputEvent_Text, 0, 0, '2'},
        {InputEvent_KeyUp, 0, 0, VK_SHIFT},   {InputEvent_KeyDown, 0, 0, 'E'},
        {InputEvent_Text, 0, 0, 0xEA},        {InputEvent_Text, 0, 0, 0x20AC}, // AltGr+E, past Latin-1
        {InputEvent_KeyDown, 0, 0, VK_RETURN}};
    for (const InputEvent& event : typed)
        looper->HandleInputEvent(event);
    EXPECT_EQ(Current(), L"Zo\u00e912\u00ea");
    Settle();
    ASSERT_EQ(Top(), list);
    EXPECT_EQ(Rows(list).back(), (std::pair<std::wstring, bool>{L"Zo\u00e912\u00ea", true}));
}

TEST_F(Profiles, BadNamesAreRefusedWithTheirTextsAndTheErrorFont)
{
    ShowList();
    ASSERT_TRUE(Click("New"));
    Pass();
    Steps(30);
    const Font* before = Instruction()->GetFont();
    ASSERT_NE(before, GetFont("Chalet-NewYorkNineteenEighty11").second);
    for (auto [name, key] :
         {std::pair{L"", "Profile.ErrorNameLength"}, {L"[ Player ]", "Profile.ErrorDuplicate"}})
    {
        Submit(name);
        EXPECT_EQ(Instruction()->GetText(), GetGameText(key));
        EXPECT_EQ(Instruction()->GetFont(), GetFont("Chalet-NewYorkNineteenEighty11").second);
        Steps(40);
        EXPECT_TRUE(Requests().empty()); // the pop-up stays
        EXPECT_EQ(Names(), (std::vector<std::wstring>{L"[ Player ]"}));
    }
}

TEST_F(Profiles, DeletingTheCurrentProfileMakesTheFirstCurrent)
{
    Make({L"Ann", L"Bob"});
    AccountMode* list = ShowList();
    EXPECT_EQ(list->GetSelectedIndex(), 2);
    ASSERT_TRUE(Click("Delete"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "DeleteAccountMode"}}));
    EXPECT_EQ(QueuedAs<DeleteAccountMode>(0)->GetAccountName(), L"Bob");
    Pass();
    Steps(30);
    // The question says whom it deletes.
    EXPECT_EQ(
        dynamic_cast<TextSpriteNode*>(dynamic_cast<SceneApplicationMode*>(Top())->GetRootNode()->FindNode(
                                          {"popup_delete_profile", "text_DeleteConfirmMesg"}))
            ->GetText()
            .substr(0, 11),
        L"Delete Bob ");
    ASSERT_TRUE(Click("OK"));
    Settle();
    ASSERT_EQ(Top(), list);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"[ Player ]", L"Ann"}));
    EXPECT_EQ(Current(), L"[ Player ]");
    EXPECT_EQ(Rows(list),
              (std::vector<std::pair<std::wstring, bool>>{{L"[ Player ]", true}, {L"Ann", false}}));
    EXPECT_EQ(list->GetSelectedIndex(), 0);
    EXPECT_TRUE(IsEnabled("Delete"));
}

TEST_F(Profiles, TheFirstProfileReplacesTheDefaultOne)
{
    ChangeRecorder recorder;
    Store().AddAccountChangeHandler(&recorder);
    Show(new Opener);
    Show(new FirstAccountMode);
    // The name field has the keyboard focus at once; no "Cancel" is offered, and "OK" stands alone
    // in the middle of the panel.
    EXPECT_EQ(Top()->GetFocusHandle(), Field()->GetHandle());
    EXPECT_FALSE(Button("Cancel")->IsWorldVisible());
    const SceneNode::Rectf ok = Button("OK")->GetWorldRect();
    EXPECT_NEAR(ok.x + ok.w / 2, 400.0f, 1.0f);
    Steps(30);
    EXPECT_FALSE(Click("Cancel"));
    Send(InputEvent_KeyDown, 0, 0, VK_ESCAPE); // ignored: the first profile must be named
    Steps(30);
    EXPECT_TRUE(Requests().empty());
    Submit(L"[ Player ]");
    EXPECT_EQ(Instruction()->GetText(), GetGameText("Profile.ErrorDuplicate"));
    EXPECT_EQ(recorder.calls, "");
    Submit(L"Dee");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Dee"}));
    EXPECT_EQ(Current(), L"Dee");
    EXPECT_EQ(recorder.calls, "changing changed ");
    Settle();
    EXPECT_NE(dynamic_cast<Opener*>(Top()), nullptr);
    Store().RemoveAccountChangeHandler(&recorder);
}

TEST_F(Profiles, APressLostToAPopUpStillPicksTheRowItIsReleasedOver)
{
    Make({L"Ann", L"Bob"});
    AccountMode* list = ShowList();
    const SceneNode::Rectf ann = RowHandle(list, L"Ann")->GetWorldRect();
    const int x = int(ann.x + ann.w / 2), y = int(ann.y + ann.h / 2);

    // The press comes while the new-player pop-up slides out, and is lost to it.
    ASSERT_TRUE(Click("New"));
    Pass();
    Steps(30);
    Send(InputEvent_KeyDown, 0, 0, VK_ESCAPE);
    Steps(10);
    Send(InputEvent_ButtonDown, x, y, 0);
    Settle();
    ASSERT_EQ(Top(), list);
    EXPECT_EQ(list->GetSelectedIndex(), 2);
    Send(InputEvent_ButtonUp, x, y, 0);
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    EXPECT_FLOAT_EQ(HighlightY(list), 26.0f);
    ASSERT_TRUE(Click("Delete"));
    EXPECT_EQ(QueuedAs<DeleteAccountMode>(0)->GetAccountName(), L"Ann");
}

TEST_F(Profiles, ButtonsWithoutAPickedProfileDoNothing)
{
    Make({L"Ann"});
    AccountMode* list = ShowList();
    // The picked profile went behind the list's back: its row is past the end.
    Store().DeleteAccount(L"Ann");
    EXPECT_EQ(list->GetSelectedAccount(), nullptr);
    ASSERT_TRUE(Click("Delete"));
    ASSERT_TRUE(Click("OK"));
    EXPECT_TRUE(Requests().empty());
}

TEST_F(Profiles, AProfileThatCannotBeSavedIsToldOnceWithTheFolderAndTheReason)
{
    SetAppDataFolderOverride(user.WidePath());
    Make({L"Ann"});
    ShowList();
    // The per-user folder goes and a file takes its place: nothing can be written there any more.
    const std::string moved = user.Path() + ".moved";
    std::filesystem::rename(user.Path(), moved);
    std::ofstream(user.Path()) << "not a folder";

    ASSERT_TRUE(Click("New"));
    Pass();
    Steps(30);
    Field()->SetText(L"Cy");
    Send(InputEvent_KeyDown, 0, 0, VK_RETURN);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(L"\"" + user.WidePath() + L"\""), std::wstring::npos);
    EXPECT_NE(boxes.boxes[0].text.find(L"couldn't create the temporary file"), std::wstring::npos);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"[ Player ]", L"Ann"}));
    EXPECT_TRUE(Requests().empty()); // the pop-up stays for another try
    // A failed save after that (the current flags) is logged only.
    Store().SetCurrentAccount(L"[ Player ]");
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(log.Text().find("Couldn't write account file"), std::string::npos);

    std::filesystem::remove(user.Path());
    std::filesystem::rename(moved, user.Path());
    SetAppDataFolderOverride(L"");
}

using BrokenProfiles = ScreenFixture;

TEST_F(BrokenProfiles, WithoutTheGroupTheScreensLetThePlayerOut)
{
    AddBrokenGroup("Account");
    // The first-profile pop-up goes at once, in the pass that pushed it.
    PushMode(new FirstAccountMode);
    Pass();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Top(), nullptr);

    auto* list = new AccountMode;
    PushMode(list);
    Pass();
    EXPECT_EQ(boxes.boxes.size(), 2u);
    EXPECT_TRUE(list->OnKeyDown(27));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

} // namespace
