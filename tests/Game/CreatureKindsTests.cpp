#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/CurrentScene.h"
#include "Scene/SpriteType.h"
#include "Scene/StaticSpriteNode.h"

#include "FieldTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace GameTest;
using Sprite = CreatureSpriteId;
using Stage = Gremlin::Stage;
using Mode = Gremlin::SpecialMode;
using AffectedBy = Gremlin::AffectedBy;

namespace
{

const std::string KindResources =
    "<resources>"
    "<testimages name=\"KindFrames\" count=\"6\" width=\"60\" height=\"50\"/>"
    "<testimages name=\"MegaNegaTicHealthImages\" count=\"6\" width=\"20\" height=\"8\"/>"
    "<spritetype name=\"IndecisiveRed_CreatureStateSpriteType\" images=\"KindFrames\">"
    "  <animation name=\"CollisionBox\" frameList=\"0\"/></spritetype>"
    "<spritetype name=\"IndecisiveBlue_CreatureStateSpriteType\" images=\"KindFrames\">"
    "  <animation name=\"CollisionBox\" frameList=\"0\"/></spritetype>"
    "<spritetype name=\"FreezeAny_CreatureStateSpriteType\" images=\"KindFrames\">"
    "  <animation name=\"CollisionBox\" frameList=\"0\"/>"
    "  <animation name=\"PowerUp-Enter\" frameList=\"1,2,3,4,5\" fps=\"10\"/></spritetype>"
    "<spritetype name=\"ShrinkingFX\" images=\"KindFrames\"><animation name=\"play\" frameList=\"0,1\" "
    "fps=\"10\"/></spritetype>"
    "<spritetype name=\"MegaTicDeath\" images=\"KindFrames\"><animation name=\"play\" frameList=\"0,1\" "
    "fps=\"1\"/></spritetype>"
    "<spritetype name=\"LineSparkle\" images=\"KindFrames\"><animation name=\"play\" frameList=\"0,1\" "
    "fps=\"1\"/></spritetype>"
    "<scenelayout name=\"CreatureLayout\">"
    "  <scenenode><scenenode nodeName=\"scaleNode\"><animatedspritenode nodeName=\"creatureImage\"/>"
    "  </scenenode></scenenode>"
    "</scenelayout>"
    "<scenelayout name=\"crownLayout\"><staticspritenode nodeName=\"healthBar\"/></scenelayout>"
    "</resources>";

class Kinds : public FieldTest
{
protected:
    Kinds()
    {
        Kestrin::MemoryStream stream(L"Kinds", KindResources.data(), uint32_t(KindResources.size()));
        Kestrin::ResourceManager::Instance()->Load(L"Kinds", &stream, nullptr);
        factory = AddFactory();
        for (int colour = 0; colour < 5; ++colour)
            factory->settings[Sprite(colour)] = Calm(Sprite(colour), GremlinColorType(colour));
        traps = new GremlinHomeFactory;
        screen->AddObject(traps);
    }
    template <typename T = BasicGremlin> T* Add(const TypeSettings& settings, Vector2f corner = {300, 200})
    {
        auto* creature = new T(corner.x, corner.y, settings);
        creature->AddToScene(*screen, nullptr);
        return creature;
    }
    static AnimatedSpriteNode* Image(Gremlin* creature)
    {
        return dynamic_cast<AnimatedSpriteNode*>(
            FindNodeAtPath(creature->GetNode(), NodePath::CreatureImage));
    }
    // A line from the trap, drawn to the creature's centre or past it.
    Line* LineTo(Gremlin* creature, Vector2f past = {})
    {
        auto* line = new Line(100, 100, nullptr, GremlinColorType::Any, GremlinKind::Any);
        screen->AddObject(line);
        line->AddPathPoint({100, 100});
        line->AddPathPoint(creature->GetCentre() + past);
        return line;
    }

    // The effect nodes in the creature layer.
    static size_t Effects()
    {
        size_t count = 0;
        SceneNode* layer = FindNodeAtPath(GetCurrentSceneRoot(), NodePath::CreatureLayerNode);
        for (SceneNode* node = layer->GetFirstChild(); node; node = node->GetNextSibling())
            count += dynamic_cast<AnimatedSpriteNode*>(node) ? 1 : 0;
        return count;
    }

