#pragma once
#include <Lumo/Objects/Mutex.h>
#include <Scene/Nodes/ANodeData.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include <Brio/DataModel/DataChange.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Graphics {
class AWorld;
class TraversalState;
class WorldIterator;
} // namespace Lumo::Graphics
namespace Lumo::Devices {
class ADrawContext;
}
namespace Lumo::Scene {
class TraversalState;
}
namespace Brio {
class Color;
}
namespace Lumo::Serialization {
class PropertyBag;
}

namespace Brio::Scene {

class INodeSource;

/// How back faces of a subtree are drawn.
enum EDoubleSided : int {
    eDoubleSidedOff = 0,
    eDoubleSidedOn = 1,
    eDoubleSidedPlain = 2,
    eDoubleSidedBackFirst = 3,
};

/// The scene's node data: the base data plus the link back to the node's source, the host's
/// selection identity (client type and qualifier), a double-sided mode and the node's colour
/// for colour cycling.
class NodeData : public Lumo::Scene::ANodeData, public Lumo::Scene::NetObjectCountImpl<NodeData> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "NodeData"
    static Lumo::Objects::UString* InterfaceID() { return StaticClassName(); }
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<NodeData>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    /// Node data for node (attached to it); extended sets for instances and when asked.
    static NodeData* make(Lumo::Graphics::ARenderNode* node, INodeSource* source, Lumo::Scene::ENodeType type,
                          bool extended);
    ~NodeData() override;

    INodeSource* source();
    virtual void source(INodeSource* source);
    std::uint64_t qualifier() const { return m_qualifier; }
    void qualifier(std::uint64_t q) { m_qualifier = q; }
    std::uint32_t sourceSegmentId() const { return m_segmentId; }
    void sourceSegmentId(std::uint32_t id) { m_segmentId = id; }
    EDoubleSided doubleSided() const { return m_doubleSided; }
    void doubleSided(EDoubleSided mode) { m_doubleSided = mode; }
    Lumo::Scene::AttributeSet* attributeSet() const { return GetAttributeSet(); }
    Lumo::Graphics::AWorld* decorationWorld() const { return m_decorationWorld; }
    void decorationWorld(Lumo::Graphics::AWorld* world);
    /// This node's colour for colour cycling: chosen on first request from the cycling
    /// palette, successive nodes taking successive colours; the same colour afterwards.
    const Brio::Color& cyclingColor();

    /// Writes the persisted properties in their fixed order: "INodeSourceSaved" (and, for a
    /// source that is a host entity, "AssetName", "SegmentId", "INodeSource"), "Qualifier",
    /// "ClientType", then the client type as names ("StringsForMaskCount", "StringForMask::%d").
    void writeProperties(Lumo::Serialization::PropertyBag& bag) const;
    /// Reads them back; names map to this process's client-type bits.
    void readProperties(const Lumo::Serialization::PropertyBag& bag);
    /// The saved source's entity id, kept until the loader links the source back.
    std::uint64_t savedSourceId() const { return m_savedSourceId; }
    /// The saved source's document name.
    const std::wstring& savedAssetName() const { return m_savedAssetName; }

    /// Asks the source to rebuild the given host changes through a change on the node
    /// (posted when it ends). Nothing without a source or with no change.
    void revalidate(DataChange::EChangeType types);
    /// The source's model box, realised through a change applied at once; empty without a source.
    /// Kept until the next change applied to the node, so that walks over a shared node do not
    /// ask its source (and move the graph's stamp) at every visit.
    Lumo::Objects::SBox3 revalidateModelBox();
    /// A change reached the node: the kept model box may be stale.
    void forgetModelBox() { m_modelBoxKnown.store(false, std::memory_order_relaxed); }
    /// Missing geometry on demand: a level-of-detail node's mesh for lod, or a plain
    /// geometry node's mesh.
    void revalidateGeometry(int lod);

    // The graph walk's callbacks for nodes that carry node data.
    static void RealizeCB(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                          Lumo::Graphics::WorldIterator* iterator, Lumo::Graphics::ARenderNode* node);
    /// Places and boxes the node; answers the world-box status (none, from children, known).
    static int RealizeWorldBoxCB(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                 Lumo::Graphics::ARenderNode* node);
    static void RealizeAttributesCB(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                    Lumo::Graphics::ARenderNode* node);
    static void ApplyAttributeCB(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                 Lumo::Graphics::ARenderNode* node);
    static int PreRealizePrimitiveNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                       Lumo::Graphics::ARenderNode* node);
    /// The scene state of the walk at this node, made on first use; a pass's scene node
    /// (from the draw context's scene attachment) seeds it.
    static Lumo::Scene::TraversalState* traversalState(Lumo::Devices::ADrawContext& dc,
                                                       Lumo::Graphics::TraversalState& state);
    /// Installs the callbacks above as the walk's (and the level-of-detail realise hook).
    static void installRenderCallbacks();
    /// Takes them out again, so that no walk calls into this library once the add-in stops.
    static void uninstallRenderCallbacks();
    /// Whether the walk's callbacks are ours.
    static bool renderCallbacksInstalled();
    /// The box of a subtree in the coordinates its parent places it in (the node's own relative
    /// transform applied), asking sources for boxes they have not given yet. Plain groups keep
    /// theirs until the graph changes.
    static Lumo::Objects::SBox3 subtreeBox(Lumo::Graphics::ARenderNode* node);

    /// The palette colour cycling draws from; an environment installs its own.
    using CyclingPalette = Brio::Color (*)(int index);
    static void cyclingPalette(CyclingPalette palette, int count);

protected:
    NodeData(Lumo::Scene::ENodeType type);
    void Attach(Lumo::Graphics::ARenderNode* node, bool extended);

private:
    INodeSource* m_source = nullptr;
    std::uint32_t m_segmentId = 0;
    Lumo::Objects::Threads::Mutex m_mutex;
    Lumo::Objects::SBox3 m_modelBox;
    std::atomic<bool> m_modelBoxKnown{false};
    std::uint64_t m_qualifier = 0;
    EDoubleSided m_doubleSided = eDoubleSidedOff;
    std::unique_ptr<Brio::Color> m_cyclingColor;
    Lumo::Graphics::AWorld* m_decorationWorld = nullptr; // one reference
    std::uint64_t m_savedSourceId = 0;
    std::wstring m_savedAssetName;
};

} // namespace Brio::Scene
