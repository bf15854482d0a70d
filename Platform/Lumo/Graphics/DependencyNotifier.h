#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <cstdint>

namespace Lumo::Graphics {

class ARenderNode;
class BaseGroupNode;

/// Watches a node on behalf of an owner: told when a group around the node changes and when
/// the node is removed from a group. A finished notifier is told nothing more.
class DependencyNotifier : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static DependencyNotifier* Make(ARenderNode* owner) { return new DependencyNotifier(owner); }

    ARenderNode* Owner() const { return m_owner; }
    bool IsFinished() const { return m_finished; }
    void MarkFinished() { m_finished = true; }

    virtual void GroupAboutToChange(BaseGroupNode* group, std::uint32_t code);
    virtual void GroupChanged(BaseGroupNode* group, std::uint32_t code, std::uint32_t detail);
    /// The watched node was removed from a group.
    void RemoveNode(ARenderNode* node);

    /// Counts of notifications received, for clients that poll.
    int ChangeCount() const { return m_changes; }

protected:
    explicit DependencyNotifier(ARenderNode* owner) : m_owner(owner) {}
    virtual void RemoveNodeImp(ARenderNode* node);

private:
    ARenderNode* m_owner; // not held: the owner outlives what it watches or finishes us
    bool m_finished = false;
    int m_changes = 0;
};

} // namespace Lumo::Graphics
