#include <Scene/Attributes/DraftAnalysisData.h>

namespace Lumo::Scene {

Lumo::Objects::KString DraftAnalysisData::ToString() const {
    Lumo::Objects::KString s(L"\nPull direction: ");
    s.Append(pullDirection.x);
    s += L" ";
    s.Append(pullDirection.y);
    s += L" ";
    s.Append(pullDirection.z);
    s += L"\nDraftAnglePositive: ";
    s.Append(draftAnglePositive);
    s += L"\nDraftAngleNegative: ";
    s.Append(draftAngleNegative);
    s += L"\nToleranceAnglePositive: ";
    s.Append(toleranceAnglePositive);
    s += L"\nToleranceAngleNegative: ";
    s.Append(toleranceAngleNegative);
    return s;
}

} // namespace Lumo::Scene
