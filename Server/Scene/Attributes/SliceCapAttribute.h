#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// How a section view cuts the model.
enum ESectionType : int {
    eNoSection = 0,
    eHalfSection = 1,         ///< one plane
    eQuarterSection = 2,      ///< two planes, keeping their intersection
    eThreeQuarterSection = 3, ///< two planes, keeping their union
    eMultipleSlice = 4,       ///< any number of planes, no caps
};

/// Cuts the subgraph below with one or two clipping planes, optionally capping the cut.
class SliceCapAttribute : public Attribute, public NetObjectCountImpl<SliceCapAttribute> {
    LUMO_SCENE_CLASS(SliceCapAttribute)
public:
    /// The planes are copied; a null plane is all zeros.
    static SliceCapAttribute* Make(ESectionType sectionType, bool doCap, const Lumo::Objects::vec4<float>* plane1,
                                   const Lumo::Objects::vec4<float>* plane2, bool winTies = false,
                                   unsigned char priority = 0);
    EAttributeType Type() const override { return eSliceCap; }
    /// Also false between a slice cap and a multiple slice, which share the kind.
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    ESectionType GetSectionType() const { return m_sectionType; }
    bool GetDoCap() const { return m_doCap; }
    const Lumo::Objects::vec4<float>& GetClippingPlane1() const { return m_plane1; }
    const Lumo::Objects::vec4<float>& GetClippingPlane2() const { return m_plane2; }

protected:
    SliceCapAttribute(ESectionType sectionType, bool doCap, const Lumo::Objects::vec4<float>* plane1,
                      const Lumo::Objects::vec4<float>* plane2, bool winTies, unsigned char priority);
    void SectionType(ESectionType sectionType) { m_sectionType = sectionType; }
    void DoCap(bool doCap) { m_doCap = doCap; }
    void ClippingPlane1(const Lumo::Objects::vec4<float>& plane) { m_plane1 = plane; }
    void ClippingPlane2(const Lumo::Objects::vec4<float>& plane) { m_plane2 = plane; }

private:
    ESectionType m_sectionType;
    bool m_doCap;
    Lumo::Objects::vec4<float> m_plane1;
    Lumo::Objects::vec4<float> m_plane2;
};

} // namespace Lumo::Scene
