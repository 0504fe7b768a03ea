#pragma once
// The level being played: reads its files, runs the clock, warnings and tutorials, scores every
// loop, decides won or lost, plays the outro and answers the playfield's path questions. The game
// screen registers it under "NimbalLevel".
#include "Base/Log.h"
#include "Framework/Object.h"
#include "Game/LevelFile.h"
#include "Game/LevelServices.h"
#include "Game/PlayfieldGraph.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class GremlinFactory;
class GremlinHomeFactory;
class GremlinKing;
class SceneNode;

namespace Kestrin
{
class ObjectDatabase;
class Task;
} // namespace Kestrin

class NimbalLevel : public Kestrin::Object, public LevelServices
{
public:
    // Sets the level up from the catalogue's current level (its files, banners, HUD). Either way
    // the level installs the game's gunk board for its lifetime, unless a test installed its own.
    NimbalLevel();
    // For tests: no set-up at all.
    struct NoSetUp
    {
    };
    explicit NimbalLevel(NoSetUp);
    ~NimbalLevel() override;

    Kestrin::NameId GetName() const override;
    void Update(float dt) override;

    void SetUp();
    void Start();
    void CheckEndConditions();
    // The "Basics" tutorial steps 0, 1 and 3.
    void AdvanceTutorial();

    // Reads the current level's level file and builds what it describes; false, with an error
    // box, when it fails (loadFailed is then set).
    bool LoadLevelFile(bool endless);
    bool LoadBoardFile();
    // Builds the level from what was read: clock, factories, obstacles, sludge zones, traps.
    void ApplyLevelFile(const LevelFileData& data, bool endless);
    // The creature zones, their type ratios and the kings' budget and timer. Throws for a zone
    // type without creature settings and for a zone the factory does not take.
    void ApplyCreatureZones(GremlinFactory& factory, const LevelFileData& data, bool endless);

    // LevelServices
    Line* BeginLine(Vector2f point, GremlinHome* trap, GremlinColorType color, GremlinKind kind) override;
    void RetractLine() override;
    void OnPlayfieldPress() override;
    LoopVerdict EvaluateLoop(Line* line) override;
    void ShowLoopFeedback(LoopResult result, Vector2f point) override;
    void ShowSpearValue(int count, Vector2f point) override;
    void ShowPowerUpFeedback(int kind, Vector2f point, bool ready) override;
    void ShowTrapTutorial() override;
    void ReleaseTrap(GremlinHome* trap) override;
    bool IsBlocked(float x, float y) override;
    micropather::Graph& PathGraph() override;
    void* GetPathState(Vector2f point) override;
    void SetPathGoal(Vector2f point) override;
    void ClearPathStates() override;
    void HaulCreature(Gremlin* creature, int count, float speed) override;

    // The board became clean, or took gunk again.
    void OnGunkCleared() override;
    void OnGunkReturned() override;

    void SpawnLoopPowerUp(int value, Vector2f point);
    void ShowBanner(const char* image, float hold);
    void LogPlayData(bool won);
    // The pop-up of a tutorial of play (BadLoop to NoTics) when due.
    void ShowTutorialPopup(TutorialId id, Vector2f point, bool pointing);

