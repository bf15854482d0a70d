#include "DeviceTestSupport.h"

#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SharedMatrix.h>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;

TEST(SimpleMeshTest, FormatsLayOutComponentsInOrderAndAreShared) {
    LiveObjects live;
    AutoPtr<VertexFormat> full(VertexFormat::Make(VertexFormat::kAllComponents));
    EXPECT_EQ(full->Stride(), 12);
    EXPECT_EQ(full->StrideBytes(), 48);
    EXPECT_EQ(full->Offset(eVertexPosition), 0);
    EXPECT_EQ(full->Offset(eVertexNormal), 3);
    EXPECT_EQ(full->Offset(eVertexColor), 6);
    EXPECT_EQ(full->Offset(eVertexTexCoord), 10);

    // Position and texture coordinates (0x10001): the image quad's layout.
    AutoPtr<VertexFormat> uv(VertexFormat::Make(0x10001));
    EXPECT_EQ(uv->Stride(), 5);
    EXPECT_EQ(uv->Offset(eVertexTexCoord), 3);
    EXPECT_EQ(uv->Offset(eVertexNormal), -1);
    AutoPtr<VertexFormat> noPosition(VertexFormat::Make(eVertexNormal | 0x80000000u));
    EXPECT_EQ(noPosition->Components(), unsigned(eVertexPosition | eVertexNormal));

    AutoPtr<VirtualDevice> device(VirtualDevice::Make(nullptr));
    FormatCache* formats = device->Caches()->Formats();
    VertexFormat* a = formats->Acquire(eVertexTexCoord);
    EXPECT_EQ(formats->Acquire(eVertexPosition | eVertexTexCoord), a);
    EXPECT_NE(formats->Acquire(eVertexNormal), a);
    EXPECT_EQ(formats->Count(), 2);
}

TEST(SimpleMeshTest, BuildersGiveBoxCountsAndInterleavedData) {
    LiveObjects live;
    VertexBufferBuilder vb(eVertexNormal | eVertexTexCoord);
    IndexBufferBuilder ib;
    EXPECT_TRUE(vb.Box().IsEmpty());
    vb.Normal(vec3<float>(0, 0, 1));
    const int a = vb.AddVertex(vec3<float>(-1, 0, 2), vec2<float>(0, 0));
    const int b = vb.AddVertex(vec3<float>(3, 0, 2), vec2<float>(1, 0));
    const int c = vb.AddVertex(vec3<float>(3, 4, 2), vec2<float>(1, 1));
    const int d = vb.AddVertex(vec3<float>(-1, 4, -5), vec2<float>(0, 1));
    EXPECT_EQ(d, 3);
    ib.AddQuad(a, b, c, d);
    EXPECT_EQ(ib.IndexCount(), 6);
    EXPECT_EQ(ib.Data()[3], 0u);
    EXPECT_EQ(ib.Data()[5], 3u);

    // A second part appended after the first, its indices counted from its own start.
    ib.BaseVertex(static_cast<std::uint32_t>(vb.VertexCount()));
    vb.AddVertex(vec3<float>(10, 10, 10));
    vb.AddVertex(vec3<float>(11, 10, 10));
    vb.AddVertex(vec3<float>(10, 11, 10));
    ib.AddTriangle(0, 1, 2);
    EXPECT_EQ(ib.Data()[6], 4u);
    EXPECT_EQ(ib.Data()[8], 6u);
    EXPECT_TRUE(ib.FitsShortIndices());

    AutoPtr<SimpleMesh> mesh(SimpleMesh::Make(vb, ib, ePrimTriangleList));
    EXPECT_EQ(mesh->VertexCount(), 7);
    EXPECT_EQ(mesh->IndexCount(), 9);
    EXPECT_EQ(mesh->PrimitiveCount(), 3);
    EXPECT_TRUE(mesh->Box() == vb.Box());
    EXPECT_EQ(mesh->Box().Min(), vec3<double>(-1, 0, -5));
    EXPECT_EQ(mesh->Box().Max(), vec3<double>(11, 11, 10));
    EXPECT_EQ(mesh->Position(2), vec3<float>(3, 4, 2));
    EXPECT_EQ(mesh->Position(7), vec3<float>());
    // Vertex 2: position, normal, uv.
    const float* v2 = mesh->VertexData() + 2 * 8;
    EXPECT_EQ(v2[5], 1.0f);
    EXPECT_EQ(v2[6], 1.0f);
    EXPECT_EQ(v2[7], 1.0f);
    // The builder's data is copied: clearing it leaves the mesh.
    vb.Clear();
    EXPECT_EQ(vb.VertexCount(), 0);
    EXPECT_TRUE(vb.Box().IsEmpty());
    EXPECT_EQ(mesh->VertexCount(), 7);
}

