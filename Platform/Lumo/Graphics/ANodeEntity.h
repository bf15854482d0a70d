#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Graphics {

class ARenderNode;

/// What a client hangs in a render node's entity slot. The node tells it when the node
/// is destroyed, so that it never keeps a dangling pointer to the node.
class ANodeEntity : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// Called from the node's destructor, before its attachments are released.
    virtual void OnNodeDestroyed(ARenderNode* node);

protected:
    ANodeEntity() = default;
};

} // namespace Lumo::Graphics
