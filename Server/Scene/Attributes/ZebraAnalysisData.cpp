#include <Scene/Attributes/ZebraAnalysisData.h>

namespace Lumo::Scene {

namespace {
void AppendVec(Lumo::Objects::KString& s, const Lumo::Objects::vec3<float>& v) {
    s.Append(v.x);
    s += L" ";
    s.Append(v.y);
    s += L" ";
    s.Append(v.z);
}
} // namespace

Lumo::Objects::KString ZebraAnalysisData::ToString() const {
    Lumo::Objects::KString s(L"\nZebra stripe direction: ");
    s += stripeDirection == eDiagonal ? L"Diagonal" : stripeDirection == eVertical ? L"Vertical" : L"Horizontal";
    s += L"\nZebra stripe density: ";
    s.Append(stripeDensity);
    s += L"\nZebra stripe locked: ";
    s += locked ? L"TRUE" : L"FALSE";
    s += L"\nColor0: ";
    AppendVec(s, color0);
    s += L"\nColor1: ";
    AppendVec(s, color1);
    return s;
}

} // namespace Lumo::Scene
