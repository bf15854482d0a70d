#include <Brio/Base/StrongRef.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

using Brio::RefCounted;
using Brio::StrongRef;

namespace {

std::atomic<int> g_live{0};

class Probe : public RefCounted {
public:
    explicit Probe(int value = 0) : m_value(value) { ++g_live; }
    ~Probe() override { --g_live; }
    int value() const { return m_value; }

private:
    int m_value;
};

class DerivedProbe : public Probe {
public:
    DerivedProbe() : Probe(7) {}
};

} // namespace

TEST(StrongRefTest, RawCountingDeletesAtZero) {
    const int before = g_live;
    auto* p = new Probe;
    EXPECT_EQ(p->refCount(), 0);
    EXPECT_EQ(p->addRef(), 1);
    EXPECT_EQ(p->addRef(), 2);
    EXPECT_EQ(p->release(), 1);
    EXPECT_EQ(g_live, before + 1);
    EXPECT_EQ(p->release(), 0);
    EXPECT_EQ(g_live, before);
}

TEST(StrongRefTest, CopyMoveAndResetKeepCountsBalanced) {
    const int before = g_live;
    {
        StrongRef<Probe> a(new Probe(3));
        EXPECT_EQ(a->refCount(), 1);
        EXPECT_EQ((*a).value(), 3);

        StrongRef<Probe> b = a;
        EXPECT_EQ(a->refCount(), 2);
        EXPECT_TRUE(a == b);

        StrongRef<Probe> c = std::move(b);
        EXPECT_TRUE(b.isNull());
        EXPECT_FALSE(b);
        EXPECT_EQ(a->refCount(), 2);

        c = c; // self-assignment must not drop the object
        EXPECT_EQ(a->refCount(), 2);

        c.reset();
        EXPECT_TRUE(c.isNull());
        EXPECT_EQ(a->refCount(), 1);

        a = a.getTarget();
        EXPECT_EQ(a->refCount(), 1);
        EXPECT_EQ(g_live, before + 1);
    }
    EXPECT_EQ(g_live, before);
}

TEST(StrongRefTest, AssignmentReleasesThePreviousTarget) {
    const int before = g_live;
    StrongRef<Probe> a(new Probe(1));
    StrongRef<Probe> b(new Probe(2));
    a = b;
    EXPECT_EQ(g_live, before + 1);
    EXPECT_EQ(a->value(), 2);
    EXPECT_EQ(b->refCount(), 2);

    b = StrongRef<Probe>(new Probe(3)); // move-assignment releases the old target
    EXPECT_EQ(a->refCount(), 1);
    a = nullptr;
    EXPECT_EQ(g_live, before + 1);
    b.reset(new Probe(4));
    EXPECT_EQ(b->value(), 4);
    b.reset();
    EXPECT_EQ(g_live, before);
}

TEST(StrongRefTest, UpcastAndComparisons) {
    const int before = g_live;
    {
        StrongRef<DerivedProbe> derived(new DerivedProbe);
        StrongRef<Probe> base = derived;
        EXPECT_EQ(base->value(), 7);
        EXPECT_EQ(derived->refCount(), 2);
        EXPECT_TRUE(base == derived);
        EXPECT_TRUE(base == derived.getTarget());
        EXPECT_TRUE(base != nullptr);

        StrongRef<Probe> other(new Probe);
        EXPECT_TRUE(base != other);
        EXPECT_TRUE(StrongRef<Probe>() == nullptr);
        EXPECT_TRUE(StrongRef<Probe>() == StrongRef<Probe>());
    }
    EXPECT_EQ(g_live, before);
}

TEST(StrongRefTest, ConcurrentCopiesReturnToTheStartingCount) {
    const int before = g_live;
    StrongRef<Probe> shared(new Probe);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                StrongRef<Probe> copy = shared;
                StrongRef<Probe> moved = std::move(copy);
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(shared->refCount(), 1);
    shared.reset();
    EXPECT_EQ(g_live, before);
}