    GremlinFactory* factory = nullptr;
    GremlinHomeFactory* traps = nullptr;
};

} // namespace

TEST_F(Kinds, ShyCreaturesKeepAwayFromTheCursorAndHurryWhenItStays)
{
    TypeSettings shy = Calm(Sprite::Shy, GremlinColorType::Green, GremlinKind::Shy);
    shy.param1 = 1.0f, shy.param2 = 100.0f, shy.param3 = 150.0f, shy.param4 = 0.5f;
    BasicGremlin* creature = Add(shy);
    struct Case
    {
        Vector2f cursor; // from the creature's centre
        float seconds;
        float walkFactor;
        Vector2f force;
    };
    const Case cases[] = {
        {{50, 0}, 0.3f, 1, {-4.0001f, 0}}, // pushed away, not yet hurrying
        {{0, -50}, 0.6f, 2, {0, 4.0001f}}, // stayed long enough: twice as far
        {{0, 0}, 0.6f, 2, {0, 0}},         // on the centre: no direction, no push
        {{200, 0}, 0.6f, 1, {0, 0}},       // gone: the timer starts again
        {{50, 0}, 0.3f, 1, {-4.0001f, 0}}, // back: counting from 0, not yet hurrying
    };
    // The cases follow on from each other: the timer is never reset by hand.
    for (const Case& c : cases)
    {
        for (float t = 0; t < c.seconds - 0.001f; t += 0.02f)
        {
            level->mousePosition = creature->GetCentre() + c.cursor;
            creature->Update(0.02f);
        }
        level->mousePosition = creature->GetCentre() + c.cursor;
        creature->force = Vector2f();
        float speed = 10, length = 20;
        creature->AdjustWalk(speed, length);
        EXPECT_EQ(speed, 10 * c.walkFactor);
        EXPECT_EQ(length, 20 * c.walkFactor);
        EXPECT_NEAR(creature->force.x, c.force.x, 1e-3f);
        EXPECT_NEAR(creature->force.y, c.force.y, 1e-3f);
    }
}

TEST_F(Kinds, ProtectedCreaturesAlternatePhasesAndPairingOnesDrawTogether)
{
    TypeSettings guarded = Calm(Sprite::Protected, GremlinColorType::Blue, GremlinKind::Protected);
    guarded.param1 = 1, guarded.param2 = 2, guarded.param3 = 5, guarded.param4 = 6;
    BasicGremlin* creature = Add(guarded);
    struct Phase
    {
        Stage stage;
        Mode special, specialAfter;
        float low, high; // the new timer; an empty range: left alone
    };
    const Phase phases[] = {
        {Stage::Wander1, Mode::Normal, Mode::Special, 5, 6}, // vulnerable to protected
        {Stage::Wander1, Mode::Special, Mode::Normal, 1, 2}, // and back
        {Stage::FreakOut, Mode::Normal, Mode::Normal, 0, 0}, // panicking: stays vulnerable
        {Stage::FreakOut, Mode::Special, Mode::Normal, 1, 2},
    };
    for (const Phase& p : phases)
    {
        creature->stage = p.stage, creature->special = p.special, creature->behaviourTimer = -1;
        creature->OnBehaviourTimer();
        EXPECT_EQ(creature->special, p.specialAfter) << int(p.stage) << "/" << int(p.special);
        if (p.low < p.high)
        {
            EXPECT_TRUE(creature->behaviourTimer >= p.low && creature->behaviourTimer < p.high)
                << int(p.stage) << "/" << int(p.special) << ": " << creature->behaviourTimer;
        }
        else
        {
            EXPECT_EQ(creature->behaviourTimer, -1) << int(p.stage) << "/" << int(p.special);
        }
    }

    // Each other Pairing creature pulls by param1 * 10000 / d^2 + 0.0001; other kinds do not.
    TypeSettings pairing = Calm(Sprite::Pairing, GremlinColorType::Red, GremlinKind::Pairing);
    pairing.param1 = 1;
    BasicGremlin* self = Add(pairing, {300, 300});
    BasicGremlin* right = Add(pairing, {400, 300});
    BasicGremlin* below = Add(pairing, {300, 420});
    Add(Calm(Sprite::BasicRed, GremlinColorType::Red), {180, 300});
    ASSERT_EQ(right->GetCentre() - self->GetCentre(), Vector2f(100, 0));
    ASSERT_EQ(below->GetCentre() - self->GetCentre(), Vector2f(0, 120));
    self->force = Vector2f();
    float speed = 10, length = 20;
    self->AdjustWalk(speed, length);
    EXPECT_EQ(std::vector<float>({speed, length}), std::vector<float>({10, 20}));
    EXPECT_NEAR(self->force.x, 1.0001f, 1e-4f);
    EXPECT_NEAR(self->force.y, 10000.0f / 14400.0f + 0.0001f, 1e-4f);
}

