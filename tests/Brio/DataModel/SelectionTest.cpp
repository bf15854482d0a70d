// Host selections: logical selections ordered, shortened and validated by their paths, made by
// their sources, carrying where they were hit; alternates recorded and heard of; filters asked
// only when on.
#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/LogicalSelection.h>

#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Brio::LogicalSelection;
using Brio::ObjectPath;
using Brio::Selection;
using Brio::StrongRef;

struct Thing : Brio::Object {};

StrongRef<Brio::Object> NewThing() {
    return StrongRef<Brio::Object>(new Thing);
}

ObjectPath PathOf(std::initializer_list<Brio::Object*> objects) {
    ObjectPath p;
    for (Brio::Object* o : objects)
        p.push(o);
    return p;
}

TEST(LogicalSelection, OrderShortenAndValidity) {
    StrongRef<Brio::Object> a = NewThing(), b = NewThing(), c = NewThing();
    StrongRef<LogicalSelection> ab = LogicalSelection::make(PathOf({a.getTarget(), b.getTarget()}));
    StrongRef<LogicalSelection> ab2 = LogicalSelection::make(PathOf({a.getTarget(), b.getTarget()}));
    StrongRef<LogicalSelection> abc = LogicalSelection::make(PathOf({a.getTarget(), b.getTarget(), c.getTarget()}));
    StrongRef<LogicalSelection> ac = LogicalSelection::make(PathOf({a.getTarget(), c.getTarget()}));
    EXPECT_EQ(ab->compare(*ab2), 0);
    EXPECT_EQ(ab->compare(*abc), -1) << "a path before its extension";
    EXPECT_EQ(abc->compare(*ab), 1);
    EXPECT_NE(ab->compare(*ac), 0);
    EXPECT_EQ(ab->compare(*ac), -ac->compare(*ab));
    // Popping drops the leaf; at the top there is nothing to pop to.
    StrongRef<Selection> up = abc->pop();
    ASSERT_TRUE(up);
    EXPECT_EQ(up->compare(*ab), 0);
    EXPECT_FALSE(LogicalSelection::make(PathOf({a.getTarget()}))->pop());
    EXPECT_TRUE(ab->isValid());
    EXPECT_FALSE(LogicalSelection::make(ObjectPath())->isValid());
    EXPECT_TRUE(ab->queryInterface(LogicalSelection::interfaceId()));
    EXPECT_TRUE(ab->queryInterface(Selection::interfaceId()));
}

TEST(LogicalSelection, SourcesMakeTheirOwnAndHitsAreKept) {
    StrongRef<Brio::Object> a = NewThing(), leaf = NewThing();
    const ObjectPath path = PathOf({a.getTarget(), leaf.getTarget()});
    StrongRef<Selection> from = LogicalSelection::make(PathOf({a.getTarget()}));
    StrongRef<LogicalSelection> special = LogicalSelection::make(path);
    Brio::Object* asked = nullptr;
    const Selection* askedFrom = nullptr;
    StrongRef<LogicalSelection> made = LogicalSelection::make(
        path,
        [&](Brio::Object* source, const ObjectPath&, const StrongRef<Selection>& f) {
            asked = source;
            askedFrom = f.getTarget();
            return special;
        },
        from);
    EXPECT_EQ(made.getTarget(), special.getTarget());
    EXPECT_EQ(asked, leaf.getTarget()) << "the leaf is the source asked";
    EXPECT_EQ(askedFrom, from.getTarget());
    // A creator without an answer gives a plain one.
    StrongRef<LogicalSelection> plain = LogicalSelection::make(
        path,
        [](Brio::Object*, const ObjectPath&, const StrongRef<Selection>&) { return StrongRef<LogicalSelection>(); },
        from);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->compare(*special), 0);
    // Where it was hit, kept unless replaced.
    EXPECT_FALSE(plain->hasHitInfo());
    plain->hitInfo(ZoGePoint3d(1, 2, 3), ZoGeMatrix3d::translation(ZoGeVector3d(5, 0, 0)), true);
    plain->hitInfo(ZoGePoint3d(9, 9, 9), ZoGeMatrix3d(), false);
    EXPECT_TRUE(plain->hasHitInfo());
    EXPECT_TRUE(plain->hitPoint().isEqualTo(ZoGePoint3d(1, 2, 3)));
    EXPECT_TRUE((plain->hitTransform() * plain->hitPoint()).isEqualTo(ZoGePoint3d(6, 2, 3)));
    plain->hitInfo(ZoGePoint3d(9, 9, 9), ZoGeMatrix3d(), true);
    EXPECT_TRUE(plain->hitPoint().isEqualTo(ZoGePoint3d(9, 9, 9)));
}

