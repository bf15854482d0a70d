#pragma once
#include <Lumo/Graphics/ARenderNode.h>

namespace Lumo::Devices {
class IRenderGeom;
class EffectInstance;
} // namespace Lumo::Devices

namespace Lumo::Graphics {

/// A leaf that draws one geometry, optionally with an effect instance of its own. Data derived
/// from the geometry for drawing is cached in the node's attribute cache.
class GeometryNode : public ARenderNode {
    LUMO_DECLARE_CLASS()
public:
    static constexpr int kGeometryLevel = 15;

    static GeometryNode* Make();
    ~GeometryNode() override;

    Lumo::Devices::IRenderGeom* RenderGeometry() const { return m_geometry; }
    /// Replaces the geometry (null clears it) and drops what was derived from the old one.
    void RenderGeometry(Lumo::Devices::IRenderGeom* geometry);
    Lumo::Devices::EffectInstance* EffectInst() const { return m_effect; }
    void EffectInst(Lumo::Devices::EffectInstance* effect);

    Lumo::Objects::SBox3 WorldBox() override;

protected:
    GeometryNode();

private:
    Lumo::Devices::IRenderGeom* m_geometry = nullptr;  // one reference
    Lumo::Devices::EffectInstance* m_effect = nullptr; // one reference
};

} // namespace Lumo::Graphics
