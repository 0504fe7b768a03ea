#include "Base/Signal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Kestrin::Signal;

TEST(Signal, CallsSlotsInConnectionOrderAndTracksThem)
{
    Signal<int> signal;
    EXPECT_TRUE(signal.IsEmpty());
    signal(1); // nothing connected: nothing happens

    std::vector<std::string> calls;
    auto a = signal.Connect([&](int v) { calls.push_back("a" + std::to_string(v)); });
    signal.Connect([&](int v) { calls.push_back("b" + std::to_string(v)); });
    EXPECT_EQ(signal.SlotCount(), 2u);
    signal(7);
    EXPECT_EQ(calls, (std::vector<std::string>{"a7", "b7"}));

    signal.Disconnect(a);
    signal.Disconnect(a); // twice is harmless
    signal(8);
    EXPECT_EQ(calls.back(), "b8");
    EXPECT_EQ(calls.size(), 3u);
    signal.DisconnectAll();
    EXPECT_TRUE(signal.IsEmpty());
}

TEST(Signal, SlotsMayChangeTheSignalWhileItIsEmitted)
{
    Signal<> signal;
    std::vector<std::string> calls;
    Signal<>::Connection second = 0;
    // The first slot drops the second and adds a third: the second is not called any more, the
    // third only from the next emission on.
    signal.Connect(
        [&]
        {
            calls.push_back("first");
            signal.Disconnect(second);
            signal.Connect([&] { calls.push_back("third"); });
        });
    second = signal.Connect([&] { calls.push_back("second"); });
    signal();
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
    calls.clear();
    signal.DisconnectAll();

    // A slot that disconnects everything, itself included, mid-emission.
    signal.Connect(
        [&]
        {
            calls.push_back("last");
            signal.DisconnectAll();
        });
    signal.Connect([&] { calls.push_back("never"); });
    signal();
    signal();
    EXPECT_EQ(calls, (std::vector<std::string>{"last"}));
}
