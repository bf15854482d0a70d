#include "Probe.h"

#include <Lumo/Objects/ArrayList.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Lumo::Objects;
using LumoTest::Probe;

namespace {
using CountedList = _ArrayList<Probe*, RefCountedLifetime>;

std::vector<Probe*> Items(const CountedList& l) {
    return {l.begin(), l.end()};
}

/// Probes that stay alive for the test through one reference of their own.
struct Pool {
    std::atomic<int> deaths{0};
    Probe* p[4];
    Pool() {
        for (Probe*& x : p) {
            x = new Probe(&deaths);
            x->AddRef();
        }
    }
    ~Pool() {
        for (Probe* x : p)
            x->ReleaseRef();
    }
};
} // namespace

TEST(ArrayListTest, InsertRemoveSetKeepCountsExact) {
    Pool pool;
    Probe *a = pool.p[0], *b = pool.p[1], *c = pool.p[2], *d = pool.p[3];
    {
        CountedList list;
        EXPECT_TRUE(list.Add(a));
        EXPECT_TRUE(list.Add(c));
        EXPECT_TRUE(list.Insert(1, b));
        EXPECT_TRUE(list.Insert(0, d));
        EXPECT_FALSE(list.Insert(5, a)); // past the end: refused, nothing acquired
        EXPECT_FALSE(list.Insert(-1, a));
        EXPECT_EQ(Items(list), (std::vector<Probe*>{d, a, b, c}));
        EXPECT_EQ(list.Count(), 4);
        EXPECT_EQ(a->RefCount(), 2);
        EXPECT_EQ(list.IndexOf(b), 2);
        EXPECT_EQ(list.IndexOf(nullptr), -1);

        list.Set(0, a); // d released, a held twice
        EXPECT_EQ(d->RefCount(), 1);
        EXPECT_EQ(a->RefCount(), 3);
        list.Set(0, a); // same element again: no change
        EXPECT_EQ(a->RefCount(), 3);
        list.Set(4, d); // out of range: ignored
        EXPECT_EQ(d->RefCount(), 1);

        EXPECT_TRUE(list.Remove(a)); // first occurrence only
        EXPECT_EQ(Items(list), (std::vector<Probe*>{a, b, c}));
        EXPECT_EQ(a->RefCount(), 2);
        EXPECT_FALSE(list.Remove(d));
        list.RemoveAt(3);
        list.RemoveAt(-1);
        EXPECT_EQ(list.Count(), 3);
        list.RemoveAt(1);
        EXPECT_EQ(Items(list), (std::vector<Probe*>{a, c}));
        EXPECT_EQ(b->RefCount(), 1);

        EXPECT_TRUE(list.Add(nullptr)); // null elements are allowed and not counted
        EXPECT_EQ(list.IndexOf(nullptr), 2);
        list.Clear();
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_EQ(list.begin(), list.end());
        EXPECT_EQ(a->RefCount(), 1);
        EXPECT_EQ(c->RefCount(), 1);

        list.Add(b);
    } // the destructor releases what is left
    EXPECT_EQ(b->RefCount(), 1);
    EXPECT_EQ(pool.deaths, 0);
}

TEST(ArrayListTest, ListIsSoleOwner) {
    std::atomic<int> deaths{0};
    {
        CountedList list;
        for (int i = 0; i < 5; ++i)
            list.Add(new Probe(&deaths));
        list.RemoveAt(0);
        EXPECT_EQ(deaths, 1);
        list.Set(0, new Probe(&deaths));
        EXPECT_EQ(deaths, 2);
        list.Clear();
        EXPECT_EQ(deaths, 6);
        list.Add(new Probe(&deaths));
    }
    EXPECT_EQ(deaths, 7);
}

TEST(ArrayListTest, CopiesShareElementsAndFreeThemOnce) {
    std::atomic<int> deaths{0};
    {
        auto* original = new CountedList;
        for (int i = 0; i < 3; ++i)
            original->Add(new Probe(&deaths));
        Probe* first = (*original)[0];

        CountedList copy(*original);
        EXPECT_EQ(copy.Count(), 3);
        EXPECT_EQ(first->RefCount(), 2);

        CountedList assigned;
        assigned.Add(new Probe(&deaths)); // replaced by the assignment
        assigned = copy;
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(first->RefCount(), 3);
        assigned = assigned; // self-assignment keeps everything
        EXPECT_EQ(first->RefCount(), 3);
        EXPECT_EQ(assigned.Count(), 3);

        CountedList moved(std::move(assigned)); // no count changes, source emptied
        EXPECT_EQ(first->RefCount(), 3);
        EXPECT_EQ(assigned.Count(), 0);

        delete original;
        EXPECT_EQ(deaths, 1);
        copy.Clear();
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(first->RefCount(), 1);
    }
    EXPECT_EQ(deaths, 4);
}

TEST(ArrayListTest, AddingAnElementOfTheListItself) {
    // The argument refers into the list's own storage, which the insertion may reallocate.
    std::atomic<int> deaths{0};
    {
        CountedList list;
        list.Add(new Probe(&deaths));
        for (int i = 0; i < 40; ++i)
            ASSERT_TRUE(list.Add(list[0]));
        EXPECT_EQ(list[0]->RefCount(), 41);
        ASSERT_TRUE(list.Insert(0, list[list.Count() - 1]));
        EXPECT_EQ(list[0]->RefCount(), 42);
        list.Set(3, list[3]);
        EXPECT_EQ(list[0]->RefCount(), 42);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(ArrayListTest, AutoPtrElementsCountForThemselves) {
    std::atomic<int> deaths{0};
    {
        _ArrayList<AutoPtr<Probe>> list; // NoLifetime: the elements hold the references
        list.Add(AutoPtr<Probe>(new Probe(&deaths)));
        list.Add(AutoPtr<Probe>(new Probe(&deaths)));
        Probe* first = list[0].get();
        EXPECT_EQ(first->RefCount(), 1);

        list.Set(0, list[0]); // putting an element in its own place keeps it
        ASSERT_EQ(list[0].get(), first);
        EXPECT_EQ(first->RefCount(), 1);
        list.Set(1, list[0]);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(first->RefCount(), 2);

        auto copy = list;
        EXPECT_EQ(first->RefCount(), 4);
        list.Clear();
        EXPECT_EQ(first->RefCount(), 2);
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 2);
}
