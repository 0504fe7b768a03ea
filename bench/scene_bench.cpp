// The scene tree's per-frame costs on a generated layout of about 2,000 nodes (nested groups,
// mixed alignments): a refresh with nothing changed, a refresh after the root moved (every world
// state changes), a refresh after every node changed its own state, and one hit search at a
// random point.
// "ns_per_node" is the time of one operation divided by the tree's node count, in nanoseconds
// (small figures print with SI prefixes: "2.5m" is 0.0025 ns).
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneResourceFactories.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace
{

const char* const kHorizontal[] = {"left", "center", "right"};
const char* const kVertical[] = {"top", "middle", "bottom"};

// 1 root, 10 groups, 10 subgroups each, 19 leaves each: 2,011 nodes.
std::string GeneratedLayout()
{
    std::mt19937 random(17);
    auto align = [&random]
    {
        return std::string(" parentHAlign=\"") + kHorizontal[random() % 3] + "\" selfHAlign=\"" +
               kHorizontal[random() % 3] + "\" parentVAlign=\"" + kVertical[random() % 3] +
               "\" selfVAlign=\"" + kVertical[random() % 3] + "\"";
    };
    auto place = [&random](int size)
    {
        return " x=\"" + std::to_string(int(random() % 40)) + "\" y=\"" + std::to_string(int(random() % 40)) +
               "\" width=\"" + std::to_string(size) + "\" height=\"" + std::to_string(size) + "\"";
    };
    std::string xml = "<resources><scenelayout name=\"Bench\"><scenenode width=\"800\" height=\"600\">";
    for (int g = 0; g < 10; ++g)
    {
        xml += "<scenenode" + place(300) + align() + ">";
        for (int s = 0; s < 10; ++s)
        {
            xml += "<scenenode" + place(120) + align() + " alpha=\"0.9\">";
            for (int l = 0; l < 19; ++l)
                xml += "<scenenode hitTest=\"true\"" + place(16) + align() + "/>";
            xml += "</scenenode>";
        }
        xml += "</scenenode>";
    }
    return xml + "</scenenode></scenelayout></resources>";
}

struct Scene
{
    Scene()
    {
        Kestrin::SetLogToStderr(false);
        Kestrin::ResourceManager* manager = Kestrin::ResourceManager::Instance();
        RegisterSceneResourceFactories(*manager);
        const std::string xml = GeneratedLayout();
        Kestrin::MemoryStream stream(L"Bench", xml.data(), uint32_t(xml.size()));
        manager->Load(L"Bench", &stream, nullptr);
        root = GetSceneLayout("Bench").second->Instantiate(database, nullptr);
        Collect(root);
        root->RefreshTree();
    }
    void Collect(SceneNode* node)
    {
        nodes.push_back(node);
        for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
            Collect(child);
    }

    Kestrin::ObjectDatabase database;
    SceneNode* root = nullptr;
    std::vector<SceneNode*> nodes;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

using Clock = std::chrono::steady_clock;

// Reported without rate flags, so the figure reads as nanoseconds.
void PerNode(benchmark::State& state, size_t nodes, Clock::duration timed)
{
    const double ns = double(std::chrono::duration_cast<std::chrono::nanoseconds>(timed).count());
    state.counters["nodes"] = double(nodes);
    state.counters["ns_per_node"] = ns / (double(state.iterations()) * double(nodes));
}

void BM_RefreshClean(benchmark::State& state)
{
    Scene& scene = TheScene();
    const auto start = Clock::now();
    for (auto _ : state)
    {
        scene.root->RefreshTree();
        benchmark::ClobberMemory();
    }
    PerNode(state, scene.nodes.size(), Clock::now() - start);
}
BENCHMARK(BM_RefreshClean);

// The root moves: every world state of the tree changes.
void BM_RefreshAfterRootMove(benchmark::State& state)
{
    Scene& scene = TheScene();
    float x = 0.0f;
    const auto start = Clock::now();
    for (auto _ : state)
    {
        scene.root->SetX(x = 1.0f - x);
        scene.root->RefreshTree();
        benchmark::ClobberMemory();
    }
    PerNode(state, scene.nodes.size(), Clock::now() - start);
}
BENCHMARK(BM_RefreshAfterRootMove);

// Every node changed its own state before the refresh (the changes are not timed).
void BM_RefreshEveryNodeDirty(benchmark::State& state)
{
    Scene& scene = TheScene();
    float alpha = 1.0f;
    Clock::duration timed{};
    for (auto _ : state)
    {
        state.PauseTiming();
        alpha = alpha == 1.0f ? 0.5f : 1.0f;
        for (SceneNode* node : scene.nodes)
            node->SetAlpha(alpha);
        state.ResumeTiming();
        const auto start = Clock::now();
        scene.root->RefreshTree();
        benchmark::ClobberMemory();
        timed += Clock::now() - start;
    }
    PerNode(state, scene.nodes.size(), timed);
}
BENCHMARK(BM_RefreshEveryNodeDirty);

void BM_HitSearch(benchmark::State& state)
{
    Scene& scene = TheScene();
    std::mt19937 random(5);
    std::uniform_real_distribution<float> x(0.0f, 800.0f), y(0.0f, 600.0f);
    int hits = 0;
    const auto start = Clock::now();
    for (auto _ : state)
    {
        if (scene.root->FindNodeAt({x(random), y(random)}))
            ++hits;
    }
    PerNode(state, scene.nodes.size(), Clock::now() - start);
    state.counters["hit_rate"] = double(hits) / double(state.iterations());
}
BENCHMARK(BM_HitSearch);

} // namespace
