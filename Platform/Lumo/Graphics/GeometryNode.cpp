#include <Lumo/Graphics/AttributeCache.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/RenderFlags.h>

#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/IRenderGeom.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(GeometryNode, ARenderNode)

GeometryNode::GeometryNode() {
    Attributes(AttributeCache::Make());
}

GeometryNode::~GeometryNode() {
    RenderGeometry(nullptr);
    EffectInst(nullptr);
}

GeometryNode* GeometryNode::Make() {
    return new GeometryNode;
}

void GeometryNode::RenderGeometry(Lumo::Devices::IRenderGeom* geometry) {
    if (geometry == m_geometry)
        return;
    BumpGraphStamp();
    if (geometry)
        geometry->AddRef();
    if (m_geometry)
        m_geometry->ReleaseRef();
    m_geometry = geometry;
    if (Attributes())
        Attributes()->ClearIds(AttributeLODList::BaseDataID(), kGeometryLevel);
    SetFlags(eFlagWorldBoxValid, false);
}

void GeometryNode::EffectInst(Lumo::Devices::EffectInstance* effect) {
    if (effect)
        effect->AddRef();
    if (m_effect)
        m_effect->ReleaseRef();
    m_effect = effect;
}

Lumo::Objects::SBox3 GeometryNode::WorldBox() {
    Lumo::Devices::IRenderGeom* g = RenderGeometry();
    return g ? g->Box() : Lumo::Objects::SBox3();
}

} // namespace Lumo::Graphics
