#pragma once
#include <ZoGe/ZoGePoint3d.h>

#include <vector>

/// A NURBS curve by its definition data: degree, knots, control points and (for a rational
/// curve) one weight per control point. Periodic curves keep their data as given.
class ZoGeNurbCurve3d {
public:
    ZoGeNurbCurve3d() = default;
    /// Non-rational when weights is empty.
    ZoGeNurbCurve3d(int degree, const std::vector<double>& knots, const std::vector<ZoGePoint3d>& controlPoints,
                    const std::vector<double>& weights = {}, bool periodic = false);

    /// The definition data, as the curve was given it.
    void getDefinitionData(int& degree, bool& rational, bool& periodic, std::vector<double>& knots,
                           std::vector<ZoGePoint3d>& controlPoints, std::vector<double>& weights) const;
    int degree() const { return m_degree; }
    bool isRational() const { return !m_weights.empty(); }
    bool isPeriodic() const { return m_periodic; }
    const std::vector<double>& knots() const { return m_knots; }
    const std::vector<ZoGePoint3d>& controlPoints() const { return m_controlPoints; }
    const std::vector<double>& weights() const { return m_weights; }

private:
    int m_degree = 1;
    bool m_periodic = false;
    std::vector<double> m_knots;
    std::vector<ZoGePoint3d> m_controlPoints;
    std::vector<double> m_weights;
};
