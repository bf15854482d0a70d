#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/AttributeCache.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Graphics/PrimitiveTessellator.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/WalkPool.h>

namespace Lumo::Graphics {

using Lumo::Devices::EffectInstance;
using Lumo::Devices::SimpleMesh;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Threads::MutexLocker;

LUMO_DEFINE_CLASS(APrimitiveNode, ARenderNode)

APrimitiveNode::APrimitiveNode(APrimitive* primitive) : m_primitive(primitive) {
    Attributes(AttributeCache::Make());
}

APrimitiveNode::~APrimitiveNode() = default;

APrimitiveNode* APrimitiveNode::Make(APrimitive* primitive) {
    return new APrimitiveNode(primitive);
}
APrimitiveNode* APrimitiveNode::Make(const Primitive3d& primitive) {
    return Make(APrimitive::Make(primitive));
}
APrimitiveNode* APrimitiveNode::MakeCircleArc(const CircleArc3d& arc) {
    return Make(Primitive3d(arc));
}
APrimitiveNode* APrimitiveNode::MakeEllipseArc(const EllipseArc3d& arc) {
    return Make(Primitive3d(arc));
}
APrimitiveNode* APrimitiveNode::MakeNurbsCurve(const NurbsCurve3d& curve) {
    return Make(Primitive3d(curve));
}
APrimitiveNode* APrimitiveNode::MakePolyLine(const PolyLine3d& line) {
    return Make(Primitive3d(line));
}
APrimitiveNode* APrimitiveNode::MakeTorus(const Torus3d& torus) {
    return Make(Primitive3d(torus));
}
APrimitiveNode* APrimitiveNode::MakeBox(const Box3d& box) {
    return Make(Primitive3d(box));
}
APrimitiveNode* APrimitiveNode::MakeCone(const Cone3d& cone) {
    return Make(Primitive3d(cone));
}
APrimitiveNode* APrimitiveNode::MakeSphere(const Sphere3d& sphere) {
    return Make(Primitive3d(sphere));
}

AutoPtr<APrimitive> APrimitiveNode::Primitive() const {
    MutexLocker lock(m_lock);
    return m_primitive;
}

void APrimitiveNode::Primitive(APrimitive* primitive) {
    BumpGraphStamp();        // a new primitive is a new box
    AutoPtr<APrimitive> old; // released after the lock
    {
        MutexLocker lock(m_lock);
        if (primitive == m_primitive.get())
            return;
        old = std::move(m_primitive);
        m_primitive = primitive;
        DropMeshesLocked();
    }
    SetFlags(eFlagWorldBoxValid | eFlagItemBuilt, false);
}

void APrimitiveNode::Primitive(const Primitive3d& primitive) {
    Primitive(APrimitive::Make(primitive));
}

EPrimitiveKind APrimitiveNode::Kind() const {
    MutexLocker lock(m_lock);
    return m_primitive ? m_primitive->Kind() : ePrimitiveNone;
}

AutoPtr<EffectInstance> APrimitiveNode::EffectInst() const {
    MutexLocker lock(m_lock);
    return m_effect;
}

void APrimitiveNode::EffectInst(EffectInstance* effect) {
    AutoPtr<EffectInstance> old;
    MutexLocker lock(m_lock);
    old = std::move(m_effect); // released after the lock, in case it was the last reference
    m_effect = effect;
}

void APrimitiveNode::DropMeshesLocked() {
    if (AttributeLODList* list = Attributes())
        for (int level = 0; level < AttributeLODList::kLevels; ++level)
            list->ClearIds(AttributeLODList::BaseDataID(), level);
}

AutoPtr<SimpleMesh> APrimitiveNode::Mesh(int level) {
    level = PrimitiveTessellator::ClampLevel(level);
    MutexLocker lock(m_lock);
    if (!m_primitive)
        return nullptr;
    if (!Attributes())
        Attributes(AttributeCache::Make()); // someone took the cache away: start a new one
    AttributeLODList* list = Attributes();
    Lumo::Objects::UString* base = AttributeLODList::BaseDataID();
    Lumo::Objects::UString* style = AttributeLODList::UnstylizedID();
    if (list->IsValid(base, style, level))
        if (CachedObjectList* objects = list->Container(base, style, level, false); objects && !objects->IsEmpty())
            if (void* mesh = objects->At(0)->GetInterface(SimpleMesh::StaticClassName()))
                return static_cast<SimpleMesh*>(mesh);
    // Tessellating under the lock keeps two walks from doing the same work twice.
    AutoPtr<SimpleMesh> mesh = m_primitive->Tessellate(level);
    list->ClearIds(base, level);
    list->Add(base, style, level, mesh);
    return mesh;
}

void APrimitiveNode::RealizeNode(Lumo::Devices::ADrawContext& dc, TraversalState& state, WorldIterator*) {
    int primitiveState = ePrimitiveStateReady;
    if (auto cb = NodeCallbacks::Installed().preRealizePrimitive)
        primitiveState = cb(dc, state, this);
    if (primitiveState != ePrimitiveStateReady)
        return;
    AutoPtr<SimpleMesh> mesh = Mesh(state.GeomLOD());
    if (!mesh || mesh->PrimitiveCount() == 0)
        return;
    AutoPtr<Lumo::Devices::RenderItem> item = WalkPool::Item(state.Pool(), mesh, state.WorldMatrix(), false);
    item->Effect(EffectInst());
    state.AddItem(item);
}

Lumo::Objects::SBox3 APrimitiveNode::WorldBox() {
    AutoPtr<APrimitive> primitive = Primitive();
    return primitive ? primitive->Box() : Lumo::Objects::SBox3();
}

} // namespace Lumo::Graphics
