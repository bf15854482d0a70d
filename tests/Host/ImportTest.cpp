// Reading model files into the host's model and writing them back out, through Assimp.
#include <Brio/Base/AtomicFile.h>
#include <Host/Generate/Assemblies.h>
#include <Host/Import/Importer.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Instance.h>
#include <Host/Model/Model.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Host::Component;
using Host::Instance;
using Host::mat4d;
using Host::Material;
using Host::Model;
using Host::vec3f;

/// A fresh folder per test, removed afterwards.
class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            "HostImportTest-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '-'); // parameterised names hold slashes
        m_dir = fs::temp_directory_path() / name;
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string file(const std::string& name, const std::string& content) const {
        const fs::path p = m_dir / name;
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    static Host::ImportOptions Quiet() {
        Host::ImportOptions o;
        o.progress = false;
        return o;
    }

    fs::path m_dir;
};

struct Box {
    std::array<double, 3> lo{}, hi{};
};

Box BoundsOf(const Model& model) {
    Box b;
    EXPECT_TRUE(model.bounds(b.lo.data(), b.hi.data()));
    return b;
}

void ExpectBox(const Box& b, std::array<double, 3> lo, std::array<double, 3> hi, double tol = 1e-4) {
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(b.lo[k], lo[k], tol) << "axis " << k;
        EXPECT_NEAR(b.hi[k], hi[k], tol) << "axis " << k;
    }
}

/// Components that hold bodies of their own.
std::vector<const Component*> WithBodies(const Model& model) {
    std::vector<const Component*> found;
    for (const auto& c : model.components())
        if (!c->bodies().empty())
            found.push_back(c.get());
    return found;
}

/// Instances anywhere in the model that place the component.
std::size_t PlacementsOf(const Model& model, const Component& c) {
    std::size_t n = 0;
    for (const Host::Instance* i : model.instances())
        n += &i->target() == &c;
    return n;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

/// A closed box from lo to hi: 8 corners, 12 triangles wound outwards.
Host::MeshPtr BoxMesh(vec3f lo, vec3f hi) {
    std::vector<vec3f> p;
    for (int k = 0; k < 8; ++k)
        p.emplace_back(k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z);
    const std::vector<std::uint32_t> t = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                                          2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
    return Host::BuildMesh(p, t);
}

/// A component of two bodies (a red box and a half-transparent blue one) placed three times.
void MakeAssembly(Model& model) {
    Component* bracket = model.addComponent("Bracket");
    bracket->addBody("Red", BoxMesh({0, 0, 0}, {1, 1, 1}), Material{"red", 1, 0, 0, 1});
    bracket->addBody("Blue", BoxMesh({0, 1, 0}, {1, 2, 0.5f}), Material{"blue", 0, 0, 1, 0.5f});
    for (int k = 0; k < 3; ++k)
        model.root().addInstance(*bracket, mat4d::Translation({3.0 * k, 0, -1.0 * k}));
}

std::string CubeStl() {
    // x 0..1, y 0..2, z 0..3, as a file whose custom is z up.
    const float x[2] = {0, 1}, y[2] = {0, 2}, z[2] = {0, 3};
    auto corner = [&](int k) {
        return std::to_string(x[k & 1]) + " " + std::to_string(y[(k >> 1) & 1]) + " " + std::to_string(z[k >> 2]);
    };
    const int t[] = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                     2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
    std::string s = "solid cube\n";
    for (int f = 0; f < 12; ++f) {
        s += " facet normal 0 0 0\n  outer loop\n";
        for (int k = 0; k < 3; ++k)
            s += "   vertex " + corner(t[3 * f + k]) + "\n";
        s += "  endloop\n endfacet\n";
    }
    return s + "endsolid cube\n";
}

// --- Reading ------------------------------------------------------------------------------

TEST_F(ImportTest, ObjSplitsFacesByMaterial) {
    file("two.mtl", "newmtl Red\nKd 1 0 0\nd 1\n\nnewmtl Glass\nKd 0 0.5 1\nd 0.25\n");
    const std::string obj = file("two.obj", "mtllib two.mtl\n"
                                            "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\n"
                                            "usemtl Red\nf 1 2 3 4\n"
                                            "usemtl Glass\nf 2 5 6\nf 2 6 3\n");
    Model model;
    std::string error;
    ASSERT_TRUE(Host::ImportModel(obj, model, error, Quiet())) << error;
    const auto held = WithBodies(model);
    ASSERT_EQ(held.size(), 1u);
    ASSERT_EQ(held[0]->bodies().size(), 2u);
    const Host::Body* red = nullptr;
    const Host::Body* glass = nullptr;
    for (const auto& b : held[0]->bodies())
        (b->material().name == "Red" ? red : glass) = b.get();
    ASSERT_TRUE(red && glass);
    EXPECT_EQ(glass->material().name, "Glass");
    EXPECT_FLOAT_EQ(red->material().r, 1.f);
    EXPECT_FLOAT_EQ(red->material().g, 0.f);
    EXPECT_FLOAT_EQ(red->material().a, 1.f);
    EXPECT_FLOAT_EQ(glass->material().g, 0.5f);
    EXPECT_FLOAT_EQ(glass->material().b, 1.f);
    EXPECT_FLOAT_EQ(glass->material().a, 0.25f);
    // The quad is triangulated; each flat patch is bounded by its outline.
    EXPECT_EQ(red->mesh()->triangleCount(), 2u);
    EXPECT_EQ(red->mesh()->edgeCount(), 4u);
    EXPECT_EQ(model.counts().triangles, 4u);
    EXPECT_EQ(PlacementsOf(model, *held[0]), 1u);
    ExpectBox(BoundsOf(model), {0, 0, 0}, {2, 1, 0}); // OBJ is y up: nothing turns
}

TEST_F(ImportTest, StlIsTurnedFromZUpToYUpWithCreaseEdges) {
    const std::string stl = file("cube.stl", CubeStl());
    Model model;
    std::string error;
    ASSERT_TRUE(Host::ImportModel(stl, model, error, Quiet())) << error;
    const auto held = WithBodies(model);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0]->name(), "cube"); // the file's, as the STL names nothing
    ASSERT_EQ(held[0]->bodies().size(), 1u);
    const Host::Mesh& mesh = *held[0]->bodies()[0]->mesh();
    EXPECT_EQ(mesh.triangleCount(), 12u);
    EXPECT_EQ(mesh.edgeCount(), 12u); // the cube's edges, not the face diagonals
    // (x, y, z) -> (x, z, -y); the mesh itself stays as the file has it.
    ExpectBox(BoundsOf(model), {0, 0, -2}, {1, 3, 0});
    vec3f lo, hi;
    mesh.bounds(lo, hi);
    EXPECT_FLOAT_EQ(hi.z, 3.f);
}

