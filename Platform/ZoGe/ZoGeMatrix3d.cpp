#include <ZoGe/ZoGeMatrix3d.h>

#include <cmath>
#include <utility>

const ZoGeMatrix3d ZoGeMatrix3d::kIdentity;

ZoGeMatrix3d& ZoGeMatrix3d::setToIdentity() {
    *this = ZoGeMatrix3d();
    return *this;
}

ZoGeMatrix3d ZoGeMatrix3d::operator*(const ZoGeMatrix3d& right) const {
    ZoGeMatrix3d r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += entry[i][k] * right.entry[k][j];
            r.entry[i][j] = sum;
        }
    }
    return r;
}

ZoGeMatrix3d& ZoGeMatrix3d::operator*=(const ZoGeMatrix3d& right) {
    return postMultBy(right);
}

ZoGeMatrix3d& ZoGeMatrix3d::preMultBy(const ZoGeMatrix3d& left) {
    *this = left * *this;
    return *this;
}

ZoGeMatrix3d& ZoGeMatrix3d::postMultBy(const ZoGeMatrix3d& right) {
    *this = *this * right;
    return *this;
}

ZoGeMatrix3d& ZoGeMatrix3d::setToProduct(const ZoGeMatrix3d& left, const ZoGeMatrix3d& right) {
    *this = left * right;
    return *this;
}

bool ZoGeMatrix3d::inverse(ZoGeMatrix3d& out, double tol) const {
    double a[4][4];
    double maxEntry = 0.0;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = entry[i][j];
            maxEntry = std::fmax(maxEntry, std::fabs(entry[i][j]));
        }
    }
    if (!(maxEntry > 0.0) || !std::isfinite(maxEntry))
        return false;
    const double limit = tol * maxEntry;

    ZoGeMatrix3d inv;
    for (int col = 0; col < 4; ++col) {
        // Partial pivoting keeps the elimination stable for well-conditioned matrices.
        int pivot = col;
        for (int row = col + 1; row < 4; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        }
        if (std::fabs(a[pivot][col]) <= limit)
            return false;
        if (pivot != col) {
            std::swap(a[pivot], a[col]);
            std::swap(inv.entry[pivot], inv.entry[col]);
        }
        const double p = a[col][col];
        for (int j = 0; j < 4; ++j) {
            a[col][j] /= p;
            inv.entry[col][j] /= p;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == col)
                continue;
            const double f = a[row][col];
            if (f == 0.0)
                continue;
            for (int j = 0; j < 4; ++j) {
                a[row][j] -= f * a[col][j];
                inv.entry[row][j] -= f * inv.entry[col][j];
            }
        }
    }
    out = inv;
    return true;
}

ZoGeMatrix3d ZoGeMatrix3d::inverse() const {
    ZoGeMatrix3d result(*this);
    inverse(result);
    return result;
}

bool ZoGeMatrix3d::invert(double tol) {
    return inverse(*this, tol);
}

bool ZoGeMatrix3d::isSingular(double tol) const {
    ZoGeMatrix3d unused;
    return !inverse(unused, tol);
}

ZoGeMatrix3d ZoGeMatrix3d::transpose() const {
    ZoGeMatrix3d r(*this);
    return r.transposeIt();
}

ZoGeMatrix3d& ZoGeMatrix3d::transposeIt() {
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j)
            std::swap(entry[i][j], entry[j][i]);
    }
    return *this;
}

double ZoGeMatrix3d::det() const {
    // Laplace expansion by 2x2 minors of the top two and bottom two rows: exact for small integers.
    const auto& m = entry;
    const double s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const double s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const double s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const double s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const double s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const double s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const double c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const double c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const double c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const double c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const double c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const double c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
}

bool ZoGeMatrix3d::isEqualTo(const ZoGeMatrix3d& other, const ZoGeTol& tol) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double limit = (j == 3 && i < 3) ? tol.equalPoint() : tol.equalVector();
            if (!(std::fabs(entry[i][j] - other.entry[i][j]) <= limit))
                return false;
        }
    }
    return true;
}

bool ZoGeMatrix3d::isIdentity(const ZoGeTol& tol) const {
    return isEqualTo(kIdentity, tol);
}

ZoGeMatrix3d ZoGeMatrix3d::translation(const ZoGeVector3d& v) {
    ZoGeMatrix3d m;
    return m.setTranslation(v);
}

