#pragma once
#include <Host/Model/Material.h>
#include <Lumo/Objects/Mat4.h>

#include <cstdint>
#include <optional>
#include <string>

namespace Brio::Scene {
class NodeChange;
}

namespace Host {

class Component;

using mat4d = Lumo::Objects::mat4<double>;

/// One placement of a component inside another: a transform (row vectors, as the scene's
/// matrices are), and an optional colour that overrides the bodies' materials in this
/// placement only. In the scene it is a named instance of the parent component's reference
/// node for the target, so the target's nodes are shared by every placement.
class Instance {
public:
    Instance(Component& parent, Component& target, std::string name, const mat4d& transform);

    Component& parent() const { return *m_parent; }
    Component& target() const { return *m_target; }
    /// Unique in the model; names the instance group in the scene.
    const std::string& name() const { return m_name; }

    const mat4d& transform() const { return m_transform; }
    void transform(const mat4d& m);
    const std::optional<Rgba>& colour() const { return m_colour; }
    /// A colour for every body of this placement; nullopt gives the materials back.
    void colour(const std::optional<Rgba>& c);
    bool visible() const { return m_visible; }
    void visible(bool on);

private:
    friend class Component;
    /// Posts this instance's whole state (or its removal) on the parent's scene node.
    void post(bool removed) const;
    /// Writes the instance's attributes into the change's active (instance) set.
    void write(Brio::Scene::NodeChange& change) const;

    Component* m_parent;
    Component* m_target;
    std::string m_name;
    mat4d m_transform;
    std::optional<Rgba> m_colour;
    bool m_visible = true;
};

} // namespace Host
