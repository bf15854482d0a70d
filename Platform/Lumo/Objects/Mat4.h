#pragma once
#include <Lumo/Objects/Vec.h>

#include <cmath>

namespace Lumo::Objects {

/// Row-major 4x4 matrix for row vectors: a point p maps to p * M, the translation sits in
/// the fourth row, and A * B applies A first, then B.
template <class T> struct mat4 {
    T m[4][4];

    constexpr mat4() : m{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}} {}
    constexpr mat4(T a00, T a01, T a02, T a03, T a10, T a11, T a12, T a13, T a20, T a21, T a22, T a23, T a30, T a31,
                   T a32, T a33)
        : m{{a00, a01, a02, a03}, {a10, a11, a12, a13}, {a20, a21, a22, a23}, {a30, a31, a32, a33}} {}

    static constexpr mat4 Identity() { return mat4(); }
    static constexpr mat4 Translation(const vec3<T>& t) {
        mat4 r;
        r.m[3][0] = t.x;
        r.m[3][1] = t.y;
        r.m[3][2] = t.z;
        return r;
    }
    static constexpr mat4 Scale(const vec3<T>& s) {
        mat4 r;
        r.m[0][0] = s.x;
        r.m[1][1] = s.y;
        r.m[2][2] = s.z;
        return r;
    }
    static constexpr mat4 Scale(T s) { return Scale(vec3<T>(s, s, s)); }
    /// Right-handed rotation by angle (radians) about a unit axis through the origin.
    static mat4 Rotation(const vec3<T>& axis, T angle) {
        vec3<T> a = axis.Normalized();
        T c = std::cos(angle), s = std::sin(angle), t = T(1) - c;
        // Row-vector form: the transpose of the usual column-vector rotation.
        return mat4(t * a.x * a.x + c, t * a.x * a.y + s * a.z, t * a.x * a.z - s * a.y, 0, t * a.x * a.y - s * a.z,
                    t * a.y * a.y + c, t * a.y * a.z + s * a.x, 0, t * a.x * a.z + s * a.y, t * a.y * a.z - s * a.x,
                    t * a.z * a.z + c, 0, 0, 0, 0, 1);
    }

    /// The same matrix in another component type.
    template <class U> constexpr mat4<U> Cast() const {
        mat4<U> r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = static_cast<U>(m[i][j]);
        return r;
    }

    constexpr T* operator[](int row) { return m[row]; }
    constexpr const T* operator[](int row) const { return m[row]; }
    constexpr vec4<T> Row(int r) const { return {m[r][0], m[r][1], m[r][2], m[r][3]}; }
    constexpr vec3<T> GetTranslation() const { return {m[3][0], m[3][1], m[3][2]}; }

    constexpr mat4 operator*(const mat4& b) const {
        mat4 r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j] + m[i][3] * b.m[3][j];
        return r;
    }
    constexpr bool operator==(const mat4& b) const {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                if (m[i][j] != b.m[i][j])
                    return false;
        return true;
    }
    constexpr bool IsIdentity() const { return *this == mat4(); }

    constexpr mat4 Transposed() const {
        mat4 r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = m[j][i];
        return r;
    }

    /// p * M with the homogeneous divide (skipped when w is 0).
    constexpr vec3<T> TransformPoint(const vec3<T>& p) const {
        T x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
        T y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
        T z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
        T w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
        if (w != T(0) && w != T(1))
            return {x / w, y / w, z / w};
        return {x, y, z};
    }
    constexpr vec4<T> Transform(const vec4<T>& p) const {
        vec4<T> r;
        for (int j = 0; j < 4; ++j)
            r[j] = p.x * m[0][j] + p.y * m[1][j] + p.z * m[2][j] + p.w * m[3][j];
        return r;
    }
    /// Direction: the translation row is ignored.
    constexpr vec3<T> TransformVector(const vec3<T>& v) const {
        return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
    }

    T Determinant() const {
        T inv[16];
        Cofactors(inv);
        return m[0][0] * inv[0] + m[0][1] * inv[4] + m[0][2] * inv[8] + m[0][3] * inv[12];
    }

    /// Writes the inverse into out and answers true, or answers false (out untouched)
    /// when the matrix is singular.
    bool Inverse(mat4& out) const {
        T inv[16];
        Cofactors(inv);
        T det = m[0][0] * inv[0] + m[0][1] * inv[4] + m[0][2] * inv[8] + m[0][3] * inv[12];
        if (det == T(0) || !std::isfinite(det))
            return false;
        T d = T(1) / det;
        for (int i = 0; i < 16; ++i)
            out.m[i / 4][i % 4] = inv[i] * d;
        return true;
    }

private:
    // Adjugate by cofactor expansion (the classic unrolled form), in row-major order.
    void Cofactors(T* inv) const {
        const T* a = &m[0][0];
        inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
                 a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
        inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
                 a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
        inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
                 a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
        inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
                  a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
        inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
                 a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
        inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
                 a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
        inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
                 a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
        inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
                  a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
        inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
                 a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
        inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
                 a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
        inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
                  a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
        inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
                  a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
        inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
                 a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
        inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
                 a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
        inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
                  a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
        inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
                  a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    }
};

} // namespace Lumo::Objects
