#include <Scene/Nodes/ImageNode.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/AttributeCache.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/SharedMatrix.h>

namespace Lumo::Scene {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec2;
using Lumo::Objects::vec3;

LUMO_DEFINE_CLASS(ImageNode, ARenderNode)

namespace {
constexpr std::uint32_t kBuilt = Lumo::Graphics::eFlagItemBuilt | Lumo::Graphics::eFlagNoRealize;
constexpr int kImageLevel = 15;
} // namespace

ImageNode::ImageNode(const vec3<float>& start, Lumo::Devices::TextureInstance* texture)
    : m_start(start), m_texture(texture) {
    Attributes(Lumo::Graphics::AttributeCache::Make());
}

ImageNode::~ImageNode() = default;

ImageNode* ImageNode::Make(const vec3<float>& start, Lumo::Devices::TextureInstance* texture) {
    return new ImageNode(start, texture);
}

void ImageNode::Invalidate() {
    m_world = nullptr;
    m_item = nullptr;
    Attributes()->ClearIds(Lumo::Graphics::AttributeLODList::BaseDataID(), kImageLevel);
    SetFlags(kBuilt | Lumo::Graphics::eFlagWorldBoxValid, false);
}

void ImageNode::StartPos(const vec3<float>& start) {
    m_start = start;
    Invalidate();
}

void ImageNode::Texture(Lumo::Devices::TextureInstance* texture) {
    m_texture = texture;
    Invalidate();
}

Lumo::Objects::ADevMatrix* ImageNode::WorldMatrix() {
    if (!m_world) {
        mat4<float> m;
        m[0][0] = m_texture ? float(m_texture->Width()) : 1.0f;
        m[1][1] = m_texture ? float(m_texture->Height()) : 1.0f;
        m[3][0] = m_start.x;
        m[3][1] = m_start.y;
        m[3][2] = m_start.z;
        m_world = Lumo::Objects::SharedMatrix::Make(m);
        if (m_item)
            m_item->WorldMatrix(m_world);
    }
    return m_world;
}

Lumo::Objects::SBox3 ImageNode::WorldBox() {
    if (!Test(Lumo::Graphics::eFlagWorldBoxValid)) {
        m_box = Lumo::Objects::SBox3({0, 0, 0}, {1, 1, 0}).TransformAndRebox(WorldMatrix()->Matrix());
        SetFlags(Lumo::Graphics::eFlagWorldBoxValid, true);
    }
    return m_box;
}

void ImageNode::RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                            Lumo::Graphics::WorldIterator*) {
    if ((Flags() & kBuilt) != kBuilt) {
        // Unit quad as a strip: (0,0) (1,0) (0,1) (1,1), v running down the image.
        Lumo::Devices::VertexBufferBuilder vertices(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexTexCoord);
        vertices.AddVertex(vec3<float>(0, 0, 0), vec2<float>(0, 1));
        vertices.AddVertex(vec3<float>(1, 0, 0), vec2<float>(1, 1));
        vertices.AddVertex(vec3<float>(0, 1, 0), vec2<float>(0, 0));
        vertices.AddVertex(vec3<float>(1, 1, 0), vec2<float>(1, 0));
        AutoPtr<Lumo::Devices::SimpleMesh> mesh =
            Lumo::Devices::SimpleMesh::Make(vertices, Lumo::Devices::ePrimTriangleStrip);
        m_item = Lumo::Devices::RenderItem::Make(mesh, nullptr, WorldMatrix());
        if (m_texture) {
            AutoPtr<Lumo::Devices::SolidEffectInstance> effect =
                Lumo::Devices::SolidEffectInstance::Make(dc.VirtualDevice(), true);
            if (effect) {
                effect->Texture(m_texture);
                effect->TextureAlpha(m_texture->HasAlpha());
                m_item->Effect(effect);
            }
        }
        Attributes()->ClearIds(Lumo::Graphics::AttributeLODList::BaseDataID(), kImageLevel);
        Attributes()->Add(Lumo::Graphics::AttributeLODList::BaseDataID(),
                          Lumo::Graphics::AttributeLODList::UnstylizedID(), kImageLevel, m_item);
        SetFlags(kBuilt, true);
    }
    state.AddItem(m_item); // picks hit images too
}

} // namespace Lumo::Scene
