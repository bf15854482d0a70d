// Scenery: feature meshes from their JSON form and through the interchange importer, what bad
// mesh files give, and the dome and ground plane an environment builds from its features.
#include "../TestSupport.h"
#include "EnvironmentTestSupport.h"

#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StateSetter.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/OccludedEffectAttribute.h>
#include <Scene/Nodes/NodeFunctions.h>

#include <vector>

using namespace Brio::Scene;
using namespace EnvironmentTest;
using Lumo::Objects::AutoPtr;

namespace {

// A unit square on y = 0 facing up, as two triangles.
constexpr const char* kSquare = R"({"Vertices": {"Positions": [0,0,0, 1,0,0, 1,0,-1, 0,0,-1],
                                                 "UVs": [0,0, 1,0, 1,1, 0,1]},
                                    "Indices": [0,1,2, 0,2,3]})";

EnvFeature Feature(const std::wstring& mesh, const std::wstring& texture = L"", bool ground = false) {
    EnvFeature f;
    f.meshPath(mesh);
    f.texturePath(texture);
    f.isGroundPlane(ground);
    f.isSurrounding(!ground);
    return f;
}

Lumo::Devices::SimpleMesh* MeshOf(Lumo::Graphics::GeometryNode* node) {
    return static_cast<Lumo::Devices::SimpleMesh*>(
        node->RenderGeometry()->GetInterface(Lumo::Devices::SimpleMesh::StaticClassName()));
}

Lumo::Devices::SolidEffectInstance* SolidOf(Lumo::Graphics::GeometryNode* node) {
    return node->EffectInst() ? static_cast<Lumo::Devices::SolidEffectInstance*>(node->EffectInst()->GetInterface(
                                    Lumo::Devices::SolidEffectInstance::StaticClassName()))
                              : nullptr;
}

void WriteTexture(const fs::path& file) {
    std::vector<std::uint8_t> px(4 * 4 * 4, 200);
    ASSERT_TRUE(Lumo::Devices::PngWriter::WriteUtf8(file.string(), 4, 4, px.data()));
}

} // namespace

TEST(EnvironmentSceneryTest, JsonMeshBecomesAnUnlitTexturedNode) {
    SceneTest::LiveObjectGuard guard;
    ResourceFolder folder;
    folder.write("Square.json", kSquare);
    WriteTexture(folder.path() / "Square.png");
    auto dc = DataContext();

    std::wstring error;
    AutoPtr<Lumo::Graphics::GeometryNode> ground =
        Feature(L"Square.json", L"Square.png", true).loadJSONScene(folder.path(), *dc, &error);
    ASSERT_TRUE(ground) << Brio::Utility::toUtf8(error);
    Lumo::Devices::SimpleMesh* mesh = MeshOf(ground);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->VertexCount(), 4);
    EXPECT_EQ(mesh->PrimitiveCount(), 2);
    EXPECT_TRUE(mesh->Format()->Has(Lumo::Devices::eVertexTexCoord));
    EXPECT_TRUE(mesh->Format()->Has(Lumo::Devices::eVertexNormal));
    EXPECT_EQ(ground->WorldBox(), Lumo::Objects::SBox3({0, 0, -1}, {1, 0, 0}));
    // Normals come from the faces: this square faces up.
    const int normal = mesh->Format()->Offset(Lumo::Devices::eVertexNormal);
    EXPECT_FLOAT_EQ(mesh->VertexData()[normal + 1], 1.0f);
    EXPECT_TRUE(Lumo::Scene::GetAttributeSet(ground.get())) << "scenery nodes carry node data for their attributes";

    Lumo::Devices::SolidEffectInstance* solid = SolidOf(ground);
    ASSERT_TRUE(solid);
    ASSERT_TRUE(solid->Texture());
    EXPECT_EQ(solid->Texture()->Width(), 4);
    EXPECT_TRUE(solid->TextureAlpha());
    EXPECT_FALSE(solid->Lighting()) << "scenery keeps the shading painted into it";
    ASSERT_TRUE(solid->StateOverrides() && solid->StateOverrides()->Rasterizer());
    EXPECT_EQ(solid->StateOverrides()->Rasterizer()->CullMode(), Lumo::Devices::eCullBack);

    // A dome is seen from both sides; a texture that cannot be read leaves the mesh untextured.
    AutoPtr<Lumo::Graphics::GeometryNode> dome = Feature(L"Square.json", L"None.png").loadJSONScene(folder.path(), *dc);
    ASSERT_TRUE(dome && SolidOf(dome));
    EXPECT_EQ(SolidOf(dome)->Texture(), nullptr);
    EXPECT_EQ(SolidOf(dome)->StateOverrides()->Rasterizer()->CullMode(), Lumo::Devices::eCullNone);

    // Without a device the node is still made, to be drawn once there is one.
    AutoPtr<Lumo::Devices::ADrawContext> bare = Lumo::Devices::ADrawContext::Make(nullptr);
    AutoPtr<Lumo::Graphics::GeometryNode> plain = Feature(L"Square.json").loadJSONScene(folder.path(), *bare);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->EffectInst(), nullptr);
}