ZoGeMatrix3d ZoGeMatrix3d::rotation(double angle, const ZoGeVector3d& axis, const ZoGePoint3d& center) {
    ZoGeMatrix3d m;
    const double len = axis.length();
    if (!(len > 0.0))
        return m;
    const ZoGeVector3d u = axis / len;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double t = 1.0 - c;
    // Rodrigues' rotation formula.
    m.entry[0][0] = t * u.x * u.x + c;
    m.entry[0][1] = t * u.x * u.y - s * u.z;
    m.entry[0][2] = t * u.x * u.z + s * u.y;
    m.entry[1][0] = t * u.x * u.y + s * u.z;
    m.entry[1][1] = t * u.y * u.y + c;
    m.entry[1][2] = t * u.y * u.z - s * u.x;
    m.entry[2][0] = t * u.x * u.z - s * u.y;
    m.entry[2][1] = t * u.y * u.z + s * u.x;
    m.entry[2][2] = t * u.z * u.z + c;
    // Keep the center fixed: t = c - R c.
    const ZoGeVector3d rc = m * center.asVector();
    return m.setTranslation(center.asVector() - rc);
}

ZoGeMatrix3d ZoGeMatrix3d::scaling(double scale, const ZoGePoint3d& center) {
    ZoGeMatrix3d m;
    for (int i = 0; i < 3; ++i)
        m.entry[i][i] = scale;
    return m.setTranslation(center.asVector() * (1.0 - scale));
}

ZoGeMatrix3d ZoGeMatrix3d::alignCoordSys(const ZoGePoint3d& fromOrigin, const ZoGeVector3d& fromXAxis,
                                         const ZoGeVector3d& fromYAxis, const ZoGeVector3d& fromZAxis,
                                         const ZoGePoint3d& toOrigin, const ZoGeVector3d& toXAxis,
                                         const ZoGeVector3d& toYAxis, const ZoGeVector3d& toZAxis) {
    ZoGeMatrix3d from, to, fromInverse;
    from.setCoordSystem(fromOrigin, fromXAxis, fromYAxis, fromZAxis);
    to.setCoordSystem(toOrigin, toXAxis, toYAxis, toZAxis);
    if (!from.inverse(fromInverse))
        return ZoGeMatrix3d();
    return to * fromInverse;
}

ZoGeMatrix3d& ZoGeMatrix3d::setCoordSystem(const ZoGePoint3d& origin, const ZoGeVector3d& xAxis,
                                           const ZoGeVector3d& yAxis, const ZoGeVector3d& zAxis) {
    const ZoGeVector3d* columns[3] = {&xAxis, &yAxis, &zAxis};
    for (int j = 0; j < 3; ++j) {
        entry[0][j] = columns[j]->x;
        entry[1][j] = columns[j]->y;
        entry[2][j] = columns[j]->z;
        entry[3][j] = 0.0;
    }
    entry[0][3] = origin.x;
    entry[1][3] = origin.y;
    entry[2][3] = origin.z;
    entry[3][3] = 1.0;
    return *this;
}

void ZoGeMatrix3d::getCoordSystem(ZoGePoint3d& origin, ZoGeVector3d& xAxis, ZoGeVector3d& yAxis,
                                  ZoGeVector3d& zAxis) const {
    origin = ZoGePoint3d(entry[0][3], entry[1][3], entry[2][3]);
    xAxis = ZoGeVector3d(entry[0][0], entry[1][0], entry[2][0]);
    yAxis = ZoGeVector3d(entry[0][1], entry[1][1], entry[2][1]);
    zAxis = ZoGeVector3d(entry[0][2], entry[1][2], entry[2][2]);
}

ZoGeVector3d ZoGeMatrix3d::translation() const {
    return {entry[0][3], entry[1][3], entry[2][3]};
}

ZoGeMatrix3d& ZoGeMatrix3d::setTranslation(const ZoGeVector3d& v) {
    entry[0][3] = v.x;
    entry[1][3] = v.y;
    entry[2][3] = v.z;
    return *this;
}

ZoGePoint3d operator*(const ZoGeMatrix3d& m, const ZoGePoint3d& p) {
    ZoGePoint3d r(p);
    return r.transformBy(m);
}

ZoGeVector3d operator*(const ZoGeMatrix3d& m, const ZoGeVector3d& v) {
    ZoGeVector3d r(v);
    return r.transformBy(m);
}
