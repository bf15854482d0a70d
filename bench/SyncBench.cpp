// Editing a big scene: 100,000 attribute changes (colour, transform, visibility) spread over
// 10,000 nodes, built with node changes on two threads, then one sync on the user-interface
// thread. Prints packets per second for posting (a node's first packet), merging (later
// packets folded into the queued one) and applying, and the sync's wall time.
#include <Brio/Types/Color.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <ZoGe/ZoGeVector3d.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using Brio::Scene::NodeChange;
using Clock = std::chrono::steady_clock;

std::vector<Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode>> MakeNodes(int count) {
    std::vector<Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode>> nodes;
    nodes.reserve(count);
    for (int i = 0; i < count; ++i) {
        NodeChange change;
        nodes.emplace_back(change.createGroupNode(nullptr, Lumo::Graphics::eSingleNodeWorld));
    }
    return nodes;
}

/// One attribute change on a node: the kind cycles colour, transform, visibility.
void Edit(Lumo::Graphics::GroupNode* node, int i) {
    NodeChange change(node, false);
    switch (i % 3) {
    case 0:
        change.colorEffect(Brio::Color(float(i % 256) / 255.0f, 0.5f, 0.25f));
        break;
    case 1:
        change.transform(ZoGeVector3d(double(i), 0.0, 0.0), false);
        break;
    default:
        change.visibility((i & 1) != 0);
        break;
    }
}

/// Edits [first, last) of the change stream on two threads; node = change % nodes.
double PostOnTwoThreads(std::vector<Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode>>& nodes, int first, int last) {
    const int n = int(nodes.size());
    auto work = [&](int parity) {
        for (int i = first + parity; i < last; i += 2)
            Edit(nodes[i % n], i);
    };
    auto t0 = Clock::now();
    std::thread a(work, 0), b(work, 1);
    a.join();
    b.join();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void BM_PostMergeSync(benchmark::State& state) {
    const int kNodes = int(state.range(0)), kChanges = int(state.range(1));
    auto nodes = MakeNodes(kNodes);
    Brio::Scene::ObjectManager* manager = Brio::Scene::ObjectManager::get();
    double post = 0, merge = 0, sync = 0;
    std::int64_t allocations = 0;
    for (auto _ : state) {
        // The first pass over the nodes queues one packet each; the rest merge into them.
        post += PostOnTwoThreads(nodes, 0, kNodes);
        merge += PostOnTwoThreads(nodes, kNodes, kChanges);
        auto before = Lumo::Objects::HeapOperators::Stats().totalBlocks;
        auto t0 = Clock::now();
        manager->syncChanges();
        sync += std::chrono::duration<double>(Clock::now() - t0).count();
        allocations += Lumo::Objects::HeapOperators::Stats().totalBlocks - before;
        if (manager->changeManager()->PendingCount() != 0)
            state.SkipWithError("the sync left packets waiting");
    }
    const double it = double(state.iterations());
    state.counters["changes"] = kChanges;
    state.counters["post packets/s"] = kNodes * it / post;
    state.counters["merge packets/s"] = (kChanges - kNodes) * it / merge;
    state.counters["apply packets/s"] = kChanges * it / sync;
    state.counters["sync ms"] = 1000.0 * sync / it;
    state.counters["sync allocs"] = double(allocations) / it;
}

} // namespace

BENCHMARK(BM_PostMergeSync)->Args({10000, 100000})->Unit(benchmark::kMillisecond)->UseRealTime();
