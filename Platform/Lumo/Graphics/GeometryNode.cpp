#include <Lumo/Graphics/AttributeCache.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/RenderFlags.h>

#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/IRenderGeom.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(GeometryNode, ARenderNode)

GeometryNode::GeometryNode() { Attributes(AttributeCache::Make()); }

GeometryNode::~GeometryNode() { EffectInst(nullptr); }

GeometryNode* GeometryNode::Make() { return new GeometryNode; }

Lumo::Devices::IRenderGeom* GeometryNode::RenderGeometry() const {
    auto* objects = Attributes()->Container(AttributeLODList::BaseDataID(), AttributeLODList::UnstylizedID(),
                                            kGeometryLevel, false);
    return objects && !objects->IsEmpty() ? static_cast<Lumo::Devices::IRenderGeom*>(objects->At(0)) : nullptr;
}

void GeometryNode::RenderGeometry(Lumo::Devices::IRenderGeom* geometry) {
    Lumo::Objects::AutoPtr<Lumo::Devices::IRenderGeom> hold = geometry;
    AttributeLODList* list = Attributes();
    list->ClearIds(AttributeLODList::BaseDataID(), kGeometryLevel);
    if (geometry)
        list->Add(AttributeLODList::BaseDataID(), AttributeLODList::UnstylizedID(), kGeometryLevel, geometry);
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
