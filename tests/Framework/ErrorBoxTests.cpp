#include "Framework/ErrorBox.h"

#include "harness/ErrorBoxRecorder.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

using namespace Kestrin;

TEST(ErrorBox, GoesToTheLogAndToTheSinkWhenThereIsOne)
{
    {
        KestrinTest::LogCapture log;
        ShowErrorBox(L"Caption", L"no sink: log only");
        EXPECT_NE(log.Text().find("Caption: no sink: log only\n"), std::string::npos) << log.Text();
    }
    KestrinTest::LogCapture log;
    KestrinTest::ErrorBoxRecorder recorder;
    ShowErrorBox(L"There was an error loading Menu.xml", L"caf\u00e9 \u2192 bad");
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, L"There was an error loading Menu.xml");
    EXPECT_EQ(recorder.boxes[0].text, L"caf\u00e9 \u2192 bad");
    // Wide text reaches the log as UTF-8.
    EXPECT_NE(log.Text().find("Menu.xml: caf\xc3\xa9 \xe2\x86\x92 bad"), std::string::npos) << log.Text();
}