TEST_F(Kinds, IndecisiveCreaturesFlashForTwoSecondsThenTakeATrapColour)
{
    AddTrap(GremlinColorType::Blue);
    TypeSettings indecisive = Calm(Sprite::Indecisive, GremlinColorType::Red, GremlinKind::Indecisive);
    indecisive.param1 = 3.0f, indecisive.param2 = 4.0f;
    indecisive.explode0Min = indecisive.explode0Max = 0.5f; // stage 2 after 1 s
    BasicGremlin* creature = Add(indecisive);
    creature->color = GremlinColorType::Red; // not the trap's colour yet
    creature->ShowColorSprite(GremlinColorType::Red);
    creature->stage = Stage::Wander1;
    SpriteType* red = GetSpriteType("IndecisiveRed_CreatureStateSpriteType").second;
    SpriteType* blue = GetSpriteType("IndecisiveBlue_CreatureStateSpriteType").second;
    creature->behaviourTimer = 0.0f;
    std::string shown;
    for (int step = 0; step < 120; ++step)
    {
        Steps(1);
        if (step % 10 == 5)
            shown += Image(creature)->GetSpriteType() == red    ? 'R'
                     : Image(creature)->GetSpriteType() == blue ? 'B'
                                                                : '?';
        if (step == 50)
        {
            EXPECT_EQ(creature->color, GremlinColorType::Red) << "still flashing";
        }
    }
    // 0.4 s of the current colour, 0.2 s of the new one, for 2 s; then the new colour stays.
    EXPECT_EQ(shown, "RRBRRBRRBRBB");
    EXPECT_EQ(creature->color, GremlinColorType::Blue);
    EXPECT_EQ(creature->kind, GremlinKind::Indecisive);
    EXPECT_TRUE(creature->behaviourTimer >= 2.0f && creature->behaviourTimer < 4.0f);
    EXPECT_NO_THROW(Steps(500)) << "the flashing repeats without end";

    // Speared while it shows the new colour's sprite: it shows its own colour again.
    AddTrap(GremlinColorType::Red, {500, 100});
    creature->behaviourTimer = 0.0f;
    for (int i = 0;
         i < 5000 && (Image(creature)->GetSpriteType() != red || creature->color != GremlinColorType::Blue);
         ++i)
        Steps(1);
    ASSERT_EQ(Image(creature)->GetSpriteType(), red);
    creature->OnSpeared(LineTo(creature));
    EXPECT_EQ(Image(creature)->GetSpriteType(), blue);
    creature->OnSpeared(nullptr);
    creature->stage = Stage::FreakOut;
    creature->behaviourTimer = 0.0f;
    creature->OnBehaviourTimer();
    EXPECT_FALSE(creature->IsChannelBusy(GameNames::FlashingTask)) << "no change while panicking";
}

