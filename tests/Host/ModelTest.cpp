// The host's model as node sources: the scene it builds, edits seen at the next sync, counts.
#include <Host/Host.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/SBox3.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Nodes/ANodeData.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>

#include <gtest/gtest.h>

namespace {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;

void Sync() {
    Brio::Scene::ObjectManager::get()->syncChanges();
}

/// The reference node under group that shows target, or null.
GroupNode* ReferenceTo(ARenderNode* group, ARenderNode* target) {
    for (ARenderNode* child : group->AsGroup()->Children())
        if (auto* data = Lumo::Scene::GetReferenceNodeData(child); data && data->Target() == target)
            return static_cast<GroupNode*>(child);
    return nullptr;
}

GroupNode* InstanceGroup(const Host::Instance& i) {
    GroupNode* ref = ReferenceTo(i.parent().sceneNode(), i.target().sceneNode());
    return ref ? Lumo::Scene::GetReferenceNodeData(ref)->TargetInstance(i.name()) : nullptr;
}

template <class A> A* Get(ARenderNode* node, Lumo::Scene::EAttributeType type) {
    Lumo::Scene::AttributeSet* set = Lumo::Scene::GetAttributeSet(node);
    return set ? static_cast<A*>(set->GetAttribute(type)) : nullptr;
}

unsigned ClientType(ARenderNode* node) {
    return Lumo::Scene::GetNodeData(node)->clientType();
}

struct Pair {
    Host::Model model{"Pair"};
    Host::Component* part = model.addComponent("Part");
    Host::Body* body = part->addBody("Block", Host::Shapes::Block({1, 1, 1}), {"Red", 1, 0, 0, 1});
    Host::Instance* a = model.root().addInstance(*part, Host::mat4d::Translation({-2, 0, 0}));
    Host::Instance* b = model.root().addInstance(*part, Host::mat4d::Translation({2, 0, 0}));
};

TEST(HostModel, SceneSharesOneComponentNodeAmongItsInstances) {
    Pair p;
    GroupNode* root = p.model.scene();
    ASSERT_TRUE(root);
    Sync(); // children join their groups at the sync
    EXPECT_EQ(ClientType(root), Brio::Scene::eClientComponent);
    GroupNode* ref = ReferenceTo(root, p.part->sceneNode());
    ASSERT_TRUE(ref) << "the root shows the part through a reference node";
    auto* data = Lumo::Scene::GetReferenceNodeData(ref);
    EXPECT_EQ(data->TargetInstanceCount(), 2);
    for (Host::Instance* i : {p.a, p.b}) {
        GroupNode* group = InstanceGroup(*i);
        ASSERT_TRUE(group);
        // Each placement shows the same component node and carries its own transform.
        ASSERT_EQ(group->ChildCount(), 1);
        EXPECT_EQ(group->Children()[0], p.part->sceneNode());
        auto* t = Get<Lumo::Scene::TransformAttribute>(group, Lumo::Scene::eTransform);
        ASSERT_TRUE(t);
        EXPECT_FLOAT_EQ(t->Transform().m[3][0], i == p.a ? -2.f : 2.f);
    }
    // Body node with a faces and an edges child; the cube has its twelve edges.
    ARenderNode* bodyNode = p.body->sceneNode();
    ASSERT_TRUE(bodyNode);
    EXPECT_EQ(ClientType(bodyNode), Brio::Scene::eClientBody);
    EXPECT_EQ(ClientType(p.body->facesNode()), Brio::Scene::eClientFaces);
    EXPECT_EQ(ClientType(p.body->edgesNode()), Brio::Scene::eClientEdges);
    EXPECT_EQ(bodyNode->AsGroup()->ChildCount(), 2);
    EXPECT_EQ(p.body->mesh()->edgeCount(), 12u);
    auto* colour = Get<Lumo::Scene::ColorEffectAttribute>(bodyNode, Lumo::Scene::eEffect);
    ASSERT_TRUE(colour);
    EXPECT_FLOAT_EQ(colour->Color().x, 1.f);
}

TEST(HostModel, EditsAreSeenAtTheNextSync) {
    Pair p;
    p.model.scene();
    Sync();
    p.a->transform(Host::mat4d::Translation({0, 5, 0}));
    p.b->colour(Host::Rgba{0, 0, 1, 1});
    p.body->material({"Green", 0, 1, 0, 1});
    p.body->visible(false);
    GroupNode* a = InstanceGroup(*p.a);
    // Nothing changes before the sync...
    EXPECT_FLOAT_EQ(Get<Lumo::Scene::TransformAttribute>(a, Lumo::Scene::eTransform)->Transform().m[3][1], 0.f);
    EXPECT_FALSE(Get<Lumo::Scene::ColorEffectAttribute>(InstanceGroup(*p.b), Lumo::Scene::eEffect));
    Sync();
    // ...and everything after it.
    EXPECT_FLOAT_EQ(Get<Lumo::Scene::TransformAttribute>(a, Lumo::Scene::eTransform)->Transform().m[3][1], 5.f);
    auto* blue = Get<Lumo::Scene::ColorEffectAttribute>(InstanceGroup(*p.b), Lumo::Scene::eEffect);
    ASSERT_TRUE(blue);
    EXPECT_FLOAT_EQ(blue->Color().z, 1.f);
    EXPECT_GT(blue->Priority(), 0) << "a placement's colour beats the body's material";
    EXPECT_FLOAT_EQ(Get<Lumo::Scene::ColorEffectAttribute>(p.body->sceneNode(), Lumo::Scene::eEffect)->Color().y, 1.f);
    auto* hidden = Get<Lumo::Scene::VisibilityAttribute>(p.body->sceneNode(), Lumo::Scene::eVisibility);
    ASSERT_TRUE(hidden);
    EXPECT_FALSE(hidden->Visible());
    // Taking the colour away gives the material back.
    p.b->colour(std::nullopt);
    Sync();
    EXPECT_FALSE(Get<Lumo::Scene::ColorEffectAttribute>(InstanceGroup(*p.b), Lumo::Scene::eEffect));
}

TEST(HostModel, InstancesAddedAndRemovedAfterTheSceneExists) {
    Pair p;
    GroupNode* root = p.model.scene();
    Sync();
    Host::Instance* c = p.model.root().addInstance(*p.part, Host::mat4d::Translation({0, 0, 3}));
    ASSERT_TRUE(c);
    Sync();
    auto* data = Lumo::Scene::GetReferenceNodeData(ReferenceTo(root, p.part->sceneNode()));
    EXPECT_EQ(data->TargetInstanceCount(), 3);
    EXPECT_TRUE(InstanceGroup(*c));
    ASSERT_TRUE(p.model.root().removeInstance(p.a));
    Sync();
    EXPECT_EQ(data->TargetInstanceCount(), 2);
    EXPECT_FALSE(p.model.root().removeInstance(p.a)) << "already gone";

    // A new component placed for the first time gets its own reference node.
    Host::Component* other = p.model.addComponent("Other");
    other->addBody("Tube", Host::Shapes::Tube(1, 0.5f, 0, 1), {});
    p.model.root().addInstance(*other, Host::mat4d::Identity());
    Sync();
    EXPECT_TRUE(ReferenceTo(root, other->sceneNode()));
}

TEST(HostModel, RefusesCyclesAndBrokenMeshes) {
    Host::Model model;
    Host::Component* a = model.addComponent("A");
    Host::Component* b = model.addComponent("B");
    EXPECT_TRUE(a->addInstance(*b, Host::mat4d::Identity()));
    EXPECT_FALSE(b->addInstance(*a, Host::mat4d::Identity())) << "B would hold itself";
    EXPECT_FALSE(a->addInstance(*a, Host::mat4d::Identity()));

    auto broken = std::make_shared<Host::Mesh>();
    broken->positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    broken->normals = broken->positions;
    broken->triangles = {0, 1, 7};
    EXPECT_FALSE(a->addBody("Broken", broken, {}));
    EXPECT_FALSE(a->addBody("None", nullptr, {}));
    EXPECT_TRUE(a->bodies().empty());
}

TEST(HostModel, CountsFollowNestedInstancing) {
    Host::Model model;
    Host::BuildDemoAssembly(model);
    const Host::ModelCounts n = model.counts();
    const Host::Component* bearing = model.component("Bearing");
    const Host::Component* shaft = model.component("Shaft");
    ASSERT_TRUE(bearing && shaft);
    // Three shafts, two bearings each: the bearing's one body is placed six times.
    std::size_t shafts = 0;
    for (const auto& i : model.root().instances())
        shafts += &i->target() == shaft;
    EXPECT_EQ(shafts, 3u);
    EXPECT_EQ(shaft->instances().size(), 2u);
    std::size_t unique = 0;
    for (const auto& c : model.components())
        unique += c->bodies().size();
    EXPECT_EQ(n.bodies, unique);
    EXPECT_GT(n.occurrences, n.bodies);
    EXPECT_GT(n.triangles, n.uniqueTriangles);
    double lo[3], hi[3];
    ASSERT_TRUE(model.bounds(lo, hi));
    EXPECT_NEAR(lo[1], -0.16, 1e-6) << "the base plate's underside";
    Host::Model empty;
    EXPECT_FALSE(empty.bounds(lo, hi));
}

TEST(HostMesh, EdgesNormalsAndLevels) {
    // Creases only: a cylinder's rims, not its smooth side; a torus has none.
    EXPECT_EQ(Host::Shapes::Cylinder(1, 0, 1, 48)->edgeCount(), 96u);
    EXPECT_EQ(Host::Shapes::Torus(1, 0.3f, 32, 24)->edgeCount(), 0u);
    EXPECT_EQ(Host::Shapes::Hexagon(1, 0, 1)->edgeCount(), 18u);
    // A lone triangle: three boundary edges.
    EXPECT_EQ(Host::FeatureEdges({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}).size(), 6u);
    // Flat faces keep their own normals at the corners of a block.
    Host::MeshPtr block = Host::Shapes::Block({1, 2, 3});
    EXPECT_EQ(block->triangleCount(), 16u); // caps are fans about their centres
    EXPECT_EQ(block->positions.size(), 26u);
    for (std::size_t i = 0; i < block->positions.size(); ++i) {
        const Host::vec3f p = block->positions[i], n = block->normals[i];
        // The normal points out through the face the corner lies on.
        EXPECT_GT(p.Dot(n), 0.9f);
    }
    // Degenerate and out-of-range triangles are dropped; nothing left is null.
    EXPECT_FALSE(Host::BuildMesh({{0, 0, 0}, {1, 0, 0}}, {0, 1, 1, 0, 1, 9}));
    // Big meshes get coarser levels, shared by every caller; small ones the full level only.
    Host::MeshPtr torus = Host::Shapes::Torus(1, 0.3f, 200, 60);
    ASSERT_GT(torus->triangleCount(), Host::Mesh::kLODThreshold);
    Lumo::Devices::SimpleMesh* full = torus->facesAt(15);
    Lumo::Devices::SimpleMesh* coarse = torus->facesAt(8);
    ASSERT_TRUE(full && coarse);
    EXPECT_EQ(full->IndexCount(), int(torus->triangles.size()));
    EXPECT_LT(coarse->IndexCount(), full->IndexCount() / 5);
    EXPECT_EQ(torus->facesAt(8), coarse);
    EXPECT_FALSE(block->facesAt(8));
    EXPECT_TRUE(block->facesAt(15));
}

TEST(HostGenerate, SpecAndDeterminism) {
    Host::GenerateSpec spec;
    std::string error;
    EXPECT_TRUE(Host::ParseGenerateSpec("3,500,7", spec, error));
    EXPECT_EQ(spec.parts, 3);
    EXPECT_EQ(spec.triangles, 500);
    EXPECT_EQ(spec.instances, 7);
    for (const char* bad : {"", "3,500", "3,500,7,1", "0,500,7", "3,-1,7", "a,b,c", "3,500,7x", "1,1,99999999999"}) {
        EXPECT_FALSE(Host::ParseGenerateSpec(bad, spec, error)) << bad;
        EXPECT_NE(error.find("PARTS,TRIANGLES,INSTANCES"), std::string::npos);
    }
    Host::Model a, b;
    Host::GenerateAssembly(a, {3, 2000, 10});
    Host::GenerateAssembly(b, {3, 2000, 10});
    const Host::ModelCounts na = a.counts(), nb = b.counts();
    EXPECT_EQ(na.components, 4u);
    EXPECT_EQ(na.instances, 10u);
    EXPECT_EQ(na.uniqueTriangles, nb.uniqueTriangles);
    for (const auto& c : a.components())
        for (const auto& body : c->bodies()) {
            // About the asked size, and closed: no boundary among its edges.
            EXPECT_NEAR(double(body->mesh()->triangleCount()), 2000.0, 400.0) << c->name();
            EXPECT_EQ(Host::FeatureEdges(body->mesh()->positions, body->mesh()->triangles, 180.f).size(), 0u)
                << c->name() << " is not closed";
        }
    // Every placement its own colour and turn.
    const auto all = a.instances();
    EXPECT_NE(all[0]->colour(), all[1]->colour());
    EXPECT_NE(all[0]->transform().m[0][0], all[1]->transform().m[0][0]);
}

} // namespace

