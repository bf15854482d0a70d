#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/WorldList.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(WorldList, Lumo::Objects::ARefCounted)

WorldList::WorldList() = default;
WorldList::~WorldList() = default;
WorldList* WorldList::Make() {
    return new WorldList;
}
void WorldList::Add(ARenderNode* node) {
    if (node)
        m_nodes.emplace_back(node);
}
ARenderNode* WorldList::At(int i) const {
    return i >= 0 && i < Count() ? m_nodes[size_t(i)].get() : nullptr;
}
void WorldList::Clear() {
    m_nodes.clear();
}

} // namespace Lumo::Graphics
