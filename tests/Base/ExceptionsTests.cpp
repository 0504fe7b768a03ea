#include "Base/Exceptions.h"
#include "Base/FileExceptions.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

using namespace Kestrin;

TEST(EngineError, HereNamesTheFileRelativeToTheRepository)
{
    engine_error e(KESTRIN_HERE, "x");
    EXPECT_EQ(e.SourceFile(), "tests/Base/ExceptionsTests.cpp");
    EXPECT_STREQ(e.what(), "x");
    EXPECT_TRUE(e.wideMessage.empty());
}

TEST(ComError, CodeAndItsNameWhenKnownAndCopiesKeepEveryField)
{
    SetHResultNameLookup(nullptr);
    EXPECT_STREQ(com_error("f", 1, 0x8876017c, "desc").what(), "desc (HRESULT 0x8876017c)");
    SetHResultNameLookup([](HRESULT c) -> const char* { return c == 0x10 ? "DDERR_TEST" : nullptr; });
    com_error e("file", 7, 0x10, "Could not create DirectDraw");
    SetHResultNameLookup(nullptr);
    com_error copy = e;
    EXPECT_STREQ(copy.what(), "Could not create DirectDraw (HRESULT 0x10)\nDDERR_TEST");
    EXPECT_EQ(copy.Code(), 0x10u);
    EXPECT_EQ(copy.SourceFile(), "file");
    EXPECT_EQ(copy.Line(), 7);
}

TEST(Win32Error, FormatsCodeAndSystemText)
{
    errno = 2;
    std::string text = win32_error("f", 3, "desc").what();
    EXPECT_EQ(text.rfind("desc (Win32 Error 2)\n", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string("desc (Win32 Error 2)\n").size());
    EXPECT_STREQ(win32_error("f", 3, "Could not create a window.", 0, "").what(),
                 "Could not create a window. (Win32 Error 0)");
}

TEST(UnhandledException, ReportNamesFileLineAndPrefersTheWideMessage)
{
    engine_error e("Source/X.cpp", 42, "narrow");
    e.wideMessage = L"wide \u00e9";
    KestrinTest::LogCapture log;
    LogUnhandledException(e);
    LogUnhandledException(std::runtime_error("plain"));
    EXPECT_EQ(log.Text(),
              "Unhandled Exception!\n\tFile:\tSource/X.cpp\n\tLine:\t42\n\tMessage:\twide \xc3\xa9\n"
              "Unhandled Exception!\n\tMessage:\tplain\n");
    EXPECT_EQ(UnhandledExceptionBoxText(e),
              L"Unhandled Exception\n\nFile:\tSource/X.cpp\nLine:\t42\n\nwide \u00e9");
    EXPECT_EQ(UnhandledExceptionBoxText(std::runtime_error("plain")), L"Unhandled Exception\n\nplain");
}

TEST(FileExceptions, WhatCarriesTheWholeMessage)
{
    FileReadException r(0, "GameLevels.xml", 12, "couldn't find required child node \"Level\"");
    EXPECT_STREQ(
        r.what(),
        "(0) Error reading file \"GameLevels.xml\" (line 12): couldn't find required child node \"Level\"");
    EXPECT_EQ(r.GetLine(), 12);
    EXPECT_STREQ(FileReadException(3, "f", 1, "").what(), "(3) Error reading file \"f\" (line 1)");
    EXPECT_STREQ(FileOpenException(0, "Logos.swf", "file doesn't exist").what(),
                 "(0) Error opening file \"Logos.swf\": file doesn't exist");
    EXPECT_STREQ(FileOpenException(0, "", "LibXmlReader requires a filename").what(),
                 "(0) : LibXmlReader requires a filename");
}
