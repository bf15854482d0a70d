#pragma once
#include <Lumo/Graphics/ANodeEntity.h>
#include <Scene/Foundations/SceneClass.h>
#include <Scene/Nodes/ENodeType.h>

#include <cstdint>

namespace Lumo::Graphics {
class ARenderNode;
}

namespace Lumo::Scene {

class AttributeSet;

/// The scene data of a render node: its attribute set, node kind and client-type mask.
/// Attached to the node (which holds a reference) and set as the node's entity.
class ANodeData : public Lumo::Graphics::ANodeEntity, public NetObjectCountImpl<ANodeData> {
    LUMO_SCENE_CLASS(ANodeData)
public:
    /// Data with a fresh attribute set for node (an AttributeSetEx when extended),
    /// attached to node when node is not null.
    static ANodeData* Make(Lumo::Graphics::ARenderNode* node, ENodeType type, bool extended);
    /// The node's data, or null for a null node or one without.
    static ANodeData* GetNodeData(Lumo::Graphics::ARenderNode* node);
    /// The key under which node data is attached to its node.
    static Lumo::Objects::UString* AttachmentID();

    ~ANodeData() override;

    /// The node this data stands for.
    virtual Lumo::Graphics::ARenderNode* Target();
    void RenderNode(Lumo::Graphics::ARenderNode* node);
    AttributeSet* GetAttributeSet() const { return m_attributes; }
    ENodeType NodeType() const { return m_nodeType; }
    std::uint32_t clientType() const { return m_clientType; }
    void clientType(std::uint32_t types) { m_clientType = types; }

    void OnNodeDestroyed(Lumo::Graphics::ARenderNode* node) override;

protected:
    explicit ANodeData(ENodeType type);
    /// Takes the set and attaches this data to the set's render node.
    void SetAttributeSet(AttributeSet* set);

private:
    void Attach(Lumo::Graphics::ARenderNode* node);

    AttributeSet* m_attributes = nullptr;
    ENodeType m_nodeType;
    std::uint32_t m_clientType = 0;
};

} // namespace Lumo::Scene
