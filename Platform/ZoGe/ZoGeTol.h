#pragma once

/// Tolerances for geometric comparisons: two points are equal when their distance is at most
/// equalPoint(); two vectors when the length of their difference is at most equalVector(), which
/// also bounds the sine (parallel) or cosine (perpendicular) of the angle between directions.
class ZoGeTol {
public:
    ZoGeTol() = default;
    ZoGeTol(double equalPoint, double equalVector);

    double equalPoint() const { return m_equalPoint; }
    void equalPoint(double value) { m_equalPoint = value; }
    double equalVector() const { return m_equalVector; }
    void equalVector(double value) { m_equalVector = value; }

    /// Default tolerance used when a call does not pass one.
    static const ZoGeTol& global();
    /// Replaces the default; meant for start-up, not while other threads compare geometry.
    static void setGlobal(const ZoGeTol& tol);

private:
    double m_equalPoint = 1e-10;
    double m_equalVector = 1e-10;
};
