#pragma once

#include <Brio/Types/Point3f.h>
#include <Brio/Types/Vector3f.h>

namespace Brio {

/// Axis-aligned box. A default box is empty (min above max) and extending it with a point
/// makes that point the whole box; empty boxes contain and intersect nothing.
class BBox {
public:
    BBox();
    /// The box spanned by two opposite corners, in any order.
    BBox(const Point3f& a, const Point3f& b);

    bool isEmpty() const;
    void setEmpty();

    void extend(const Point3f& p);
    /// Empty boxes are ignored.
    void extend(const BBox& other);

    /// Origin and zero size for an empty box.
    Point3f center() const;
    Vector3f size() const;

    /// Boundaries count as inside.
    bool contains(const Point3f& p) const;
    /// Boxes that only touch intersect.
    bool intersects(const BBox& other) const;

    const Point3f& min() const { return m_min; }
    void min(const Point3f& p) { m_min = p; }
    const Point3f& max() const { return m_max; }
    void max(const Point3f& p) { m_max = p; }

    /// All empty boxes are equal.
    bool operator==(const BBox& other) const;

private:
    Point3f m_min;
    Point3f m_max;
};

} // namespace Brio
