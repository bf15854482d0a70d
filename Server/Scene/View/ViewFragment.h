#pragma once
#include <Brio/Base/StrongRef.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Foundations/SceneEntity.h>
#include <Scene/Model/INodeSource.h>

#include <string>

namespace Brio {
class BBox;
class UniqueString;
} // namespace Brio
namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
} // namespace Lumo::Graphics

namespace Brio::Scene {

class Camera;
class Lighting;
class RenderParams;
class SceneAssetAdapter;
class ViewFragmentNodeData;
class Viewport;
struct ViewFragmentPass;

/// One fragment of a view as a document entity: it owns the fragment's render node, whose
/// node data lists the layer passes drawn in the fragment and refers to its camera, viewport
/// and lighting. A fragment may depend on another and then shows through that one's camera,
/// viewport and lighting. It is the node's source, and persists nothing itself.
class ViewFragment : public SceneEntity<ViewFragment, Entity>, public INodeSource {
public:
    static constexpr const char* s_metaTypeId = "DD089E83-31FB-4CC8-8678-96730188BCF7";
    static SceneEntityMetaType* s_metaType();

    /// "Brio::Scene::ViewFragment".
    static const Brio::UniqueString* interfaceId();
    /// The fragment for its own id, else what Entity answers, else what INodeSource answers.
    void* queryInterface(const Brio::UniqueString* id) const override;
    const Brio::UniqueString* getInterfaceId() const override { return interfaceId(); }

    /// The fragment's node, made on first call.
    Lumo::Graphics::GroupNode* viewFragmentNode();
    /// Both answer viewFragmentNode().
    Lumo::Graphics::ARenderNode* createScene() override;
    Lumo::Graphics::ARenderNode* createScene(NodeChange& change) override;
    /// The stored node; null before it is made.
    Lumo::Graphics::ARenderNode* sceneNode() const override;
    /// Unlinks the node from this fragment and lets go of it.
    void releaseScene() override;

    /// Shows root under the fragment's node and appends the selectable "Model" pass for it,
    /// drawn with a clone of params. Nothing for a null root.
    void scene(Lumo::Graphics::GroupNode* root, const RenderParams* params);
    /// Appends the passes of a document's scenes, in drawing order: Model, ActiveEdit,
    /// Selection, SelectionEffect, SketchSelectionEffect, PrehighlightEffect, Prehighlight,
    /// Manipulator; Model, ActiveEdit and Manipulator are picked in.
    virtual void scene(SceneAssetAdapter* adapter);

    // Passes, forwarded to the node data (see ViewFragmentNodeData for the position rule).
    void addLayerPass(ViewFragmentPass pass);
    void insertLayerPass(unsigned position, ViewFragmentPass& pass);
    void removeLayerPass(const Brio::UniqueString* name);
    /// -1 when there is no such pass or no node.
    int findLayerPassPosition(const Brio::UniqueString* name) const;
    /// Null without a node.
    RenderParams* renderParams(int index) const;
    RenderParams* renderParams(Lumo::Graphics::GroupNode* scene) const;

    // Without a node the getters answer empty references; the setters make the node.
    StrongRef<Camera> camera() const;
    void camera(const StrongRef<Camera>& camera);
    StrongRef<Viewport> viewport() const;
    void viewport(const StrongRef<Viewport>& viewport);
    StrongRef<Lighting> lighting() const;
    void lighting(const StrongRef<Lighting>& lighting);
    /// True without a node.
    bool supportSelectBackground() const;
    void supportSelectBackground(bool on);
    std::wstring name() const;
    void name(const std::wstring& name);

    /// The fragment this one shows through, or an empty reference.
    StrongRef<ViewFragment> dependentFragment() const { return m_dependent; }
    /// An empty reference makes the fragment independent. A fragment cannot depend on itself,
    /// directly or through others: such a request is ignored.
    void dependentFragment(const StrongRef<ViewFragment>& other);
    bool independent() const { return m_dependent.isNull(); }
    /// The document adapter the passes came from (scene(adapter)); null without a node.
    SceneAssetAdapter* sceneAssetAdapter() const;

    /// The world box of what the fragment shows (of the fragment it depends on, when it
    /// depends on one), after pending changes are applied; empty without a node.
    Brio::BBox bounds() const;

protected:
    friend SceneEntity;
    explicit ViewFragment(Segment* segment);
    ViewFragment(Segment* segment, std::uint64_t persistedId);
    ~ViewFragment() override;

    /// The base's, then the node is made.
    void onPostCreation() override;
    /// The base's, then the node is released.
    void onPreDeletion() override;
    /// Keeps a group node; null forgets the node, anything else is ignored.
    void sceneNode(Lumo::Graphics::ARenderNode* node) override;
    /// The node is made by viewFragmentNode(), not through a change.
    void onCreateScene(NodeChange& change) override;

private:
    /// The node's data; null without a node.
    ViewFragmentNodeData* fragmentData() const;
    /// The node's data, making the node when needed.
    ViewFragmentNodeData* madeFragmentData();

    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_node;
    StrongRef<ViewFragment> m_dependent;
};

} // namespace Brio::Scene
