#pragma once
#include <Brio/Base/StrongRef.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Change/NodeData.h>
#include <Scene/View/ViewFragmentPass.h>

#include <string>
#include <vector>

namespace Lumo::Devices {
class ARenderCamera;
}
namespace Lumo::Graphics {
class GroupNode;
}
namespace Lumo::Objects {
class SharedMatrix;
}
namespace Brio {
class UniqueString;
}

namespace Brio::Scene {

class Camera;
class Lighting;
class SceneAssetAdapter;
class Viewport;

/// Node data of a view fragment node: the fragment's camera, viewport and lighting, its
/// ordered layer passes (and among them the selectable ones, for picking), and the render
/// camera the renderer draws it with. A dependent fragment answers camera, viewport and
/// lighting from the fragment node it depends on, which is its Target().
class ViewFragmentNodeData : public NodeData, public Lumo::Scene::NetObjectCountImpl<ViewFragmentNodeData> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "ViewFragmentNodeData"
    static Lumo::Objects::UString* InterfaceID() { return StaticClassName(); }
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<ViewFragmentNodeData>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    /// Node data for node (attached to it) with an extended attribute set.
    static ViewFragmentNodeData* make(Lumo::Graphics::GroupNode* node, INodeSource* source);
    ~ViewFragmentNodeData() override;

    /// The fragment node this one depends on, or null when it is independent.
    Lumo::Graphics::ARenderNode* Target() override;
    void dependentFragmentNode(Lumo::Graphics::GroupNode* node);
    bool independent() { return Target() == nullptr; }

    // While dependent, the getters answer the depended-on node's values; setters always set
    // this node's own.
    StrongRef<Camera> camera();
    void camera(const StrongRef<Camera>& camera);
    StrongRef<Viewport> viewport();
    void viewport(const StrongRef<Viewport>& viewport);
    StrongRef<Lighting> lighting();
    void lighting(const StrongRef<Lighting>& lighting);

    bool supportSelectBackground() const { return m_supportSelectBackground; }
    void supportSelectBackground(bool on) { m_supportSelectBackground = on; }
    const std::wstring& name() const { return m_name; }
    void name(const std::wstring& name) { m_name = name; }
    /// The document's adapter whose scenes the passes draw; not owned.
    SceneAssetAdapter* sceneAssetAdapter() const { return m_adapter; }
    void sceneAssetAdapter(SceneAssetAdapter* adapter) { m_adapter = adapter; }

    const std::vector<ViewFragmentPass>& layerPasses() const { return m_layerPasses; }
    const std::vector<ViewFragmentPass>& selectionPasses() const { return m_selectionPasses; }
    /// The parameters of the pass at index (no reference added); null outside the passes.
    RenderParams* renderParams(int index) const;
    /// The parameters of the first pass drawing scene; null when none does.
    RenderParams* renderParams(Lumo::Graphics::GroupNode* scene) const;
    /// Index of the first pass of that name, or -1.
    int findLayerPassPosition(const Brio::UniqueString* name) const;

    /// Copies pass in, giving it layer parameters (renderer 9) when it has none. Position 0 and
    /// positions above the pass count + 1 are ignored; the count and count + 1 append; a
    /// smaller position puts the copy behind the pass at that index. A selectable copy is also
    /// appended to the selection passes.
    void insertViewFragmentPass(unsigned position, ViewFragmentPass& pass);
    void addViewFragmentPass(ViewFragmentPass& pass);
    /// Removes the first pass of that name (and, for a selectable one, the first selection
    /// pass of that name); an unknown name changes nothing.
    void removeLayerPass(const Brio::UniqueString* name);

    /// Replaces out with the passes to draw this frame, in order: passes without a scene and
    /// selection or layer passes with nothing to show are left out, and a resolve pass
    /// (renderer 10, no scene) follows each run of transparency-collecting passes.
    void viewFragmentRenderingPass(std::vector<ViewFragmentPass>& out) const;
    /// Replaces out with the selection passes that have a scene with something in it and
    /// render parameters.
    void viewFragmentSelectionPass(std::vector<ViewFragmentPass>& out) const;

    Lumo::Devices::ARenderCamera* renderCamera() const { return m_renderCamera; }
    /// Both matrices are needed; with either missing nothing changes.
    void updateRenderCamera(Lumo::Objects::SharedMatrix* view, Lumo::Objects::SharedMatrix* projection);

protected:
    ViewFragmentNodeData();

private:
    ViewFragmentNodeData* dependedOn();

    StrongRef<Camera> m_camera;
    StrongRef<Viewport> m_viewport;
    StrongRef<Lighting> m_lighting;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_dependentFragmentNode;
    bool m_supportSelectBackground = true;
    std::wstring m_name;
    SceneAssetAdapter* m_adapter = nullptr;
    std::vector<ViewFragmentPass> m_layerPasses;
    std::vector<ViewFragmentPass> m_selectionPasses;
    Lumo::Devices::ARenderCamera* m_renderCamera; // one reference
};

} // namespace Brio::Scene
