#pragma once
#include <Lumo/Objects/Vec.h>

#include <string>

namespace Brio::Scene {

/// One light of an environment as its definition gives it. The texts name the light's
/// space ("View", "World", "Model", "GroundPlane") and type ("Directional", "Point", "Spot");
/// the environment turns the lights into its auxiliary lighting.
class EnvLight {
public:
    using vec2 = Lumo::Objects::vec2<float>;
    using vec3 = Lumo::Objects::vec3<float>;

    const std::wstring& space() const { return m_space; }
    void space(const std::wstring& s) { m_space = s; }
    const std::wstring& type() const { return m_type; }
    void type(const std::wstring& t) { m_type = t; }
    /// Red, green, blue; scaled by the gain when the light is built.
    const vec3& color() const { return m_color; }
    void color(const vec3& c) { m_color = c; }
    const vec3& direction() const { return m_direction; }
    void direction(const vec3& d) { m_direction = d; }
    const vec3& position() const { return m_position; }
    void position(const vec3& p) { m_position = p; }
    float gain() const { return m_gain; }
    void gain(float g) { m_gain = g; }
    /// Constant, linear and quadratic.
    const vec3& attenuation() const { return m_attenuation; }
    void attenuation(const vec3& a) { m_attenuation = a; }
    float spotInner() const { return m_spotInner; }
    void spotInner(float angle) { m_spotInner = angle; }
    float spotOuter() const { return m_spotOuter; }
    void spotOuter(float angle) { m_spotOuter = angle; }

    bool operator==(const EnvLight&) const = default;

private:
    std::wstring m_space = L"View";
    std::wstring m_type = L"Directional";
    vec3 m_color{1, 1, 1};
    vec3 m_direction{-1, -1, -1};
    vec3 m_position{0, 0, 0};
    float m_gain = 1.0f;
    vec3 m_attenuation{1, 0, 0}; // unattenuated: a zero constant term would divide by zero
    float m_spotInner = 0.0f;
    float m_spotOuter = 0.0f;
};

} // namespace Brio::Scene
