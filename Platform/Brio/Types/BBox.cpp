#include <Brio/Types/BBox.h>

#include <algorithm>
#include <limits>

namespace Brio {

BBox::BBox() {
    setEmpty();
}

BBox::BBox(const Point3f& a, const Point3f& b)
    : m_min(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)),
      m_max(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)) {}

bool BBox::isEmpty() const {
    return m_min.x > m_max.x || m_min.y > m_max.y || m_min.z > m_max.z;
}

void BBox::setEmpty() {
    constexpr float big = std::numeric_limits<float>::max();
    m_min = Point3f(big, big, big);
    m_max = Point3f(-big, -big, -big);
}

void BBox::extend(const Point3f& p) {
    if (isEmpty()) {
        m_min = m_max = p;
        return;
    }
    m_min = Point3f(std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z));
    m_max = Point3f(std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z));
}

void BBox::extend(const BBox& other) {
    if (other.isEmpty())
        return;
    extend(other.m_min);
    extend(other.m_max);
}

Point3f BBox::center() const {
    if (isEmpty())
        return Point3f();
    return Point3f((m_min.x + m_max.x) * 0.5f, (m_min.y + m_max.y) * 0.5f, (m_min.z + m_max.z) * 0.5f);
}

Vector3f BBox::size() const {
    return isEmpty() ? Vector3f() : m_max - m_min;
}

bool BBox::contains(const Point3f& p) const {
    return p.x >= m_min.x && p.x <= m_max.x && p.y >= m_min.y && p.y <= m_max.y && p.z >= m_min.z && p.z <= m_max.z;
}

bool BBox::intersects(const BBox& o) const {
    if (isEmpty() || o.isEmpty())
        return false;
    return m_min.x <= o.m_max.x && o.m_min.x <= m_max.x && m_min.y <= o.m_max.y && o.m_min.y <= m_max.y &&
           m_min.z <= o.m_max.z && o.m_min.z <= m_max.z;
}

bool BBox::operator==(const BBox& other) const {
    if (isEmpty() || other.isEmpty())
        return isEmpty() && other.isEmpty();
    return m_min == other.m_min && m_max == other.m_max;
}

} // namespace Brio
