// Walking an instanced assembly: every leaf's world matrix and effect instance computed and
// its render item made, nothing drawn. Prints leaves per second, the graph's heap bytes per
// leaf, and the heap allocations of a walk of the unchanged scene (after a first, warming
// walk) per frame and per leaf, next to a floor: the same graph walked by the same walker with
// no callbacks, which is what the walk costs before the scene does anything.
#include "../tests/Scene/Walk/AssemblyFixture.h"

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

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

// Every allocation of the process through the global operators: the standard library's, the
// host framework's and the scene's. Graphics objects bypass these (HeapOperators calls malloc)
// and are counted by their own heap's counter; a figure below is the sum of both.
namespace {
std::atomic<std::int64_t> g_news{0};

void* Counted(std::size_t size) {
    g_news.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* CountedAligned(std::size_t size, std::align_val_t align) {
    g_news.fetch_add(1, std::memory_order_relaxed);
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return Counted(size); }
void* operator new[](std::size_t size) { return Counted(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Counted(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void* operator new(std::size_t size, std::align_val_t align) { return CountedAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return CountedAligned(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

std::int64_t Allocations() {
    return g_news.load(std::memory_order_relaxed) + Lumo::Objects::HeapOperators::Stats().totalBlocks;
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

void BM_WalkAssembly(benchmark::State& state) { WalkAssembly(state, false); }
BENCHMARK(BM_WalkAssembly)->Args({100, 100, 10})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WalkAssemblyTranslucentTwoSided(benchmark::State& state) { WalkAssembly(state, true); }
BENCHMARK(BM_WalkAssemblyTranslucentTwoSided)->Args({100, 100, 10})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
