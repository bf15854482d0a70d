#include <Lumo/Graphics/DependencyNotifier.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(DependencyNotifier, ARefCounted)

void DependencyNotifier::GroupAboutToChange(BaseGroupNode*, std::uint32_t) {}

void DependencyNotifier::GroupChanged(BaseGroupNode*, std::uint32_t, std::uint32_t) {
    ++m_changes;
}

void DependencyNotifier::RemoveNode(ARenderNode* node) {
    if (!m_finished)
        RemoveNodeImp(node);
}

void DependencyNotifier::RemoveNodeImp(ARenderNode*) {}

} // namespace Lumo::Graphics
