#include "Platform/AudioControls.h"

#include <gtest/gtest.h>

using Kestrin::BASSAudioControls;

namespace
{

// Counts Stop calls; the rest is unused by the tree.
class StopCounter : public Kestrin::ISoundChannel
{
public:
    int stops = 0;
    void AddRef() override {}
    void Release() override {}
    void Play(Kestrin::ISound*, int) override {}
    void Stop() override { ++stops; }
    bool IsPlaying() override { return false; }
    Kestrin::ISound* GetSound() override { return nullptr; }
    Kestrin::IAudioControls* GetControls() override { return nullptr; }
    void SetControls(Kestrin::IAudioControls*) override {}
    void Refresh() override {}
};

struct Tree
{
    BASSAudioControls* master = new BASSAudioControls(nullptr);
    BASSAudioControls* category = new BASSAudioControls(master);
    BASSAudioControls* node = new BASSAudioControls(category);
    ~Tree()
    {
        node->Release();
        category->Release();
        master->Release();
    }
};

// Advances the node by n steps of 20 ms.
void Steps(BASSAudioControls* c, int n)
{
    while (n-- > 0)
        c->Update(0.02f);
}

} // namespace

TEST(AudioControls, CombinesDownThePath)
{
    Tree t;
    t.master->SetVolume(0.8f);
    t.category->SetVolume(0.5f);
    EXPECT_EQ(int(t.node->GetVolume() * 100), 40);
    EXPECT_FLOAT_EQ(t.node->GetOwnVolume(), 1.0f);

    t.category->SetFrequencyScale(1.5f);
    t.node->SetFrequencyScale(2.0f);
    EXPECT_FLOAT_EQ(t.node->GetFrequencyScale(), 3.0f);

    struct
    {
        float parent, own, combined;
    } pans[] = {{0.7f, 0.6f, 1.0f}, {-0.5f, 0.2f, -0.3f}, {-0.9f, -0.9f, -1.0f}};
    for (auto& p : pans)
    {
        t.category->SetPan(p.parent);
        t.node->SetPan(p.own);
        EXPECT_FLOAT_EQ(t.node->GetPan(), p.combined) << p.parent << " + " << p.own;
    }

    t.master->SetMuted(true);
    t.category->Pause();
    EXPECT_TRUE(t.node->IsMuted() && t.node->IsPaused());
    EXPECT_FALSE(t.node->IsOwnMuted() || t.master->IsPaused());
    EXPECT_FLOAT_EQ(t.node->GetVolume(), 0.4f); // muting keeps the stored volumes
    t.master->SetMuted(false);
    t.category->Resume();
    EXPECT_FALSE(t.node->IsMuted() || t.node->IsPaused());
}

TEST(AudioControls, ChangedFlagFollowsSettersAndAncestors)
{
    Tree t;
    for (auto* n : {t.master, t.category, t.node})
        Steps(n, 1);
    EXPECT_FALSE(t.node->IsChanged());
    t.master->SetVolume(0.5f);
    EXPECT_TRUE(t.node->IsChanged());
    t.master->Update(0.02f);
    EXPECT_FALSE(t.node->IsChanged());

    StopCounter channel;
    t.node->Attach(&channel);
    t.master->StopAll();
    EXPECT_FALSE(t.master->IsChanged());
    EXPECT_EQ(channel.stops, 1);
}

TEST(AudioControls, VolumeFadeIsLinearAndEndsExactly)
{
    BASSAudioControls c(nullptr);
    c.FadeVolume(0.0f, 2.0f);
    Steps(&c, 50);
    EXPECT_NEAR(c.GetVolume(), 0.5f, 1e-5f);
    Steps(&c, 49);
    EXPECT_GT(c.GetVolume(), 0.0f);
    Steps(&c, 2); // float accumulation lands the end on step 100 or 101
    EXPECT_EQ(c.GetVolume(), 0.0f);
    c.Update(0.02f);
    EXPECT_FALSE(c.IsChanged()); // fade is off

    c.FadeVolume(0.5f, 0.0f);
    c.Update(0.02f);
    EXPECT_EQ(c.GetVolume(), 0.5f);
    EXPECT_TRUE(c.IsChanged());

    c.FadeVolume(1.0f, 1.0f);
    c.SetVolume(0.25f); // a set cancels the fade
    c.Update(0.02f);
    EXPECT_EQ(c.GetVolume(), 0.25f);
}

TEST(AudioControls, OnlyTheFirstActiveFadeAdvances)
{
    BASSAudioControls c(nullptr);
    c.FadeVolume(0.0f, 0.1f);
    c.FadeFrequencyScale(2.0f, 0.1f);
    c.FadePan(1.0f, 0.1f);
    Steps(&c, 5);
    EXPECT_EQ(c.GetFrequencyScale(), 1.0f);
    EXPECT_EQ(c.GetPan(), 0.0f);
    Steps(&c, 2); // volume may need one extra step (float sum)
    EXPECT_EQ(c.GetVolume(), 0.0f);
    EXPECT_GT(c.GetFrequencyScale(), 1.0f);
    EXPECT_EQ(c.GetPan(), 0.0f);
}

TEST(AudioControls, DelayedActions)
{
    Tree t;
    StopCounter a, b;
    t.node->Attach(&a);
    t.category->Attach(&b);
    EXPECT_EQ(t.master->Channels().size(), 2u);

    t.category->PauseAfter(0.05f);
    t.category->FadeVolume(0.0f, 1.0f);
    Steps(t.category, 2);
    EXPECT_FALSE(t.node->IsPaused());
    float before = t.category->GetOwnVolume();
    t.category->Update(0.02f);
    EXPECT_TRUE(t.node->IsPaused());
    EXPECT_EQ(t.category->GetOwnVolume(), before); // the pause step moves no fade

    t.category->ResumeAfter(0.0f); // a zero delay never fires
    Steps(t.category, 10);
    EXPECT_TRUE(t.node->IsPaused());

    t.category->StopAllAfter(1.0f);
    Steps(t.category, 49);
    EXPECT_EQ(a.stops + b.stops, 0);
    Steps(t.category, 2);
    EXPECT_EQ(std::make_pair(a.stops, b.stops), std::make_pair(1, 1));

    t.node->Detach(&a);
    EXPECT_EQ(t.master->Channels().size(), 1u);
    EXPECT_EQ(t.category->Channels().size(), 1u);
    EXPECT_TRUE(t.node->Channels().empty());
}

TEST(AudioControls, NodeHoldsItsParent)
{
    auto* parent = new BASSAudioControls(nullptr);
    auto* child = new BASSAudioControls(parent);
    EXPECT_EQ(parent->GetRefCount(), 2);
    child->Release();
    EXPECT_EQ(parent->GetRefCount(), 1);
    parent->Release();
}
