#include <Scene/Attributes/TransformAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(TransformAttribute, Attribute)

TransformAttribute* TransformAttribute::Make(const Lumo::Objects::mat4<float>& matrix, bool absolute, bool winTies,
                                             unsigned char priority) {
    return new TransformAttribute(matrix, absolute, winTies, priority);
}

Attribute* TransformAttribute::Merge(Attribute* incoming) {
    if (!incoming)
        return this;
    if (incoming->Type() != eTransform)
        return Attribute::Merge(incoming);
    auto* in = static_cast<TransformAttribute*>(incoming);
    if (in->m_absolute)
        return Attribute::Merge(incoming);
    return new TransformAttribute(in->m_matrix * m_matrix, m_absolute, WinTies(),
                                  static_cast<unsigned char>(Priority()));
}

bool TransformAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!Attribute::Equals(other))
        return false;
    auto* o = static_cast<const TransformAttribute*>(other);
    if (o->m_absolute != m_absolute)
        return false;
    for (int r = 0; r < 4; ++r)
        if (!_Equalf4(o->m_matrix.Row(r), m_matrix.Row(r)))
            return false;
    return true;
}

Lumo::Objects::KString TransformAttribute::ToString() const {
    Lumo::Objects::KString s;
    for (int r = 0; r < 4; ++r) {
        if (r)
            s += L"\n";
        for (int c = 0; c < 4; ++c) {
            if (c)
                s += L" ";
            s.Append(m_matrix[r][c]);
        }
    }
    if (m_absolute)
        s += L"\nabsolute";
    return s;
}

} // namespace Lumo::Scene
