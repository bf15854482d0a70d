#include <Lumo/Objects/SBox3.h>

#include <algorithm>
#include <limits>

namespace Lumo::Objects {

namespace {
constexpr double kHuge = std::numeric_limits<double>::max();

template <class T> SBox3 Rebox(const SBox3& box, const mat4<T>& m) {
    SBox3 out;
    if (box.IsEmpty())
        return out;
    for (int i = 0; i < 8; ++i) {
        vec3<double> c((i & 1) ? box.Max().x : box.Min().x, (i & 2) ? box.Max().y : box.Min().y,
                       (i & 4) ? box.Max().z : box.Min().z);
        double p[3];
        double w = c.x * m[0][3] + c.y * m[1][3] + c.z * m[2][3] + m[3][3];
        for (int j = 0; j < 3; ++j)
            p[j] = c.x * m[0][j] + c.y * m[1][j] + c.z * m[2][j] + m[3][j];
        if (w != 0.0 && w != 1.0)
            for (double& v : p)
                v /= w;
        out.Extend(vec3<double>(p[0], p[1], p[2]));
    }
    return out;
}
} // namespace

SBox3::SBox3() : m_min(kHuge, kHuge, kHuge), m_max(-kHuge, -kHuge, -kHuge) {}

vec3<double> SBox3::Center() const {
    if (IsEmpty())
        return {};
    return (m_min + m_max) * 0.5;
}

vec3<double> SBox3::Size() const {
    if (IsEmpty())
        return {};
    return m_max - m_min;
}

bool SBox3::IsEmpty() const {
    return m_min.x > m_max.x || m_min.y > m_max.y || m_min.z > m_max.z;
}

void SBox3::SetEmpty() {
    *this = SBox3();
}

void SBox3::Extend(const vec3<double>& p) {
    m_min = {std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z)};
    m_max = {std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z)};
}

void SBox3::Extend(const SBox3& b) {
    if (b.IsEmpty())
        return;
    Extend(b.m_min);
    Extend(b.m_max);
}

bool SBox3::Contains(const vec3<double>& p) const {
    return p.x >= m_min.x && p.x <= m_max.x && p.y >= m_min.y && p.y <= m_max.y && p.z >= m_min.z && p.z <= m_max.z;
}

bool SBox3::Intersects(const SBox3& b) const {
    if (IsEmpty() || b.IsEmpty())
        return false;
    return m_min.x <= b.m_max.x && b.m_min.x <= m_max.x && m_min.y <= b.m_max.y && b.m_min.y <= m_max.y &&
           m_min.z <= b.m_max.z && b.m_min.z <= m_max.z;
}

SBox3 SBox3::TransformAndRebox(const mat4<double>& m) const {
    return Rebox(*this, m);
}
SBox3 SBox3::TransformAndRebox(const mat4<float>& m) const {
    return Rebox(*this, m);
}

} // namespace Lumo::Objects
