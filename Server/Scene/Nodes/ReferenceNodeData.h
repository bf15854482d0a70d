#pragma once
#include <Scene/Nodes/ANodeData.h>

#include <cstdint>
#include <map>
#include <string>

namespace Lumo::Graphics {
class GroupNode;
class DependencyNotifier;
} // namespace Lumo::Graphics

namespace Lumo::Scene {

/// Node data of a reference node: one shared subgraph (the target) shown under many
/// reference nodes, through named instance groups, kept consistent when the target leaves.
class ReferenceNodeData : public ANodeData, public NetObjectCountImpl<ReferenceNodeData> {
    LUMO_SCENE_CLASS(ReferenceNodeData)
public:
    enum EFlags : std::uint32_t {
        eProxy = 1u << 0,
        eReferenceProxy = 1u << 1,
        eTargetAdded = 1u << 2,
        eTargetRemoved = 1u << 3,
        eRefNotifierAdded = 1u << 4,
        eRefNotificationComplete = 1u << 5,
    };

    /// Data on referenceNode for target; a null parent marks the node a proxy.
    static ReferenceNodeData* Make(Lumo::Graphics::GroupNode* referenceNode, Lumo::Graphics::ARenderNode* target,
                                   Lumo::Graphics::GroupNode* parent);
    ~ReferenceNodeData() override;

    Lumo::Graphics::ARenderNode* Target() override { return m_target; }
    Lumo::Graphics::GroupNode* RefNode() const;
    Lumo::Graphics::GroupNode* Parent() const { return m_parent; }

    void MarkProxy() { m_flags |= eProxy; }
    bool IsProxy() const { return m_flags & eProxy; }
    void MarkReferenceProxy() { m_flags |= eReferenceProxy; }
    bool IsReferenceProxy() const { return m_flags & eReferenceProxy; }
    void MarkTargetAdded() { m_flags |= eTargetAdded; }
    bool IsTargetAdded() const { return m_flags & eTargetAdded; }
    void MarkTargetRemoved() { m_flags |= eTargetRemoved; }
    bool IsTargetRemoved() const { return m_flags & eTargetRemoved; }
    void MarkRefNotifierAdded() { m_flags |= eRefNotifierAdded; }
    bool IsRefNotifierAdded() const { return m_flags & eRefNotifierAdded; }
    void MarkRefNotificationComplete() { m_flags |= eRefNotificationComplete; }
    bool IsRefNotificationComplete() const { return m_flags & eRefNotificationComplete; }
    void ClearAllFlags() { m_flags = 0; }
    std::uint32_t Flags() const { return m_flags; }

    /// The named instance group, or null.
    Lumo::Graphics::GroupNode* TargetInstance(const std::string& name) const;
    /// Sets (or with null, drops) the named instance group.
    void TargetInstance(const std::string& name, Lumo::Graphics::GroupNode* group);
    bool HasTargetInstance(const std::string& name) const { return m_instances.count(name) != 0; }
    void RemoveTargetInstance(const std::string& name);
    void ClearRefInstNodeMap();
    int TargetInstanceCount() const { return static_cast<int>(m_instances.size()); }

    /// Shows the target in the named instance group, watched by a notifier of that name.
    void AddRefInstAndNotifier(const std::string& name);
    /// Takes the target out of every instance group and finishes their notifiers.
    void RemoveTargetFromAllRefInst();
    /// Watches the target so that this reference node leaves its parent when the target goes.
    void AddReferenceNotifier();
    void RemoveReferenceNotifier();

    void OnNodeDestroyed(Lumo::Graphics::ARenderNode* node) override;

protected:
    ReferenceNodeData(Lumo::Graphics::ARenderNode* target, Lumo::Graphics::GroupNode* parent);

private:
    Lumo::Graphics::ARenderNode* m_target;                                  // one reference
    std::map<std::string, Lumo::Graphics::GroupNode*> m_instances;          // one reference each
    std::map<std::string, Lumo::Graphics::DependencyNotifier*> m_notifiers; // one reference each
    Lumo::Graphics::GroupNode* m_parent;
    Lumo::Graphics::GroupNode* m_refNode = nullptr;
    std::uint32_t m_flags;
};

} // namespace Lumo::Scene
