#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/Worlds.h>

#include <algorithm>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(AWorld, ARefCounted)
LUMO_DEFINE_CLASS(SingleNodeWorld, AWorld)
LUMO_DEFINE_CLASS(ARenderList, AWorld)
LUMO_DEFINE_CLASS(BSPWorld, AWorld)
LUMO_DEFINE_CLASS(LODConsolidatedWorld, AWorld)

AWorld* AWorld::Make(EWorldType type) {
    switch (type) {
    case eRenderListWorld:
        return new ARenderList;
    case eBSPWorld:
        return new BSPWorld;
    case eLODConsolidatedWorld:
        return new LODConsolidatedWorld;
    default:
        return new SingleNodeWorld;
    }
}

ARenderList::~ARenderList() {
    for (ARenderNode* node : m_roots)
        node->ReleaseRef();
}

bool ARenderList::AddRoot(ARenderNode* node) {
    if (!node || HasRoot(node))
        return false;
    node->AddRef();
    m_roots.push_back(node);
    return true;
}

bool ARenderList::RemoveRoot(ARenderNode* node) {
    auto it = std::find(m_roots.begin(), m_roots.end(), node);
    if (it == m_roots.end())
        return false;
    m_roots.erase(it);
    node->ReleaseRef();
    return true;
}

bool ARenderList::HasRoot(const ARenderNode* node) const {
    return node && std::find(m_roots.begin(), m_roots.end(), node) != m_roots.end();
}

ARenderNode* ARenderList::Root(int index) const {
    return index >= 0 && index < RootCount() ? m_roots[index] : nullptr;
}

} // namespace Lumo::Graphics