TEST_F(Kinds, SetColorMakesBasicCreaturesButKeepsIndecisiveOnesAndOddColours)
{
    struct Case
    {
        GremlinKind kind;
        GremlinColorType colour;
        GremlinKind kindAfter;
        Sprite settingsAfter;
        size_t effects;
    };
    const Case cases[] = {
        {GremlinKind::Shy, GremlinColorType::Yellow, GremlinKind::Basic, Sprite::BasicYellow, 2},
        {GremlinKind::Indecisive, GremlinColorType::Yellow, GremlinKind::Indecisive, Sprite::Indecisive, 0},
        {GremlinKind::Shy, GremlinColorType::Black, GremlinKind::Shy, Sprite::Shy, 0},
        {GremlinKind::Indecisive, GremlinColorType::Any, GremlinKind::Indecisive, Sprite::Indecisive, 0},
    };
    for (const Case& c : cases)
    {
        BasicGremlin* creature = Add(Calm(c.kind == GremlinKind::Shy ? Sprite::Shy : Sprite::Indecisive,
                                          GremlinColorType::Red, c.kind));
        creature->settings.param1 = 3, creature->settings.param2 = 4;
        creature->behaviourTimer = -1;
        const size_t before = Effects();
        creature->SetColor(c.colour);
        EXPECT_EQ(creature->color, c.colour);
        EXPECT_EQ(creature->kind, c.kindAfter);
        EXPECT_EQ(creature->settings.sprite, c.settingsAfter);
        EXPECT_EQ(creature->affected, c.effects ? AffectedBy::Shrinking : AffectedBy::None);
        EXPECT_EQ(Effects() - before, c.effects) << "ShrinkingFX nodes";
        if (c.kind == GremlinKind::Indecisive)
        {
            EXPECT_TRUE(creature->behaviourTimer >= 3.0f && creature->behaviourTimer < 4.0f)
                << "its own cycle goes on";
        }
    }
}

TEST_F(Kinds, PowerUpsWaitForTheirEntryThenActOnTheFieldAndTheFactory)
{
    TypeSettings freeze = Calm(Sprite::Freeze, GremlinColorType::Any, GremlinKind::Freeze);
    freeze.param1 = 4.0f, freeze.param2 = 6.0f;
    auto* powerUp = Add<PowerUpGremlin>(freeze);
    Steps(20);
    EXPECT_EQ(powerUp->stage, Stage::FadeIn) << "the 0.5 s entry still plays";
    EXPECT_EQ(powerUp->GetCentre(), Vector2f(340, 240));
    Steps(10);
    EXPECT_EQ(powerUp->stage, Stage::Wander1);

    BasicGremlin* free = Add(Calm(Sprite::BasicRed, GremlinColorType::Red), {100, 100});
    BasicGremlin* held = Add(Calm(Sprite::BasicGreen, GremlinColorType::Green), {500, 300});
    auto* king = Add<GremlinKing>(Calm(Sprite::SmallCircle, GremlinColorType::Any, GremlinKind::SmallCircle),
                                  {300, 400});
    Line* line = LineTo(powerUp);
    line->mostHeld = 2;
    held->OnSpeared(line);
    level->freezeTimer = 9.0f; // an effect already runs: a freeze still sets its own time
    powerUp->OnSpeared(line);
    EXPECT_EQ(free->affected, AffectedBy::Frozen);
    EXPECT_EQ(king->affected, AffectedBy::Frozen);
    EXPECT_TRUE(level->freezeTimer >= 4.0f && level->freezeTimer < 6.0f);
    EXPECT_EQ(factory->spawnPause, level->freezeTimer);
    EXPECT_EQ(level->creatureEffect, CreatureEffect::Freeze);
    EXPECT_TRUE(line->loopScored);
    EXPECT_EQ(line->spearState, GremlinMetaType::PowerUp);
    EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "RetractLine"), 1);
    EXPECT_EQ(held->lineState, Gremlin::LineState::Hauled) << "what the line holds walks into the trap";
    EXPECT_EQ(held->lineCount, 2);

    // Shrink only starts an effect time when none runs.
    auto* shrink = Add<PowerUpGremlin>(Calm(Sprite::Shrink, GremlinColorType::Any, GremlinKind::Shrink));
    shrink->ApplyEffect();
    EXPECT_GE(level->freezeTimer, 4.0f);
    EXPECT_EQ(level->creatureEffect, CreatureEffect::Shrink);
    EXPECT_EQ(free->affected, AffectedBy::Shrinking);
    level->freezeTimer = 0.0f;
    shrink->ApplyEffect();
    EXPECT_EQ(level->freezeTimer, 1.5f);
}