TEST_F(ImportTest, OptionsOverrideUpAxisUnitsAndCreaseAngle) {
    const std::string stl = file("cube.stl", CubeStl());
    Host::ImportOptions o = Quiet();
    o.upAxis = 'y';
    o.unitScale = 0.001;     // millimetres
    o.creaseDegrees = 120.f; // the cube's right angles are no creases then
    Model model;
    std::string error;
    ASSERT_TRUE(Host::ImportModel(stl, model, error, o)) << error;
    ExpectBox(BoundsOf(model), {0, 0, 0}, {0.001, 0.002, 0.003}, 1e-9);
    EXPECT_EQ(WithBodies(model)[0]->bodies()[0]->mesh()->edgeCount(), 0u);
}

TEST_F(ImportTest, AsciiPlyQuadIsTriangulatedAndTurned) {
    const std::string ply = file("quad.ply", "ply\nformat ascii 1.0\nelement vertex 4\n"
                                             "property float x\nproperty float y\nproperty float z\n"
                                             "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
                                             "0 0 0\n2 0 0\n2 1 0\n0 1 0\n4 0 1 2 3\n");
    Model model;
    std::string error;
    ASSERT_TRUE(Host::ImportModel(ply, model, error, Quiet())) << error;
    EXPECT_EQ(model.counts().triangles, 2u);
    EXPECT_EQ(WithBodies(model)[0]->bodies()[0]->mesh()->edgeCount(), 4u);
    ExpectBox(BoundsOf(model), {0, 0, -1}, {2, 0, 0});
}

TEST_F(ImportTest, ImportAddsToWhatTheModelHolds) {
    const std::string stl = file("cube.stl", CubeStl());
    Model model;
    std::string error;
    ASSERT_TRUE(Host::ImportModel(stl, model, error, Quiet())) << error;
    ASSERT_TRUE(Host::ImportModel(stl, model, error, Quiet())) << error;
    EXPECT_EQ(model.counts().triangles, 24u);
    EXPECT_EQ(model.root().instances().size(), 2u);
}

TEST_F(ImportTest, NothingIsPrintedWhenStandardErrorIsNoTerminal) {
    const std::string stl = file("cube.stl", CubeStl());
    Model model;
    std::string error;
    Host::ImportOptions o;
    o.progress = true;
    ::testing::internal::CaptureStderr();
    const bool ok = Host::ImportModel(stl, model, error, o);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ok) << error;
    EXPECT_EQ(printed, "");
}

// --- Writing and reading back -------------------------------------------------------------

struct Format {
    const char* ext;
    bool materials; ///< the format carries colours
};

void PrintTo(const Format& f, std::ostream* os) {
    *os << f.ext;
}

class RoundTripTest : public ImportTest, public ::testing::WithParamInterface<Format> {};

TEST_P(RoundTripTest, KeepsTrianglesBoundsAndColours) {
    Model source;
    MakeAssembly(source);
    const std::string out = path(std::string("model.") + GetParam().ext);
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, out, error)) << error;
    Model back;
    ASSERT_TRUE(Host::ImportModel(out, back, error, Quiet())) << error;
    EXPECT_EQ(back.counts().triangles, source.counts().triangles);
    const Box want = BoundsOf(source);
    ExpectBox(BoundsOf(back), want.lo, want.hi);
    if (!GetParam().materials)
        return;
    std::size_t red = 0, blue = 0;
    for (const auto& c : back.components())
        for (const auto& b : c->bodies()) {
            const Material& m = b->material();
            red += m.r == 1.f && m.g == 0.f && m.b == 0.f;
            blue += m.r == 0.f && m.g == 0.f && m.b == 1.f;
        }
    EXPECT_GT(red, 0u);
    EXPECT_GT(blue, 0u);
}

TEST_P(RoundTripTest, WritesMeshesWhoseTrianglesShareNoCorners) {
    // Every edge of a tetrahedron is a crease, so no corner is shared between its faces.
    Model source;
    Component* tetra = source.addComponent("Tetra");
    tetra->addBody("Tetra",
                   Host::BuildMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3}),
                   Material{});
    source.root().addInstance(*tetra, mat4d());
    const std::string out = path(std::string("tetra.") + GetParam().ext);
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, out, error)) << error;
    Model back;
    ASSERT_TRUE(Host::ImportModel(out, back, error, Quiet())) << error;
    EXPECT_EQ(back.counts().triangles, 4u);
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTripTest,
                         ::testing::Values(Format{"gltf", true}, Format{"glb", true}, Format{"obj", true},
                                           Format{"stl", false}, Format{"ply", false}, Format{"3mf", true},
                                           Format{"fbx", true}),
                         [](const auto& info) { return std::string(info.param.ext); });

