#include <Scene/Attributes/MultipleSliceNoCapAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(MultipleSliceNoCapAttribute, SliceCapAttribute)

MultipleSliceNoCapAttribute* MultipleSliceNoCapAttribute::Make(const PlaneList& planes, bool winTies,
                                                               unsigned char priority) {
    return new MultipleSliceNoCapAttribute(planes, winTies, priority);
}

bool MultipleSliceNoCapAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SliceCapAttribute::Equals(other))
        return false;
    const PlaneList& theirs = static_cast<const MultipleSliceNoCapAttribute*>(other)->m_planes;
    if (theirs.size() != m_planes.size())
        return false;
    // Match as multisets, so {a, a, b} is not taken for {a, b, b}.
    std::vector<bool> used(m_planes.size(), false);
    for (const auto& plane : theirs) {
        bool found = false;
        for (std::size_t i = 0; i < m_planes.size() && !found; ++i)
            if (!used[i] && m_planes[i] == plane)
                used[i] = found = true;
        if (!found)
            return false;
    }
    return true;
}

Lumo::Objects::KString MultipleSliceNoCapAttribute::ToString() const {
    Lumo::Objects::KString s = SliceCapAttribute::ToString();
    s += L"\nPlanes: ";
    for (const auto& plane : m_planes)
        for (int i = 0; i < 4; ++i) {
            if (i)
                s += L" ";
            s.Append(plane[i]);
        }
    return s;
}

} // namespace Lumo::Scene
