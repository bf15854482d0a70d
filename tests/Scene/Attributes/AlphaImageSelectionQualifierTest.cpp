#include "../TestSupport.h"

#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Scene/Attributes/AlphaImageSelectionQualifier.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;

namespace {
/// A 4 x 4 image: transparent left half, opaque right half.
std::filesystem::path WriteHalfImage() {
    std::vector<std::uint8_t> rgba(4 * 4 * 4, 200);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            rgba[(y * 4 + x) * 4 + 3] = x < 2 ? 0 : 255;
    // One file per test and process: CTest runs the tests of this file side by side.
    auto file = std::filesystem::temp_directory_path() /
                ("brio-alpha-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                 std::to_string(::getpid()) + ".png");
    EXPECT_TRUE(Lumo::Devices::PngWriter::Write(file.wstring(), 4, 4, rgba.data(), 16));
    return file;
}
} // namespace

TEST(AlphaImageSelectionQualifierTest, AlphaDecidesInsideTheImage) {
    auto file = WriteHalfImage();
    std::unique_ptr<AlphaImageSelectionQualifier> q(
        AlphaImageSelectionQualifier::make(Lumo::Objects::Intern(file.wstring())));
    ASSERT_NE(q->texture(), nullptr);
    EXPECT_TRUE(q->SelectableAt({0.9f, 0.5f}));
    EXPECT_FALSE(q->SelectableAt({0.3f, 0.5f}));
    // Column trunc(4 * 0.6) - 1 = 1: still the transparent half.
    EXPECT_FALSE(q->SelectableAt({0.6f, 0.5f}));
    EXPECT_TRUE(q->SelectableAt({0.8f, 0.0f})) << "row clamped to the image";
    EXPECT_FALSE(q->SelectableAt({1.5f, 0.5f}));
    EXPECT_FALSE(q->SelectableAt({0.5f, -0.1f}));

    std::unique_ptr<AlphaImageSelectionQualifier> missing(
        AlphaImageSelectionQualifier::make(Lumo::Objects::Intern(L"/no/such/image.png")));
    EXPECT_EQ(missing->texture(), nullptr);
    EXPECT_TRUE(missing->SelectableAt({0.3f, 0.5f})) << "no image: everything counts";
    std::filesystem::remove(file);
}

TEST(AlphaImageSelectionQualifierTest, FacetHitsAreTestedAtTheirTextureCoordinates) {
    LiveObjectGuard guard;
    auto file = WriteHalfImage();
    std::unique_ptr<AlphaImageSelectionQualifier> q(
        AlphaImageSelectionQualifier::make(Lumo::Objects::Intern(file.wstring())));
    // One triangle whose texture coordinates run u = 0 .. 1 along x.
    Lumo::Devices::VertexBufferBuilder vb(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexTexCoord);
    vb.AddVertex({0, 0, 0}, Lumo::Objects::vec2<float>(0, 0.5f));
    vb.AddVertex({1, 0, 0}, Lumo::Objects::vec2<float>(1, 0.5f));
    vb.AddVertex({0, 1, 0}, Lumo::Objects::vec2<float>(0, 0.5f));
    Lumo::Devices::IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    AutoPtr<Lumo::Devices::SimpleMesh> mesh = Lumo::Devices::SimpleMesh::Make(vb, ib);
    auto node = MakeTypedNode(0);
    auto hitAt = [&](double b1) {
        return AutoPtr<Lumo::Graphics::FacetIntersection>(
            Lumo::Graphics::FacetIntersection::Make(node, mesh, 0, {b1, 0.0}, {b1, 0, 0}, 1.0));
    };
    EXPECT_TRUE(q->selectable(hitAt(0.95)));
    EXPECT_FALSE(q->selectable(hitAt(0.2)));
    AutoPtr<Lumo::Graphics::FacetIntersection> noFacet =
        Lumo::Graphics::FacetIntersection::Make(node, mesh, 7, {0.2, 0.0}, {}, 1.0);
    EXPECT_TRUE(q->selectable(noFacet)) << "no coordinates: the hit counts";
    AutoPtr<Lumo::Graphics::GroupNode> bare = Lumo::Graphics::GroupNode::Make();
    AutoPtr<Lumo::Graphics::FacetIntersection> onBare =
        Lumo::Graphics::FacetIntersection::Make(bare, mesh, 0, {0.2, 0.0}, {}, 1.0);
    EXPECT_TRUE(q->selectable(onBare)) << "nodes without node data are not filtered";
    std::filesystem::remove(file);
}