class InstancingRoundTripTest : public ImportTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(InstancingRoundTripTest, AComponentPlacedThriceStaysOne) {
    Model source;
    MakeAssembly(source);
    const std::string out = path(std::string("model.") + GetParam());
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, out, error)) << error;
    Model back;
    ASSERT_TRUE(Host::ImportModel(out, back, error, Quiet())) << error;
    const auto held = WithBodies(back);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0]->name(), "Bracket");
    EXPECT_EQ(PlacementsOf(back, *held[0]), 3u);
    ASSERT_EQ(held[0]->bodies().size(), 2u);
    const auto want = source.counts(), got = back.counts();
    EXPECT_EQ(got.occurrences, want.occurrences);
    EXPECT_EQ(got.triangles, want.triangles);
    EXPECT_EQ(got.uniqueTriangles, want.uniqueTriangles);
    for (const auto& b : held[0]->bodies()) {
        const Material& m = b->material();
        if (m.name == "red") {
            EXPECT_EQ(m, (Material{"red", 1, 0, 0, 1}));
        } else {
            EXPECT_EQ(m.name, "blue");
            EXPECT_FLOAT_EQ(m.b, 1.f);
            EXPECT_FLOAT_EQ(m.a, 0.5f);
        }
    }
    const Box want_box = BoundsOf(source);
    ExpectBox(BoundsOf(back), want_box.lo, want_box.hi);
}

TEST_P(InstancingRoundTripTest, AssembliesWithBodiesOfTheirOwnKeepTheirShape) {
    // A shaft with a body of its own and two bearings, placed twice; and a base plate on the root
    // itself. Read back, nothing gains a level: no shaft part inside the shaft, no root part.
    Model source;
    Component* bearing = source.addComponent("Bearing");
    bearing->addBody("Ring", BoxMesh({0, 0, 0}, {1, 1, 0.2f}), Material{"steel", 0.7f, 0.7f, 0.7f, 1});
    Component* shaft = source.addComponent("Shaft");
    shaft->addBody("Rod", BoxMesh({0, 0, 0}, {0.2f, 0.2f, 3}), Material{"dark", 0.2f, 0.2f, 0.2f, 1});
    shaft->addInstance(*bearing, mat4d());
    shaft->addInstance(*bearing, mat4d::Translation({0, 0, 2.8}));
    source.root().addBody("Plate", BoxMesh({-2, -1, -1}, {4, -0.8f, 4}), Material{"grey", 0.5f, 0.5f, 0.5f, 1});
    source.root().addInstance(*shaft, mat4d());
    source.root().addInstance(*shaft, mat4d::Translation({2, 0, 0}));
    const std::string out = path(std::string("shafts.") + GetParam());
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, out, error)) << error;
    Model back;
    ASSERT_TRUE(Host::ImportModel(out, back, error, Quiet())) << error;
    // FBX's root holds no geometry: Assimp writes the plate as a node of its own under it, which
    // reads back as a part placed once.
    const bool fbx = std::string(GetParam()) == "fbx";
    const auto want = source.counts(), got = back.counts();
    EXPECT_EQ(got.components, want.components + fbx);
    EXPECT_EQ(got.instances, want.instances + fbx);
    EXPECT_EQ(got.bodies, want.bodies);
    EXPECT_EQ(got.occurrences, want.occurrences);
    const Component* shaftBack = back.component("Shaft");
    ASSERT_NE(shaftBack, nullptr);
    EXPECT_EQ(shaftBack->bodies().size(), 1u);
    EXPECT_EQ(shaftBack->instances().size(), 2u);
    ASSERT_EQ(back.root().bodies().size(), fbx ? 0u : 1u);
    if (!fbx) {
        EXPECT_EQ(back.root().bodies()[0]->name(), "Plate");
    }
    const Box wantBox = BoundsOf(source);
    ExpectBox(BoundsOf(back), wantBox.lo, wantBox.hi);
}

INSTANTIATE_TEST_SUITE_P(Formats, InstancingRoundTripTest, ::testing::Values("gltf", "glb", "fbx"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(ImportTest, NestedAssembliesComeBackShared) {
    // Root places a sub-assembly twice; it places one box twice: four boxes, one component with bodies.
    Model source;
    Component* box = source.addComponent("Box");
    box->addBody("Box", BoxMesh({0, 0, 0}, {1, 1, 1}), Material{"grey"});
    Component* sub = source.addComponent("Pair");
    sub->addInstance(*box, mat4d());
    sub->addInstance(*box, mat4d::Translation({2, 0, 0}));
    source.root().addInstance(*sub, mat4d());
    source.root().addInstance(*sub, mat4d::Rotation({0, 1, 0}, 1.0) * mat4d::Translation({0, 0, 5}));
    const std::string out = path("nested.glb");
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, out, error)) << error;
    Model back;
    ASSERT_TRUE(Host::ImportModel(out, back, error, Quiet())) << error;
    const auto held = WithBodies(back);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(back.counts().occurrences, 4u);
    EXPECT_EQ(back.counts().uniqueTriangles, 12u);
    EXPECT_EQ(back.counts().components, source.counts().components);
    const Box want = BoundsOf(source);
    ExpectBox(BoundsOf(back), want.lo, want.hi);
}

