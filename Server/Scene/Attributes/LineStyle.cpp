#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/LineStyle.h>

namespace Lumo::Scene {

void LineStyle::SetLinePatternName(std::wstring_view name) {
    m_patternName = name.empty() ? nullptr : Lumo::Objects::Intern(name);
}

bool LineStyle::operator==(const LineStyle& other) const {
    return m_weight == other.m_weight && m_space == other.m_space && m_xScale == other.m_xScale &&
           m_yScale == other.m_yScale && m_patternName == other.m_patternName;
}

} // namespace Lumo::Scene
