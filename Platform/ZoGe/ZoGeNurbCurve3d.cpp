#include <ZoGe/ZoGeNurbCurve3d.h>

ZoGeNurbCurve3d::ZoGeNurbCurve3d(int degree, const std::vector<double>& knots,
                                 const std::vector<ZoGePoint3d>& controlPoints, const std::vector<double>& weights,
                                 bool periodic)
    : m_degree(degree), m_periodic(periodic), m_knots(knots), m_controlPoints(controlPoints), m_weights(weights) {}

void ZoGeNurbCurve3d::getDefinitionData(int& degree, bool& rational, bool& periodic, std::vector<double>& knots,
                                        std::vector<ZoGePoint3d>& controlPoints, std::vector<double>& weights) const {
    degree = m_degree;
    rational = isRational();
    periodic = m_periodic;
    knots = m_knots;
    controlPoints = m_controlPoints;
    weights = m_weights;
}
