#include <Host/Generate/Shapes.h>

#include <cmath>

namespace Host::Shapes {

using vec2f = Lumo::Objects::vec2<float>;

namespace {

constexpr float kPi = 3.14159265358979f;

/// Triangles as a list of corners; each is wound to face away from `inside` (a point in the
/// solid's interior or on its axis) so the caller need not think about winding.
struct Soup {
    std::vector<vec3f> p;
    std::vector<std::uint32_t> t;
    void tri(vec3f a, vec3f b, vec3f c, vec3f outward) {
        const std::uint32_t i = std::uint32_t(p.size());
        p.insert(p.end(), {a, b, c});
        if ((b - a).Cross(c - a).Dot(outward) < 0)
            t.insert(t.end(), {i, i + 2, i + 1});
        else
            t.insert(t.end(), {i, i + 1, i + 2});
    }
    void quad(vec3f a, vec3f b, vec3f c, vec3f d, vec3f outward) {
        tri(a, b, c, outward);
        tri(a, c, d, outward);
    }
    MeshPtr build() const { return BuildMesh(p, t, 30.f); }
};

vec3f At(vec2f q, float y) {
    return {q.x, y, q.y};
}

std::vector<vec2f> Circle(float r, int n) {
    std::vector<vec2f> c(std::size_t(std::max(3, n)));
    for (std::size_t i = 0; i < c.size(); ++i) {
        const float a = 2 * kPi * float(i) / float(c.size());
        c[i] = {r * std::cos(a), r * std::sin(a)};
    }
    return c;
}

} // namespace

MeshPtr Prism(const std::vector<vec2f>& outer, const std::vector<vec2f>& hole, float y0, float y1) {
    Soup s;
    const std::size_t n = outer.size();
    const bool bored = hole.size() == n;
    const vec3f up(0, 1, 0), down(0, -1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const vec2f a = outer[i], b = outer[j];
        const vec2f mid = (a + b) * 0.5f;
        s.quad(At(a, y0), At(b, y0), At(b, y1), At(a, y1), vec3f(mid.x, 0, mid.y));
        if (bored) {
            const vec2f c = hole[i], d = hole[j], m = (c + d) * 0.5f;
            s.quad(At(c, y0), At(d, y0), At(d, y1), At(c, y1), vec3f(-m.x, 0, -m.y));
            s.quad(At(a, y1), At(b, y1), At(d, y1), At(c, y1), up);
            s.quad(At(a, y0), At(b, y0), At(d, y0), At(c, y0), down);
        } else {
            s.tri(At({0, 0}, y1), At(a, y1), At(b, y1), up);
            s.tri(At({0, 0}, y0), At(a, y0), At(b, y0), down);
        }
    }
    return s.build();
}

MeshPtr Block(vec3f h) {
    return Prism({{-h.x, -h.z}, {h.x, -h.z}, {h.x, h.z}, {-h.x, h.z}}, {}, -h.y, h.y);
}

MeshPtr Cylinder(float r, float y0, float y1, int segments) {
    return Prism(Circle(r, segments), {}, y0, y1);
}

MeshPtr Tube(float rOuter, float rInner, float y0, float y1, int segments) {
    return Prism(Circle(rOuter, segments), Circle(rInner, segments), y0, y1);
}

MeshPtr Hexagon(float r, float y0, float y1) {
    return Prism(Circle(r, 6), {}, y0, y1);
}

MeshPtr Gear(int teeth, float rRoot, float rTip, float rBore, float y0, float y1, int samplesPerTooth) {
    teeth = std::max(3, teeth);
    samplesPerTooth = std::max(4, samplesPerTooth);
    std::vector<vec2f> outer;
    const int n = teeth * samplesPerTooth;
    for (int i = 0; i < n; ++i) {
        // Per tooth: a quarter on the root, a flank, a quarter on the tip, a flank.
        const float u = float(i % samplesPerTooth) / float(samplesPerTooth);
        float r;
        if (u < 0.25f)
            r = rRoot;
        else if (u < 0.375f)
            r = rRoot + (rTip - rRoot) * (u - 0.25f) / 0.125f;
        else if (u < 0.75f)
            r = rTip;
        else if (u < 0.875f)
            r = rTip - (rTip - rRoot) * (u - 0.75f) / 0.125f;
        else
            r = rRoot;
        const float a = 2 * kPi * float(i) / float(n);
        outer.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return Prism(outer, rBore > 0 ? Circle(rBore, n) : std::vector<vec2f>{}, y0, y1);
}

MeshPtr Torus(float R, float r, int major, int minor) {
    major = std::max(3, major);
    minor = std::max(3, minor);
    auto at = [&](int i, int j) {
        const float u = 2 * kPi * float(i % major) / float(major), v = 2 * kPi * float(j % minor) / float(minor);
        const float d = R + r * std::cos(v);
        return vec3f(d * std::cos(u), r * std::sin(v), d * std::sin(u));
    };
    auto ring = [&](int i) {
        const float u = 2 * kPi * float(i % major) / float(major);
        return vec3f(R * std::cos(u), 0, R * std::sin(u));
    };
    Soup s;
    for (int i = 0; i < major; ++i)
        for (int j = 0; j < minor; ++j) {
            const vec3f a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            const vec3f centre = (ring(i) + ring(i + 1)) * 0.5f;
            s.quad(a, b, c, d, (a + c) * 0.5f - centre);
        }
    return s.build();
}

} // namespace Host::Shapes
