#pragma once
#include <Brio/Base/StrongRef.h>
#include <Scene/Change/NodeData.h>

namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

class Viewport;

/// Node data of a view node, the root whose children are a view's fragments: it carries the
/// view's viewport.
class ViewNodeData : public NodeData, public Lumo::Scene::NetObjectCountImpl<ViewNodeData> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "ViewNodeData"
    static Lumo::Objects::UString* InterfaceID() { return StaticClassName(); }
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<ViewNodeData>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    /// Node data for node (attached to it) with a plain attribute set.
    static ViewNodeData* make(Lumo::Graphics::GroupNode* node, INodeSource* source);
    ~ViewNodeData() override;

    StrongRef<Viewport> viewport() const;
    void viewport(const StrongRef<Viewport>& viewport);

protected:
    ViewNodeData();

private:
    StrongRef<Viewport> m_viewport;
};

} // namespace Brio::Scene