TEST(EnvironmentSceneryTest, MalformedJsonMeshesGiveNoNode) {
    SceneTest::LiveObjectGuard guard;
    ResourceFolder folder;
    auto dc = DataContext();
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"not JSON", "Vertices: none"},
        {"cut short", std::string(kSquare).substr(0, 60)},
        {"an array", "[1, 2, 3]"},
        {"no vertices", R"({"Indices": [0,1,2]})"},
        {"no positions", R"({"Vertices": {"UVs": [0,0,0,0,0,0]}, "Indices": [0,1,2]})"},
        {"no UVs", R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0]}, "Indices": [0,1,2]})"},
        {"no indices", R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0], "UVs": [0,0,0,0,0,0]}})"},
        {"positions an object", R"({"Vertices": {"Positions": {"x": 0}, "UVs": []}, "Indices": []})"},
        {"partial vertex",
         R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1], "UVs": [0,0,0,0,0,0]}, "Indices": [0,1,2]})"},
        {"UVs short", R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0], "UVs": [0,0,0,0]}, "Indices": [0,1,2]})"},
        {"partial triangle",
         R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0], "UVs": [0,0,0,0,0,0]}, "Indices": [0,1]})"},
        {"no triangles", R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0], "UVs": [0,0,0,0,0,0]}, "Indices": []})"},
        {"index too large",
         R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0], "UVs": [0,0,0,0,0,0]}, "Indices": [0,1,3]})"},
        {"negative index",
         R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0], "UVs": [0,0,0,0,0,0]}, "Indices": [0,1,-1]})"},
        {"fractional index",
         R"({"Vertices": {"Positions": [0,0,0,1,0,0,0,1,0], "UVs": [0,0,0,0,0,0]}, "Indices": [0,1,1.5]})"},
        {"text in an array",
         R"({"Vertices": {"Positions": [0,0,0,1,0,"x",0,1,0], "UVs": [0,0,0,0,0,0]}, "Indices": [0,1,2]})"},
        {"huge coordinate",
         R"({"Vertices": {"Positions": [0,0,0,1e300,0,0,0,1,0], "UVs": [0,0,0,0,0,0]}, "Indices": [0,1,2]})"},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        folder.write("Bad.json", text);
        std::wstring error;
        AutoPtr<Lumo::Graphics::GeometryNode> node = Feature(L"Bad.json").loadJSONScene(folder.path(), *dc, &error);
        EXPECT_FALSE(node);
        EXPECT_NE(error.find(L"Bad.json"), std::wstring::npos) << Brio::Utility::toUtf8(error);
    }
    std::wstring error;
    EXPECT_FALSE(
        AutoPtr<Lumo::Graphics::GeometryNode>(Feature(L"Gone.json").loadJSONScene(folder.path(), *dc, &error)));
    EXPECT_NE(error.find(L"Gone.json"), std::wstring::npos);
    EXPECT_FALSE(AutoPtr<Lumo::Graphics::GeometryNode>(Feature(L"").loadJSONScene(folder.path(), *dc)));
}

