#pragma once
#include <Lumo/Objects/AAttachable.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <cstdint>

namespace Lumo::Graphics {

class ANodeEntity;

/// A node of the render graph: flags, one entity slot for the client's data, and keyed
/// attachments. Nodes are shared by reference count; a node may sit under several groups.
class ARenderNode : public Lumo::Objects::ARefCounted, public Lumo::Objects::AAttachable {
    LUMO_DECLARE_CLASS()
public:
    ~ARenderNode() override;

    /// Sets (on) or clears (off) the given flag bits.
    void SetFlags(std::uint32_t flags, bool on = true);
    /// True when any of the given bits is set.
    bool Test(std::uint32_t flags) const { return (m_flags & flags) != 0; }
    std::uint32_t Flags() const { return m_flags; }

    /// The client's data object; not owned by the slot (clients keep it alive with an attachment).
    ANodeEntity* Entity() const { return m_entity; }
    void Entity(ANodeEntity* entity) { m_entity = entity; }

    /// Number of groups that hold this node as a child.
    int ParentCount() const { return m_parentCount; }

    static int NetObjectCount();

protected:
    ARenderNode();

private:
    friend class BaseGroupNode;
    std::uint32_t m_flags = 0;
    int m_parentCount = 0;
    ANodeEntity* m_entity = nullptr;
};

} // namespace Lumo::Graphics
