#pragma once
#include <Lumo/Objects/Vec.h>

namespace Lumo::Scene {

/// Where a material's diffuse colour comes from.
enum EColorSource : int {
    eSourceLiteral = 0, ///< the material's own diffuse colour
    eSourceVertex = 1,  ///< the geometry's per-vertex colours
};

/// A plain lit material: emissive, ambient, diffuse and specular colours, opacity and
/// glossiness (the specular exponent).
class BasicColorMaterial {
public:
    BasicColorMaterial() = default;
    BasicColorMaterial(const Lumo::Objects::vec3<float>& emissive, const Lumo::Objects::vec3<float>& ambient,
                       const Lumo::Objects::vec3<float>& diffuse, const Lumo::Objects::vec3<float>& specular,
                       float opacity, float glossiness);
    BasicColorMaterial(const BasicColorMaterial&) = default;
    BasicColorMaterial& operator=(const BasicColorMaterial&) = default;
    virtual ~BasicColorMaterial() = default;

    const Lumo::Objects::vec3<float>& Emissive() const { return m_emissive; }
    void Emissive(const Lumo::Objects::vec3<float>& c) { m_emissive = c; }
    const Lumo::Objects::vec3<float>& Ambient() const { return m_ambient; }
    void Ambient(const Lumo::Objects::vec3<float>& c) { m_ambient = c; }
    const Lumo::Objects::vec3<float>& Diffuse() const { return m_diffuse; }
    void Diffuse(const Lumo::Objects::vec3<float>& c) { m_diffuse = c; }
    const Lumo::Objects::vec3<float>& Specular() const { return m_specular; }
    void Specular(const Lumo::Objects::vec3<float>& c) { m_specular = c; }
    float Opacity() const { return m_opacity; }
    void Opacity(float opacity) { m_opacity = opacity; }
    float Glossiness() const { return m_glossiness; }
    void Glossiness(float glossiness) { m_glossiness = glossiness; }

    /// How much of the environment a glossy material reflects: none up to glossiness 50,
    /// all from 100, scaled by the opacity.
    float ReflectionBlend() const;

    /// Every value within 1e-6.
    bool Equals(const BasicColorMaterial& other) const;

private:
    Lumo::Objects::vec3<float> m_emissive{0.0f, 0.0f, 0.0f};
    Lumo::Objects::vec3<float> m_ambient{0.2f, 0.2f, 0.2f};
    Lumo::Objects::vec3<float> m_diffuse{0.8f, 0.8f, 0.8f};
    Lumo::Objects::vec3<float> m_specular{1.0f, 1.0f, 1.0f};
    float m_opacity = 1.0f;
    float m_glossiness = 20.0f;
};

} // namespace Lumo::Scene
