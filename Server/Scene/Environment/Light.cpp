#include <Scene/Environment/Light.h>

#include <Scene/Environment/Camera.h>

namespace Brio::Scene {

/// The persisted values, in the order they are stored.
struct LightMembers {
    Light* light = nullptr;
    Light::ELightType type = Light::eDirectional;
    Light::ELightSpace space = Light::eUnset;
    Brio::Color ambient;
    Brio::Color diffuse;
    Brio::Color specular;
    ZoGePoint3d position;
    ZoGeVector3d direction;
    float attenuationConstant = 1.0f;
    float attenuationLinear = 0.0f;
    float attenuationQuadratic = 0.0f;
    float spotInner = 0.3f;
    float spotOuter = 0.5f;
};

BRIO_SCENE_ENTITY_META_TYPE(Light, "LightMetaType", Entity::s_metaTypeId, 2)

Light::Light(Segment* segment) : SceneEntity(segment) {
    members().light = this;
}

Light::Light(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {
    members().light = this;
}

Light::~Light() = default;

void Light::registerMembers(MemberSet& set, LightMembers& m) {
    set.addNewMember("type", &m.type, "ELightType");
    set.addNewMember("space", &m.space, "ELightSpace");
    set.addNewMember("ambient", &m.ambient);
    set.addNewMember("diffuse", &m.diffuse);
    set.addNewMember("specular", &m.specular);
    set.addNewMember("position", &m.position);
    set.addNewMember("direction", &m.direction);
    set.addNewMember("attenuationCon", &m.attenuationConstant);
    set.addNewMember("attenuationLin", &m.attenuationLinear);
    set.addNewMember("attenuationQua", &m.attenuationQuadratic);
    set.addNewMember("spotInner", &m.spotInner);
    set.addNewMember("spotOuter", &m.spotOuter);
}

Light::ELightType Light::lightType() const {
    return members().type;
}
void Light::lightType(ELightType t) {
    members().type = t;
}
Light::ELightSpace Light::lightSpace() const {
    return members().space;
}
void Light::lightSpace(ELightSpace s) {
    members().space = s;
}
const Brio::Color& Light::ambientColor() const {
    return members().ambient;
}
void Light::ambientColor(const Brio::Color& c) {
    members().ambient = c;
}
const Brio::Color& Light::diffuseColor() const {
    return members().diffuse;
}
void Light::diffuseColor(const Brio::Color& c) {
    members().diffuse = c;
}
const Brio::Color& Light::specularColor() const {
    return members().specular;
}
void Light::specularColor(const Brio::Color& c) {
    members().specular = c;
}
const ZoGePoint3d& Light::position() const {
    return members().position;
}
void Light::position(const ZoGePoint3d& p) {
    members().position = p;
}
const ZoGeVector3d& Light::direction() const {
    return members().direction;
}
void Light::direction(const ZoGeVector3d& d) {
    members().direction = d;
}

Light& Light::operator=(const Light& other) {
    if (this == &other)
        return *this;
    LightMembers& m = members();
    const LightMembers& o = other.members();
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
    members().spotInner = inner;
    members().spotOuter = outer;
}

void Light::getSpotCone(float& inner, float& outer) const {
    inner = members().spotInner;
    outer = members().spotOuter;
}

void Light::setAttenuation(float constant, float linear, float quadratic) {
    members().attenuationConstant = constant;
    members().attenuationLinear = linear;
    members().attenuationQuadratic = quadratic;
}

void Light::getAttenuation(float& constant, float& linear, float& quadratic) const {
    constant = members().attenuationConstant;
    linear = members().attenuationLinear;
    quadratic = members().attenuationQuadratic;
}

bool Light::hasPosition() const {
    return lightType() == ePoint || lightType() == eSpot;
}

// Unknown types are drawn as directional lights.
bool Light::hasDirection() const {
    return lightType() != ePoint;
}

bool Light::isAttenuated() const {
    return lightType() != eDirectional;
}

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
