#include "Screens/OutroEffects.h"

#include "Base/Random.h"
#include "Game/GameText.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/StaticSpriteNode.h"

#include "RealDataFixture.h"
#include "Support/FakeRandom.h"

#include <cmath>

using namespace ScreenTest;

namespace
{

TEST(MinutesSeconds, EachPartHasTwoDigitsAtLeastAndMinutesAreNotCapped)
{
    const std::pair<int, const wchar_t*> cases[] = {{0, L"00:00"},    {5, L"00:05"},     {59, L"00:59"},
                                                    {60, L"01:00"},   {75, L"01:15"},    {600, L"10:00"},
                                                    {3599, L"59:59"}, {6000, L"100:00"}, {-5, L"00:00"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(FormatMinutesSeconds(seconds), text) << seconds;
}

class OutroEffects : public RealDataFixture
{
protected:
    OutroEffects() { screen = Show(new SceneApplicationMode); }

    static std::vector<SceneNode*> Children(SceneNode* node)
    {
        std::vector<SceneNode*> out;
        for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
            out.push_back(child);
        return out;
    }
    size_t Alive(const std::vector<Kestrin::ObjectHandle>& handles) const
    {
        return size_t(std::count_if(handles.begin(), handles.end(),
                                    [&](Kestrin::ObjectHandle h) { return screen->IsValidHandle(h); }));
    }
    static std::vector<Kestrin::ObjectHandle> Handles(const std::vector<SceneNode*>& nodes)
    {
        std::vector<Kestrin::ObjectHandle> out;
        for (SceneNode* node : nodes)
            out.push_back(node->GetHandle());
        return out;
    }

    SceneApplicationMode* screen = nullptr;
};

TEST_F(OutroEffects, ARevealFadesTheWordInWhileItsSparklesFlyOutAndEnd)
{
    auto* word = new SceneNode;
    screen->AddObject(word);
    word->SetParent(screen->GetRootNode());
    word->SetSize(120.0f, 30.0f);
    word->SetAlpha(0.0f);

    // Every draw 0.99: frame 9, both signs turned, dy = sqrt(0.01).
    KestrinTest::FakeRandomStream always{{0.99f}};
    Kestrin::ScopedRandomStream scoped(&always);
    RevealTextWithSparkles(screen, word, 0.0f);

    const std::vector<SceneNode*> sparkles = Children(word);
    ASSERT_EQ(sparkles.size(), size_t(kSparklesPerBurst));
    const std::vector<Kestrin::ObjectHandle> handles = Handles(sparkles);
    EXPECT_EQ(Alive(handles), sparkles.size());
    auto* frames =
        dynamic_cast<Kestrin::ImageList*>(Kestrin::GetResource<Kestrin::IImageList>("blue_sml").second);
    ASSERT_NE(frames, nullptr);
    Kestrin::IImage* ninth = frames->GetImageAt(9);
    ASSERT_NE(ninth, nullptr);
    for (SceneNode* sparkle : sparkles)
    {
        EXPECT_EQ(sparkle->GetParentHAlign(), SceneNode::Align_Center);
        EXPECT_EQ(sparkle->GetSelfVAlign(), SceneNode::Align_Center);
        EXPECT_EQ(dynamic_cast<StaticSpriteNode*>(sparkle)->GetImage(), ninth);
    }

    // A fifth of the flight and a tenth of the fade after the first step of 0.1 s.
    Steps(1, 0.1f);
    EXPECT_NEAR(word->GetLocalState().color.a, 0.1f, 1e-4f);
    for (SceneNode* sparkle : sparkles)
    {
        EXPECT_NEAR(sparkle->GetLocalState().x, -49.5f * 0.2f, 1e-3f);
        EXPECT_NEAR(sparkle->GetLocalState().y, -5.0f * 0.2f, 1e-3f);
    }
    Steps(3, 0.1f);
    EXPECT_NEAR(sparkles[0]->GetLocalState().x, -49.5f * 0.8f, 1e-3f);
    EXPECT_EQ(Alive(handles), sparkles.size());
    // Gone 0.5 s after the delay; the word goes on fading in.
    Steps(2, 0.1f);
    EXPECT_EQ(Alive(handles), 0u);
    EXPECT_TRUE(screen->IsValidHandle(word->GetHandle()));
    EXPECT_NEAR(word->GetLocalState().color.a, 0.6f, 1e-4f);
    Steps(5, 0.1f);
    EXPECT_NEAR(word->GetLocalState().color.a, 1.0f, 1e-4f);
}

TEST_F(OutroEffects, ADelayedRevealWaitsWithTheFadeAndTheFlight)
{
    auto* word = new SceneNode;
    screen->AddObject(word);
    word->SetParent(screen->GetRootNode());
    word->SetAlpha(0.0f);
    BoostRandomNumberStream random(11);
    Kestrin::ScopedRandomStream scoped(&random);
    RevealTextWithSparkles(screen, word, 1.0f);
    const std::vector<SceneNode*> sparkles = Children(word);
    const std::vector<Kestrin::ObjectHandle> handles = Handles(sparkles);
    Steps(49);
    EXPECT_EQ(word->GetLocalState().color.a, 0.0f);
    for (SceneNode* sparkle : sparkles)
        EXPECT_EQ(sparkle->GetLocalState().x, 0.0f);
    Steps(24);
    EXPECT_EQ(Alive(handles), sparkles.size());
    Steps(4);
    EXPECT_EQ(Alive(handles), 0u);
}

// Over seeded streams: 225 sparkles at once, transparent before 5 s, none after 6.7 s, and no
// burst in the lower part of the window over the middle.
TEST_F(OutroEffects, FireworksKeepClearOfTheMiddleAndEndWithinSixPointSevenSeconds)
{
    for (uint32_t seed : {1u, 2u, 99u})
    {
        SCOPED_TRACE(seed);
        BoostRandomNumberStream random(seed);
        Kestrin::ScopedRandomStream scoped(&random);
        const size_t before = screen->GetRootNode()->GetChildCount();
        LaunchFireworks(screen);
        std::vector<SceneNode*> sparkles = Children(screen->GetRootNode());
        sparkles.erase(sparkles.begin(), sparkles.begin() + std::ptrdiff_t(before));
        ASSERT_EQ(sparkles.size(), size_t(kFireworksBursts * kSparklesPerBurst));
        int lowBursts = 0;
        for (SceneNode* sparkle : sparkles)
        {
            const float x = sparkle->GetLocalState().x, y = sparkle->GetLocalState().y;
            EXPECT_GE(y, 50.0f);
            EXPECT_LT(y, 500.0f);
            if (y > 200.0f)
            {
                ++lowBursts;
                EXPECT_TRUE(x <= 200.0f || x >= 600.0f) << x << ", " << y;
            }
            else
                EXPECT_EQ(x, 400.0f);
            EXPECT_EQ(sparkle->GetLocalState().color.a, 0.0f);
            EXPECT_EQ(sparkle->GetParentHAlign(), SceneNode::Align_Near);
            EXPECT_EQ(sparkle->GetSelfHAlign(), SceneNode::Align_Center);
        }
        EXPECT_GT(lowBursts, 0);
        const std::vector<Kestrin::ObjectHandle> handles = Handles(sparkles);
        Steps(249); // 4.98 s
        for (SceneNode* sparkle : sparkles)
            ASSERT_EQ(sparkle->GetLocalState().color.a, 0.0f);
        Steps(60); // 6.18 s: every burst has begun
        EXPECT_GT(Alive(handles), 0u);
        size_t shown = 0;
        for (size_t i = 0; i < handles.size(); ++i)
            if (screen->IsValidHandle(handles[i]) && sparkles[i]->GetLocalState().color.a > 0.0f)
                ++shown;
        EXPECT_GT(shown, 0u);
        Steps(27); // 6.72 s
        EXPECT_EQ(Alive(handles), 0u);
    }
}

} // namespace