TEST_F(Kinds, WonLevelsFadePowerUpsOutUnderFiveSparkles)
{
    auto* powerUp = Add<PowerUpGremlin>(Calm(Sprite::Shrink, GremlinColorType::Any, GremlinKind::Shrink));
    SceneNode* scaleNode = FindNodeAtPath(powerUp->GetNode(), NodePath::CreatureScaleNode);
    ASSERT_NE(scaleNode, nullptr);
    powerUp->OnLevelWon();
    EXPECT_TRUE(g_holdCreatureAlpha);
    std::vector<AnimatedSpriteNode*> sparkles;
    for (SceneNode* n = powerUp->GetNode()->GetFirstChild(); n; n = n->GetNextSibling())
        if (auto* sparkle = dynamic_cast<AnimatedSpriteNode*>(n))
            sparkles.push_back(sparkle);
    ASSERT_EQ(sparkles.size(), 5u);
    for (AnimatedSpriteNode* sparkle : sparkles)
    {
        EXPECT_EQ(sparkle->GetSpriteType(), GetSpriteType("LineSparkle").second);
        EXPECT_FALSE(sparkle->GetLocalState().visible) << "until its moment";
        EXPECT_LE(std::abs(sparkle->GetLocalState().x), powerUp->GetHalfWidth());
        EXPECT_LE(std::abs(sparkle->GetLocalState().y), powerUp->GetHalfHeight());
    }
    Steps(26); // just over 0.5 s
    EXPECT_NEAR(scaleNode->GetLocalState().color.a, 0.0f, 1e-4f);
    for (AnimatedSpriteNode* sparkle : sparkles)
        EXPECT_TRUE(sparkle->GetLocalState().visible) << "each within the first 0.5 s";
}

TEST_F(Kinds, UnifyColorsRecoloursTheFreeCreaturesAndTheNextSpawns)
{
    AddTrap(GremlinColorType::Yellow);
    BasicGremlin* shy = Add(Calm(Sprite::Shy, GremlinColorType::Red, GremlinKind::Shy), {100, 100});
    BasicGremlin* indecisive =
        Add(Calm(Sprite::Indecisive, GremlinColorType::Red, GremlinKind::Indecisive), {300, 100});
    indecisive->color = GremlinColorType::Red;
    BasicGremlin* agreeable =
        Add(Calm(Sprite::Agreeable, GremlinColorType::Red, GremlinKind::Agreeable), {500, 100});
    BasicGremlin* speared = Add(Calm(Sprite::BasicRed, GremlinColorType::Red), {100, 300});
    speared->OnSpeared(LineTo(speared));
    TypeSettings unify = Calm(Sprite::UnifyColors, GremlinColorType::Any, GremlinKind::UnifyColors);
    unify.param1 = 5.0f;
    Add<PowerUpGremlin>(unify, {500, 400})->ApplyEffect();

    EXPECT_EQ(shy->color, GremlinColorType::Yellow);
    EXPECT_EQ(shy->kind, GremlinKind::Basic);
    EXPECT_EQ(indecisive->color, GremlinColorType::Yellow);
    EXPECT_EQ(indecisive->kind, GremlinKind::Indecisive);
    EXPECT_EQ(agreeable->color, GremlinColorType::Red);
    EXPECT_EQ(speared->color, GremlinColorType::Red);
    EXPECT_EQ(level->freezeTimer, 1.5f);
    EXPECT_EQ(factory->unifyTimer, 5.0f);
    factory->AddZone(Zone({Sprite::BasicRed}, {1}), GremlinMetaType::Normal);
    factory->AddTypeRatios({0}, {1});
    EXPECT_EQ(factory->CreateNormal()->settings.sprite, Sprite::BasicYellow) << "new creatures are unified";
    factory->Update(5.0f);
    EXPECT_EQ(factory->CreateNormal()->settings.sprite, Sprite::BasicRed) << "until the time is up";
}

