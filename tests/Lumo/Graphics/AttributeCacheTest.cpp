#include <Lumo/Graphics/AttributeCache.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SharedMatrix.h>

#include <gtest/gtest.h>

using namespace Lumo::Graphics;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;
using Lumo::Objects::SharedMatrix;

TEST(AttributeCacheTest, SlotsByDataStyleAndLevel) {
    AutoPtr<AttributeCache> cache = AttributeCache::Make();
    auto* base = AttributeLODList::BaseDataID();
    auto* plain = AttributeLODList::UnstylizedID();
    auto* hidden = Intern(L"HiddenLine");
    AutoPtr<SharedMatrix> a = SharedMatrix::Make(), b = SharedMatrix::Make();

    EXPECT_EQ(cache->Container(base, plain, 3, false), nullptr);
    EXPECT_TRUE(cache->Add(base, plain, 3, a));
    EXPECT_TRUE(cache->Add(base, hidden, 3, b));
    EXPECT_TRUE(cache->IsValid(base, plain, 3));
    EXPECT_FALSE(cache->IsValid(base, plain, 4));
    EXPECT_EQ(cache->Container(base, plain, 3, false)->At(0), a.get());
    EXPECT_EQ(a->RefCount(), 2);
    EXPECT_EQ(cache->Container(base, plain, 16, true), nullptr) << "levels run 0 to 15";
    EXPECT_FALSE(cache->Add(base, plain, -1, a));

    cache->InvalidateInputData(base, plain, 3);
    EXPECT_FALSE(cache->IsValid(base, plain, 3));
    EXPECT_EQ(cache->Container(base, plain, 3, false)->Count(), 0);
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_TRUE(cache->IsValid(base, hidden, 3)) << "other styles untouched";

    cache->InvalidateInputData(base, 3);
    EXPECT_FALSE(cache->IsValid(base, hidden, 3));
    cache->Add(base, plain, 3, a);
    cache->ClearIds(base, 3);
    EXPECT_EQ(cache->SlotCount(), 0);
    EXPECT_EQ(a->RefCount(), 1);
    cache->Add(base, plain, 1, b);
    cache->ClearAll();
    EXPECT_EQ(b->RefCount(), 1);
}

TEST(AttributeCacheTest, NodesReleaseTheirCache) {
    AutoPtr<AttributeCache> cache = AttributeCache::Make();
    {
        AutoPtr<GroupNode> node = GroupNode::Make();
        node->Attributes(cache);
        EXPECT_EQ(node->Attributes(), cache.get());
        EXPECT_EQ(cache->RefCount(), 2);
    }
    EXPECT_EQ(cache->RefCount(), 1);
}