/// A selection that hears of alternates recorded beside it.
struct Listener : Selection {
    struct Call {
        Selection* selection;
        const Brio::UniqueString* key;
        Selection* alternate;
    };
    std::vector<Call> calls;
    void onPropagateAlternate(Selection& s, const Brio::UniqueString* key, Selection& alternate) override {
        calls.push_back({&s, key, &alternate});
    }
};

TEST(Selection, AlternatesAreRecordedAndHeardOf) {
    const Brio::UniqueString* key = Brio::UniqueString::find(L"SelectionTest.Key");
    const Brio::UniqueString* other = Brio::UniqueString::find(L"SelectionTest.Other");
    StrongRef<Brio::Object> a = NewThing();
    StrongRef<LogicalSelection> owner = LogicalSelection::make(PathOf({a.getTarget()}));
    StrongRef<Listener> first(new Listener), second(new Listener);
    EXPECT_FALSE(owner->alternateSelection(key));
    owner->alternateSelection(key, first);
    EXPECT_EQ(owner->alternateSelection(key).getTarget(), first.getTarget());
    EXPECT_TRUE(first->calls.empty()) << "nothing was held before";
    // A second alternate: the one held before hears of it.
    owner->alternateSelection(other, second);
    ASSERT_EQ(first->calls.size(), 1u);
    EXPECT_EQ(first->calls[0].selection, second.getTarget());
    EXPECT_EQ(first->calls[0].key, other);
    EXPECT_EQ(first->calls[0].alternate, owner.getTarget());
    EXPECT_TRUE(second->calls.empty());
    // An empty alternate removes the record.
    owner->alternateSelection(key, StrongRef<Selection>());
    EXPECT_FALSE(owner->alternateSelection(key));
    EXPECT_TRUE(owner->alternateSelection(other));
}

/// Answers a fixed selection when enabled.
struct Fixed : Brio::SelectionFilter {
    bool enabled = true;
    StrongRef<Selection> answer;
    int lastMode = -1;
    bool onIsEnabled(const Brio::SelectionFilterContext&) const override { return enabled; }
    StrongRef<Selection> onFilter(const StrongRef<Selection>&, const Brio::SelectionFilterContext& c) override {
        lastMode = c.mode();
        return answer;
    }
};

TEST(SelectionFilter, AskedOnlyWhenOnAndGivenASelection) {
    StrongRef<Brio::Object> a = NewThing();
    StrongRef<LogicalSelection> s = LogicalSelection::make(PathOf({a.getTarget()}));
    Fixed f;
    f.answer = s;
    EXPECT_EQ(Brio::SelectionFilter::filter(f, s, Brio::SelectionFilterContext(4, false)).getTarget(), s.getTarget());
    EXPECT_EQ(f.lastMode, 4);
    EXPECT_FALSE(Brio::SelectionFilter::filter(f, StrongRef<Selection>(), Brio::SelectionFilterContext(0, false)));
    f.enabled = false;
    f.lastMode = -1;
    EXPECT_FALSE(Brio::SelectionFilter::filter(f, s, Brio::SelectionFilterContext(1, true)));
    EXPECT_EQ(f.lastMode, -1) << "a filter that is off is not asked";
}

} // namespace
