#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ArrayList.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SBox3.h>

#include <utility>
#include <vector>

namespace Lumo::Objects {
class ADevMatrix;
class UString;
} // namespace Lumo::Objects
namespace Lumo::Devices {
class RenderItem;
}

namespace Lumo::Graphics {

class ARenderNode;
class ClientTraversalState;
class WalkPool;

/// Render items produced by a walk, one reference each.
using RenderItemList = Lumo::Objects::_ArrayList<Lumo::Devices::RenderItem*, Lumo::Objects::RefCountedLifetime>;

/// What the walk knows at one node: the node, its world matrix and box, the level of detail,
/// the clients' own states by interned name, and where render items go.
class TraversalState {
public:
    TraversalState();
    ~TraversalState();
    TraversalState(const TraversalState&) = delete;
    TraversalState& operator=(const TraversalState&) = delete;

    ARenderNode* RenderNode() const { return m_node; }
    TraversalState* Parent() const { return m_parent; }

    /// The world matrix (null means identity); inherited from the parent, held by reference.
    Lumo::Objects::ADevMatrix* WorldMatrix() const { return m_world; }
    void WorldMatrix(Lumo::Objects::ADevMatrix* matrix);

    const Lumo::Objects::SBox3& CurrentBox() const { return m_box; }
    void CurrentBox(const Lumo::Objects::SBox3& box) { m_box = box; }
    double LODRadius() const { return m_lodRadius; }
    void LODRadius(double r) { m_lodRadius = r; }
    /// The geometry level of detail wanted here (0 coarsest to 15 finest).
    int GeomLOD() const { return m_geomLOD; }
    void GeomLOD(int level) { m_geomLOD = level; }
    int DepthPriority() const { return m_depthPriority; }
    void DepthPriority(int p) { m_depthPriority = p; }
    bool Pickable() const { return m_pickable; }
    void Pickable(bool on) { m_pickable = on; }
    /// Where the walk's items and matrices come from, inherited like the output (null: made new).
    WalkPool* Pool() const { return m_pool; }
    void Pool(WalkPool* pool) { m_pool = pool; }

    /// Adds a render item to the walk's output.
    void AddItem(Lumo::Devices::RenderItem* item);
    RenderItemList* RenderItems() const { return m_items; }
    /// Draws the given cached items (placed by this state's world matrix) in place of the
    /// items the current node has added so far.
    void
    DrawInput(const Lumo::Objects::_ArrayList<Lumo::Objects::ARefCounted*, Lumo::Objects::RefCountedLifetime>& items);
    void RenderItems(RenderItemList* items) { m_items = items; }

    /// The items the current node has added (they sit at the end of the walk's list).
    int NodeItemCount() const { return m_items ? m_items->Count() - m_nodeItemStart : 0; }
    Lumo::Devices::RenderItem* NodeItem(int index) const { return m_items->At(m_nodeItemStart + index); }
    /// Takes the node's items out of the walk's list (they are not drawn with the others).
    void DropNodeItems();

    /// Makes this state a standalone copy of other: the same node, matrix, box, levels and
    /// client states (copied), with its own list holding other's node items. Reuses this
    /// state's objects, so a pooled copy costs no allocation once warm.
    void CopyFrom(const TraversalState& other);
    /// Leaves nothing held: matrix, client states and copied items are released.
    void Release();

    /// The client's state under name, or null.
    ClientTraversalState* ClientState(Lumo::Objects::UString* name) const;
    /// Hangs a client state under name (replacing one there); held by reference.
    void ClientState(Lumo::Objects::UString* name, ClientTraversalState* state);
    int ClientStateCount() const { return m_activeClients; }
    /// The name under which a pick hangs its selection state on the walk.
    static Lumo::Objects::UString* SelectionStateName();
    /// True in a walk made for picking rather than drawing.
    bool IsSelectionPass() const { return ClientState(SelectionStateName()) != nullptr; }

    /// Starts this state as the child of parent at node: inherits matrix, level, flags and
    /// output, and makes each client state a copy of the parent's (reusing its objects).
    void BeginChild(TraversalState& parent, ARenderNode* node);
    /// Starts a root state at node with no parent.
    void BeginRoot(ARenderNode* node);

private:
    /// Makes this state's client states those of from: reset as a child's, or copied.
    void TakeClients(const TraversalState& from, bool asChild);

    ARenderNode* m_node = nullptr;
    TraversalState* m_parent = nullptr;
    Lumo::Objects::ADevMatrix* m_world = nullptr;
    Lumo::Objects::SBox3 m_box;
    double m_lodRadius = 0.0;
    int m_geomLOD = 15;
    int m_depthPriority = 0;
    bool m_pickable = true;
    RenderItemList* m_items = nullptr;
    WalkPool* m_pool = nullptr;
    int m_nodeItemStart = 0; // items before this index came from other nodes
    std::vector<std::pair<Lumo::Objects::UString*, Lumo::Objects::AutoPtr<ClientTraversalState>>> m_clients;
    int m_activeClients = 0;
    RenderItemList m_ownItems;                      // a copy's items
    Lumo::Objects::AutoPtr<ARenderNode> m_heldNode; // a copy outlives its walk: it holds its node
};

} // namespace Lumo::Graphics
