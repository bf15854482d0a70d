#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// The layer in which transparent geometry is sorted and drawn; layers are drawn in
/// increasing order, so a front layer shows over the default one.
enum TransparentLayerType : int {
    eTransparentLayerDefault = 0,
    eTransparentLayerBack = 1,
    eTransparentLayerFront = 2,
};

/// Puts the transparent geometry of the subgraph below into a layer.
class TransparentLayerAttribute : public Attribute, public NetObjectCountImpl<TransparentLayerAttribute> {
    LUMO_SCENE_CLASS(TransparentLayerAttribute)
public:
    static TransparentLayerAttribute* Make(TransparentLayerType layer, bool winTies = false,
                                           unsigned char priority = 0);
    EAttributeType Type() const override { return eTransparentLayer; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    TransparentLayerType TransparentLayer() const { return m_layer; }

protected:
    TransparentLayerAttribute(TransparentLayerType layer, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_layer(layer) {}
    void TransparentLayer(TransparentLayerType layer) { m_layer = layer; }

private:
    TransparentLayerType m_layer;
};

} // namespace Lumo::Scene