TEST(SimpleMeshTest, PrimitiveCountsFollowTheTopology) {
    LiveObjects live;
    VertexBufferBuilder vb(0x10001);
    vb.AddVertex(vec3<float>(0, 0, 0), vec2<float>(0, 1));
    vb.AddVertex(vec3<float>(1, 0, 0), vec2<float>(1, 1));
    vb.AddVertex(vec3<float>(0, 1, 0), vec2<float>(0, 0));
    vb.AddVertex(vec3<float>(1, 1, 0), vec2<float>(1, 0));
    AutoPtr<SimpleMesh> strip(SimpleMesh::Make(vb, ePrimTriangleStrip));
    EXPECT_FALSE(strip->IsIndexed());
    EXPECT_EQ(strip->PrimitiveCount(), 2);
    strip->PrimitiveType(ePrimLineStrip);
    EXPECT_EQ(strip->PrimitiveCount(), 3);
    strip->PrimitiveType(ePrimLineList);
    EXPECT_EQ(strip->PrimitiveCount(), 2);
    strip->PrimitiveType(ePrimPointList);
    EXPECT_EQ(strip->PrimitiveCount(), 4);
    strip->PrimitiveType(ePrimTriangleFan);
    EXPECT_EQ(strip->PrimitiveCount(), 2);

    AutoPtr<SimpleMesh> empty(SimpleMesh::Make(nullptr));
    EXPECT_EQ(empty->PrimitiveCount(), 0);
    EXPECT_TRUE(empty->Box().IsEmpty());
    EXPECT_FALSE(empty->Prepare(nullptr, 15));
    // A partial trailing vertex is dropped.
    empty->SetVertices({1, 2, 3, 4, 5});
    EXPECT_EQ(empty->VertexCount(), 1);
}

TEST(SimpleMeshTest, PrepareDropsPrimitivesThatReachPastTheVertices) {
    LiveObjects live;
    VertexBufferBuilder vb(eVertexPosition);
    for (int i = 0; i < 4; ++i)
        vb.AddVertex(vec3<float>(float(i), 0, 0));
    IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    ib.AddTriangle(1, 2, 9); // vertex 9 does not exist
    ib.AddTriangle(1, 2, 3);
    ib.AddIndex(0); // a partial triangle
    AutoPtr<SimpleMesh> mesh(SimpleMesh::Make(vb, ib));
    EXPECT_TRUE(mesh->NeedsPreparing());
    const auto version = mesh->Version();
    EXPECT_TRUE(mesh->Prepare(nullptr, 15));
    EXPECT_FALSE(mesh->NeedsPreparing());
    EXPECT_EQ(mesh->IndexCount(), 6);
    EXPECT_EQ(mesh->IndexData()[5], 3u);
    EXPECT_GT(mesh->Version(), version);

    mesh->SetIndices({9, 9, 9});
    EXPECT_TRUE(mesh->NeedsPreparing());
    EXPECT_FALSE(mesh->Prepare(nullptr, 0));
    EXPECT_EQ(mesh->IndexCount(), 0);
    EXPECT_TRUE(mesh->IsIndexed()); // the four vertices alone are not drawn instead
    EXPECT_EQ(mesh->PrimitiveCount(), 0);

    // A strip stops at its first bad index.
    mesh->PrimitiveType(ePrimTriangleStrip);
    mesh->SetIndices({0, 1, 2, 3, 7, 0});
    EXPECT_TRUE(mesh->Prepare(nullptr, 0));
    EXPECT_EQ(mesh->IndexCount(), 4);
    EXPECT_EQ(mesh->PrimitiveCount(), 2);
}

TEST(SimpleMeshTest, RenderItemsHoldTheirObjects) {
    LiveObjects live;
    AutoPtr<VirtualDevice> device(VirtualDevice::Make(nullptr));
    VertexBufferBuilder vb(eVertexPosition);
    vb.AddVertex(vec3<float>(0, 0, 0));
    vb.AddVertex(vec3<float>(1, 2, 3));
    AutoPtr<SimpleMesh> mesh(SimpleMesh::Make(vb, ePrimLineList));
    AutoPtr<SolidEffectInstance> effect(SolidEffectInstance::Make(device));
    AutoPtr<SharedMatrix> world(SharedMatrix::Make(mat4<float>::Translation(vec3<float>(10, 0, 0))));

    AutoPtr<RenderItem> item(RenderItem::Make(mesh, effect, world));
    EXPECT_EQ(mesh->RefCount(), 2);
    EXPECT_EQ(item->Mesh(), mesh.get());
    EXPECT_EQ(item->Effect(), effect.get());
    EXPECT_FALSE(item->HasObjectId());
    EXPECT_FALSE(item->HasCullMode());
    item->ObjectId(0);
    item->CullMode(eCullBack);
    item->DepthPriority(2);
    EXPECT_TRUE(item->HasObjectId());
    EXPECT_EQ(item->CullMode(), eCullBack);
    EXPECT_EQ(item->WorldBox().Min(), vec3<double>(10, 0, 0));
    EXPECT_EQ(item->WorldBox().Max(), vec3<double>(11, 2, 3));

    AutoPtr<RenderItem> copy(item->Clone());
    EXPECT_EQ(copy->Geometry(), item->Geometry());
    EXPECT_EQ(copy->DepthPriority(), 2);
    EXPECT_TRUE(copy->HasCullMode());
    copy->ClearCullMode();
    copy->Effect(nullptr);
    EXPECT_TRUE(item->HasCullMode());
    EXPECT_EQ(effect->RefCount(), 2);
    EXPECT_EQ(mesh->RefCount(), 3);

    AutoPtr<RenderItem> bare(RenderItem::Make());
    EXPECT_TRUE(bare->WorldBox().IsEmpty());
    EXPECT_EQ(bare->Mesh(), nullptr);
}
