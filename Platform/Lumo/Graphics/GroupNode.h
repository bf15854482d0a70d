#pragma once
#include <Lumo/Graphics/BaseGroupNode.h>

namespace Lumo::Graphics {

/// The group node clients make.
class GroupNode : public BaseGroupNode {
    LUMO_DECLARE_CLASS()
public:
    static GroupNode* Make();

protected:
    GroupNode() = default;
};

} // namespace Lumo::Graphics