TEST(EnvironmentSceneryTest, InterchangeScenesAreReadThroughTheImporter) {
    SceneTest::LiveObjectGuard guard;
    ResourceFolder folder;
    auto dc = DataContext();
    // A quad and a triangle in two objects; the quad is split into triangles.
    folder.write("Shapes.obj", "o Quad\nv 0 0 0\nv 2 0 0\nv 2 0 -2\nv 0 0 -2\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                               "f 1/1 2/2 3/3 4/4\no Tri\nv 0 1 0\nv 1 1 0\nv 0 3 0\nf 5 6 7\n");
    std::wstring error;
    AutoPtr<Lumo::Graphics::GeometryNode> node = Feature(L"Shapes.obj").loadOmxScene(folder.path(), *dc, &error);
    ASSERT_TRUE(node) << Brio::Utility::toUtf8(error);
    EXPECT_EQ(MeshOf(node)->PrimitiveCount(), 3);
    EXPECT_EQ(node->WorldBox(), Lumo::Objects::SBox3({0, 0, -2}, {2, 3, 0}));
    ASSERT_TRUE(SolidOf(node));

    folder.write("Noise.obj", "this is not a model\n\x01\x02\x03");
    EXPECT_FALSE(AutoPtr<Lumo::Graphics::GeometryNode>(Feature(L"Noise.obj").loadOmxScene(folder.path(), *dc, &error)));
    EXPECT_NE(error.find(L"Noise.obj"), std::wstring::npos);
    folder.write("Broken.obj", "v 0 0 0\nv 1 0 0\nf 1 2 9\n");
    EXPECT_FALSE(AutoPtr<Lumo::Graphics::GeometryNode>(Feature(L"Broken.obj").loadOmxScene(folder.path(), *dc)));
    folder.write("Unknown.xyzw", "v 0 0 0\n");
    EXPECT_FALSE(
        AutoPtr<Lumo::Graphics::GeometryNode>(Feature(L"Unknown.xyzw").loadOmxScene(folder.path(), *dc, &error)));
    EXPECT_NE(error.find(L"not a format"), std::wstring::npos);
    EXPECT_FALSE(AutoPtr<Lumo::Graphics::GeometryNode>(Feature(L"Gone.fbx").loadOmxScene(folder.path(), *dc)));
}

TEST(EnvironmentSceneryTest, EnvironmentBuildsDomeAndGroundOnceAndLeavesOutWhatFails) {
    SceneTest::LiveObjectGuard guard;
    ResourceFolder folder;
    folder.write("Environments/Scene/Floor.json", kSquare);
    folder.write("Environments/Scene/Sky.obj", "v -5 0 5\nv 5 0 5\nv 0 8 -5\nf 1 2 3\n");
    folder.write("Environments/Scene/Bad.json", "{}");
    auto dc = DataContext();
    {
        Environment env(L"Scene");
        env.directory(folder.environment("Scene"));
        env.addFeature(Feature(L"Sky.obj"));
        env.addFeature(Feature(L"Floor.json", L"", true));
        env.addFeature(Feature(L"Bad.json"));
        EXPECT_EQ(env.dome(), nullptr);
        EXPECT_TRUE(env.modelBox().IsEmpty());

        env.loadEnvironment(*dc);
        EXPECT_TRUE(env.loaded());
        ASSERT_TRUE(env.dome() && env.groundPlane());
        ASSERT_EQ(env.dome()->ChildCount(), 1);
        ASSERT_EQ(env.groundPlane()->ChildCount(), 1);
        ASSERT_EQ(env.loadErrors().size(), 4u) << "the bad mesh and the three missing environment maps";
        EXPECT_NE(env.loadErrors()[0].find(L"Bad.json"), std::wstring::npos);
        EXPECT_EQ(env.modelBox(), Lumo::Objects::SBox3({-5, 0, -5}, {5, 8, 5}));

        // The ground lies under everything and carries an occluded effect of no colour.
        Lumo::Scene::AttributeSet* set = Lumo::Scene::GetAttributeSet(env.groundPlane()->Child(0));
        auto* depth = Lumo::Scene::GetDepthPriorityAttribute(set);
        ASSERT_TRUE(depth);
        EXPECT_EQ(depth->DepthPriority(), 0);
        auto* occluded =
            static_cast<Lumo::Scene::OccludedEffectAttribute*>(Lumo::Scene::GetEffectAttribute(set)->GetInterface(
                Lumo::Scene::OccludedEffectAttribute::StaticClassName()));
        ASSERT_TRUE(occluded);
        EXPECT_EQ(occluded->Color(), (Lumo::Objects::vec4<float>{0, 0, 0, 0}));
        EXPECT_FLOAT_EQ(occluded->OccludedOpacity(), Lumo::Scene::OccludedEffectAttribute::OCCLUDED_OPACITY());
        EXPECT_EQ(Lumo::Scene::GetEffectAttribute(Lumo::Scene::GetAttributeSet(env.dome()->Child(0))), nullptr);

        // Built once: a second load keeps what is there.
        Lumo::Graphics::GroupNode* dome = env.dome();
        env.loadEnvironment(*dc);
        EXPECT_EQ(env.dome(), dome);
        EXPECT_EQ(env.loadErrors().size(), 4u);
    }
}

TEST(EnvironmentSceneryTest, FileNamesThatCannotBePathsGiveNoNode) {
    SceneTest::LiveObjectGuard guard;
    ResourceFolder folder;
    auto dc = DataContext();
    // A lone surrogate, as a malformed definition can give, has no file name to become.
    for (const EnvFeature& f :
         {Feature(L"Dome\xD800.json"), Feature(L"Dome\xD800.obj"), Feature(L"Square.json", L"Sky\xD800.png")}) {
        std::wstring error;
        AutoPtr<Lumo::Graphics::GeometryNode> node = f.meshPath().ends_with(L".obj")
                                                         ? f.loadOmxScene(folder.path(), *dc, &error)
                                                         : f.loadJSONScene(folder.path(), *dc, &error);
        EXPECT_FALSE(node);
        EXPECT_EQ(error, L"the feature's file names are not valid text");
    }
}