TEST_F(ImportTest, FbxTakesUnitsAndUpAxisFromItsSettings) {
    Model source;
    MakeAssembly(source);
    const std::string out = path("model.fbx");
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, out, error)) << error;
    std::string text = ReadAll(out);
    // Written in metres and y up; said to be centimetres and z up instead.
    auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    };
    replace(R"("UnitScaleFactor", "double", "Number", "", 100)", R"("UnitScaleFactor", "double", "Number", "", 1)");
    replace(R"("UpAxis", "int", "Integer", "", 1)", R"("UpAxis", "int", "Integer", "", 2)");
    const std::string edited = file("edited.fbx", text);
    Model back;
    ASSERT_TRUE(Host::ImportModel(edited, back, error, Quiet())) << error;
    const Box was = BoundsOf(source);
    // (x, y, z) cm -> (x, z, -y) m
    ExpectBox(BoundsOf(back), {was.lo[0] / 100, was.lo[2] / 100, -was.hi[1] / 100},
              {was.hi[0] / 100, was.hi[2] / 100, -was.lo[1] / 100}, 1e-6);
}

TEST_F(ImportTest, MirroredPlacementsStayOutwardInFormatsWithoutPlacements) {
    Model source;
    Component* box = source.addComponent("Box");
    box->addBody("Box", BoxMesh({1, 0, 0}, {2, 1, 1}), Material{});
    source.root().addInstance(*box, mat4d::Scale({-1, 1, 1}));
    const std::string out = path("mirrored.stl");
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, out, error)) << error;
    Model back;
    ASSERT_TRUE(Host::ImportModel(out, back, error, Quiet())) << error;
    ExpectBox(BoundsOf(back), {-2, 0, 0}, {-1, 1, 1});
    // Normals come from the winding: on the far left face they must point left.
    const Host::Mesh& mesh = *WithBodies(back)[0]->bodies()[0]->mesh();
    int left = 0, right = 0;
    for (std::size_t i = 0; i < mesh.positions.size(); ++i)
        if (mesh.positions[i].x == -2.f) {
            left += mesh.normals[i].x < -0.5f;
            right += mesh.normals[i].x > 0.5f;
        }
    EXPECT_EQ(left, 4);
    EXPECT_EQ(right, 0);
}

// --- Failures -----------------------------------------------------------------------------

/// The import fails with one line that names the file, and the model is left as it was.
void ExpectRefused(const std::string& file, const std::string& cause) {
    Model model;
    model.root().addInstance(*model.addComponent("Before"), mat4d());
    model.component("Before")->addBody("B", BoxMesh({0, 0, 0}, {1, 1, 1}), Material{});
    const auto before = model.counts();
    std::string error;
    Host::ImportOptions o;
    o.progress = false;
    EXPECT_FALSE(Host::ImportModel(file, model, error, o));
    EXPECT_NE(error.find("'" + file + "'"), std::string::npos) << error;
    EXPECT_NE(error.find(cause), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    const auto after = model.counts();
    EXPECT_EQ(after.components, before.components);
    EXPECT_EQ(after.instances, before.instances);
    EXPECT_EQ(after.bodies, before.bodies);
}

TEST_F(ImportTest, MissingFileOrFolderIsRefused) {
    ExpectRefused(path("nowhere.obj"), "no such file");
    ExpectRefused(m_dir.string(), "folder");
}

TEST_F(ImportTest, UnknownOrGarbageContentIsRefused) {
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += char((i * 7919 + 13) % 251);
    ExpectRefused(file("noise.foo", noise), "unknown format");
    ExpectRefused(file("noise.glb", noise), "cannot read");
    ExpectRefused(file("cut.stl", "solid x\n facet normal 0 0 1\n  outer loop\n   vertex 1 2\n"), "");
}

TEST_F(ImportTest, TruncatedGlbIsRefused) {
    Model source;
    MakeAssembly(source);
    const std::string whole = path("whole.glb");
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, whole, error)) << error;
    const std::string bytes = ReadAll(whole);
    ASSERT_GT(bytes.size(), 200u);
    for (const std::size_t keep : {std::size_t(11), std::size_t(40), bytes.size() / 2, bytes.size() - 4})
        ExpectRefused(file("cut" + std::to_string(keep) + ".glb", bytes.substr(0, keep)), "cannot read");
}

TEST_F(ImportTest, CorruptPlyIsRefused) {
    // A header without its end once made the reader loop forever.
    ExpectRefused(file("open.ply", "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\n"), "header");
    ExpectRefused(file("huge.ply", "ply\nformat ascii 1.0\nelement vertex 4000000000\nproperty float x\n"
                                   "property float y\nproperty float z\nend_header\n0 0 0\n"),
                  "4000000000");
    // A face whose corner count is corrupt would have the reader run past the data.
    Model source;
    MakeAssembly(source);
    const std::string whole = path("whole.ply");
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, whole, error)) << error;
    std::string bytes = ReadAll(whole);
    const std::size_t body = bytes.find("end_header\n") + 11;
    const std::size_t vertices = std::stoul(bytes.substr(bytes.find("element vertex ") + 15));
    std::size_t floats = 0;
    for (std::size_t at = bytes.find("property float"); at < body; at = bytes.find("property float", at + 1))
        ++floats;
    const std::size_t firstFace = body + vertices * floats * 4;
    ASSERT_EQ(bytes[firstFace], 3) << "the first face's corner count";
    bytes[firstFace] = char(250);
    ExpectRefused(file("corrupt.ply", bytes), "ends inside");
}