namespace {
TEST(HostModel, GeneratedPlacementsCarryTheirAttributes) {
    Host::Model model;
    Host::GenerateAssembly(model, {2, 500, 12});
    model.scene();
    Sync();
    for (Host::Instance* i : model.instances()) {
        GroupNode* group = InstanceGroup(*i);
        ASSERT_TRUE(group) << i->name();
        auto* t = Get<Lumo::Scene::TransformAttribute>(group, Lumo::Scene::eTransform);
        ASSERT_TRUE(t) << i->name();
        EXPECT_FLOAT_EQ(t->Transform().m[3][0], float(i->transform().m[3][0])) << i->name();
        EXPECT_TRUE(Get<Lumo::Scene::ColorEffectAttribute>(group, Lumo::Scene::eEffect)) << i->name();
    }
}
} // namespace

namespace {
TEST(HostMesh, FlatFacesKeepFlatNormals) {
    Host::MeshPtr gear = Host::Shapes::Gear(12, 0.5f, 0.6f, 0.1f, 0, 0.2f);
    int bent = 0;
    for (std::size_t t = 0; t < gear->triangles.size(); t += 3) {
        const Host::vec3f a = gear->positions[gear->triangles[t]], b = gear->positions[gear->triangles[t + 1]],
                          c = gear->positions[gear->triangles[t + 2]];
        const Host::vec3f n = (b - a).Cross(c - a).Normalized();
        for (int k = 0; k < 3; ++k)
            if (std::abs(n.y) > 0.99f && gear->normals[gear->triangles[t + k]].Dot(n) < 0.999f)
                ++bent;
    }
    EXPECT_EQ(bent, 0);
}

TEST(HostModel, TheSceneBoxHoldsEveryPlacement) {
    Host::Model model;
    Host::GenerateAssembly(model, {1, 300, 4});
    GroupNode* root = model.scene();
    Sync();
    const Lumo::Objects::SBox3 box = Brio::Scene::NodeData::subtreeBox(root);
    double lo[3], hi[3];
    ASSERT_TRUE(model.bounds(lo, hi));
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(box.Min()[k], lo[k], 1e-3) << k;
        EXPECT_NEAR(box.Max()[k], hi[k], 1e-3) << k;
    }
}
} // namespace

namespace {
TEST(HostMesh, DeviceMeshesKeepCornersThatShareAPlace) {
    // A block's corners each carry three normals; the device mesh must keep all 24.
    Host::MeshPtr block = Host::Shapes::Block({1, 1, 1});
    Lumo::Devices::SimpleMesh* faces = block->facesAt(15);
    ASSERT_TRUE(faces);
    EXPECT_EQ(faces->VertexCount(), int(block->positions.size()));
}
} // namespace
