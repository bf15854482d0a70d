#pragma once
#include <Host/Model/Instance.h>
#include <Host/Model/Mesh.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Model/INodeSource.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
} // namespace Lumo::Graphics

namespace Host {

class Body;
class Model;

/// A part or sub-assembly: bodies of its own and instances of other components. In the scene
/// it is a component node holding its bodies' nodes and, per target component, a reference
/// node whose named instances show that target's one shared node.
class Component : public Brio::Scene::INodeSource {
public:
    Component(Model& model, std::uint64_t id, std::string name);
    ~Component() override;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Model& model() const { return *m_model; }
    std::uint64_t id() const { return m_id; }
    const std::string& name() const { return m_name; }
    void name(const std::string& n) { m_name = n; }

    const std::vector<std::unique_ptr<Body>>& bodies() const { return m_bodies; }
    const std::vector<std::unique_ptr<Instance>>& instances() const { return m_instances; }

    /// A new body; null for an invalid mesh.
    Body* addBody(const std::string& name, MeshPtr mesh, const Material& material);
    /// Places target in this component; null when that would make a cycle.
    Instance* addInstance(Component& target, const mat4d& transform);
    /// Removes and destroys the instance; false when it is not one of this component's.
    bool removeInstance(Instance* instance);
    /// True when this component is other or holds it at any depth.
    bool contains(const Component& other) const;

    // Node source.
    Lumo::Graphics::ARenderNode* sceneNode() const override { return m_node.get(); }
    Lumo::Graphics::GroupNode* groupNode() const override;
    Lumo::Objects::SBox3 realizeModelBox(Brio::Scene::NodeChange& change) override;
    void releaseScene() override;
    std::uint64_t sourceId() const override { return m_id; }

protected:
    void sceneNode(Lumo::Graphics::ARenderNode* node) override;
    void onCreateScene(Brio::Scene::NodeChange& change) override;
    void realizeChildNodes(Brio::Scene::NodeChange& change) override;

private:
    friend class Instance;
    Model* m_model;
    std::uint64_t m_id;
    std::string m_name;
    std::vector<std::unique_ptr<Body>> m_bodies;
    std::vector<std::unique_ptr<Instance>> m_instances;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode> m_node;
};

} // namespace Host
