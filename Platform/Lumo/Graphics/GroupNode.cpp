#include <Lumo/Graphics/GroupNode.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(GroupNode, BaseGroupNode)

GroupNode::GroupNode(EWorldType type) : m_worldType(type) {}

GroupNode::~GroupNode() {
    if (AWorld* world = m_world.load(std::memory_order_acquire))
        world->ReleaseRef();
}

AWorld* GroupNode::World() const {
    AWorld* world = m_world.load(std::memory_order_acquire);
    if (world)
        return world;
    AWorld* made = AWorld::Make(m_worldType);
    made->AddRef();
    // Two threads may ask at once: the first world made wins, the other is dropped.
    if (m_world.compare_exchange_strong(world, made, std::memory_order_acq_rel))
        return made;
    made->ReleaseRef();
    return world;
}

GroupNode* GroupNode::Make(EWorldType type) {
    return new GroupNode(type);
}

} // namespace Lumo::Graphics