TEST_F(Kinds, DeepCleanAndDamageMarkTheLineForItsLoop)
{
    TypeSettings damage = Calm(Sprite::Bomb, GremlinColorType::Any, GremlinKind::Damage);
    damage.param1 = 2.0f, damage.param2 = 4.0f;
    std::map<int, int> amounts;
    for (int i = 0; i < 60; ++i)
    {
        auto* bomb = Add<PowerUpGremlin>(damage);
        Line* line = LineTo(bomb);
        bomb->OnSpeared(line);
        EXPECT_EQ(line->powerUpEffect, Line::PowerUpEffect::Damage);
        EXPECT_EQ(line->spearState, GremlinMetaType::PowerUp);
        EXPECT_FALSE(line->loopScored) << "the line goes on";
        ++amounts[line->powerUpDamage];
    }
    EXPECT_EQ(amounts.size(), 3u) << "2, 3 and 4";
    EXPECT_EQ(amounts.begin()->first, 2);
    auto* clean = Add<PowerUpGremlin>(Calm(Sprite::DeepClean, GremlinColorType::Any, GremlinKind::DeepClean));
    Line* line = LineTo(clean, {12, -7});
    clean->OnSpeared(line);
    EXPECT_EQ(line->powerUpEffect, Line::PowerUpEffect::DeepClean);
    EXPECT_EQ(level->calls.back(), "ShowPowerUpFeedback 13 352,233 ready") << "at the line's head";
    EXPECT_EQ(level->creatureEffect, CreatureEffect::None) << "no effect yet";
}

TEST_F(Kinds, KingsShowHealthShrinkByDamageAndExplodeByKind)
{
    LoadSounds({"SFX_MegaTicExplode"});
    GlobalSettings::Instance().megaTicDamageShrink = {{1, 0}, {3, 1}, {5, 2}};
    for (auto [amount, shrink] : {std::pair{1, 0}, {3, 1}, {4, 2}, {9, 2}})
        EXPECT_EQ(KingDamageShrink(amount), shrink) << amount;
    TypeSettings small = Calm(Sprite::SmallCircle, GremlinColorType::Any, GremlinKind::SmallCircle);
    auto* king = Add<GremlinKing>(small);
    auto* bar = dynamic_cast<StaticSpriteNode*>(FindNodeAtPath(king->GetNode(), NodePath::CreatureHealthBar));
    ASSERT_NE(bar, nullptr) << "the crown is under the scale node";
    auto* healthImages = dynamic_cast<Kestrin::ImageList*>(
        Kestrin::GetResource<Kestrin::IImageList>("MegaNegaTicHealthImages").second);
    ASSERT_NE(healthImages, nullptr);
    auto shows = [&](int image) { return bar->GetImage() == healthImages->GetImageAt(image); };
    EXPECT_TRUE(shows(5)) << "full health";
    for (auto [health, image] : {std::pair{10, 5}, {5, 2}, {1, 0}})
    {
        king->health = health;
        EXPECT_EQ(king->HealthImageIndex(), image);
    }
    king->health = 10;
    king->stage = Stage::Wander1;
    king->TakeDamage(1, false);
    EXPECT_EQ(king->stage, Stage::Wander1) << "down to 0, then a fresh stage 1";
    EXPECT_EQ(king->affected, AffectedBy::DamageFlash);
    EXPECT_TRUE(shows(4)) << "9 of 10";
    king->stage = Stage::FreakOut;
    king->TakeDamage(3, false);
    EXPECT_EQ(king->stage, Stage::Wander3) << "shrink 1: two stages down, then the next";
    EXPECT_TRUE(shows(3)) << "6 of 10";

    // At the end of its explosion a king starts its cycle again and drops gunk by its kind.
    struct Blast
    {
        GremlinKind kind;
        float param1, param2, param3, param4;
        size_t blobs;
        int low, high;
    };
    const Blast blasts[] = {
        {GremlinKind::SmallCircle, 10, 12, 2.5f, 0, 3, 10, 12}, // floor(2.5) + 1 of [param1, param2]
        {GremlinKind::LargeCircle, 10, 12, 0, 0, 1, 10, 12},
        {GremlinKind::Trail, 1000, 7, 20, 22, 1, 20, 22}, // one of [param3, param4]
        {GremlinKind::Shy, 10, 12, 2.5f, 22, 0, 0, 0},    // other kinds: none
    };
    for (const Blast& b : blasts)
    {
        TypeSettings s = Calm(Sprite::SmallCircle, GremlinColorType::Any, b.kind);
        s.param1 = b.param1, s.param2 = b.param2, s.param3 = b.param3, s.param4 = b.param4;
        auto* exploding = Add<GremlinKing>(s, {500, 300});
        exploding->trailX = exploding->GetCentre().x, exploding->trailY = exploding->GetCentre().y;
        exploding->stage = Stage::FreakOut;
        exploding->AdvanceStage();
        EXPECT_EQ(exploding->stage, Stage::Exploding);
        board.calls.clear();
        const size_t explosions = Played("SFX_MegaTicExplode");
        exploding->Update(0.02f);
        EXPECT_EQ(exploding->stage, Stage::Wander1) << "the cycle starts again";
        EXPECT_EQ(Played("SFX_MegaTicExplode"), explosions + 1);
        ASSERT_EQ(board.calls.size(), b.blobs) << NameOf(b.kind);
        for (const std::string& call : board.calls)
        {
            int radius = 0, x = 0, y = 0, colour = 0;
            ASSERT_EQ(std::sscanf(call.c_str(), "AddGunk %d %d,%d %d", &radius, &x, &y, &colour), 4) << call;
            EXPECT_TRUE(radius >= b.low && radius <= b.high) << call;
            EXPECT_EQ(Vector2f(float(x), float(y)), exploding->GetCentre()) << call;
            EXPECT_EQ(colour, int(GremlinColorType::Black)) << call;
        }
        exploding->Remove();
    }

    // A dying king waits for its death effect: no new cycle, no sound, no gunk.
    king->TakeDamage(king->health, false);
    king->stage = Stage::Exploding;
    board.calls.clear();
    const size_t explosions = Played("SFX_MegaTicExplode");
    Steps(1);
    ASSERT_EQ(Live<GremlinKing>(), 1u) << "the death effect still plays";
    EXPECT_EQ(king->stage, Stage::Exploding);
    EXPECT_EQ(Played("SFX_MegaTicExplode"), explosions);
    EXPECT_TRUE(board.calls.empty());

    TypeSettings trail = Calm(Sprite::Trail, GremlinColorType::Any, GremlinKind::Trail);
    trail.param1 = 400.0f, trail.param2 = 7.0f;
    board.calls.clear();
    auto* trailing = Add<GremlinKing>(trail, {100, 300});
    trailing->Update(0.02f);
    EXPECT_EQ(board.calls.size(), 1u) << "the first drop is measured from the origin";
    trailing->SetPosition(trailing->GetCentre() + Vector2f(19, 0));
    trailing->Update(0.02f);
    EXPECT_EQ(board.calls.size(), 1u);
    trailing->SetPosition(trailing->GetCentre() + Vector2f(2, 0));
    trailing->Update(0.02f);
    EXPECT_EQ(board.calls.size(), 2u);
    EXPECT_TRUE(trailing->IsChannelBusy(GameNames::TrailSoundTask));

    // A record without health gives a king of health 1: one hit kills it.
    small.maxHealth = 0;
    auto* frail = Add<GremlinKing>(small, {500, 100});
    EXPECT_EQ(frail->health, 1);
    EXPECT_EQ(frail->HealthImageIndex(), 5);
    frail->TakeDamage(1, false);
    EXPECT_FALSE(frail->HasHealth());
}

