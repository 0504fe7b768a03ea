#include "Game/NimbalGunk.h"

#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Game/GameConstants.h"
#include "Game/GameObject.h"
#include "Game/GameObstacle.h"
#include "Game/GremlinHome.h"
#include "Game/LevelServices.h"
#include "Game/Line.h"
#include "Game/SludgeLayerNode.h"
#include "Graphics/GraphicsResources.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/CurrentScene.h"
#include "Scene/NodeTasks.h"
#include "Scene/SpriteType.h"

#include <boost/lexical_cast.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace
{

constexpr int kBlack = int(GremlinColorType::Black);
constexpr int kAny = int(GremlinColorType::Any);
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kPlayLeft = int(PlayfieldLeft);
constexpr int kPlayRight = int(PlayfieldRight);
constexpr int kPlayTop = int(PlayfieldTop);
constexpr int kPlayBottom = int(PlayfieldBottom);
// The two top corners of the playfield are cut along a diagonal this far from the corner.
constexpr int kCornerCut = 50;
// The margins the capacity leaves out: both sides, and the top and bottom bands.
constexpr float kSideMargin = 25.0f;
constexpr float kTopMargin = 50.0f;
constexpr float kBottomMargin = 20.0f;
constexpr float kLongestSparkleWait = 0.4f;

// Squared distance from the point to the box (0 inside it).
float BoxDistanceSquared(Vector2f point, const CollisionTreeComponent& box)
{
    const Vector2f centre = box.GetCentre();
    const float dx = std::max(std::fabs(point.x - centre.x) - box.GetHalfWidth(), 0.0f);
    const float dy = std::max(std::fabs(point.y - centre.y) - box.GetHalfHeight(), 0.0f);
    return dx * dx + dy * dy;
}

template <typename T> bool AnyNear(Vector2f point)
{
    constexpr float clearance = float(NimbalGunk::kClearance * NimbalGunk::kClearance);
    bool near = false;
    HeldObject<T>::ForEach([&](T* object) { near = near || BoxDistanceSquared(point, *object) < clearance; });
    return near;
}

} // namespace

NimbalGunk& NimbalGunk::Instance()
{
    static NimbalGunk board;
    return board;
}

NimbalGunk::~NimbalGunk()
{
    if (layerNode)
        layerNode->board = nullptr;
}

void NimbalGunk::ForgetLayerNode(const SludgeLayerNode* node)
{
    if (layerNode == node)
        layerNode = nullptr;
}

bool NimbalGunk::Build()
{
    Kestrin::IImage* cellImage = Kestrin::GetImage(GameNames::GunkCellImage.Get()).second;
    const int width = cellImage ? cellImage->GetWidth() : 0;
    const int height = cellImage ? cellImage->GetHeight() : 0;
    if (width <= 0 || height <= 0)
    {
        Kestrin::LogPrintf("NimbalGunk: the image \"%s\" is %s; the gunk board cannot be built\n",
                           GameNames::GunkCellImage.Get().c_str(), cellImage ? "empty" : "not loaded");
        Resize(0, 0);
        return false;
    }

    // The old node went with the last level's scene, or goes now when the same scene is rebuilt.
    if (layerNode)
    {
        SludgeLayerNode* old = layerNode;
        layerNode = nullptr;
        old->board = nullptr;
        if (Kestrin::ObjectDatabase* database = old->GetDatabase())
            database->RemoveObject(old->GetHandle());
    }
    if (Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase())
    {
        auto* node = new SludgeLayerNode(this);
        layerNode = node;
        database->AddObject(node);
        if (SceneNode* terrain = FindNodeAtPath(GetCurrentSceneRoot(), NodePath::TerrainLayerNode))
            node->SetParent(terrain);
        else
            Kestrin::LogPrintf("NimbalGunk: the scene has no \"%s\"; the gunk is not drawn\n",
                               std::string(NodePathTexts[size_t(NodePath::TerrainLayerNode)]).c_str());
    }
    Resize(width, height);
    return true;
}