    bool loadFailed = false;
    float timeLimit = 0.0f;
    float timeRemaining = 0.0f;
    float timeElapsed = 0.0f;
    float expertTime = 0.0f;
    float ambientTimer = 0.0f;
    bool warned30 = false;
    bool warned10 = false;
    bool gunkClearBannerPending = true;
    bool gunkCleared = false;
    int melodyLevel = 0;
    std::string boardSuffix;
    bool basicsPending = true;
    bool won = false;
    bool lost = false;
    // Endless only: the board overflowed and the outro was asked for.
    bool endlessOver = false;
    float outroDelay = 0.0f;
    // The outro screen was asked for: once per outcome, though the steps go on until it covers
    // the level.
    bool outroRequested = false;
    float lastSplash = 0.0f;
    std::vector<SpawnBonusEntry> loopPowerUpSpawns;
    std::vector<SpawnBonusEntry> spearKingGemSpawns;
    PlayfieldGraph graph;
    // The board file's patches, in file order.
    std::vector<GunkPatchData> boardPatches;

private:
    // Set-up (NimbalLevelSetUp.cpp).
    void ConnectPlayfieldPress();
    void ShowStartBanner(bool endless);
    void SetUpEndlessDisplay(const std::string& guest);
    void SetUpNormalDisplay(const std::string& guest);
    void ApplyClockAndBoard(const LevelFileData& data);
    void BuildCreatureFactory(Kestrin::ObjectDatabase& database, const LevelFileData& data, bool endless);
    // The obstacle set of the level (endless: a random one, whose board suffix the level keeps).
    void BuildObstacles(Kestrin::ObjectDatabase& database, const LevelFileData& data, bool endless);
    void BuildSludgeZones(Kestrin::ObjectDatabase& database, const LevelFileData& data);
    void BuildTraps(GremlinHomeFactory& traps, const LevelFileData& data);

    // Loop scoring (NimbalLevelLoops.cpp).
    struct Enclosure
    {
        // Something the loop must not hold: a free creature, another trap, an obstacle.
        bool bad = false;
        std::vector<GremlinKing*> kings;
    };
    // What lies inside the loop; each object that spoils it hears so.
    Enclosure Enclose(Line* line);
    // Cleans, spawns a power-up and hits the kings for a loop that holds creatures and nothing bad.
    LoopResult ScoreHeldLoop(Line* line, const std::vector<GremlinKing*>& kings, Vector2f head);
    void ShowFeedbackPopup(const std::string& animation, Vector2f point);

    // Outros (NimbalLevelOutros.cpp).
    void SuccessOutroStep(float dt);
    void FailureOutroStep(float dt);
    // The first step of the success outro: the lines go, sparkles, the playfield's farewells.
    void Celebrate();
    // The first step of the failure outro: lines, obstacles and traps go.
    void ClearPlayfield();
    // Three layers of black gunk on a random circle.
    void Splash();

    // Shared by the level's files.
    static constexpr float StartDelay = 2.25f;
    static constexpr float OutroDelay = 2.5f;
    // The tasks one after another.
    static Kestrin::Task* Sequence(std::initializer_list<Kestrin::Task*> tasks);
    // Between ambient sounds: uniform in ["ambientDelayMin", "ambientDelayMax"].
    static float AmbientDelay();
    // Whole seconds as minutes:seconds.
    static std::wstring ClockText(float seconds);

    // The basics go on with the next step.
    void NextTutorialStep() { tutorialStep = TutorialId(int32_t(tutorialStep) + 1); }
    bool Endless() const;
    // The node at the path in the current scene; a missing one is logged once per level.
    SceneNode* Node(NodePath path);
    void SetNodeText(NodePath path, const std::wstring& text);
    std::string GuestName() const;
    // Hangs the sprite under the node at the path; without the node it is dropped.
    void AttachSprite(NodePath parent, SceneNode* sprite);
    GremlinFactory* Factory() const;
    void UpdateMelody();
    void StartFlasher(float fadeTime, float peak);
    // Endless: the meter and its warning follow the board's fill; a full board ends the session.
    void CheckEndlessBoard();

    // Installs the game's board (see the constructors); the last level holding it takes it down.
    void HoldGameBoard();
    void ReleaseGameBoard();

    bool m_holdsBoard = false;
    uint64_t m_pressDown = 0;
    uint64_t m_pressUp = 0;
    SceneNode* m_pressNode = nullptr;
    Kestrin::ObjectHandle m_pressHandle = Kestrin::NoObjectHandle;
    Kestrin::ObjectDatabase* m_pressDatabase = nullptr;
    Kestrin::LogOnce m_missingNodes;
};

// The level's count of ordinary creatures (neither king nor power-up) and the first registered.
size_t CountOrdinaryCreatures();
Gremlin* FirstOrdinaryCreature();
// Whether every creature left is a power-up (true when none is left).
bool OnlyPowerUpsLeft();
