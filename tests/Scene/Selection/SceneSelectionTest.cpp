// Scene selections: ordering and popping by node path, hit information carried between paths,
// and the filters that translate between scene and logical selections and keep both in step.
#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/LogicalSelection.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Model/INodeSource.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Selection/RawHitInfo.h>
#include <Scene/Selection/SceneSelection.h>
#include <Scene/Selection/SelectionFilters.h>
#include <ZoGe/ZoGe.h>

#include <gtest/gtest.h>

namespace {

using Brio::StrongRef;
using Brio::Scene::NodePath;
using Brio::Scene::RawHitInfo;
using Brio::Scene::SceneSelection;
using Lumo::Objects::AutoPtr;

AutoPtr<Lumo::Graphics::GroupNode> Group(double x) {
    AutoPtr<Lumo::Graphics::GroupNode> g = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    Lumo::Scene::GetAttributeSet(g)->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(
        Lumo::Scene::TransformAttribute::Make(Lumo::Objects::mat4<float>::Translation({float(x), 0, 0}), false)));
    return g;
}

NodePath PathOf(std::initializer_list<Lumo::Graphics::ARenderNode*> nodes) {
    NodePath p;
    for (auto* n : nodes)
        p.push(n);
    return p;
}

RawHitInfo* HitAt(const ZoGePoint3d& p) {
    RawHitInfo* h = RawHitInfo::make();
    h->localHitPoint(p);
    h->id(4);
    return h;
}

TEST(SceneSelection, OrderPopAndHitsBetweenPaths) {
    AutoPtr<Lumo::Graphics::GroupNode> a = Group(1), b = Group(5), leaf = Group(0);
    StrongRef<SceneSelection> sa = SceneSelection::make(PathOf({a.get(), leaf.get()}));
    StrongRef<SceneSelection> sa2 = SceneSelection::make(PathOf({a.get(), leaf.get()}));
    StrongRef<SceneSelection> sb = SceneSelection::make(PathOf({b.get(), leaf.get()}));
    EXPECT_EQ(sa->compare(*sa2), 0);
    EXPECT_NE(sa->compare(*sb), 0);
    EXPECT_EQ(sa->compare(*sb), -sb->compare(*sa));
    EXPECT_EQ(sa->compare(*Brio::LogicalSelection::make(Brio::ObjectPath())), 0) << "another kind";
    // Pop: the path without its leaf and a separate copy of the hit.
    sa->hitInfo(HitAt(ZoGePoint3d(0, 0, 0)));
    StrongRef<Brio::Selection> up = sa->pop();
    ASSERT_TRUE(up);
    auto* upScene = static_cast<SceneSelection*>(up->queryInterface(SceneSelection::interfaceId()));
    ASSERT_TRUE(upScene);
    EXPECT_EQ(upScene->scenePath().size(), 1);
    ASSERT_TRUE(upScene->hitInfo());
    EXPECT_NE(upScene->hitInfo(), sa->hitInfo());
    sa->hitInfo(static_cast<RawHitInfo*>(nullptr));
    EXPECT_EQ(upScene->hitInfo()->id(), 4) << "the popped copy stands alone";
    EXPECT_FALSE(SceneSelection::make(PathOf({a.get()}))->pop());
    // Hit information re-expressed: the point at a's leaf origin (world x = 1) seen from b's
    // leaf (world x = 5) lies at x = -4.
    sa->hitInfo(HitAt(ZoGePoint3d(0, 0, 0)));
    sa->hitInfo()->localToWorldTransform(ZoGeMatrix3d::translation(ZoGeVector3d(1, 0, 0))); // as a's path places it
    sb->hitInfo(sa);
    ASSERT_TRUE(sb->hitInfo());
    EXPECT_TRUE(sb->hitInfo()->localHitPoint().isEqualTo(ZoGePoint3d(-4, 0, 0)));
    EXPECT_TRUE(
        (sb->hitInfo()->localToWorldTransform() * sb->hitInfo()->localHitPoint()).isEqualTo(ZoGePoint3d(1, 0, 0)))
        << "still the same place in the world";
    // From a selection without hit information: none.
    sb->hitInfo(sa2);
    EXPECT_FALSE(sb->hitInfo());
}

