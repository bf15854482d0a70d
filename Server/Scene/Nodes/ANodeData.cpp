#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Nodes/ANodeData.h>

#include <Lumo/Graphics/ARenderNode.h>

namespace Lumo::Scene {

using Lumo::Graphics::ARenderNode;

LUMO_DEFINE_CLASS(ANodeData, ANodeEntity)

Lumo::Objects::UString* ANodeData::AttachmentID() {
    static Lumo::Objects::UString* id = Lumo::Objects::Intern(L"Lumo::Scene::ANodeData");
    return id;
}

ANodeData::ANodeData(ENodeType type) : m_nodeType(type) {}

ANodeData* ANodeData::Make(ARenderNode* node, ENodeType type, bool extended) {
    // Born with no reference, like every Make: the node's attachment (if any) holds it.
    auto* data = new ANodeData(type);
    data->SetAttributeSet(extended ? static_cast<AttributeSet*>(AttributeSetEx::Make(node, 0, 0))
                                   : AttributeSet::Make(node, 0));
    return data;
}

ANodeData* ANodeData::GetNodeData(ARenderNode* node) {
    if (!node || !node->Entity())
        return nullptr;
    return static_cast<ANodeData*>(node->Entity()->GetInterface(StaticClassName()));
}

ANodeData::~ANodeData() {
    if (m_attributes) {
        if (ARenderNode* node = m_attributes->RenderNode(); node && node->Entity() == this)
            node->Entity(nullptr);
        m_attributes->ReleaseRef();
    }
}

ARenderNode* ANodeData::Target() {
    return m_attributes ? m_attributes->RenderNode() : nullptr;
}

void ANodeData::RenderNode(ARenderNode* node) {
    if (m_attributes)
        m_attributes->RenderNode(node);
}

void ANodeData::SetAttributeSet(AttributeSet* set) {
    if (set)
        set->AddRef();
    if (m_attributes)
        m_attributes->ReleaseRef();
    m_attributes = set;
    if (set)
        Attach(set->RenderNode());
}

void ANodeData::Attach(ARenderNode* node) {
    if (!node)
        return;
    node->AddRefAttachment(AttachmentID(), this);
    node->Entity(this);
}

void ANodeData::OnNodeDestroyed(ARenderNode* node) {
    if (m_attributes && m_attributes->RenderNode() == node)
        m_attributes->RenderNode(nullptr);
}

} // namespace Lumo::Scene
