#pragma once
#include <Lumo/Objects/AutoPtr.h>

#include <cstdint>
#include <map>

namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
} // namespace Lumo::Graphics

namespace Brio::Scene {

/// The client end of the mirrored scene channel: client render nodes by node id, and the
/// client's scene roots.
class ClientNodeManager {
public:
    static ClientNodeManager* get();

    /// The client node of the id; null when unknown (asking records an empty entry).
    Lumo::Graphics::ARenderNode* getClientNode(std::uint64_t id);
    /// Sets or replaces the entry (the manager holds a reference).
    void addClientNode(std::uint64_t id, Lumo::Graphics::ARenderNode* node);
    int clientNodeCount() const { return int(m_nodes.size()); }

    Lumo::Graphics::GroupNode* scene() const { return m_scene; }
    void scene(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* unnamedScene() const { return m_unnamed; }
    void unnamedScene(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* manipulatorScene() const { return m_manipulator; }
    void manipulatorScene(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* sketchSelectionScene() const { return m_sketchSelection; }
    void sketchSelectionScene(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* selectionScene() const { return m_selection; }
    void selectionScene(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* prehighlightScene() const { return m_prehighlight; }
    void prehighlightScene(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* selectionEffectScene() const { return m_selectionEffect; }
    void selectionEffectScene(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* prehighlightEffectScene() const { return m_prehighlightEffect; }
    void prehighlightEffectScene(Lumo::Graphics::GroupNode* node);

    /// Empties the map and releases every scene root.
    void reset();
    ~ClientNodeManager();

private:
    ClientNodeManager() = default;
    std::map<std::uint64_t, Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode>> m_nodes;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_scene, m_unnamed, m_manipulator, m_sketchSelection, m_selection,
        m_prehighlight, m_selectionEffect, m_prehighlightEffect;
};

} // namespace Brio::Scene