void NimbalGunk::Resize(int width, int height)
{
    cellWidth = width;
    cellHeight = height;
    columns = width > 0 ? kScreenWidth / width : 0;
    rows = height > 0 ? kScreenHeight / height : 0;
    cells.assign(size_t(columns), std::vector<GunkCell>(size_t(rows)));
    decorations.assign(size_t(columns), std::vector<GunkCellDecoration>(size_t(rows)));
    for (auto& column : decorations)
        for (GunkCellDecoration& decoration : column)
        {
            decoration.offsetY = float(Kestrin::RandomInt(-3, 3));
            decoration.offsetX = float(Kestrin::RandomInt(-3, 3));
            decoration.flags = 0;
            for (int bit : {1, 2, 4})
                if (Kestrin::RandomInt(0, 1) == 0)
                    decoration.flags |= bit;
        }
    capacity = PlayableLayers();
}

float NimbalGunk::PlayableLayers() const
{
    if (cellWidth <= 0 || cellHeight <= 0)
        return 0.0f;
    const float w = float(cellWidth), h = float(cellHeight);
    return (float(columns) - kSideMargin / w - kSideMargin / w) *
           (float(rows) - kTopMargin / h - kBottomMargin / h) * float(kMaxDepth);
}

void NimbalGunk::AddLayer(GunkCell& cell, int colour)
{
    cell.push_back(colour);
    while (cell.size() > size_t(kMaxDepth))
        cell.pop_front();
}

bool NimbalGunk::CanHoldGunk(int column, int row) const
{
    const int h = cellWidth / 2, v = cellHeight / 2;
    const int left = column * cellWidth - h, right = column * cellWidth + h;
    const int top = row * cellHeight - v, bottom = row * cellHeight + v;
    if (left < kPlayLeft || right > kPlayRight || top < kPlayTop || bottom > kPlayBottom)
        return false;
    if ((left - kPlayLeft) + (top - kPlayTop) < kCornerCut ||
        (kPlayRight - right) + (top - kPlayTop) < kCornerCut)
        return false;
    const Vector2f point = CellPoint(column, row);
    return !AnyNear<GremlinHome>(point) && !AnyNear<GameObstacle>(point);
}

void NimbalGunk::AddGunk(int radius, int x, int y, int colour)
{
    if (cellWidth > 0 && cellHeight > 0 && radius > 0)
    {
        const int64_t r = radius;
        // The circle's span of cells, kept to the cells that may take gunk this way.
        const int firstColumn = std::max(int((int64_t(x) - r) / cellWidth), 1);
        const int lastColumn = int(std::min<int64_t>((int64_t(x) + r) / cellWidth, columns - 1));
        const int firstRow = std::max(int((int64_t(y) - r) / cellHeight), 1);
        const int lastRow = int(std::min<int64_t>((int64_t(y) + r) / cellHeight, rows - 1));
        for (int c = firstColumn; c <= lastColumn; ++c)
            for (int j = firstRow; j <= lastRow; ++j)
            {
                const int64_t dx = int64_t(x) - int64_t(c) * cellWidth;
                const int64_t dy = int64_t(y) - int64_t(j) * cellHeight;
                if (dx * dx + dy * dy < r * r && CanHoldGunk(c, j))
                    AddLayer(cells[size_t(c)][size_t(j)], colour);
            }
    }
    if (LevelServices* level = FindLevel())
        level->OnGunkReturned();
}

void NimbalGunk::LoadPatch(const char* characters, int length, int x, int y, int width, int colour)
{
    if (width <= 0)
        throw std::invalid_argument("a gunk patch needs a width of at least 1, not " + std::to_string(width));
    if (!characters)
        return;
    const bool built = cellWidth > 0 && cellHeight > 0;
    const int64_t firstColumn = built ? x / cellWidth : 0;
    const int64_t firstRow = built ? y / cellHeight : 0;
    for (int i = 0; i < length; ++i)
    {
        const char digit = characters[i];
        if (digit < '0' || digit > '9')
            throw boost::bad_lexical_cast(typeid(std::string), typeid(int));
        const int layers = digit - '0';
        if (layers == 0 || !built)
            continue;
        const int64_t c = firstColumn + i % width;
        const int64_t r = firstRow + i / width;
        if (c < 0 || c >= columns || r < 0 || r >= rows || !CanHoldGunk(int(c), int(r)))
            continue;
        for (int k = 0; k < layers; ++k)
            AddLayer(cells[size_t(c)][size_t(r)], colour);
    }
}

