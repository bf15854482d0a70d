#pragma once
#include <Brio/DataModel/DataChange.h>
#include <Brio/DataModel/ObjectPath.h>
#include <Lumo/Objects/SBox3.h>
#include <Scene/Change/DecorationNodeData.h>
#include <Scene/Change/NodePath.h>

#include <cstdint>

namespace Lumo::Graphics {
class AWorld;
class GroupNode;
} // namespace Lumo::Graphics
namespace Lumo::Scene {
class LODGeometryNode;
}
namespace Brio {
class UniqueString;
}

namespace Brio::Scene {

class NodeChange;

/// A model object with a place in the scene. It builds its render node through a node change
/// when asked, rebuilds parts of it when asked to revalidate, answers its model box, and
/// translates between its render nodes and the host's object paths. The render node points
/// back here through its node data, so the graph can ask for missing geometry and boxes.
class INodeSource {
public:
    /// The group node this source's node hangs under; null by default.
    virtual Lumo::Graphics::GroupNode* parentGroupNode() const { return nullptr; }
    /// The source's own node when it is a group; null for a leaf with geometry.
    virtual Lumo::Graphics::GroupNode* groupNode() const { return nullptr; }

protected:
    virtual ~INodeSource() = default;
    /// Stores the scene node.
    virtual void sceneNode(Lumo::Graphics::ARenderNode* node) = 0;

public:
    virtual Lumo::Graphics::ARenderNode* sceneNode() const = 0;
    /// The scene node; without one, onCreateScene(change) and the change's target.
    virtual Lumo::Graphics::ARenderNode* createScene(NodeChange& change);
    /// The scene node; without one, built through a change of its own (applied at once).
    virtual Lumo::Graphics::ARenderNode* createScene();
    /// Unlinks the node's data from this source and forgets the node.
    virtual void releaseScene();

protected:
    /// Asks for a revalidation of the given host changes that affect the scene.
    virtual void onPostChangeScene(DataChange::EChangeType changeTypes) const;

public:
    /// Rebuilds what the change types name: geometry, appearance, children, the rest.
    virtual void revalidate(NodeChange& change, DataChange::EChangeType changeTypes);

protected:
    /// Appearance and children always; geometry for a leaf (a source without a group node).
    virtual DataChange::EChangeType getChangeTypesThatAffectScene();

public:
    virtual Lumo::Objects::SBox3 realizeModelBox(NodeChange& change);

protected:
    /// The whole geometry; by default only the box.
    virtual void realizeGeometry(NodeChange& change);

public:
    /// The geometry of one level of detail.
    virtual void realizeGeometry(NodeChange& change, int lod);
    virtual void realizeGeometries(int lod);
    /// A stable id of the source; all bits set when it has none.
    virtual std::uint64_t sourceId() const { return ~std::uint64_t(0); }
    virtual Lumo::Graphics::AWorld* getDecorationWorld(DecorationWorldType type) const;
    virtual Lumo::Scene::LODGeometryNode* entityNode(std::uint64_t id) const;

protected:
    /// Builds the node: transform, geometry, appearance, children, then the extras with every
    /// change type. Overrides call it (or do the same steps their own way).
    virtual void onCreateScene(NodeChange& change) = 0;
    /// The three realise steps, called in this order on creation.
    virtual void realizeTransform(NodeChange& change);
    virtual void realizeAppearance(NodeChange& change);
    virtual void realizeChildNodes(NodeChange& change);
    /// What the steps above do not cover; changeTypes holds what is left to do.
    virtual void realizeExtra(NodeChange& change, DataChange::EChangeType& changeTypes);

public:
    /// The object path from this source down to a descendant source; empty by default.
    virtual Brio::ObjectPath pathTo(INodeSource* descendant);
    /// The nodes below the scene node that stand for a sub-object (face, edge...).
    virtual NodePath leafNodePath(std::uint64_t qualifier, std::uint32_t clientType);
    virtual const Brio::UniqueString* getInterfaceId() const { return interfaceId(); }
    /// This source for its own interface id, null otherwise.
    virtual void* queryInterface(const Brio::UniqueString* id) const;

    /// Adds the scene node (made when missing) to the parent group node.
    void connectScene();
    /// Removes the scene node from the parent group node, then releases it.
    void disconnectScene();
    /// "Brio::Scene::INodeSource".
    static const Brio::UniqueString* interfaceId();
};

} // namespace Brio::Scene
