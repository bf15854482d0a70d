#pragma once
#include <Scene/Attributes/SliceCapAttribute.h>

#include <vector>

namespace Lumo::Scene {

/// Cuts the subgraph below with any number of clipping planes, without caps. Shares the
/// slice-cap kind, so it replaces a slice cap rather than adding to it.
class MultipleSliceNoCapAttribute : public SliceCapAttribute, public NetObjectCountImpl<MultipleSliceNoCapAttribute> {
    LUMO_SCENE_CLASS(MultipleSliceNoCapAttribute)
public:
    using PlaneList = std::vector<Lumo::Objects::vec4<float>>;

    /// The planes are copied.
    static MultipleSliceNoCapAttribute* Make(const PlaneList& planes, bool winTies = false, unsigned char priority = 0);
    /// Plane order does not matter; each plane must be matched by its own equal plane.
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const PlaneList& GetClippingPlanes() const { return m_planes; }

protected:
    MultipleSliceNoCapAttribute(const PlaneList& planes, bool winTies, unsigned char priority)
        : SliceCapAttribute(eMultipleSlice, false, nullptr, nullptr, winTies, priority), m_planes(planes) {}
    void SetClippingPlanes(const PlaneList& planes) { m_planes = planes; }

private:
    PlaneList m_planes;
};

} // namespace Lumo::Scene
