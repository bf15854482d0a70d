#pragma once
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Objects {

/// Axis-aligned box in doubles. A default box is empty (Min above Max).
class SBox3 {
public:
    SBox3();
    SBox3(const vec3<double>& min, const vec3<double>& max) : m_min(min), m_max(max) {}

    const vec3<double>& Min() const { return m_min; }
    const vec3<double>& Max() const { return m_max; }
    vec3<double> Center() const;
    vec3<double> Size() const;
    bool IsEmpty() const;
    void SetEmpty();
    void Extend(const vec3<double>& p);
    void Extend(const SBox3& b);
    bool Contains(const vec3<double>& p) const;
    bool Intersects(const SBox3& b) const;
    /// Transforms the eight corners (row-vector convention) and boxes them again.
    /// An empty box stays empty.
    SBox3 TransformAndRebox(const mat4<double>& m) const;
    SBox3 TransformAndRebox(const mat4<float>& m) const;
    bool operator==(const SBox3& o) const { return m_min == o.m_min && m_max == o.m_max; }

private:
    vec3<double> m_min, m_max;
};

} // namespace Lumo::Objects
