#include <Lumo/Graphics/GroupNode.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(GroupNode, BaseGroupNode)

GroupNode::GroupNode(EWorldType type) : m_world(AWorld::Make(type)) {}

GroupNode* GroupNode::Make(EWorldType type) { return new GroupNode(type); }

} // namespace Lumo::Graphics