bool NimbalGunk::CleanLoop(Line* line)
{
    if (!line)
    {
        CheckCleared();
        return false;
    }
    return CleanLoop([line](Vector2f point) { return line->IsInsideLoop(point); }, int(line->color),
                     line->powerUpEffect == Line::PowerUpEffect::DeepClean);
}

bool NimbalGunk::CleanLoop(const std::function<bool(Vector2f)>& inside, int colour, bool deepClean)
{
    bool cleaned = false;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
        {
            GunkCell& cell = cells[size_t(c)][size_t(r)];
            if (cell.empty() || !inside(CellPoint(c, r)))
                continue;
            if (deepClean)
            {
                cell.clear();
                SpawnSparkle(c, r, GameNames::DeepCleanSparkle.Get());
                cleaned = true;
            }
            else if (cell.back() == colour || cell.back() == kBlack || cell.back() == kAny)
            {
                cell.pop_back();
                SpawnSparkle(c, r, GameNames::LineSparkle.Get());
                cleaned = true;
            }
        }
    if (cleaned)
    {
        if (deepClean)
            Kestrin::PlaySoundById(GameNames::DeepCleanSound.Get());
        Kestrin::PlaySoundById(GameNames::ClearGunkSound.Get());
    }
    CheckCleared();
    return cleaned;
}

void NimbalGunk::ClearAround(const GameObject& object)
{
    constexpr float clearance = float(kClearance * kClearance);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            if (BoxDistanceSquared(CellPoint(c, r), object) < clearance)
                cells[size_t(c)][size_t(r)].clear();
}

float NimbalGunk::GetGunkFraction()
{
    size_t layers = 0;
    for (const auto& column : cells)
        for (const GunkCell& cell : column)
            layers += cell.size();
    return layers == 0 ? 0.0f : float(layers) / capacity;
}

bool NimbalGunk::HasGunk() const
{
    for (const auto& column : cells)
        for (const GunkCell& cell : column)
            if (!cell.empty())
                return true;
    return false;
}

Vector2f NimbalGunk::RandomGunkCell()
{
    if (!HasGunk())
        return ScreenCentre; // a clean board has no cell to point at
    for (;;)
    {
        const int c = Kestrin::RandomInt(0, columns - 1);
        const int r = Kestrin::RandomInt(0, rows - 1);
        if (!cells[size_t(c)][size_t(r)].empty())
            return CellPoint(c, r);
    }
}

void NimbalGunk::CheckCleared()
{
    if (HasGunk())
        return;
    if (LevelServices* level = FindLevel())
        level->OnGunkCleared();
}

void NimbalGunk::SpawnSparkle(int column, int row, Kestrin::NameId spriteType)
{
    if (!layerNode || column < 0 || column >= columns || row < 0 || row >= rows)
        return;
    Kestrin::ObjectDatabase* database = layerNode->GetDatabase();
    SpriteType* type = GetSpriteTypeById(spriteType).second;
    const char* name = spriteType ? spriteType.c_str() : "";
    if (!type)
        m_missingSparkles.Printf(name, "NimbalGunk: no sprite type \"%s\"; its sparkles are not shown\n",
                                 name);
    if (!database || !type)
        return;
    const GunkCellDecoration& decoration = decorations[size_t(column)][size_t(row)];
    auto* sparkle = new AnimatedSpriteNode(type);
    sparkle->SetSelfAlignment(SceneNode::Align_Center, SceneNode::Align_Center);
    sparkle->SetPosition(float(column * cellWidth - cellWidth / 2) + decoration.offsetX,
                         float(row * cellHeight - cellHeight / 2) + decoration.offsetY);
    sparkle->SetVisible(false);
    database->AddObject(sparkle);
    sparkle->SetParent(layerNode);
    sparkle->AddTask(new Kestrin::TimedTask(Kestrin::RandomFloat(0.0f, 1.0f) * kLongestSparkleWait));
    sparkle->AddTask(new NodeVisibleTask(true));
    sparkle->AddTask(new NodeAnimationTask(GameNames::EffectPlay.Get(), NodeAnimationTask::Play, 1));
    sparkle->AddTask(new Kestrin::SelfDestructTask);
}