TEST_F(ImportTest, HugeDeclaredCountsAreRefusedWithoutReservingForThem) {
    // One triangle's data, with accessors declaring a billion indices or vertices.
    const std::string gltf =
        R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":48,"uri":"data:application/octet-stream;base64,)"
        R"(AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAAAAAAAAEAAAACAAAA"}],)"
        R"("bufferViews":[{"buffer":0,"byteLength":36},{"buffer":0,"byteOffset":36,"byteLength":12}],)"
        R"("accessors":[{"bufferView":0,"componentType":5126,"count":VERTICES,"type":"VEC3","min":[0,0,0],"max":[1,1,0]},)"
        R"({"bufferView":1,"componentType":5125,"count":INDICES,"type":"SCALAR"}],)"
        R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1}]}],)"
        R"("nodes":[{"mesh":0}],"scenes":[{"nodes":[0]}],"scene":0})";
    const auto declaring = [&](const std::string& vertices, const std::string& indices) {
        std::string text = gltf;
        text.replace(text.find("VERTICES"), 8, vertices);
        text.replace(text.find("INDICES"), 7, indices);
        return text;
    };
    Model sound;
    std::string error;
    ASSERT_TRUE(Host::ImportModel(file("one.gltf", declaring("3", "3")), sound, error, Quiet())) << error;
    EXPECT_EQ(sound.counts().triangles, 1u);

    const std::string indices = file("indices.gltf", declaring("3", "1000000000"));
    const std::string vertices = file("vertices.gltf", declaring("1000000000", "3"));
    // In a child whose address space has only 1 GiB to spare, so that reserving the declared
    // gigabytes would fail as "out of memory" rather than be refused for what the file holds.
    EXPECT_EXIT(
        {
            std::ifstream statm("/proc/self/statm");
            unsigned long pages = 0;
            statm >> pages;
            const rlim_t room = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(1) << 30);
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = room;
            setrlimit(RLIMIT_AS, &limit);
            int refused = 0;
            for (const std::string& path : {indices, vertices}) {
                Model model;
                std::string why;
                refused += !Host::ImportModel(path, model, why, Quiet()) &&
                           why.starts_with("cannot read '" + path + "': ") &&
                           why.find("out of memory") == std::string::npos;
            }
            std::_Exit(refused == 2 ? 3 : 1);
        },
        ::testing::ExitedWithCode(3), "");
    ExpectRefused(indices, "indices lie outside their buffer");
}

/// One triangle's glTF: three vertices and the `indices` (of `componentType`) drawn as `mode`,
/// its buffer in a data URI, a .bin file beside it, or the binary chunk of a .glb.
std::string TriangleGltf(const std::string& indices, int componentType, int mode, const std::string& buffer) {
    std::string bin(36, '\0');
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::memcpy(bin.data(), corners, sizeof corners);
    bin += indices;
    const std::size_t size = componentType == 5121 ? 1 : componentType == 5123 ? 2 : 4;
    std::string json =
        R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":)" + std::to_string(bin.size()) + buffer +
        R"(}],"bufferViews":[{"buffer":0,"byteLength":36},{"buffer":0,"byteOffset":36,"byteLength":)" +
        std::to_string(indices.size()) +
        R"(}],"accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]},)"
        R"({"bufferView":1,"componentType":)" +
        std::to_string(componentType) + R"(,"count":)" + std::to_string(indices.size() / size) +
        R"(,"type":"SCALAR"}],"meshes":[{"name":"Tri","primitives":[{"attributes":{"POSITION":0},"indices":1,"mode":)" +
        std::to_string(mode) + R"(}]}],"nodes":[{"mesh":0}],"scenes":[{"nodes":[0]}],"scene":0})";
    return buffer.empty() ? json + '\n' + bin : json; // the caller splits a .glb's two parts
}

std::string Glb(const std::string& parts) {
    std::string json = parts.substr(0, parts.find('\n')), bin = parts.substr(parts.find('\n') + 1);
    json.resize((json.size() + 3) / 4 * 4, ' ');
    bin.resize((bin.size() + 3) / 4 * 4, '\0');
    const auto u32 = [](std::size_t v) {
        const std::uint32_t w = std::uint32_t(v);
        return std::string(reinterpret_cast<const char*>(&w), 4);
    };
    return "glTF" + u32(2) + u32(12 + 8 + json.size() + 8 + bin.size()) + u32(json.size()) + "JSON" + json +
           u32(bin.size()) + std::string("BIN\0", 4) + bin;
}

std::string U32s(std::initializer_list<std::uint32_t> v) {
    return std::string(reinterpret_cast<const char*>(std::data(v)), v.size() * 4);
}

