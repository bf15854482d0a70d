#include <Scene/Environment/Light.h>

#include <Scene/Environment/Camera.h>

namespace Brio::Scene {

Brio::StrongRef<Light> Light::make() { return Brio::StrongRef<Light>(new Light); }

Light::Light() : m_members(std::make_unique<Members>()) { m_members->light = this; }

Light::~Light() = default;

Light& Light::operator=(const Light& other) {
    if (this == &other)
        return *this;
    Members& m = *m_members;
    const Members& o = *other.m_members;
    m.type = o.type;
    m.space = o.space;
    m.ambient = o.ambient;
    m.diffuse = o.diffuse;
    m.specular = o.specular;
    m.position = o.position;
    m.direction = o.direction;
    m.spotInner = o.spotInner;
    m.spotOuter = o.spotOuter;
    m.attenuationConstant = o.attenuationConstant;
    m.attenuationLinear = o.attenuationLinear;
    m.attenuationQuadratic = o.attenuationQuadratic;
    return *this;
}

void Light::setSpotCone(float inner, float outer) {
    m_members->spotInner = inner;
    m_members->spotOuter = outer;
}

void Light::getSpotCone(float& inner, float& outer) const {
    inner = m_members->spotInner;
    outer = m_members->spotOuter;
}

void Light::setAttenuation(float constant, float linear, float quadratic) {
    m_members->attenuationConstant = constant;
    m_members->attenuationLinear = linear;
    m_members->attenuationQuadratic = quadratic;
}

void Light::getAttenuation(float& constant, float& linear, float& quadratic) const {
    constant = m_members->attenuationConstant;
    linear = m_members->attenuationLinear;
    quadratic = m_members->attenuationQuadratic;
}

bool Light::hasPosition() const { return lightType() == ePoint || lightType() == eSpot; }

// Unknown types are drawn as directional lights.
bool Light::hasDirection() const { return lightType() != ePoint; }

bool Light::isAttenuated() const { return lightType() != eDirectional; }

ZoGePoint3d Light::worldPosition(const Camera* camera) const {
    if (lightSpace() != eView || !camera)
        return position();
    return camera->getViewMatrix().inverse() * position();
}

ZoGeVector3d Light::worldDirection(const Camera* camera) const {
    if (lightSpace() != eView || !camera)
        return direction();
    return camera->getViewMatrix().inverse() * direction();
}

} // namespace Brio::Scene
