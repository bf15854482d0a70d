#include <Scene/Change/ClientNodeManager.h>

#include <Lumo/Graphics/GroupNode.h>

namespace Brio::Scene {

ClientNodeManager* ClientNodeManager::get() {
    static ClientNodeManager manager;
    return &manager;
}

ClientNodeManager::~ClientNodeManager() = default;

Lumo::Graphics::ARenderNode* ClientNodeManager::getClientNode(std::uint64_t id) {
    return m_nodes[id].get();
}

void ClientNodeManager::addClientNode(std::uint64_t id, Lumo::Graphics::ARenderNode* node) {
    m_nodes[id] = node;
}

void ClientNodeManager::scene(Lumo::Graphics::GroupNode* node) {
    m_scene = node;
}
void ClientNodeManager::unnamedScene(Lumo::Graphics::GroupNode* node) {
    m_unnamed = node;
}
void ClientNodeManager::manipulatorScene(Lumo::Graphics::GroupNode* node) {
    m_manipulator = node;
}
void ClientNodeManager::sketchSelectionScene(Lumo::Graphics::GroupNode* node) {
    m_sketchSelection = node;
}
void ClientNodeManager::selectionScene(Lumo::Graphics::GroupNode* node) {
    m_selection = node;
}
void ClientNodeManager::prehighlightScene(Lumo::Graphics::GroupNode* node) {
    m_prehighlight = node;
}
void ClientNodeManager::selectionEffectScene(Lumo::Graphics::GroupNode* node) {
    m_selectionEffect = node;
}
void ClientNodeManager::prehighlightEffectScene(Lumo::Graphics::GroupNode* node) {
    m_prehighlightEffect = node;
}

void ClientNodeManager::reset() {
    m_nodes.clear();
    m_scene = m_unnamed = m_manipulator = m_sketchSelection = nullptr;
    m_selection = m_prehighlight = m_selectionEffect = m_prehighlightEffect = nullptr;
}

} // namespace Brio::Scene
