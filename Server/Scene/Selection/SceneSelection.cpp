#include <Scene/Selection/RawHitInfo.h>
#include <Scene/Selection/SceneSelection.h>
#include <Scene/Selection/SelectionFilters.h>

#include <Brio/Base/UniqueString.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <ZoGe/ZoGeMatrix3d.h>

namespace Brio::Scene {

namespace {

/// The leaf's local-to-world transform along a path (column vectors): the nodes' relative
/// transforms composed, an absolute one starting afresh.
ZoGeMatrix3d LeafToWorld(const NodePath& path) {
    Lumo::Objects::mat4<double> m; // row vectors: the leaf's transform first
    for (int i = path.size() - 1; i >= 0; --i) {
        const Lumo::Scene::AttributeSet* set = Lumo::Scene::GetAttributeSet(path[i]);
        auto* t =
            set ? static_cast<Lumo::Scene::TransformAttribute*>(set->GetAttribute(Lumo::Scene::eTransform)) : nullptr;
        if (!t)
            continue;
        m = m * t->Transform().Cast<double>();
        if (t->Absolute())
            break;
    }
    ZoGeMatrix3d g;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            g.entry[r][c] = m.m[c][r];
    return g;
}

} // namespace

SceneSelection::SceneSelection(const NodePath& path) : m_path(path) {}

SceneSelection::~SceneSelection() {
    if (m_hit)
        m_hit->destroy();
}

StrongRef<SceneSelection> SceneSelection::make(const NodePath& path) {
    return StrongRef<SceneSelection>(new SceneSelection(path));
}

const Brio::UniqueString* SceneSelection::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::SceneSelection");
    return id;
}

const Brio::UniqueString* SceneSelection::alternateSceneSelectionSynced() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"AlternateSceneSelectionSynced");
    return id;
}

void* SceneSelection::queryInterface(const Brio::UniqueString* id) const {
    return id == interfaceId() ? const_cast<SceneSelection*>(this) : Brio::Selection::queryInterface(id);
}

void SceneSelection::hitInfo(RawHitInfo* info) {
    if (m_hit && m_hit != info)
        m_hit->destroy();
    m_hit = info;
}

void SceneSelection::hitInfo(const StrongRef<SceneSelection>& other) {
    hitInfo(static_cast<RawHitInfo*>(nullptr));
    if (!other || !other->m_hit)
        return;
    m_hit = RawHitInfo::make(other->m_hit);
    if (other->m_path.empty() || m_path.empty())
        return;
    // Other's leaf space to this one's: through the world.
    ZoGeMatrix3d toThis;
    if (LeafToWorld(m_path).inverse(toThis))
        m_hit->transform(toThis * LeafToWorld(other->m_path));
}

int SceneSelection::onCompare(const Brio::Selection& other) const {
    auto* o = static_cast<const SceneSelection*>(other.queryInterface(interfaceId()));
    if (!o)
        return 0;
    if (o->m_path < m_path)
        return 1;
    if (m_path < o->m_path)
        return -1;
    return 0;
}

StrongRef<Brio::Selection> SceneSelection::onPop() const {
    if (m_path.size() <= 1)
        return {};
    NodePath shorter = m_path;
    shorter.pop();
    StrongRef<SceneSelection> up = make(shorter);
    if (m_hit)
        up->m_hit = RawHitInfo::make(m_hit);
    return StrongRef<Brio::Selection>(up);
}

void SceneSelection::onPropagateAlternate(Brio::Selection&, const Brio::UniqueString* key, Brio::Selection& alternate) {
    if (key != alternateSceneSelectionSynced())
        return;
    StrongRef<Brio::Selection> holder(&alternate);
    StrongRef<SceneSelection> converted = LogicalToSceneSelectionFilter::filter(holder);
    if (!converted)
        return;
    converted->hitInfo(StrongRef<SceneSelection>(this));
    alternate.alternateSelection(key, converted);
    if (RawHitInfo* hit = converted->hitInfo())
        if (auto* logical =
                static_cast<Brio::LogicalSelection*>(alternate.queryInterface(Brio::LogicalSelection::interfaceId())))
            logical->hitInfo(hit->localHitPoint(), hit->localToWorldTransform(), true);
}

} // namespace Brio::Scene
