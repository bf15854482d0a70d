#include <Lumo/Graphics/GroupNode.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(GroupNode, BaseGroupNode)

GroupNode* GroupNode::Make() { return new GroupNode; }

} // namespace Lumo::Graphics
