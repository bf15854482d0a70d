#pragma once
#include <Lumo/Graphics/AWorld.h>

#include <vector>

namespace Lumo::Graphics {

class ARenderNode;

/// The four world kinds: one implementation, four names (a render list also holds roots).
class SingleNodeWorld : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    EWorldType WorldType() const override { return eSingleNodeWorld; }
};

/// As a group's world it holds nothing (the group keeps the children). Made on its own, as a
/// document's persistent world is, it holds its root nodes itself, in order, one reference each.
class ARenderList : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    ~ARenderList() override;
    EWorldType WorldType() const override { return eRenderListWorld; }

    /// Appends node; false for null or a node already a root.
    bool AddRoot(ARenderNode* node);
    /// False when node is not a root.
    bool RemoveRoot(ARenderNode* node);
    bool HasRoot(const ARenderNode* node) const;
    int RootCount() const { return static_cast<int>(m_roots.size()); }
    ARenderNode* Root(int index) const;

private:
    std::vector<ARenderNode*> m_roots; // one reference each
};

class BSPWorld : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    EWorldType WorldType() const override { return eBSPWorld; }
};

class LODConsolidatedWorld : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    EWorldType WorldType() const override { return eLODConsolidatedWorld; }
};

} // namespace Lumo::Graphics