/// A model object that is a node source, as a host's objects are.
class Part : public Brio::Object, public Brio::Scene::INodeSource {
public:
    Lumo::Graphics::ARenderNode* sceneNode() const override { return m_node.get(); }
    void* queryInterface(const Brio::UniqueString* id) const override {
        if (id == Brio::Scene::INodeSource::interfaceId())
            return static_cast<Brio::Scene::INodeSource*>(const_cast<Part*>(this));
        if (id == Brio::Object::interfaceId())
            return static_cast<Brio::Object*>(const_cast<Part*>(this));
        return Brio::Object::queryInterface(id);
    }

protected:
    void sceneNode(Lumo::Graphics::ARenderNode* node) override { m_node = node; }
    void onCreateScene(Brio::Scene::NodeChange& change) override {
        sceneNode(change.createGroupNode(this, Lumo::Graphics::eSingleNodeWorld, true));
        INodeSource::onCreateScene(change);
    }
    AutoPtr<Lumo::Graphics::ARenderNode> m_node;
};

/// A part whose logical selections depend on the view: it marks them by a hit of its own.
class ViewPart : public Part, public Brio::Scene::IViewDependentSelectionSource {
public:
    int asked = 0;
    void* queryInterface(const Brio::UniqueString* id) const override {
        if (id == Brio::Scene::IViewDependentSelectionSource::interfaceId())
            return static_cast<Brio::Scene::IViewDependentSelectionSource*>(const_cast<ViewPart*>(this));
        return Part::queryInterface(id);
    }

protected:
    StrongRef<Brio::LogicalSelection>
    onCreateViewDependentLogicalSelection(const Brio::ObjectPath& path,
                                          const StrongRef<SceneSelection>& scene) override {
        ++asked;
        StrongRef<Brio::LogicalSelection> s = Brio::LogicalSelection::make(path);
        EXPECT_TRUE(scene);
        return s;
    }
};

TEST(SelectionFilters, SceneToLogicalAndBackKeepTheHit) {
    StrongRef<Part> part(new Part);
    Lumo::Graphics::ARenderNode* node = part->createScene();
    ASSERT_TRUE(node);
    StrongRef<SceneSelection> picked = SceneSelection::make(PathOf({node}));
    picked->hitInfo(HitAt(ZoGePoint3d(1, 2, 3)));
    StrongRef<Brio::LogicalSelection> logical =
        Brio::Scene::SceneToLogicalSelectionFilter::filter(StrongRef<Brio::Selection>(picked), false);
    ASSERT_TRUE(logical);
    ASSERT_EQ(logical->path().size(), 1u);
    EXPECT_EQ(logical->path().leaf(), static_cast<Brio::Object*>(part.getTarget()));
    EXPECT_TRUE(logical->hasHitInfo());
    EXPECT_TRUE(logical->hitPoint().isEqualTo(ZoGePoint3d(1, 2, 3)));
    // Back to the scene: the recorded alternate, the same object each time, with the hit.
    StrongRef<SceneSelection> back =
        Brio::Scene::LogicalToSceneSelectionFilter::filter(StrongRef<Brio::Selection>(logical));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->compare(*picked), 0);
    ASSERT_TRUE(back->hitInfo());
    EXPECT_EQ(back->hitInfo()->id(), 4);
    EXPECT_EQ(Brio::Scene::LogicalToSceneSelectionFilter::filter(StrongRef<Brio::Selection>(logical)).getTarget(),
              back.getTarget());
    EXPECT_TRUE(Brio::Scene::LogicalToSceneSelectionFilter::hasEquivalentResult(StrongRef<Brio::Selection>(logical)));
    // A scene selection without a hit gives a logical one without a hit; an invalid logical
    // selection without an alternate gives nothing; other kinds give nothing.
    StrongRef<Brio::LogicalSelection> bare = Brio::Scene::SceneToLogicalSelectionFilter::filter(
        StrongRef<Brio::Selection>(SceneSelection::make(PathOf({node}))), false);
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->hasHitInfo());
    EXPECT_FALSE(Brio::Scene::LogicalToSceneSelectionFilter::filter(
        StrongRef<Brio::Selection>(Brio::LogicalSelection::make(Brio::ObjectPath()))));
    EXPECT_FALSE(Brio::Scene::SceneToLogicalSelectionFilter::filter(StrongRef<Brio::Selection>(logical), false));
    part->releaseScene();
}

TEST(SelectionFilters, ViewDependentSourcesMakeTheirOwn) {
    StrongRef<ViewPart> part(new ViewPart);
    Lumo::Graphics::ARenderNode* node = part->createScene();
    StrongRef<Brio::LogicalSelection> logical = Brio::Scene::SceneToLogicalSelectionFilter::filter(
        StrongRef<Brio::Selection>(SceneSelection::make(PathOf({node}))), true);
    ASSERT_TRUE(logical);
    EXPECT_EQ(part->asked, 1);
    part->releaseScene();
}

} // namespace