TEST_F(ImportTest, GltfIndicesPastTheirVerticesAreRefused) {
    // A line loop or fan whose first index is past the vertices once crashed the reader.
    const std::string bad = U32s({7, 1, 2});
    ExpectRefused(file("loop.glb", Glb(TriangleGltf(bad, 5125, 2, ""))),
                  "mesh 'Tri' has an index (7) past its 3 vertices");
    ExpectRefused(file("fan.glb", Glb(TriangleGltf(bad, 5125, 6, ""))), "past its 3 vertices");
    ExpectRefused(file("triangles.glb", Glb(TriangleGltf(bad, 5125, 4, ""))), "past its 3 vertices");
    // Short indices in a data URI; then indices in a .bin beside the file.
    const std::string shorts("\0\0\1\0\3\0", 6);
    ExpectRefused(file("shorts.gltf", TriangleGltf(shorts, 5123, 4,
                                                   R"(,"uri":"data:application/octet-stream;base64,)"
                                                   R"(AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAAAAABAAMA")")),
                  "index (3) past");
    file("tri.bin",
         std::string(reinterpret_cast<const char*>(std::array<float, 9>{0, 0, 0, 1, 0, 0, 0, 1, 0}.data()), 36) + bad);
    ExpectRefused(file("external.gltf", TriangleGltf(bad, 5125, 4, R"(,"uri":"tri.bin")")), "index (7) past");
    // Indices that are no unsigned integers, and ones that run past their view.
    ExpectRefused(file("floats.glb", Glb(TriangleGltf(bad, 5126, 4, ""))), "indices are not unsigned integers");
    std::string beyond = Glb(TriangleGltf(bad, 5125, 4, ""));
    const std::size_t count = beyond.find(R"("count":3,"type":"SCALAR")");
    ASSERT_NE(count, std::string::npos);
    beyond[count + 8] = '9';
    ExpectRefused(file("beyond.glb", beyond), "indices lie outside their buffer");

    // Indices spaced apart: the bytes between are no indices; too close, they would overlap.
    const auto strided = [](std::uint32_t third, int stride) {
        std::string parts = TriangleGltf(U32s({0, 99, 1, 99, third}), 5125, 4, "");
        parts.replace(parts.find(R"("count":5)"), 9, R"("count":3)");
        parts.replace(parts.find(R"("byteLength":20})"), 16,
                      R"("byteLength":20,"byteStride":)" + std::to_string(stride) + "}");
        return Glb(parts);
    };
    ExpectRefused(file("strided.glb", strided(7, 8)), "index (7) past");
    ExpectRefused(file("overlapping.glb", strided(2, 2)), "spaced 2 bytes apart");
    {
        Model model;
        std::string error;
        EXPECT_TRUE(Host::ImportModel(file("strided.glb", strided(2, 8)), model, error, Quiet())) << error;
        EXPECT_EQ(model.counts().triangles, 1u);
    }

    // The same files with sound indices read (a line loop, as a file of no triangles, is refused).
    ExpectRefused(file("loop.glb", Glb(TriangleGltf(U32s({0, 1, 2}), 5125, 2, ""))), "no triangles");
    for (const int mode : {4, 6}) {
        Model model;
        std::string error;
        EXPECT_TRUE(Host::ImportModel(file("good.glb", Glb(TriangleGltf(U32s({0, 1, 2}), 5125, mode, ""))), model,
                                      error, Quiet()))
            << mode << ": " << error;
    }
    file("tri.bin",
         std::string(reinterpret_cast<const char*>(std::array<float, 9>{0, 0, 0, 1, 0, 0, 0, 1, 0}.data()), 36) +
             U32s({0, 1, 2}));
    Model model;
    std::string error;
    EXPECT_TRUE(Host::ImportModel(file("external.gltf", TriangleGltf(U32s({0, 1, 2}), 5125, 4, R"(,"uri":"tri.bin")")),
                                  model, error, Quiet()))
        << error;
    EXPECT_EQ(model.counts().triangles, 1u);
}

TEST_F(ImportTest, PackageWithoutItsModelIsRefused) {
    // Assimp asserts (and so would abort) when a 3MF's relations name a model it does not hold.
    Model source;
    MakeAssembly(source);
    const std::string whole = path("whole.3mf");
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, whole, error)) << error;
    std::string bytes = ReadAll(whole);
    // Entry names are stored plain: renaming the model's leaves the relation pointing nowhere.
    const std::string name = "3D/3DModel.model";
    std::size_t renamed = 0;
    for (std::size_t at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at + 1), ++renamed)
        bytes[at + 10] = 'X';
    ASSERT_GT(renamed, 0u);
    ExpectRefused(file("hollow.3mf", bytes), "cannot read");
}

TEST_F(ImportTest, FilesWithoutTrianglesAreRefused) {
    ExpectRefused(file("empty.obj", ""), "empty.obj");
    ExpectRefused(file("comments.obj", "# nothing here\n"), "comments.obj");
    ExpectRefused(file("lines.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nl 1 2\nl 2 3\np 1\n"), "no triangles");
    ExpectRefused(file("flat.obj", "v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n"), "no triangles");
}

