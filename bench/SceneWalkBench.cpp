// Walking an instanced assembly: every leaf's world matrix and effect instance computed and
// its render item made, nothing drawn. Prints leaves per second, the graph's heap bytes per
// leaf, and the heap allocations of a walk of the unchanged scene (after a first, warming
// walk) per frame and per leaf, next to a floor: the same graph walked by the same walker with
// no callbacks, which is what the walk costs before the scene does anything.
#include "../tests/Scene/Walk/AssemblyFixture.h"
#include "../tests/Scene/Walk/CountingNew.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Nodes/SceneWalk.h>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

/// Heap allocations so far: the walking thread's through the global operators, and every
/// graphics object (those bypass the operators).
std::int64_t Allocations() {
    return CountingNew::allocations + Lumo::Objects::HeapOperators::Stats().totalBlocks;
}

/// Empties the list but keeps its storage, as a renderer that walks every frame would.
void Release(Lumo::Graphics::RenderItemList& items) {
    while (items.Count() > 0)
        items.RemoveAt(items.Count() - 1);
}

/// Heap allocations per walk of root by walker, over frames walks that follow a warming one.
double AllocationsPerFrame(Lumo::Graphics::GraphWalker& walker, Lumo::Graphics::ARenderNode* root, int frames) {
    Lumo::Graphics::RenderItemList items;
    walker.Walk(root, items);
    Release(items);
    std::int64_t total = 0;
    for (int i = 0; i < frames; ++i) {
        const std::int64_t before = Allocations();
        walker.Walk(root, items);
        total += Allocations() - before;
        Release(items);
    }
    return double(total) / frames;
}

/// Every instance at half its opacity, every body drawn two-sided: both effect variants per leaf.
void MakeTranslucentTwoSided(SceneFixture::Assembly& a, Lumo::Scene::TraversalState& seed) {
    using namespace Lumo::Scene;
    SceneFixture::AutoPtr<Attribute> half = OpacityAttribute::Make(0.5f, false);
    for (int r = 0; r < a.root->ChildCount(); ++r) {
        auto* reference = a.root->Child(r)->AsGroup();
        for (int i = 0; reference && i < reference->ChildCount(); ++i)
            if (AttributeSet* set = GetAttributeSet(reference->Child(i)))
                set->SetAttribute(half);
    }
    seed.DoubleSided(1);
}

void WalkAssembly(benchmark::State& state, bool variants) {
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
    if (variants)
        MakeTranslucentTwoSided(a, *seed);

    // The floor first, with the same walker (its states already grown) and no callbacks.
    const Lumo::Graphics::NodeCallbacks none;
    walker.Callbacks(&none);
    const double floor = AllocationsPerFrame(walker, a.root, 3);
    walker.Callbacks(&Lumo::Graphics::NodeCallbacks::Installed());
    const double perFrame = AllocationsPerFrame(walker, a.root, 3);

    Lumo::Graphics::RenderItemList items;
    for (auto _ : state) {
        walker.Walk(a.root, items);
        benchmark::DoNotOptimize(items.Count());
        state.PauseTiming();
        Release(items);
        state.ResumeTiming();
    }
    Lumo::Scene::SceneWalk::Uninstall();
    state.SetItemsProcessed(state.iterations() * a.leaves);
    state.counters["leaves"] = a.leaves;
    state.counters["groups"] = a.groups;
    state.counters["leaves/s"] = benchmark::Counter(double(state.iterations()) * a.leaves, benchmark::Counter::kIsRate);
    state.counters["graph bytes/leaf"] = double(heapAfter - heapBefore) / a.leaves;
    state.counters["allocs/frame"] = perFrame;
    state.counters["allocs/leaf"] = perFrame / a.leaves;
    state.counters["floor allocs/frame"] = floor;
    state.counters["over floor/leaf"] = (perFrame - floor) / a.leaves;
}

void BM_WalkAssembly(benchmark::State& state) {
    WalkAssembly(state, false);
}
BENCHMARK(BM_WalkAssembly)->Args({100, 100, 10})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WalkAssemblyTranslucentTwoSided(benchmark::State& state) {
    WalkAssembly(state, true);
}
BENCHMARK(BM_WalkAssemblyTranslucentTwoSided)->Args({100, 100, 10})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
