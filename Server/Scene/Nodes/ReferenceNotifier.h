#pragma once
#include <Lumo/Graphics/DependencyNotifier.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Foundations/SceneClass.h>

namespace Lumo::Graphics {
class GroupNode;
}

namespace Lumo::Scene {

/// Watches a shared target for one reference node: when the target is removed, the
/// reference node leaves its parent and no instance group keeps the target.
class ReferenceNotifier : public Lumo::Graphics::DependencyNotifier, public NetObjectCountImpl<ReferenceNotifier> {
    LUMO_SCENE_CLASS(ReferenceNotifier)
public:
    static ReferenceNotifier* Make(Lumo::Graphics::ARenderNode* owner, Lumo::Graphics::GroupNode* referenceNode);

    Lumo::Graphics::GroupNode* ReferenceNode() const { return m_referenceNode; }
    /// The reference node this notifier last took out of its parent (kept alive for undo).
    Lumo::Graphics::GroupNode* LastRemovedNode() const { return m_lastRemoved; }

protected:
    ReferenceNotifier(Lumo::Graphics::ARenderNode* owner, Lumo::Graphics::GroupNode* referenceNode);
    void RemoveNodeImp(Lumo::Graphics::ARenderNode* node) override;

private:
    Lumo::Graphics::GroupNode* m_referenceNode;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_lastRemoved;
};

} // namespace Lumo::Scene
