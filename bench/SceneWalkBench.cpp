// Walking an instanced assembly: every leaf's world matrix and effect instance computed and
// its render item made, nothing drawn. Prints leaves per second, allocations per leaf, and
// the graph's heap bytes per leaf.
#include "../tests/Scene/Walk/AssemblyFixture.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Nodes/SceneWalk.h>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

void BM_WalkAssembly(benchmark::State& state) {
    const int components = int(state.range(0)), instances = int(state.range(1)), bodies = int(state.range(2));
    std::size_t heapBefore = mallinfo2().uordblks;
    SceneFixture::Assembly a = SceneFixture::BuildAssembly(components, instances, bodies);
    std::size_t heapAfter = mallinfo2().uordblks;

    Lumo::Scene::SceneWalk::Install();
    SceneFixture::AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    SceneFixture::AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    Lumo::Graphics::GraphWalker walker(*dc);
    SceneFixture::AutoPtr<Lumo::Scene::TraversalState> seed = Lumo::Scene::TraversalState::Make();
    walker.AddClientState(Lumo::Scene::TraversalState::StaticClassName(), seed);

    std::int64_t allocations = 0;
    for (auto _ : state) {
        Lumo::Graphics::RenderItemList items;
        auto before = Lumo::Objects::HeapOperators::Stats().totalBlocks;
        walker.Walk(a.root, items);
        allocations += Lumo::Objects::HeapOperators::Stats().totalBlocks - before;
        benchmark::DoNotOptimize(items.Count());
        state.PauseTiming();
        items.Clear();
        state.ResumeTiming();
    }
    Lumo::Scene::SceneWalk::Uninstall();
    state.SetItemsProcessed(state.iterations() * a.leaves);
    state.counters["leaves"] = a.leaves;
    state.counters["groups"] = a.groups;
    state.counters["leaves/s"] = benchmark::Counter(double(state.iterations()) * a.leaves, benchmark::Counter::kIsRate);
    state.counters["allocs/leaf"] = double(allocations) / (double(state.iterations()) * a.leaves);
    state.counters["graph bytes/leaf"] = double(heapAfter - heapBefore) / a.leaves;
}
BENCHMARK(BM_WalkAssembly)->Args({100, 100, 10})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
