#pragma once
#include <string_view>

namespace Lumo::Objects {
class UString;
} // namespace Lumo::Objects

namespace Lumo::Scene {

/// How lines are drawn: weight in screen or model space, an optional named pattern, and
/// pattern scales.
class LineStyle {
public:
    /// Space value meaning screen space; any other value means model space.
    static constexpr int kScreenSpace = 1;

    LineStyle() = default;
    LineStyle(const LineStyle&) = default;
    LineStyle& operator=(const LineStyle&) = default;
    virtual ~LineStyle() = default;

    float GetWeight() const { return m_weight; }
    void SetWeight(float weight) { m_weight = weight; }
    int GetSpace() const { return m_space; }
    void SetSpace(int space) { m_space = space; }
    float GetXScale() const { return m_xScale; }
    void SetXScale(float scale) { m_xScale = scale; }
    float GetYScale() const { return m_yScale; }
    void SetYScale(float scale) { m_yScale = scale; }
    /// Interned, so names compare by pointer; null when there is no pattern.
    Lumo::Objects::UString* GetLinePatternName() const { return m_patternName; }
    /// Interns the text; empty text (or null) clears the pattern.
    void SetLinePatternName(std::wstring_view name);
    void SetLinePatternName(const wchar_t* name) {
        SetLinePatternName(name ? std::wstring_view(name) : std::wstring_view());
    }

    /// Exact comparison of every field, pattern names by identity.
    bool operator==(const LineStyle& other) const;

private:
    float m_weight = 1.0f;
    int m_space = kScreenSpace;
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    Lumo::Objects::UString* m_patternName = nullptr;
};

} // namespace Lumo::Scene
