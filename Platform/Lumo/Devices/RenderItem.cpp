#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Objects/ADevMatrix.h>

namespace Lumo::Devices {

using Lumo::Objects::ADevMatrix;
using Lumo::Objects::SBox3;

LUMO_DEFINE_CLASS(RenderItem, Lumo::Objects::ARefCounted)

RenderItem::RenderItem(IRenderGeom* geometry, EffectInstance* effect, ADevMatrix* world)
    : m_geometry(geometry), m_effect(effect), m_world(world) {}

RenderItem::RenderItem(const RenderItem& other)
    : ARefCounted(other), m_geometry(other.m_geometry), m_effect(other.m_effect), m_world(other.m_world),
      m_objectId(other.m_objectId), m_hasObjectId(other.m_hasObjectId), m_cullMode(other.m_cullMode),
      m_hasCullMode(other.m_hasCullMode), m_depthPriority(other.m_depthPriority) {}

RenderItem::~RenderItem() = default;

RenderItem* RenderItem::Make(IRenderGeom* geometry, EffectInstance* effect, ADevMatrix* world) {
    return new RenderItem(geometry, effect, world);
}

RenderItem* RenderItem::Clone() const {
    return new RenderItem(*this);
}

void RenderItem::Geometry(IRenderGeom* geometry) {
    m_geometry = geometry;
}
void RenderItem::Effect(EffectInstance* effect) {
    m_effect = effect;
}
void RenderItem::WorldMatrix(ADevMatrix* world) {
    m_world = world;
}

SimpleMesh* RenderItem::Mesh() const {
    return Lumo::Objects::QueryInterface<SimpleMesh>(m_geometry.get());
}

SBox3 RenderItem::WorldBox() const {
    if (!m_geometry)
        return SBox3();
    SBox3 box = m_geometry->Box();
    return m_world && !m_world->IsIdentity() ? box.TransformAndRebox(m_world->Matrix()) : box;
}

} // namespace Lumo::Devices
