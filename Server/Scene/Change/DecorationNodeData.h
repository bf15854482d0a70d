#pragma once
#include <Scene/Change/NodeData.h>

namespace Brio::Scene {

/// Which decoration world a decoration node belongs to.
enum DecorationWorldType : int {
    eDecorationNone = 0,
    eDecorationOverlay = 1,
    eDecorationUnderlay = 2,
};

/// Node data of the nodes of decoration worlds (grids, manipulators, annotations).
class DecorationNodeData : public NodeData, public Lumo::Scene::NetObjectCountImpl<DecorationNodeData> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "DecorationNodeData"
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<DecorationNodeData>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    static DecorationNodeData* make(DecorationWorldType worldType, Lumo::Graphics::ARenderNode* node,
                                    INodeSource* source, Lumo::Scene::ENodeType type, bool extendedAttributes);
    DecorationWorldType decorationWorldType() const { return m_worldType; }

protected:
    DecorationNodeData(DecorationWorldType worldType, Lumo::Scene::ENodeType type)
        : NodeData(type), m_worldType(worldType) {}

private:
    DecorationWorldType m_worldType;
};

} // namespace Brio::Scene
