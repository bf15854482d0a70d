#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Model.h>

#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/SBox3.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/NodeChange.h>

#include <algorithm>

namespace Host {

using Brio::Scene::NodeChange;

Component::Component(Model& model, std::uint64_t id, std::string name)
    : m_model(&model), m_id(id), m_name(std::move(name)) {}

Component::~Component() {
    // Instances and bodies first: they post against this node.
    m_instances.clear();
    m_bodies.clear();
    if (m_node)
        releaseScene();
}

Lumo::Graphics::GroupNode* Component::groupNode() const {
    return static_cast<Lumo::Graphics::GroupNode*>(m_node.get());
}

void Component::sceneNode(Lumo::Graphics::ARenderNode* node) {
    m_node = node;
}

Body* Component::addBody(const std::string& name, MeshPtr mesh, const Material& material) {
    if (!mesh || !mesh->valid())
        return nullptr;
    m_bodies.push_back(std::make_unique<Body>(*this, m_model->nextId(), name, std::move(mesh), material));
    Body* body = m_bodies.back().get();
    if (m_node) {
        Lumo::Graphics::ARenderNode* node = body->createScene();
        NodeChange change(m_node, false);
        change.addChild(node);
    }
    return body;
}

bool Component::contains(const Component& other) const {
    if (&other == this)
        return true;
    return std::any_of(m_instances.begin(), m_instances.end(),
                       [&](const std::unique_ptr<Instance>& i) { return i->target().contains(other); });
}

Instance* Component::addInstance(Component& target, const mat4d& transform) {
    if (target.contains(*this) || &target.model() != m_model)
        return nullptr;
    m_instances.push_back(std::make_unique<Instance>(*this, target, m_model->nextInstanceName(), transform));
    Instance* instance = m_instances.back().get();
    if (m_node) {
        target.createScene();
        instance->post(false);
    }
    return instance;
}

bool Component::removeInstance(Instance* instance) {
    auto it = std::find_if(m_instances.begin(), m_instances.end(),
                           [&](const std::unique_ptr<Instance>& i) { return i.get() == instance; });
    if (it == m_instances.end())
        return false;
    instance->post(true);
    m_instances.erase(it);
    return true;
}

void Component::onCreateScene(NodeChange& change) {
    sceneNode(change.createComponentNode(this, Lumo::Graphics::eSingleNodeWorld));
    change.clientType(Brio::Scene::eClientComponent);
    INodeSource::onCreateScene(change);
}

Lumo::Objects::SBox3 Component::realizeModelBox(NodeChange&) {
    return {}; // a group boxes itself from its children
}

void Component::realizeChildNodes(NodeChange& change) {
    for (const std::unique_ptr<Body>& body : m_bodies)
        change.addChild(body->createScene());
    for (const std::unique_ptr<Instance>& instance : m_instances) {
        change.pushReferenceNode(instance->target().createScene());
        change.pushRefInstance(instance->name());
        instance->write(change);
        change.popRefInstance();
        change.popReferenceNode();
    }
}

void Component::releaseScene() {
    INodeSource::releaseScene();
}

} // namespace Host
