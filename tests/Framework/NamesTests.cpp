#include "Framework/Names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace Kestrin;

TEST(Names, CaseInsensitiveIdentityKeepsTheFirstSpellingAndEachNameIsPooledOnce)
{
    NameId add = MakeName("AddNamesTest");
    NameId upper = MakeName("ADDNAMESTEST");
    EXPECT_EQ(add, upper);
    EXPECT_STREQ(upper.c_str(), "AddNamesTest");
    EXPECT_NE(MakeName("AddNamesTesu"), add);
    EXPECT_EQ(InternName("addnamestest"), add.Get());
    // The pool is counted on a fresh table in a child: earlier tests may have filled this one.
    EXPECT_EXIT(
        {
            ClearInternedNames();
            const size_t before = Internal::InternPoolBytesLeft();
            MakeName("AddNamesTest");
            const size_t after = Internal::InternPoolBytesLeft();
            MakeName("ADDNAMESTEST");
            MakeName("AddNamesTesu");
            std::exit(before - after == std::strlen("AddNamesTest") + 1 &&
                              Internal::InternPoolBytesLeft() + std::strlen("AddNamesTesu") + 1 == after
                          ? 0
                          : 1);
        },
        testing::ExitedWithCode(0), "");

    EXPECT_EQ(InternName(nullptr), nullptr);
    EXPECT_TRUE(MakeName(static_cast<const char*>(nullptr)).IsNull());
    NameId empty = MakeName("");
    EXPECT_FALSE(empty.IsNull());
    EXPECT_NE(empty, MakeName("x"));
    EXPECT_EQ(empty, MakeName(std::string()));
    // Wide names keep the low byte.
    EXPECT_EQ(MakeNameFromWide(L"WideName"), MakeName("widename"));
    EXPECT_EQ(MakeNameFromWString(std::wstring(L"A\u0142")), MakeName("A\x42"));
    EXPECT_TRUE(MakeNameFromWide(nullptr).IsNull());
}

TEST(Names, HashAndFormattedNamesOfAnyLength)
{
    EXPECT_EQ(HashStringNoCase("ab"), HashStringNoCase("AB"));
    EXPECT_EQ(HashStringNoCase("ab"), (65u * 31u) ^ 66u);
    EXPECT_EQ(HashStringNoCase(nullptr), 0u);
    EXPECT_EQ(HashStringNoCase("\xe9"), 0xe9u); // bytes above 127 hash as themselves, never negative

    EXPECT_EQ(InternNameF("Cue:%u", 7u), MakeName("cue:7"));
    std::string longText(6000, 'q');
    NameId big = InternNameF("%s!", longText.c_str());
    EXPECT_EQ(std::strlen(big.c_str()), 6001u);
    EXPECT_EQ(big, MakeName(longText + "!"));
}

TEST(NamesThreads, TwoThreadsInterningTheSameNamesAgree)
{
    constexpr int kCount = 5000;
    std::vector<NameId> a(kCount), b(kCount);
    auto work = [](std::vector<NameId>& out)
    {
        for (int i = 0; i < kCount; ++i)
            out[size_t(i)] = InternNameF("ThreadName%d", i);
    };
    std::thread t1(work, std::ref(a));
    std::thread t2(work, std::ref(b));
    t1.join();
    t2.join();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a[42], MakeName("threadname42"));
}

TEST(NamesThreads, AConstantNameReadFirstOnTwoThreadsIsOneId)
{
    static constinit ConstantName constant{"ConstantReadOnTwoThreads"};
    NameId a, b;
    std::thread t1([&] { a = constant; });
    std::thread t2([&] { b = constant.Get(); });
    t1.join();
    t2.join();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, MakeName("constantreadontwothreads"));
}

// These reset the process-wide table, so they run in a child process.
TEST(NamesIsolated, AConstantNameFollowsTheTableAcrossAClear)
{
    EXPECT_EXIT(
        {
            static constinit ConstantName constant{"ConstantName"};
            const NameId first = constant;
            if (first != MakeName("CONSTANTNAME") || std::strcmp(first.c_str(), "ConstantName") != 0)
                std::exit(1);
            ClearInternedNames();
            // Other names first, so the fresh table cannot hand out the old address again.
            MakeName("filler one");
            MakeName("filler two");
            const NameId second = constant;
            if (second != MakeName("constantname") || std::strcmp(second.c_str(), "ConstantName") != 0)
                std::exit(2);
            // Interned first in another spelling after a clear: the constant finds that id.
            ClearInternedNames();
            const NameId lower = MakeName("constantname");
            if (constant.Get() != lower || std::strcmp(constant.Text(), "ConstantName") != 0)
                std::exit(3);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(NamesIsolated, TableGrowsAtThreeQuartersAndKeepsIds)
{
    EXPECT_EXIT(
        {
            ClearInternedNames();
            std::vector<NameId> ids;
            for (int i = 0; i < 11; ++i)
                ids.push_back(InternNameF("n%d", i));
            if (Internal::InternTableBucketCount() != 16)
                std::exit(1);
            std::vector<const char*> addresses;
            for (NameId id : ids)
                addresses.push_back(id.Get());
            ids.push_back(MakeName("n11"));
            if (Internal::InternTableBucketCount() != 32 || Internal::InternTableEntryCount() != 12)
                std::exit(2);
            for (int i = 0; i < 11; ++i)
                if (InternNameF("N%d", i).Get() != addresses[size_t(i)])
                    std::exit(3);
            ClearInternedNames();
            MakeName("fresh");
            if (Internal::InternTableBucketCount() != 16 || Internal::InternTableEntryCount() != 1)
                std::exit(4);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(NamesIsolated, PoolOverflowGoesToTheHeapAndThePoolRestIsStillUsed)
{
    EXPECT_EXIT(
        {
            ClearInternedNames();
            Internal::InternPoolConsumeForTest(10);
            NameId exact = MakeName("123456789"); // 9 characters + terminator: ends on the last byte
            if (!Internal::InternIdIsInPool(exact.Get()) || Internal::InternPoolBytesLeft() != 0)
                std::exit(1);
            ClearInternedNames();
            Internal::InternPoolConsumeForTest(10);
            NameId heap = MakeName("1234567890"); // one byte too long
            if (Internal::InternIdIsInPool(heap.Get()) || Internal::InternPoolBytesLeft() != 10)
                std::exit(2);
            NameId small = MakeName("abc");
            if (!Internal::InternIdIsInPool(small.Get()) || Internal::InternPoolBytesLeft() != 6)
                std::exit(3);
            if (MakeName("1234567890") != heap)
                std::exit(4);
            ClearInternedNames();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}
