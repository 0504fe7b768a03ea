#include "Base/Log.h"

#include "harness/LogCapture.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

using namespace Kestrin;
namespace fs = std::filesystem;

namespace
{
// A fresh folder per test; the log is put back to its defaults afterwards.
class LogTest : public testing::Test
{
protected:
    void SetUp() override { SetLogToStderr(false); }
    void TearDown() override
    {
        SetLogFileLocator(nullptr);
        CloseLogFile();
        SetLogToStderr(true);
    }
    std::string PathOf(const char* name) const { return m_folder.Path() + "/" + name; }

    KestrinTest::TempFolder m_folder;
};
} // namespace

TEST_F(LogTest, LongTextsArriveWholeWithEveryMultiByteCharacterAndStderrGetsACopyUnlessSwitchedOff)
{
    ASSERT_TRUE(OpenLogFile(PathOf("LOG.TXT")));
    KestrinTest::LogCapture capture;
    std::string accents;
    for (int i = 0; i < 2000; ++i)
        accents += "\xC3\xA9"; // two bytes each, straddling any fixed buffer size
    LogPrintf("Error in %s: %d\n", accents.c_str(), 42);
    const std::string expected = "Error in " + accents + ": 42\n";
    EXPECT_EQ(capture.Text(), expected);
    CloseLogFile();
    EXPECT_EQ(m_folder.Read("LOG.TXT"), expected);

    // Stderr gets a copy unless switched off.
    SetLogToStderr(true);
    testing::internal::CaptureStderr();
    LogPrintf("to stderr %s\n", "\xE2\x82\xAC");
    SetLogToStderr(false);
    LogWrite("not to stderr\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr \xE2\x82\xAC\n");
}

TEST_F(LogTest, LocatorIsAskedUntilItAnswersAndTheOpenIsNeverRetried)
{
    int asked = 0;
    std::string answer;
    SetLogFileLocator(
        [&]
        {
            ++asked;
            return answer;
        });
    LogWrite("too early\n");
    LogPrintf("%s", ""); // an empty text is not written at all, so it asks nothing
    EXPECT_EQ(asked, 1);

    answer = PathOf("missing/LOG.TXT"); // the folder does not exist: the open fails
    KestrinTest::LogCapture capture;
    LogWrite("one\n");
    fs::create_directories(PathOf("missing"));
    LogWrite("two\n");
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(fs::exists(answer));
    EXPECT_EQ(capture.Text(), "one\ntwo\n"); // the other sinks still get every text

    // Installing a locator arms one new attempt; the file starts with the text that opened it.
    SetLogFileLocator([&] { return answer; });
    LogWrite("three\n");
    LogPrintf("four %d\n", 4);
    CloseLogFile();
    EXPECT_EQ(m_folder.Read("missing/LOG.TXT"), "three\nfour 4\n");
}

TEST_F(LogTest, ALocatorThatLogsOrThrowsDoesNotHang)
{
    KestrinTest::LogCapture capture;
    const std::string path = PathOf("LOG.TXT");
    SetLogFileLocator(
        [&]
        {
            LogWrite("finding the folder\n");
            return path;
        });
    LogWrite("hello\n");
    CloseLogFile();
    EXPECT_EQ(capture.Text(), "finding the folder\nhello\n");
    EXPECT_EQ(m_folder.Read("LOG.TXT"), "hello\n");

    int asked = 0;
    SetLogFileLocator(
        [&]() -> std::string
        {
            ++asked;
            throw std::runtime_error("no folder");
        });
    LogWrite("a\n");
    LogWrite("b\n");
    EXPECT_EQ(asked, 1);
}

TEST_F(LogTest, ThreadsWriteWholeLinesAndOpenTheFileOnce)
{
    const std::string path = PathOf("LOG.TXT");
    std::atomic<int> asked{0};
    SetLogFileLocator(
        [&]
        {
            ++asked;
            return path;
        });
    const std::string padding(300, '.');
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back(
            [t, &padding]
            {
                for (int i = 0; i < 200; ++i)
                    LogPrintf("thread %d line %d %s\n", t, i, padding.c_str());
            });
    for (auto& th : threads)
        th.join();
    CloseLogFile();
    EXPECT_EQ(asked.load(), 1);

    std::istringstream lines(m_folder.Read("LOG.TXT"));
    std::string line;
    std::vector<int> perThread(6, 0);
    while (std::getline(lines, line))
    {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < 6);
        EXPECT_EQ(i, perThread[size_t(t)]++) << "lines of one thread out of order";
        EXPECT_EQ(line.substr(line.size() - padding.size()), padding);
    }
    EXPECT_EQ(perThread, std::vector<int>(6, 200));
}

TEST(LogOnce, EachKeyIsLoggedOnceEvenWhenThreadsRaceForIt)
{
    KestrinTest::LogCapture capture;
    LogOnce once;
    EXPECT_TRUE(once.First("a"));
    EXPECT_FALSE(once.First("a"));
    once.Printf("a", "never %d\n", 1); // "a" was told by First
    once.Printf("b", "b %s\n", "first");
    once.Printf("b", "b %s\n", "again");
    once.Printf("", "the empty key %d\n", 2);
    EXPECT_EQ(capture.Text(), "b first\nthe empty key 2\n");

    LogOnce shared;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back(
            [&shared, t]
            {
                for (int i = 0; i < 100; ++i)
                    shared.Printf(std::to_string(i % 3), "key %d by %d\n", i % 3, t);
            });
    for (auto& thread : threads)
        thread.join();
    const std::string text = capture.Text();
    for (const char* key : {"key 0 by", "key 1 by", "key 2 by"})
        EXPECT_EQ(text.find(key), text.rfind(key)) << key;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}
