#include "UI/UINames.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kestrin;

TEST(UINames, EachConstantIsTheInternedNameOfItsText)
{
    const ConstantName* names[] = {&Names::ButtonClick,
                                   &Names::CheckBoxClick,
                                   &Names::RadioButtonClick,
                                   &Names::SliderValueChange,
                                   &Names::SliderReleased,
                                   &Names::ListSelectionChange,
                                   &Names::TextEditChange,
                                   &Names::RadioButton,
                                   &Names::Hot,
                                   &Names::Down,
                                   &Names::Snap,
                                   &Names::Checked,
                                   &Names::Unchecked,
                                   &Names::AllUIButtonSounds,
                                   &Names::ScrollUp,
                                   &Names::ScrollDown,
                                   &Names::KeyboardFocusController,
                                   &ControlNames::ButtonPause,
                                   &ControlNames::PlayTanglewisp,
                                   &ControlNames::NameplateButton,
                                   &ControlNames::UseCustomCursor,
                                   &ControlNames::YesQuit};
    for (const ConstantName* name : names)
    {
        EXPECT_EQ(name->Get(), MakeName(name->Text())) << name->Text();
        EXPECT_STREQ(name->Get().c_str(), name->Text());
    }
    // Letter case does not tell names apart: the main menu's "options" is the pause menu's.
    EXPECT_EQ(MakeName("OPTIONS"), ControlNames::Options.Get());
    EXPECT_EQ(MakeName("options"), ControlNames::Options.Get());
    EXPECT_EQ(MakeName("mainmenu"), ControlNames::MainMenu.Get());
    EXPECT_NE(Names::ButtonClick.Get(), Names::CheckBoxClick.Get());
}

TEST(UINames, WordListsIndexAsTheirValues)
{
    EXPECT_EQ(WordIndex(L"leftToRight", MeterDirectionWords), 0);
    EXPECT_EQ(WordIndex(L"rightToLeft", MeterDirectionWords), 1);
    EXPECT_EQ(WordIndex(L"topToBottom", MeterDirectionWords), 2);
    EXPECT_EQ(WordIndex(L"bottomToTop", MeterDirectionWords), 3);
    // Words match exactly; anything else takes the fallback.
    EXPECT_EQ(WordIndex(L"RightToLeft", MeterDirectionWords), 0);
    EXPECT_EQ(WordIndex(L"bottomToTop ", MeterDirectionWords, -1), -1);
    EXPECT_EQ(WordIndex(L"right", HorizontalAlignWords), 2);
    EXPECT_EQ(WordIndex(L"Center", HorizontalAlignWords), 0);
    EXPECT_EQ(WordIndex(L"middle", VerticalAlignWords), 1);
    EXPECT_EQ(WordIndex(L"", VerticalAlignWords, 7), 7);

    EXPECT_STREQ(GetCreditsPageName(0).c_str(), "quorvane");
    EXPECT_STREQ(GetCreditsPageName(1).c_str(), "tamsel");
    EXPECT_STREQ(GetCreditsPageName(2).c_str(), "partners");
    EXPECT_EQ(GetCreditsPageName(CreditsPageCount), NameId());
    EXPECT_EQ(GetCreditsPageName(-1), NameId());
}
