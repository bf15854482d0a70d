#include <Scene/Attributes/SliceCapAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(SliceCapAttribute, Attribute)

namespace {
void AppendPlane(Lumo::Objects::KString& s, const Lumo::Objects::vec4<float>& p) {
    for (int i = 0; i < 4; ++i) {
        if (i)
            s += L" ";
        s.Append(p[i]);
    }
}
} // namespace

SliceCapAttribute::SliceCapAttribute(ESectionType sectionType, bool doCap, const Lumo::Objects::vec4<float>* plane1,
                                     const Lumo::Objects::vec4<float>* plane2, bool winTies, unsigned char priority)
    : Attribute(winTies, priority), m_sectionType(sectionType), m_doCap(doCap),
      m_plane1(plane1 ? *plane1 : Lumo::Objects::vec4<float>()),
      m_plane2(plane2 ? *plane2 : Lumo::Objects::vec4<float>()) {}

SliceCapAttribute* SliceCapAttribute::Make(ESectionType sectionType, bool doCap,
                                           const Lumo::Objects::vec4<float>* plane1,
                                           const Lumo::Objects::vec4<float>* plane2, bool winTies,
                                           unsigned char priority) {
    return new SliceCapAttribute(sectionType, doCap, plane1, plane2, winTies, priority);
}

bool SliceCapAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    // Both classes report eSliceCap, so the base check alone cannot tell them apart.
    if (!Attribute::Equals(other) || other->ClassName() != ClassName())
        return false;
    auto* o = static_cast<const SliceCapAttribute*>(other);
    return o->m_sectionType == m_sectionType && o->m_doCap == m_doCap && o->m_plane1 == m_plane1 &&
           o->m_plane2 == m_plane2;
}

Lumo::Objects::KString SliceCapAttribute::ToString() const {
    Lumo::Objects::KString s;
    s += L"\nSectionType: ";
    switch (m_sectionType) {
    case eHalfSection:
        s += L"eHalfSection";
        break;
    case eQuarterSection:
        s += L"eQuarterSection";
        break;
    case eThreeQuarterSection:
        s += L"eThreeQuarterSection";
        break;
    default:
        s += L"eNoSection";
        break;
    }
    s += L"\nDoCap: ";
    s += m_doCap ? L"TRUE" : L"FALSE";
    s += L"\nPlane1: ";
    AppendPlane(s, m_plane1);
    s += L"\nPlane2: ";
    AppendPlane(s, m_plane2);
    return s;
}

} // namespace Lumo::Scene
