#include <Scene/Attributes/CurvatureMapData.h>

namespace Lumo::Scene {

Lumo::Objects::KString CurvatureMapData::ToString() const {
    Lumo::Objects::KString s(L"\nMap Type: ");
    s += mapType == eGaussian ? L"Gaussian" : mapType == eMinimumCurvature ? L"MinimumCurvature" : L"MaximumCurvature";
    s += L"\nDisplay Type: ";
    s += displayType == eSmooth ? L"Smooth" : L"Band";
    s += L"\nThreshold: ";
    s.Append(threshold);
    return s;
}

} // namespace Lumo::Scene