std::uint32_t Le32At(const std::string& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

TEST_F(ImportTest, GltfIsWrittenAsOneBufferWithIndicesAsSmallAsTheyFit) {
    Model source;
    MakeAssembly(source);
    // A sheet of more vertices than 16-bit indices can name.
    std::vector<vec3f> p;
    std::vector<std::uint32_t> t;
    const std::uint32_t n = 260;
    for (std::uint32_t j = 0; j < n; ++j)
        for (std::uint32_t i = 0; i < n; ++i)
            p.emplace_back(float(i) / n, 0.f, float(j) / n);
    for (std::uint32_t j = 0; j + 1 < n; ++j)
        for (std::uint32_t i = 0; i + 1 < n; ++i)
            t.insert(t.end(),
                     {j * n + i, (j + 1) * n + i, j * n + i + 1, j * n + i + 1, (j + 1) * n + i, (j + 1) * n + i + 1});
    Component* sheet = source.addComponent("Sheet");
    sheet->addBody("Sheet", Host::BuildMesh(p, t), Material{"green", 0, 1, 0, 1});
    source.root().addInstance(*sheet, mat4d::Translation({0, -1, 0}));

    std::string error;
    const std::string glb = path("model.glb");
    ASSERT_TRUE(Host::ExportModel(source, glb, error)) << error;
    const std::string bytes = ReadAll(glb);
    ASSERT_GT(bytes.size(), 28u);
    EXPECT_EQ(bytes.substr(0, 4), "glTF");
    EXPECT_EQ(Le32At(bytes, 4), 2u);
    EXPECT_EQ(Le32At(bytes, 8), bytes.size());
    const std::uint32_t jsonLength = Le32At(bytes, 12);
    EXPECT_EQ(jsonLength % 4, 0u);
    EXPECT_EQ(bytes.substr(16, 4), "JSON");
    const std::string json = bytes.substr(20, jsonLength);
    EXPECT_EQ(bytes.substr(20 + jsonLength + 4, 4), std::string("BIN\0", 4));
    EXPECT_EQ(20 + jsonLength + 8 + Le32At(bytes, 20 + jsonLength), bytes.size());
    EXPECT_NE(json.find(R"("componentType":5123)"), std::string::npos) << "the boxes' indices are 16-bit";
    EXPECT_NE(json.find(R"("componentType":5125)"), std::string::npos) << "the sheet's are 32-bit";
    EXPECT_NE(json.find(R"("alphaMode":"BLEND")"), std::string::npos);

    // Text glTF keeps its buffer in a .bin of its own name beside it.
    const std::string gltf = path("model.gltf");
    ASSERT_TRUE(Host::ExportModel(source, gltf, error)) << error;
    EXPECT_NE(ReadAll(gltf).find(R"("uri":"model.bin")"), std::string::npos);
    EXPECT_EQ(fs::file_size(path("model.bin")), Le32At(bytes, 20 + jsonLength));

    for (const std::string& file : {glb, gltf}) {
        Model back;
        ASSERT_TRUE(Host::ImportModel(file, back, error, Quiet())) << error;
        const auto want = source.counts(), got = back.counts();
        EXPECT_EQ(got.components, want.components) << file;
        EXPECT_EQ(got.instances, want.instances) << file;
        EXPECT_EQ(got.bodies, want.bodies) << file;
        EXPECT_EQ(got.triangles, want.triangles) << file;
        const Box box = BoundsOf(source);
        ExpectBox(BoundsOf(back), box.lo, box.hi);
        const Component* sheetBack = back.component("Sheet");
        ASSERT_NE(sheetBack, nullptr) << file;
        ASSERT_EQ(sheetBack->bodies().size(), 1u);
        EXPECT_EQ(sheetBack->bodies()[0]->mesh()->positions.size(), std::size_t(n) * n);
    }
}

TEST_F(ImportTest, GltfCarriesPlacementColoursOverSharedArrays) {
    Model plain;
    MakeAssembly(plain);
    Model coloured;
    MakeAssembly(coloured);
    // The nearest placement's colour wins: the middle bracket orange although its group is green.
    Component* group = coloured.addComponent("Group");
    Component* bracket = coloured.component("Bracket");
    group->addInstance(*bracket, mat4d::Translation({0, 5, 0}))->colour(Host::Rgba{1, 0.5f, 0, 1});
    group->addInstance(*bracket, mat4d::Translation({3, 5, 0}));
    coloured.root().addInstance(*group, mat4d())->colour(Host::Rgba{0, 1, 0, 1});
    coloured.root().instances()[1]->colour(Host::Rgba{1, 0.5f, 0, 1});
    plain.root().addInstance(*plain.addComponent("Group"), mat4d());

    std::string error;
    ASSERT_TRUE(Host::ExportModel(plain, path("plain.glb"), error)) << error;
    ASSERT_TRUE(Host::ExportModel(coloured, path("coloured.glb"), error)) << error;
    const std::string a = ReadAll(path("plain.glb")), b = ReadAll(path("coloured.glb"));
    const std::string json = b.substr(20, Le32At(b, 12));
    EXPECT_EQ(Le32At(a, 20 + Le32At(a, 12)), Le32At(b, 20 + Le32At(b, 12))) << "the colours add no arrays";
    EXPECT_NE(json.find(R"("name":"#FF8000")"), std::string::npos);
    EXPECT_NE(json.find(R"("name":"#00FF00")"), std::string::npos);

    Model back;
    ASSERT_TRUE(Host::ImportModel(path("coloured.glb"), back, error, Quiet())) << error;
    EXPECT_EQ(back.counts().occurrences, coloured.counts().occurrences);
    std::size_t orange = 0, green = 0, red = 0;
    for (const auto& c : back.components()) {
        std::size_t placed = 0;
        for (const Instance* i : back.instances())
            placed += &i->target() == c.get();
        for (const auto& body : c->bodies()) {
            const Material& m = body->material();
            orange += placed * (m.r == 1.f && std::abs(m.g - 0.5f) < 0.01f && m.b == 0.f);
            green += placed * (m.r == 0.f && m.g == 1.f && m.b == 0.f);
            red += placed * (m == Material{"red", 1, 0, 0, 1});
        }
    }
    EXPECT_EQ(orange, 4u) << "two bodies in each of two placements";
    EXPECT_EQ(green, 2u);
    EXPECT_EQ(red, 2u) << "the two placements without a colour";
}

TEST_F(ImportTest, ObjCarriesPlacementColoursAndItsMaterials) {
    Model source;
    MakeAssembly(source);
    source.root().instances()[1]->colour(Host::Rgba{1, 0.5f, 0, 1});
    std::string error;
    const std::string obj = path("coloured.obj");
    ASSERT_TRUE(Host::ExportModel(source, obj, error)) << error;
    const std::string mtl = ReadAll(path("coloured.mtl"));
    EXPECT_NE(mtl.find("newmtl #FF8000\n"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("newmtl blue\nKd 0 0 1\nd 0.5\n"), std::string::npos) << mtl;
    Model back;
    ASSERT_TRUE(Host::ImportModel(obj, back, error, Quiet())) << error;
    EXPECT_EQ(back.counts().triangles, source.counts().triangles);
    std::size_t orange = 0, red = 0, clear = 0;
    for (const auto& c : back.components())
        for (const auto& b : c->bodies()) {
            const Material& m = b->material();
            orange += m.r == 1.f && std::abs(m.g - 0.5f) < 0.01f && m.b == 0.f;
            red += m.r == 1.f && m.g == 0.f && m.b == 0.f;
            clear += m.a < 0.6f;
        }
    EXPECT_EQ(orange, 2u) << "both bodies of the coloured placement";
    EXPECT_EQ(red, 2u);
    EXPECT_EQ(clear, 2u);
    const Box box = BoundsOf(source);
    ExpectBox(BoundsOf(back), box.lo, box.hi);
}

TEST_F(ImportTest, AFailedGltfWriteKeepsTheOldFile) {
    Model source;
    MakeAssembly(source);
    const std::string glb = path("kept.glb");
    std::string error;
    ASSERT_TRUE(Host::ExportModel(source, glb, error)) << error;
    const std::string before = ReadAll(glb);
    source.component("Bracket")->addBody("Extra", BoxMesh({5, 5, 5}, {6, 6, 6}), Material{});
    Brio::AtomicFile::failureHook(
        [](Brio::AtomicFile::EStep step, const fs::path&) { return step == Brio::AtomicFile::eRename ? EBUSY : 0; });
    const bool written = Host::ExportModel(source, glb, error);
    Brio::AtomicFile::failureHook({});
    EXPECT_FALSE(written);
    EXPECT_NE(error.find(glb), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EBUSY)), std::string::npos) << error;
    EXPECT_EQ(ReadAll(glb), before);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(m_dir))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary left";

    // A .gltf whose text cannot be replaced keeps its old buffer too, though that was written
    // first; and neither is left behind when there was no old pair.
    const std::string gltf = path("kept.gltf"), bin = path("kept.bin");
    ASSERT_TRUE(Host::ExportModel(source, gltf, error)) << error;
    const std::string text = ReadAll(gltf), buffer = ReadAll(bin);
    source.component("Bracket")->addBody("More", BoxMesh({7, 7, 7}, {8, 8, 8}), Material{});
    Brio::AtomicFile::failureHook([](Brio::AtomicFile::EStep step, const fs::path& temporary) {
        return step == Brio::AtomicFile::eRename && temporary.filename().string().find(".gltf") != std::string::npos
                   ? EBUSY
                   : 0;
    });
    const bool pair = Host::ExportModel(source, gltf, error);
    const bool fresh = Host::ExportModel(source, path("fresh.gltf"), error);
    Brio::AtomicFile::failureHook({});
    EXPECT_FALSE(pair);
    EXPECT_FALSE(fresh);
    EXPECT_EQ(ReadAll(gltf), text);
    EXPECT_EQ(ReadAll(bin), buffer);
    EXPECT_FALSE(fs::exists(path("fresh.bin")));
    files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(m_dir))
        ++files;
    EXPECT_EQ(files, 3u) << "the .glb, .gltf and .bin, nothing else";
    Model back;
    EXPECT_TRUE(Host::ImportModel(gltf, back, error, Quiet())) << error;
}

TEST_F(ImportTest, ExportRefusesWhatItCannotWrite) {
    Model model;
    MakeAssembly(model);
    std::string error;
    EXPECT_FALSE(Host::ExportModel(model, path("model.xyz"), error));
    EXPECT_NE(error.find("model.xyz"), std::string::npos) << error;
    EXPECT_NE(error.find("unknown format"), std::string::npos) << error;
    EXPECT_FALSE(Host::ExportModel(model, path("no/such/folder/model.glb"), error));
    EXPECT_NE(error.find("model.glb"), std::string::npos) << error;
    Model empty;
    EXPECT_FALSE(Host::ExportModel(empty, path("empty.glb"), error));
    EXPECT_NE(error.find("empty.glb"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(path("empty.glb")));
}

} // namespace

namespace {
// The demo's colours come back from every format that carries them, 3MF included.
TEST_F(ImportTest, DemoColoursSurviveEachFormat) {
    Model demo;
    Host::BuildDemoAssembly(demo);
    for (const char* ext : {"glb", "fbx", "3mf", "obj"}) {
        const std::string out = path(std::string("demo.") + ext);
        std::string error;
        ASSERT_TRUE(Host::ExportModel(demo, out, error)) << error;
        Model back;
        ASSERT_TRUE(Host::ImportModel(out, back, error, Quiet())) << error;
        bool orange = false, clear = false;
        for (const auto& c : back.components())
            for (const auto& b : c->bodies()) {
                const Material& m = b->material();
                orange |= std::abs(m.r - 0.90f) < 0.01f && std::abs(m.g - 0.45f) < 0.01f && m.a > 0.99f;
                clear |= m.a < 0.5f;
            }
        EXPECT_TRUE(orange) << ext;
        EXPECT_TRUE(clear) << ext << ": the cover stays see-through";
    }
}
} // namespace
