#include <Scene/Nodes/LODGeometryNode.h>

#include <Lumo/Devices/IRenderGeom.h>
#include <Lumo/Graphics/AttributeCache.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Foundations/AddInStaticInternal.h>

#include <atomic>

namespace Lumo::Scene {

using Lumo::Devices::IRenderGeom;
using Lumo::Graphics::AttributeLODList;
using Lumo::Objects::UString;
using Lumo::Objects::Threads::MutexLocker;

LUMO_DEFINE_CLASS(LODGeometryNode, ARenderNode)

namespace {
void RealizeNothing(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState&, Lumo::Graphics::WorldIterator*,
                    Lumo::Graphics::ARenderNode*) {}
std::atomic<LODGeometryNode::RealizeCallback> g_realize{&RealizeNothing};

constexpr std::uint32_t kMeshBits = 0xFFFFu;
constexpr std::uint32_t kWorldBoxValid = Lumo::Graphics::eFlagWorldBoxValid;
constexpr std::uint32_t kNoRealize = Lumo::Graphics::eFlagNoRealize;
} // namespace

LODGeometryNode::LODGeometryNode() {
    Attributes(Lumo::Graphics::AttributeCache::Make());
}

void LODGeometryNode::RealizeMethodCB(RealizeCallback callback) {
    g_realize.store(callback ? callback : &RealizeNothing);
}
LODGeometryNode::RealizeCallback LODGeometryNode::RealizeMethodCB() {
    return g_realize.load();
}

void LODGeometryNode::RenderGeometry(IRenderGeom* geometry, int level, UString* styleId) {
    Lumo::Objects::AutoPtr<IRenderGeom> hold = geometry; // a fresh geometry is freed if refused
    if (!ValidLevel(level))
        return;
    BumpGraphStamp(); // boxes cached above may change with the geometry
    MutexLocker lock(m_lock);
    m_bogus &= ~(1u << level);
    if (!geometry) {
        m_levels &= ~(1u << level);
        return;
    }
    AttributeLODList* list = Attributes();
    UString* base = AttributeLODList::BaseDataID();
    if (!styleId) {
        list->ClearIds(base, level);
        styleId = AttributeLODList::UnstylizedID();
    }
    list->InvalidateInputData(base, styleId, level);
    list->Add(base, styleId, level, geometry);
    m_levels = (m_levels | (1u << level)) & ~(1u << (16 + level));
}

IRenderGeom* LODGeometryNode::Lookup(int level, UString* styleId) {
    if (!ValidLevel(level))
        return nullptr;
    auto* objects = Attributes()->Container(AttributeLODList::BaseDataID(),
                                            styleId ? styleId : AttributeLODList::UnstylizedID(), level, false);
    if (!objects || objects->IsEmpty())
        return nullptr;
    return static_cast<IRenderGeom*>(objects->At(0));
}

IRenderGeom* LODGeometryNode::RenderGeometry(int level, UString* styleId) {
    MutexLocker lock(m_lock);
    if (!(ValidLevel(level) && (m_levels & (1u << level)))) {
        if (!m_useClosest)
            return nullptr;
        level = ClosestLocked(level);
    }
    return Lookup(level, styleId);
}

IRenderGeom* LODGeometryNode::ClosestRenderGeometry(int level, UString* styleId) {
    MutexLocker lock(m_lock);
    return Lookup(ClosestLocked(level), styleId);
}

int LODGeometryNode::FindClosestLOD(int level) {
    MutexLocker lock(m_lock);
    return ClosestLocked(level);
}

int LODGeometryNode::ClosestLocked(int level) const {
    std::uint32_t m = m_levels & kMeshBits;
    if (!m)
        return level < 0 ? kFallbackLevel : level;
    if (level < 0)
        return 0;
    for (int d = 0; d < kLevels + level; ++d) {
        if (int up = level + d; up < kLevels && (m & (1u << up)))
            return up;
        if (int down = level - d; down >= 0 && down < kLevels && (m & (1u << down)))
            return down;
    }
    return level;
}

bool LODGeometryNode::HasMesh(int level) {
    MutexLocker lock(m_lock);
    return ValidLevel(level) && (m_levels & (1u << level));
}
void LODGeometryNode::SetHasMesh(int level) {
    if (!ValidLevel(level))
        return;
    MutexLocker lock(m_lock);
    m_levels = (m_levels | (1u << level)) & ~(1u << (16 + level));
}
void LODGeometryNode::RemoveHasMesh(int level) {
    if (!ValidLevel(level))
        return;
    MutexLocker lock(m_lock);
    m_levels &= ~(1u << level);
}
bool LODGeometryNode::IsDegenerate(int level) {
    MutexLocker lock(m_lock);
    return ValidLevel(level) && (m_levels & (1u << (16 + level)));
}
void LODGeometryNode::SetDegenerate(int level) {
    if (!ValidLevel(level))
        return;
    MutexLocker lock(m_lock);
    m_levels = (m_levels | (1u << (16 + level))) & ~(1u << level);
}
void LODGeometryNode::RemoveDegenerate(int level) {
    if (!ValidLevel(level))
        return;
    MutexLocker lock(m_lock);
    m_levels &= ~(1u << (16 + level));
}
bool LODGeometryNode::NeedsMesh(int level) {
    MutexLocker lock(m_lock);
    return ValidLevel(level) && !(m_levels & ((1u << level) | (1u << (16 + level))));
}
void LODGeometryNode::SetBogusMesh(int level, bool bogus) {
    if (!ValidLevel(level))
        return;
    MutexLocker lock(m_lock);
    if (bogus)
        m_bogus |= 1u << level;
    else
        m_bogus &= ~(1u << level);
}
bool LODGeometryNode::IsBogusMesh(int level) {
    MutexLocker lock(m_lock);
    return ValidLevel(level) && (m_bogus & (1u << level));
}
bool LODGeometryNode::UseClosestLOD() {
    MutexLocker lock(m_lock);
    return m_useClosest;
}
void LODGeometryNode::UseClosestLOD(bool on) {
    MutexLocker lock(m_lock);
    m_useClosest = on;
}

void LODGeometryNode::WorldBox(const Lumo::Objects::SBox3& box) {
    MutexLocker lock(m_lock);
    m_worldBox = box;
    SetFlags(kWorldBoxValid, true);
    BumpGraphStamp();
}

Lumo::Objects::SBox3 LODGeometryNode::WorldBox() {
    MutexLocker lock(m_lock);
    if (!Test(kWorldBoxValid) && (m_levels & kMeshBits)) {
        int highest = 31 - __builtin_clz(m_levels & kMeshBits);
        if (IRenderGeom* g = Lookup(highest, nullptr)) {
            m_worldBox = g->Box();
            SetFlags(kWorldBoxValid, true);
        }
    }
    return m_worldBox;
}

Lumo::Objects::ADevMatrix* LODGeometryNode::WorldMatrix() {
    // Placed by the walk's world matrix: one shared identity for every LOD node.
    static Brio::Scene::AddInStatic<Lumo::Objects::AutoPtr<Lumo::Objects::SharedMatrix>> identity(
        Lumo::Objects::SharedMatrix::Make());
    return identity->get();
}

void LODGeometryNode::RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                  Lumo::Graphics::WorldIterator* iterator) {
    if ((Flags() & kNoRealize) == kNoRealize)
        return;
    g_realize.load()(dc, state, iterator, this);
}

} // namespace Lumo::Scene
