#pragma once
// The gunk on the playfield: the 800 x 600 screen cut into a grid of cells, each a stack of at most
// five coloured layers. Creatures, the level and the board file add gunk; closed loops clean it.
// The sludge layer node draws it.
#include "Base/Log.h"
#include "Framework/Names.h"
#include "Game/GunkBoard.h"

#include <deque>
#include <functional>
#include <vector>

class SludgeLayerNode;

// Layer colours (GremlinColorType values), the front the oldest (bottom), the back the newest (top).
using GunkCell = std::deque<int>;

// Drawn once per cell when the board is built, so the grid does not show: a jitter of -3..3 px and
// three variant bits (1 mirror left-right, 2 mirror top-bottom, 4 drawn unturned).
struct GunkCellDecoration
{
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    int flags = 0;
};

class NimbalGunk : public GunkBoard
{
public:
    static constexpr int kMaxDepth = 5;
    // Cells whose point lies nearer than this to a trap or obstacle stay clean.
    static constexpr int kClearance = 30;

    // The game's board, built anew for every level.
    static NimbalGunk& Instance();

    NimbalGunk() = default;
    ~NimbalGunk() override;
    NimbalGunk(const NimbalGunk&) = delete;
    NimbalGunk& operator=(const NimbalGunk&) = delete;

    // Empties the board for a level: the cell size from the image "sludgeBGImage-Black", new
    // decorations from the current random stream, and a new layer node under the terrain layer of
    // the current scene. False (logged, the board left without cells) when the image is not loaded:
    // the level cannot be played.
    bool Build();

    // One layer of the colour on every cell of the circle that may hold gunk (column 0 and row 0
    // never do), then the level hears that gunk came back.
    void AddGunk(int radius, int x, int y, int colour) override;
    // A board file's patch: `width` characters a row from the cell holding (x, y); "0" leaves a
    // cell alone, a digit n adds n layers where gunk may lie. Cells off the grid are skipped. A
    // non-digit throws boost::bad_lexical_cast, a width below 1 std::invalid_argument.
    void LoadPatch(const char* characters, int length, int x, int y, int width, int colour);
    // Cleans the cells inside the closed line: every layer under a deep-clean line, else the top
    // layer when it is the line's colour, black or any. True when anything was cleaned. Always ends
    // with CheckCleared, so a board emptied some other way is still reported clean.
    bool CleanLoop(Line* line) override;
    // Empties the cells whose point lies nearer than 30 px to the object's box.
    void ClearAround(const GameObject& object) override;
    // The layers on the board over its capacity; above 1 when the board overflows.
    float GetGunkFraction() override;
    // The point of a random cell holding gunk; (400, 300) on a clean board.
    Vector2f RandomGunkCell() override;
    // Tells the level when no cell holds gunk.
    void CheckCleared() override;
    // The cell's sparkle of that sprite type: hidden under the layer node, it shows after a random
    // wait of up to 0.4 s, plays "play" once and goes.
    void SpawnSparkle(int column, int row, Kestrin::NameId spriteType);
    // The placement rule: inside the playfield, off its two cut top corners, clear of traps and
    // obstacles. The cell's box is centred on its point.
    bool CanHoldGunk(int column, int row) const;

    bool HasGunk() const;
    int Depth(int column, int row) const { return int(cells[size_t(column)][size_t(row)].size()); }
    // The cell's point: its top-left corner, where every distance test of the board is taken.
    Vector2f CellPoint(int column, int row) const
    {
        return {float(column * cellWidth), float(row * cellHeight)};
    }
    // The layer node forgets itself when it goes with its scene.
    void ForgetLayerNode(const SludgeLayerNode* node);

    int cellWidth = 0;
    int cellHeight = 0;
    int columns = 0;
    int rows = 0;
    // Layers that fill the playable area; a level's "gunkLimit" scales it.
    float capacity = 0.0f;
    // Layers that fill the playable area: every cell five deep, less the margins; 0 without cells.
    float PlayableLayers() const;
    // [column][row]
    std::vector<std::vector<GunkCell>> cells;
    std::vector<std::vector<GunkCellDecoration>> decorations;
    // Owned by the scene.
    SludgeLayerNode* layerNode = nullptr;

private:
    // CleanLoop with the loop's inside test, colour and deep-clean flag.
    bool CleanLoop(const std::function<bool(Vector2f)>& inside, int colour, bool deepClean);
    // Steps 3 to 6 of Build for cells of that size.
    void Resize(int width, int height);
    void AddLayer(GunkCell& cell, int colour);

    // Sparkle sprite types found missing, each logged once.
    Kestrin::LogOnce m_missingSparkles;
};
