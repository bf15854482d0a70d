#pragma once
#include <Lumo/Objects/AAttachable.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/SBox3.h>

#include <cstdint>
#include <vector>

namespace Lumo::Devices {
class ADrawContext;
}
namespace Lumo::Objects {
class ADevMatrix;
}

namespace Lumo::Graphics {

class TraversalState;
class WorldIterator;
class ANodeEntity;
class AttributeLODList;
class BaseGroupNode;
class DependencyNotifier;

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

    /// The node's cache of derived drawing data; null until given one (held by reference).
    AttributeLODList* Attributes() const { return m_attributes; }
    void Attributes(AttributeLODList* list);

    /// Notifiers watching this node (told when it is removed from a group).
    void AddNotifier(DependencyNotifier* notifier);
    bool RemoveNotifier(DependencyNotifier* notifier);
    int NotifierCount() const { return static_cast<int>(m_notifiers.size()); }
    DependencyNotifier* Notifier(int index) const { return m_notifiers[index]; }
    /// Tells every unfinished notifier that the node left a group.
    void NotifyRemoved();

    /// Called by the walk at a leaf before its attributes are applied; the base runs the
    /// installed realize callback.
    virtual void RealizeNode(Lumo::Devices::ADrawContext& dc, TraversalState& state, WorldIterator* iterator);
    /// The node's own box in world terms; empty when the node has none of its own.
    virtual Lumo::Objects::SBox3 WorldBox() { return {}; }
    /// A matrix the node places itself with, or null to use the walk's.
    virtual Lumo::Objects::ADevMatrix* WorldMatrix() { return nullptr; }
    virtual bool HasLODs() const { return false; }

    /// The node as a group, or null for a leaf (cheaper than an interface lookup per node).
    virtual BaseGroupNode* AsGroup() { return nullptr; }

    /// Number of groups that hold this node as a child.
    int ParentCount() const { return m_parentCount; }

    static int NetObjectCount();

    /// Moves on whenever the graph or what its boxes depend on changes (children, geometry,
    /// attributes, applied packets): boxes cached under an older stamp are stale.
    static std::uint64_t GraphStamp();
    static void BumpGraphStamp();

protected:
    ARenderNode();

private:
    friend class BaseGroupNode;
    void PruneFinishedNotifiers();
    std::uint32_t m_flags = 0;
    int m_parentCount = 0;
    ANodeEntity* m_entity = nullptr;
    AttributeLODList* m_attributes = nullptr;
    std::vector<DependencyNotifier*> m_notifiers; // one reference each
};

} // namespace Lumo::Graphics
