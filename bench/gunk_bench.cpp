// The gunk board's costs with the game's own cell art (data/groups/Game.xml, whose cell images carry
// a cache of four turns): the sludge layer of a board covered five layers deep, drawn on the
// software renderer and on the image canvas at 800x600, and one deep-clean loop over the left half
// of that board (refilled outside the timing).
// KESTRIN_GUNK_PNG=<file> saves the image canvas's picture of the covered board for a look.
#include "SoftwareRenderer.h"

#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/ResourceManager.h"
#include "Game/Line.h"
#include "Game/NimbalGunk.h"
#include "Game/SludgeLayerNode.h"
#include "Graphics/Canvas.h"
#include "Graphics/GraphicsFactories.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/PngWriter.h"
#include "Platform/Win32/Win32FileSystem.h"

#include "Support/EngineFakes.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace
{

// Every cell that may hold gunk five layers deep, the colours mixed; decorations from a fixed seed.
void Cover(NimbalGunk& board)
{
    for (int c = 0; c < board.columns; ++c)
        for (int r = 0; r < board.rows; ++r)
            if (board.CanHoldGunk(c, r))
                board.cells[size_t(c)][size_t(r)] = GunkCell(size_t(NimbalGunk::kMaxDepth), (c * 3 + r) % 7);
}

struct Game
{
    Game()
    {
        Kestrin::SetLogToStderr(false);
        files.AddPartition(1, new Kestrin::Win32FileSystemPartition(L"" KESTRIN_DATA_DIR));
        Kestrin::RegisterGraphicsResourceFactories(*Kestrin::ResourceManager::Instance());
        Kestrin::ResourceManager::Instance()->LoadFile(L"Game", nullptr, true);
        Kestrin::ScopedRandomStream seeded(&random);
        if (!board.Build())
            std::abort();
        Cover(board);
    }
    ~Game() { delete Kestrin::ResourceManager::Instance(); }

    Kestrin::Win32FileSystem files;
    BoostRandomNumberStream random{1210};
    NimbalGunk board;
    SludgeLayerNode node{&board};
};

Game& TheGame()
{
    static Game game;
    return game;
}

void DrawOn(benchmark::State& state, Kestrin::Graphics::ICanvas* canvas)
{
    Game& game = TheGame();
    Kestrin::Graphics::SetCurrentCanvas(canvas);
    for (auto _ : state)
        game.node.Draw({0, 0});
    Kestrin::Graphics::SetCurrentCanvas(nullptr);
    state.counters["cells"] =
        double(game.board.GetGunkFraction() * game.board.capacity / NimbalGunk::kMaxDepth);
}

void BM_DrawOnSoftwareRenderer(benchmark::State& state)
{
    BenchSoftware::OnSoftwareRenderer([&](Kestrin::Graphics::ICanvas* canvas) { DrawOn(state, canvas); });
}
BENCHMARK(BM_DrawOnSoftwareRenderer)->Unit(benchmark::kMillisecond);

void BM_DrawOnImageCanvas(benchmark::State& state)
{
    Kestrin::Image target(800, 600);
    Kestrin::Graphics::cImageCanvas canvas(target);
    DrawOn(state, &canvas);
    if (const char* path = std::getenv("KESTRIN_GUNK_PNG"))
    {
        // The layer over a mid grey, as it lies on the playfield.
        Kestrin::Image picture(800, 600);
        std::fill(picture.Pixels(), picture.Pixels() + 800 * 600, 0xFF7A8088u);
        Kestrin::Graphics::cImageCanvas pictureCanvas(picture);
        Kestrin::Graphics::SetCurrentCanvas(&pictureCanvas);
        TheGame().node.Draw({0, 0});
        Kestrin::Graphics::SetCurrentCanvas(nullptr);
        Kestrin::Graphics::WritePng(path, picture.Pixels(), 800, 600);
    }
}
BENCHMARK(BM_DrawOnImageCanvas)->Unit(benchmark::kMillisecond);

void BM_DeepCleanHalfTheBoard(benchmark::State& state)
{
    Game& game = TheGame();
    // Drawn round the left half and closed by crossing its first segment, as the player does.
    Line loop(5, 5, nullptr, GremlinColorType::Red, GremlinKind::DeepClean);
    for (Vector2f corner : {Vector2f(400, 5), Vector2f(400, 595), Vector2f(5, 595), Vector2f(5, 5)})
        loop.AddPathPoint(corner);
    loop.OnSelfCrossing(loop.headSegment, loop.firstSegment);
    loop.powerUpEffect = Line::PowerUpEffect::DeepClean;
    for (auto _ : state)
    {
        state.PauseTiming();
        Cover(game.board);
        state.ResumeTiming();
        benchmark::DoNotOptimize(game.board.CleanLoop(&loop));
    }
    Cover(game.board);
}
BENCHMARK(BM_DeepCleanHalfTheBoard)->Unit(benchmark::kMillisecond);

} // namespace
