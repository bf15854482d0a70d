#include <Scene/Attributes/BasicColorMaterial.h>

#include <Scene/Attributes/Attribute.h>

#include <algorithm>

namespace Lumo::Scene {

BasicColorMaterial::BasicColorMaterial(const Lumo::Objects::vec3<float>& emissive,
                                       const Lumo::Objects::vec3<float>& ambient,
                                       const Lumo::Objects::vec3<float>& diffuse,
                                       const Lumo::Objects::vec3<float>& specular, float opacity, float glossiness)
    : m_emissive(emissive), m_ambient(ambient), m_diffuse(diffuse), m_specular(specular), m_opacity(opacity),
      m_glossiness(glossiness) {}

float BasicColorMaterial::ReflectionBlend() const {
    return std::clamp((m_glossiness - 50.0f) / (100.0f - 50.0f), 0.0f, 1.0f) * m_opacity;
}

bool BasicColorMaterial::Equals(const BasicColorMaterial& o) const {
    return Attribute::_Equalf3(m_emissive, o.m_emissive) && Attribute::_Equalf3(m_ambient, o.m_ambient) &&
           Attribute::_Equalf3(m_diffuse, o.m_diffuse) && Attribute::_Equalf3(m_specular, o.m_specular) &&
           Attribute::_Equalf1(m_opacity, o.m_opacity) && Attribute::_Equalf1(m_glossiness, o.m_glossiness);
}

} // namespace Lumo::Scene
