#include <Host/Model/Component.h>
#include <Host/Model/Instance.h>

#include <Lumo/Graphics/ARenderNode.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Change/NodeChange.h>

namespace Host {

using Lumo::Objects::AutoPtr;

Instance::Instance(Component& parent, Component& target, std::string name, const mat4d& transform)
    : m_parent(&parent), m_target(&target), m_name(std::move(name)), m_transform(transform) {}

void Instance::transform(const mat4d& m) {
    m_transform = m;
    post(false);
}

void Instance::colour(const std::optional<Rgba>& c) {
    m_colour = c;
    post(false);
}

void Instance::visible(bool on) {
    if (on == m_visible)
        return;
    m_visible = on;
    post(false);
}

void Instance::post(bool removed) const {
    Lumo::Graphics::ARenderNode* parentNode = m_parent->sceneNode();
    Lumo::Graphics::ARenderNode* targetNode = m_target->sceneNode();
    if (!parentNode || !targetNode)
        return; // the scene is made from the model when it is first asked for
    Brio::Scene::NodeChange change(parentNode, false);
    change.pushReferenceNode(targetNode);
    change.pushRefInstance(m_name);
    if (removed)
        change.markRemoved();
    else
        write(change);
}

void Instance::write(Brio::Scene::NodeChange& change) const {
    change.setAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(m_transform.Cast<float>(), false)).get());
    // Priority 1: a placement's colour beats the materials of the bodies below it.
    if (m_colour)
        change.setAttribute(AutoPtr<Lumo::Scene::Attribute>(
                                Lumo::Scene::ColorEffectAttribute::Make(
                                    Lumo::Objects::vec4<float>(m_colour->r, m_colour->g, m_colour->b, 1.f), false, 1))
                                .get());
    else
        change.removeAttribute(Lumo::Scene::eEffect);
    // Visible is what a placement is without an attribute: only hiding costs one.
    if (m_visible)
        change.removeAttribute(Lumo::Scene::eVisibility);
    else
        change.visibility(false);
}

} // namespace Host
