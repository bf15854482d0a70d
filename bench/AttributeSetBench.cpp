// Costs of the attribute-set operations on the hot paths: lookups during walks, the
// priority merge of the accumulator, and merging change packets into stored sets.
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Scene.h>

#include <benchmark/benchmark.h>

#include <vector>

using namespace Lumo::Scene;
using Lumo::Objects::AutoPtr;

namespace {

/// An attribute of any kind, so a set can be filled with many kinds.
class KindAttribute : public Attribute {
public:
    static KindAttribute* Make(EAttributeType kind, unsigned char priority = 0) {
        return new KindAttribute(kind, priority);
    }
    EAttributeType Type() const override { return m_kind; }

private:
    KindAttribute(EAttributeType kind, unsigned char priority) : Attribute(false, priority), m_kind(kind) {}
    EAttributeType m_kind;
};

void BM_GetAttribute(benchmark::State& state) {
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 10);
    for (int k = 0; k < 18; k += 2)
        set->SetAttribute(KindAttribute::Make(EAttributeType(k)));
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(set->GetAttribute(EAttributeType(k)));
        k = (k + 5) % 18;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetAttribute);

void BM_SetAttributeReplace(benchmark::State& state) {
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 10);
    for (int k = 0; k < 18; k += 2)
        set->SetAttribute(KindAttribute::Make(EAttributeType(k)));
    AutoPtr<Attribute> a = KindAttribute::Make(eEffect), b = KindAttribute::Make(eEffect);
    bool flip = false;
    for (auto _ : state) {
        set->SetAttribute(flip ? a : b);
        flip = !flip;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetAttributeReplace);

void BM_SetRemoveAttribute(benchmark::State& state) {
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 18);
    for (int k = 0; k < 18; k += 2)
        set->SetAttribute(KindAttribute::Make(EAttributeType(k)));
    AutoPtr<Attribute> a = KindAttribute::Make(eEffect);
    for (auto _ : state) {
        set->SetAttribute(a);
        set->RemoveAttribute(eEffect);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_SetRemoveAttribute);

/// The accumulator merging a 10-kind set in which nothing wins (the common case down a path).
void BM_SimpleMergeUnchanged(benchmark::State& state) {
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 10);
    SimpleAttributeSet acc(18);
    for (int k = 0; k < 10; ++k) {
        set->SetAttribute(KindAttribute::Make(EAttributeType(k), 0));
        acc.SetAttribute(KindAttribute::Make(EAttributeType(k), 1)); // higher priority: held wins
    }
    auto before = Lumo::Objects::HeapOperators::Stats().totalBlocks;
    for (auto _ : state)
        acc.Merge(*set);
    state.counters["allocs/merge"] =
        double(Lumo::Objects::HeapOperators::Stats().totalBlocks - before) / double(state.iterations());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SimpleMergeUnchanged);

/// The accumulator taking every attribute of a 10-kind set (incoming wins each kind).
void BM_SimpleMergeReplacing(benchmark::State& state) {
    AutoPtr<AttributeSet> a = AttributeSet::Make(nullptr, 10), b = AttributeSet::Make(nullptr, 10);
    for (int k = 0; k < 10; ++k) {
        a->SetAttribute(KindAttribute::Make(EAttributeType(k)));
        b->SetAttribute(KindAttribute::Make(EAttributeType(k)));
    }
    SimpleAttributeSet acc(18);
    bool flip = false;
    for (auto _ : state) {
        acc.Merge(flip ? *a : *b);
        flip = !flip;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SimpleMergeReplacing);

/// A change with 50 type-specific children merged into a stored set that already has them.
void BM_MergeChange50Children(benchmark::State& state) {
    AutoPtr<AttributeSetEx> stored = AttributeSetEx::Make(nullptr);
    AutoPtr<AttributeSetEx> change = AttributeSetEx::Make(nullptr);
    std::vector<AutoPtr<Attribute>> keep;
    for (int i = 0; i < 50; ++i) {
        unsigned apply = 1u << (i % 25), append = unsigned(i / 25) + 1;
        stored->GetAttributeSet(apply, append, true)->SetAttribute(KindAttribute::Make(eVisibility));
        change->GetAttributeSet(apply, append, true)->SetAttribute(KindAttribute::Make(eOpacity));
    }
    change->SetAttribute(KindAttribute::Make(eDepthPriority));
    for (auto _ : state)
        stored->MergeChange(*change, false);
    state.counters["children"] = double(stored->Children()->Count());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MergeChange50Children);

} // namespace
