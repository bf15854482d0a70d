#include <Brio/Types/BRect.h>

#include <algorithm>

namespace Brio {

BRect::BRect(int left, int top, int right, int bottom) : m_left(left), m_top(top), m_right(right), m_bottom(bottom) {}

int BRect::width() const {
    return isEmpty() ? 0 : m_right - m_left;
}

int BRect::height() const {
    return isEmpty() ? 0 : m_bottom - m_top;
}

bool BRect::isEmpty() const {
    return m_right <= m_left || m_bottom <= m_top;
}

bool BRect::contains(int x, int y) const {
    return x >= m_left && x < m_right && y >= m_top && y < m_bottom;
}

BRect BRect::intersect(const BRect& o) const {
    const BRect r(std::max(m_left, o.m_left), std::max(m_top, o.m_top), std::min(m_right, o.m_right),
                  std::min(m_bottom, o.m_bottom));
    return r.isEmpty() ? BRect() : r;
}

BRect BRect::unite(const BRect& o) const {
    if (o.isEmpty())
        return isEmpty() ? BRect() : *this;
    if (isEmpty())
        return o;
    return BRect(std::min(m_left, o.m_left), std::min(m_top, o.m_top), std::max(m_right, o.m_right),
                 std::max(m_bottom, o.m_bottom));
}

} // namespace Brio
