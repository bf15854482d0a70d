#include <Scene/Environment/Lighting.h>

#include <Scene/Environment/Light.h>

#include <algorithm>

namespace Brio::Scene {

Brio::StrongRef<Lighting> Lighting::make() { return Brio::StrongRef<Lighting>(new Lighting); }

Lighting::Lighting() : m_members(std::make_unique<Members>()) { m_members->lighting = this; }

Lighting::~Lighting() = default;

Lighting& Lighting::operator=(const Lighting& other) {
    if (this == &other)
        return *this;
    removeAllLights();
    for (const auto& light : other.m_members->lights)
        addLight(light);
    return *this;
}

int Lighting::lightCount() const { return int(m_members->lights.size()); }

Brio::StrongRef<Light> Lighting::getLight(int index) const {
    if (index < 0 || index >= lightCount())
        return {};
    return m_members->lights[std::size_t(index)];
}

void Lighting::addLight(const Brio::StrongRef<Light>& light) {
    if (light)
        m_members->lights.push_back(light);
}

void Lighting::removeLight(const Brio::StrongRef<Light>& light) {
    auto& lights = m_members->lights;
    auto it = std::find(lights.begin(), lights.end(), light);
    if (it != lights.end())
        lights.erase(it);
}

void Lighting::removeAllLights() { m_members->lights.clear(); }

} // namespace Brio::Scene
