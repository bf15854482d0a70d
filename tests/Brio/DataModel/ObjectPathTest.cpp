#include <Brio/DataModel/DataChange.h>
#include <Brio/DataModel/ObjectPath.h>

#include <gtest/gtest.h>

using namespace Brio;

namespace {
class Part : public Object {
public:
    static inline int alive = 0;
    Part() { ++alive; }
    ~Part() override { --alive; }
};
} // namespace

TEST(ObjectPathTest, PathsHoldTheirObjectsAndCompareWholly) {
    {
        ObjectPath path;
        StrongRef<Part> a(new Part), b(new Part), c(new Part);
        path.push(b.getTarget());
        path.push(c.getTarget());
        path.pushFront(a.getTarget());
        path.push(nullptr);
        ASSERT_EQ(path.size(), 3u);
        EXPECT_EQ(path[0], a.getTarget());
        EXPECT_EQ(path.leaf(), c.getTarget());
        EXPECT_EQ(path[5], nullptr);

        ObjectPath same = path;
        EXPECT_EQ(same, path);
        same.leafClientType(0x40);
        EXPECT_NE(same, path) << "the picked sub-object is part of the path";
        path.pushFront(path);
        EXPECT_EQ(path.size(), 6u) << "a path put in front of itself doubles it";
        path.pop();
        EXPECT_EQ(path.leaf(), b.getTarget());
    }
    EXPECT_EQ(Part::alive, 0) << "paths release their objects";
}

TEST(ObjectPathTest, OnlyRegisteredKindsArePoppable) {
    StrongRef<Part> body(new Part);
    ObjectPath path;
    path.push(body.getTarget());
    path.leafClientType(0x1000);
    EXPECT_FALSE(path.isQualifiedAndPoppable());
    ObjectPath::addQualifiedAndPoppableClientType(0x1000);
    EXPECT_TRUE(path.isQualifiedAndPoppable());
    path.leafClientType(0);
    EXPECT_FALSE(path.isQualifiedAndPoppable()) << "no sub-object picked";
    EXPECT_EQ(body->queryInterface(Object::interfaceId()), static_cast<void*>(body.getTarget()));

    DataChange::EChangeType types = DataChange::eNoChange;
    DataChange::set(types, DataChange::eGeometry | DataChange::eAppearance);
    EXPECT_TRUE(DataChange::test(types, DataChange::eGeometry));
    DataChange::clear(types, DataChange::eGeometry);
    EXPECT_FALSE(DataChange::test(types, DataChange::eGeometry));
    EXPECT_EQ(types, DataChange::eAppearance);
}
