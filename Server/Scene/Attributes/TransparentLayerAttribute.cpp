#include <Scene/Attributes/TransparentLayerAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(TransparentLayerAttribute, Attribute)

TransparentLayerAttribute* TransparentLayerAttribute::Make(TransparentLayerType layer, bool winTies,
                                                           unsigned char priority) {
    return new TransparentLayerAttribute(layer, winTies, priority);
}

bool TransparentLayerAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const TransparentLayerAttribute*>(other)->m_layer == m_layer;
}

Lumo::Objects::KString TransparentLayerAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(static_cast<int>(m_layer));
    return s;
}

} // namespace Lumo::Scene
