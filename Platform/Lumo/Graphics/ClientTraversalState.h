#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Graphics {

/// A client's own state hung on the walk's per-node traversal state: a child node's state
/// starts as a copy of its parent's (Reset), and states can be merged.
class ClientTraversalState : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// A new state of the same kind, copying this one.
    virtual ClientTraversalState* Clone() = 0;
    /// A new default state of the same kind.
    virtual ClientTraversalState* Acquire() = 0;
    /// Starts over as a copy of from (a parent's state).
    virtual void Reset(ClientTraversalState* from) = 0;
    virtual void CopyFrom(ClientTraversalState* from) = 0;
    /// Folds another state of the same kind into this one.
    virtual void Merge(ClientTraversalState& other) = 0;
    /// Back to the defaults of a state at the root.
    virtual void Clear() = 0;

protected:
    ClientTraversalState() = default;
};

} // namespace Lumo::Graphics
