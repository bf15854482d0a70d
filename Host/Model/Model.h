#pragma once
#include <Host/Model/Instance.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Lumo::Graphics {
class GroupNode;
}

namespace Host {

class Component;

/// What a model holds, counted as a user sees it.
struct ModelCounts {
    std::size_t components = 0;  ///< including the root
    std::size_t instances = 0;   ///< instance objects
    std::size_t occurrences = 0; ///< placements of bodies in the assembly, after instancing
    std::size_t bodies = 0;      ///< body objects
    std::size_t uniqueTriangles = 0;
    std::size_t triangles = 0; ///< drawn at full detail, every occurrence counted
    std::size_t meshBytes = 0; ///< heap held by the unique meshes
};

/// The host's model: components (the first is the root, the assembly itself) with bodies and
/// instances. Its scene is the root component's node; edits made after it exists are posted
/// as changes and seen at the next sync.
class Model {
public:
    explicit Model(std::string name = "Model");
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    const std::string& name() const { return m_name; }
    void name(const std::string& n) { m_name = n; }

    Component& root() const { return *m_components.front(); }
    Component* addComponent(const std::string& name);
    const std::vector<std::unique_ptr<Component>>& components() const { return m_components; }
    /// The first component of that name, or null.
    Component* component(const std::string& name) const;
    /// Every instance, in component order.
    std::vector<Instance*> instances() const;

    ModelCounts counts() const;
    /// Model bounds of the whole assembly at full detail (every occurrence placed); false when
    /// empty.
    bool bounds(double lo[3], double hi[3]) const;

    /// The scene root (the root component's node), made on first call.
    Lumo::Graphics::GroupNode* scene();

    /// A fresh id for bodies and components; unique within the model.
    std::uint64_t nextId() { return ++m_lastId; }
    /// A fresh instance name.
    std::string nextInstanceName() { return "i" + std::to_string(++m_lastInstance); }

private:
    std::string m_name;
    std::vector<std::unique_ptr<Component>> m_components;
    std::uint64_t m_lastId = 0, m_lastInstance = 0;
};

} // namespace Host