// Each kind is made with its stage-0 box (the sprite's 60 x 50 frame at its own stage-0 scale), not
// the 80 x 80 it starts from, so the factory's search for room tests the size the creature has.
TEST_F(Kinds, EachKindIsMadeWithItsStageZeroBox)
{
    AddTrap(GremlinColorType::Blue); // the colour an Indecisive one takes
    GlobalSettings::Instance().creatureSizeScales[0] = 0.5f;
    GlobalSettings::Instance().megaTicSizeScales[0] = 0.8f;
    const TypeSettings indecisive = Calm(Sprite::Indecisive, GremlinColorType::Red, GremlinKind::Indecisive);
    struct Case
    {
        Gremlin* made;
        float halfWidth, halfHeight;
    };
    const Case cases[] = {{new BasicGremlin(300, 200, indecisive), 15.0f, 12.5f},
                          {new GremlinKing(300, 200, indecisive), 24.0f, 20.0f},
                          {new PowerUpGremlin(300, 200, indecisive), 15.0f, 12.5f}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.made->GetHalfWidth(), c.halfWidth) << int(c.made->metaType);
        EXPECT_EQ(c.made->GetHalfHeight(), c.halfHeight) << int(c.made->metaType);
        EXPECT_EQ(c.made->GetCentre(), Vector2f(340, 240)) << "grown about its centre";
        c.made->AddToScene(*screen, nullptr);
    }
}
