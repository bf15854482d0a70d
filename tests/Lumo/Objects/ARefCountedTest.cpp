#include "Probe.h"

#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <utility>
#include <vector>

using namespace Lumo::Objects;
using LumoTest::Probe;

namespace {

class Shape : public ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    Shape() = default;
};
class Circle : public Shape {
    LUMO_DECLARE_CLASS()
public:
    explicit Circle(std::atomic<int>* deaths = nullptr) : m_deaths(deaths) {}
    ~Circle() override {
        if (m_deaths)
            ++*m_deaths;
    }

private:
    std::atomic<int>* m_deaths;
};

LUMO_DEFINE_CLASS(Shape, ARefCounted)
LUMO_DEFINE_CLASS(Circle, Shape)

} // namespace

TEST(ARefCountedTest, LastReleaseDeletesExactlyOnce) {
    std::atomic<int> deaths{0};
    const int live = ARefCounted::NetObjectCount();
    auto* p = new Probe(&deaths);
    EXPECT_EQ(p->RefCount(), 0);
    EXPECT_EQ(ARefCounted::NetObjectCount(), live + 1);
    EXPECT_EQ(p->AddRef(), 1);
    EXPECT_EQ(p->AddRef(), 2);
    EXPECT_EQ(p->ReleaseRef(), 1);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(p->ReleaseRef(), 0);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(ARefCounted::NetObjectCount(), live);
}

TEST(ARefCountedTest, CopyStartsWithItsOwnCount) {
    std::atomic<int> deaths{0};
    AutoPtr<Probe> a(new Probe(&deaths));
    a->AddRef();
    AutoPtr<Probe> b(new Probe(*a));
    EXPECT_EQ(a->RefCount(), 2);
    EXPECT_EQ(b->RefCount(), 1);
    a->ReleaseRef();
    a.reset();
    EXPECT_EQ(deaths, 1);
    b.reset();
    EXPECT_EQ(deaths, 2);
}

TEST(ARefCountedTest, AutoPtrHoldsOneReference) {
    std::atomic<int> deaths{0};
    Probe* raw = new Probe(&deaths);
    {
        AutoPtr<Probe> a(raw);
        EXPECT_EQ(raw->RefCount(), 1);
        AutoPtr<Probe> b(a); // copy
        EXPECT_EQ(raw->RefCount(), 2);
        AutoPtr<Probe> c(std::move(b)); // move takes over b's reference
        EXPECT_EQ(b.get(), nullptr);
        EXPECT_EQ(raw->RefCount(), 2);

        a = a; // self-assignment must neither leak nor free
        EXPECT_EQ(raw->RefCount(), 2);
        c = std::move(c);
        EXPECT_EQ(c.get(), raw);
        EXPECT_EQ(raw->RefCount(), 2);

        c.reset(raw); // resetting to the held pointer keeps it alive
        EXPECT_EQ(raw->RefCount(), 2);
        a.reset();
        EXPECT_EQ(raw->RefCount(), 1);
        c.reset(c.get()); // ... even when it holds the last reference
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(raw->RefCount(), 1);
        c = c.get();
        EXPECT_EQ(deaths, 0);

        AutoPtr<Probe> d;
        d = std::move(c); // move-assign into empty
        EXPECT_EQ(raw->RefCount(), 1);
        AutoPtr<Probe> e(raw);
        d = std::move(e); // move-assign over the same object: one reference released
        EXPECT_EQ(raw->RefCount(), 1);
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(ARefCountedTest, AutoPtrReplacesReleasesAndConverts) {
    std::atomic<int> deaths{0};
    AutoPtr<Probe> a(new Probe(&deaths));
    a = new Probe(&deaths); // the first one loses its only holder
    EXPECT_EQ(deaths, 1);

    Probe* kept = a.release(); // gives the reference up without releasing
    EXPECT_FALSE(a);
    EXPECT_EQ(kept->RefCount(), 1);
    EXPECT_EQ(deaths, 1);
    kept->ReleaseRef();
    EXPECT_EQ(deaths, 2);

    AutoPtr<Circle> circle(new Circle(&deaths));
    AutoPtr<Shape> shape(circle); // derived to base shares the object
    EXPECT_EQ(shape.get(), circle.get());
    EXPECT_EQ(circle->RefCount(), 2);
    circle = nullptr;
    EXPECT_EQ(deaths, 2);
    shape = nullptr;
    EXPECT_EQ(deaths, 3);
}

TEST(ARefCountedTest, ConcurrentAddRefReleaseDeletesOnce) {
    constexpr int kThreads = 8, kHeld = 1000, kChurn = 20000;
    for (int round = 0; round < 20; ++round) {
        std::atomic<int> deaths{0};
        auto* p = new Probe(&deaths);
        for (int i = 0; i < kThreads * kHeld; ++i)
            p->AddRef(); // each thread owns kHeld references
        std::latch start(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&] {
                start.arrive_and_wait();
                for (int i = 0; i < kChurn; ++i) {
                    p->AddRef();
                    p->ReleaseRef();
                }
                for (int i = 0; i < kHeld; ++i)
                    p->ReleaseRef(); // whoever drops the last one deletes
            });
        }
        for (auto& th : threads)
            th.join();
        ASSERT_EQ(deaths, 1) << "round " << round;
    }
}

TEST(ARefCountedTest, GetInterfaceAnswersOwnAndBaseNames) {
    AutoPtr<Circle> c(new Circle);
    Shape* asShape = c.get();
    EXPECT_EQ(c->ClassName(), Intern(L"Circle"));
    EXPECT_EQ(asShape->ClassName(), Intern(L"Circle")); // most derived, through a base pointer
    EXPECT_EQ(Circle::StaticClassName(), InternUtf8("Circle"));

    EXPECT_EQ(c->GetInterface(Intern(L"Circle")), static_cast<void*>(c.get()));
    EXPECT_EQ(c->GetInterface(Intern(L"Shape")), static_cast<void*>(asShape));
    EXPECT_EQ(c->GetInterface(Intern(L"ARefCounted")), static_cast<void*>(static_cast<ARefCounted*>(c.get())));
    EXPECT_EQ(c->GetInterface(Intern(L"IBaseInterface")), static_cast<void*>(static_cast<IBaseInterface*>(c.get())));
    EXPECT_EQ(c->GetInterface(Intern(L"Square")), nullptr);
    EXPECT_EQ(c->GetInterface(nullptr), nullptr);

    AutoPtr<Shape> s(new Shape);
    EXPECT_EQ(s->GetInterface(Intern(L"Circle")), nullptr); // a base does not answer for a derived class
    EXPECT_EQ(s->GetInterface(Intern(L"Shape")), static_cast<void*>(s.get()));

    IBaseInterface* base = c.get();
    EXPECT_EQ(QueryInterface<Shape>(base), asShape);
    EXPECT_EQ(QueryInterface<Circle>(static_cast<IBaseInterface*>(s.get())), nullptr);
    EXPECT_EQ(QueryInterface<Circle>(nullptr), nullptr);
}
