#pragma once
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Objects/ArrayList.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Nodes/ENodeType.h>

#include <string>

namespace Brio {
class ObjectPath;
}

namespace Brio::Scene {

/// Render nodes from a root to a leaf, each entry holding a reference on its node.
class NodePath {
public:
    NodePath() = default;
    NodePath(const NodePath&) = default;
    NodePath& operator=(const NodePath&) = default;

    /// One shared empty path.
    static const NodePath& emptyPath();

    void reserve(int n) { m_nodes.Reserve(n); }
    void clear() { m_nodes.Clear(); }
    bool empty() const { return m_nodes.IsEmpty(); }
    bool valid() const { return !empty(); }
    int size() const { return m_nodes.Count(); }

    Lumo::Graphics::ARenderNode* root() const { return empty() ? nullptr : m_nodes[0].get(); }
    Lumo::Graphics::ARenderNode* leaf() const { return empty() ? nullptr : m_nodes[size() - 1].get(); }
    /// Node i, null out of range.
    Lumo::Graphics::ARenderNode* operator[](int i) const { return i >= 0 && i < size() ? m_nodes[i].get() : nullptr; }
    /// The node of that kind nearest the root, or nearest the leaf.
    Lumo::Graphics::ARenderNode* first(Lumo::Scene::ENodeType type) const;
    Lumo::Graphics::ARenderNode* last(Lumo::Scene::ENodeType type) const;

    void push(Lumo::Graphics::ARenderNode* node);
    void push(const NodePath& other) { append(other); }
    void append(const NodePath& other);
    /// Removes the leaf and hands it back (alive while the caller holds the result).
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode> pop();
    void pop_root();

    bool operator==(const NodePath& other) const;
    bool operator!=(const NodePath& other) const { return !(*this == other); }
    /// Shorter paths first; equal sizes node by node by address.
    bool operator<(const NodePath& other) const;
    bool operator>(const NodePath& other) const { return other < *this; }

    /// Past the leading view nodes of each, the shorter length agrees.
    bool hasSameRootPath(const NodePath& other) const;
    /// From the first entry, the shorter length agrees.
    bool hasSameTailPath(const NodePath& other) const;
    NodePath commonRoot(const NodePath& other) const;
    /// Drops base's length from the root end when base is a root path of this one.
    bool makeRelativeTo(const NodePath& base);
    /// Drops everything up to and including the last place of node; clears when absent.
    bool makeRelativeTo(const Lumo::Graphics::ARenderNode* node);
    NodePath pathToLeaf() const;
    void removeViewNodes();
    /// The fixed text "TBD", which callers and dumps expect (not a rendering of the nodes).
    std::wstring toString() const { return L"TBD"; }

    /// The host objects of a scene path: each source's object, with the paths between sources
    /// filled in by the sources; the leaf node's client type and qualifier on the leaf.
    static Brio::ObjectPath scenePathToLogicalPath(const NodePath& path);
    /// The scene nodes of the host objects that are node sources (their scenes made when
    /// missing), then the last source's nodes down to the leaf's sub-object.
    static NodePath logicalPathToScenePath(const Brio::ObjectPath& path);
    /// Whether the object path survives a trip to the scene and back (allowing for a leaf
    /// sub-object the scene does not show).
    static bool hasEquivalentScenePath(const Brio::ObjectPath& path);

private:
    int ViewPrefix() const;
    Lumo::Objects::_ArrayList<Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode>, Lumo::Objects::NoLifetime> m_nodes;
};

} // namespace Brio::Scene
