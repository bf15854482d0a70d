#include <Scene/Environment/Lighting.h>

#include <Scene/Environment/Light.h>

#include <algorithm>
#include <vector>

namespace Brio::Scene {

/// The persisted values, in the order they are stored.
struct LightingMembers {
    Lighting* lighting = nullptr;
    std::vector<Brio::StrongRef<Light>> lights;
};

BRIO_SCENE_ENTITY_META_TYPE(Lighting, "LightingMetaType", Entity::s_metaTypeId, 2)

Lighting::Lighting(Segment* segment) : SceneEntity(segment) {
    members().lighting = this;
}

Lighting::Lighting(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {
    members().lighting = this;
}

Lighting::~Lighting() = default;

void Lighting::registerMembers(MemberSet& set, LightingMembers& m) {
    set.addNewMember("lightlist", &m.lights);
}

Lighting& Lighting::operator=(const Lighting& other) {
    if (this == &other)
        return *this;
    removeAllLights();
    for (const auto& light : other.members().lights)
        addLight(light);
    return *this;
}

int Lighting::lightCount() const {
    return int(members().lights.size());
}

Brio::StrongRef<Light> Lighting::getLight(int index) const {
    if (index < 0 || index >= lightCount())
        return {};
    return members().lights[std::size_t(index)];
}

void Lighting::addLight(const Brio::StrongRef<Light>& light) {
    if (light)
        members().lights.push_back(light);
}

void Lighting::removeLight(const Brio::StrongRef<Light>& light) {
    auto& lights = members().lights;
    auto it = std::find(lights.begin(), lights.end(), light);
    if (it != lights.end())
        lights.erase(it);
}

void Lighting::removeAllLights() {
    members().lights.clear();
}

} // namespace Brio::Scene
