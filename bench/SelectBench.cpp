// Picks through the view selector over a generated assembly (parts x triangles x instances) in
// a 1280 x 800 view: point picks at random pixels with a 3-pixel tolerance, and crossing
// rectangles of 100 x 100 pixels. Figures: microseconds per pick, the time and memory to build
// every part's pick hierarchy, and the heap allocations per pick.
#include <Host/Host.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/MeshBVH.h>
#include <Scene/View/GraphicsOptionGroup.h>

#include "../tests/Scene/Walk/CountingNew.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <tuple>

namespace {

constexpr int kW = 1280, kH = 800;

struct Scene {
    Host::Document doc{"Select"};
    std::unique_ptr<Host::Picker> picker;
    double buildS = 0, bvhMiB = 0;
};

Scene& SceneOf(int parts, int triangles, int instances) {
    static std::map<std::tuple<int, int, int>, std::unique_ptr<Scene>> made;
    auto& s = made[{parts, triangles, instances}];
    if (!s) {
        s = std::make_unique<Scene>();
        Host::GenerateAssembly(s->doc.model(), {parts, triangles, instances});
        s->picker = std::make_unique<Host::Picker>(s->doc, kW, kH, "iso");
        // Every part's hierarchy, built up front so that picks measure only picking.
        const auto t0 = std::chrono::steady_clock::now();
        std::size_t bytes = 0;
        for (const auto& c : s->doc.model().components())
            for (const auto& b : c->bodies())
                if (Lumo::Devices::SimpleMesh* mesh = b->mesh()->facesAt(15))
                    bytes += Lumo::Graphics::MeshBVH::For(*mesh)->MemoryBytes();
        s->buildS = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        s->bvhMiB = double(bytes) / (1024.0 * 1024.0);
    }
    return *s;
}

void BM_PointPick(benchmark::State& state) {
    Scene& s = SceneOf(int(state.range(0)), int(state.range(1)), int(state.range(2)));
    // range(3): 1 keeps the nearest hit only (the graphics option), 0 reports every hit.
    Brio::Scene::GraphicsOptionGroup::get()->selectClosestItemOnly(state.range(3) != 0);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> x(0, kW), y(0, kH);
    std::vector<std::pair<double, double>> at(1000);
    for (auto& p : at)
        p = {x(rng), y(rng)};
    s.picker->point(at[0].first, at[0].second); // the first pick syncs and walks a cold graph
    std::size_t i = 0, hits = 0;
    const std::uint64_t allocs = std::uint64_t(CountingNew::allocations);
    for (auto _ : state) {
        const auto& p = at[i++ % at.size()];
        const auto found = s.picker->point(p.first, p.second, 3);
        hits += !found.empty() && found[0].kind != "background";
    }
    state.counters["hit_share"] = double(hits) / double(state.iterations());
    state.counters["allocs_per_pick"] =
        double(std::uint64_t(CountingNew::allocations) - allocs) / double(state.iterations());
    state.counters["bvh_build_s"] = s.buildS;
    state.counters["bvh_MiB"] = s.bvhMiB;
    Brio::Scene::GraphicsOptionGroup::get()->selectClosestItemOnly(false);
}
BENCHMARK(BM_PointPick)
    ->Args({100, 10000, 1000, 0})
    ->Args({100, 10000, 1000, 1})
    ->Args({2, 100, 4, 0})
    ->Unit(benchmark::kMicrosecond);

void BM_RectanglePick(benchmark::State& state) {
    Scene& s = SceneOf(int(state.range(0)), int(state.range(1)), int(state.range(2)));
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> x(0, kW - 100), y(0, kH - 100);
    std::size_t i = 0, found = 0;
    std::vector<std::pair<double, double>> at(100);
    for (auto& p : at)
        p = {x(rng), y(rng)};
    for (auto _ : state) {
        const auto& p = at[i++ % at.size()];
        found += s.picker->rectangle(p.first, p.second, p.first + 100, p.second + 100, true).size();
    }
    state.counters["hits_per_pick"] = double(found) / double(state.iterations());
}
BENCHMARK(BM_RectanglePick)->Args({100, 10000, 1000})->Args({2, 100, 4})->Unit(benchmark::kMillisecond);

} // namespace
