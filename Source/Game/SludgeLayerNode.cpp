#include "Game/SludgeLayerNode.h"

#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/ResourceManager.h"
#include "Game/NimbalGunk.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"

#include <algorithm>
#include <array>
#include <string>

namespace
{

constexpr size_t kColours = EnumNames<GremlinColorType>::names.size();
constexpr int kBlack = int(GremlinColorType::Black);
constexpr int kAny = int(GremlinColorType::Any);
constexpr uint32_t kMirrorFlags = Kestrin::Graphics::DrawFlag_MirrorX | Kestrin::Graphics::DrawFlag_MirrorY;
// Decoration flag 4: the cell is drawn as it is; without it, a quarter turn.
constexpr int kUnturned = 4;

// Names by colour, the prefix then the colour's name.
std::array<Kestrin::NameId, kColours> NamesByColour(const char* prefix)
{
    std::array<Kestrin::NameId, kColours> names;
    for (size_t i = 0; i < kColours; ++i)
        names[i] = Kestrin::MakeName(std::string(prefix) + EnumNames<GremlinColorType>::names[i]);
    return names;
}

const std::array<Kestrin::NameId, kColours>& ImageListNames()
{
    static const auto names = NamesByColour(GunkImageListPrefix);
    return names;
}

const std::array<Kestrin::NameId, kColours>& SparkleNames()
{
    static const auto names = NamesByColour(GunkSparklePrefix);
    return names;
}

} // namespace

SludgeLayerNode::SludgeLayerNode(NimbalGunk* board_) : board(board_ ? board_ : &NimbalGunk::Instance()) {}

SludgeLayerNode::~SludgeLayerNode()
{
    if (board)
        board->ForgetLayerNode(this);
}

void SludgeLayerNode::Update(float dt)
{
    SceneNode::Update(dt);
    sparkleTimer -= dt;
    if (sparkleTimer <= 0.0f)
    {
        sparkleDue = true;
        sparkleTimer = Kestrin::RandomFloat(sparkleIntervalMin, sparkleIntervalMax);
    }
}

void SludgeLayerNode::Draw(const Vector2f& offset)
{
    m_gunkCells.clear();
    if (!IsWorldVisible() || !board || board->cellWidth <= 0 || board->cellHeight <= 0)
        return;
    // Black serves "any"; the list of every colour is looked up once a frame.
    std::array<Kestrin::ImageList*, kColours> lists{};
    for (int colour = 0; colour < kAny; ++colour)
        lists[size_t(colour)] = dynamic_cast<Kestrin::ImageList*>(
            Kestrin::GetResource<Kestrin::IImageList>(ImageListNames()[size_t(colour)]).second);
    lists[size_t(kAny)] = lists[size_t(kBlack)];

    using namespace Kestrin::Graphics;
    ICanvas* canvas = GetCurrentCanvas();
    DrawState state = CurrentDrawState();
    const uint32_t kept = state.flags & ~kMirrorFlags;
    const float w = float(board->cellWidth), h = float(board->cellHeight);
    const Rectf world = GetWorldRect();
    const float originX = world.x + offset.x - float(board->cellWidth / 2);
    const float originY = world.y + offset.y - float(board->cellHeight / 2);
    const float quarterTurn = float(std::acos(-1.0) / 2.0);

    for (int c = 0; c < board->columns; ++c)
    {
        const auto& column = board->cells[size_t(c)];
        for (int r = 0; r < board->rows; ++r)
        {
            const GunkCell& cell = column[size_t(r)];
            if (cell.empty())
                continue;
            m_gunkCells.emplace_back(c, r);
            const int colour = cell.back();
            Kestrin::ImageList* list =
                colour >= 0 && colour < int(kColours) ? lists[size_t(colour)] : nullptr;
            if (!list)
            {
                const char* name = NameOf(GremlinColorType(colour));
                m_missingLists.Printf(name,
                                      "SludgeLayerNode: no image list \"%s%s\"; its gunk is not drawn\n",
                                      GunkImageListPrefix, name);
                continue;
            }
            const int n = std::min(int(cell.size()), list->Count());
            if (n <= 0)
                continue;
            const GunkCellDecoration& decoration = board->decorations[size_t(c)][size_t(r)];
            const float x = originX + float(c) * w + decoration.offsetX;
            const float y = originY + float(r) * h + decoration.offsetY;
            state.flags = kept | (uint32_t(decoration.flags << 2) & kMirrorFlags);
            if (decoration.flags & kUnturned)
                DrawImageRotated(canvas, list->GetImageAt(n - 1), x, y, 0.0f, state);
            else
                DrawImageRotated(canvas, list->GetImageAt(n - 1), x + w, y, quarterTurn, state);
        }
    }

    if (!sparkleDue || m_gunkCells.empty())
        return;
    const auto [c, r] = m_gunkCells[size_t(Kestrin::RandomInt(0, int(m_gunkCells.size()) - 1))];
    const int colour = board->cells[size_t(c)][size_t(r)].back();
    if (colour >= 0 && colour < int(kColours))
        board->SpawnSparkle(c, r, SparkleNames()[size_t(colour)]);
    sparkleDue = false;
}

SceneNodeDescriptor* SludgeLayerNodeFactory::Read(const Kestrin::IAttributeContainer&)
{
    return new SludgeLayerNodeDescriptor;
}

SceneNode* SludgeLayerNodeFactory::Create(const SceneNodeDescriptor&)
{
    return new SludgeLayerNode;
}
