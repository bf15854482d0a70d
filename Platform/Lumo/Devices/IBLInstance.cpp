#include <Lumo/Devices/IBLInstance.h>

#include <cmath>

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/GraphicScheme.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(IBLInstance, ADeviceResource)

IBLInstance::IBLInstance() = default;
IBLInstance::~IBLInstance() = default;

IBLInstance* IBLInstance::Make() {
    return new IBLInstance();
}

AFragment* IBLInstance::Environment(ESlot slot) const {
    return slot >= 0 && slot < kSlotCount ? m_slots[slot].get() : nullptr;
}

void IBLInstance::Environment(ESlot slot, AFragment* fragment) {
    if (slot < 0 || slot >= kSlotCount)
        return;
    m_slots[slot] = fragment;
    MarkChanged();
}

bool IBLInstance::IsEmpty() const {
    for (const auto& s : m_slots)
        if (s)
            return false;
    return true;
}

Lumo::Objects::vec3<float> IBLInstance::Evaluate(ESlot slot, const Lumo::Objects::vec3<float>& direction) const {
    AFragment* f = Environment(slot);
    if (!f)
        return {};
    const ParameterValues& v = f->Defaults();
    TextureInstance* cube = v.GetTexture(f->InputIndex(GraphicScheme::CubeParameter()));
    auto* texture =
        cube ? static_cast<EnvironmentTexture*>(cube->GetInterface(EnvironmentTexture::StaticClassName())) : nullptr;
    if (!texture)
        return {};
    const float gain = v.GetFloat(f->InputIndex(GraphicScheme::GainParameter()), 1.0f);
    const Lumo::Objects::mat4<float> m =
        v.GetMatrix(f->InputIndex(GraphicScheme::TransformParameter()), Lumo::Objects::mat4<float>::Identity());
    // Row vectors: a direction is (x, y, z, 0) times the matrix.
    Lumo::Objects::vec3<float> d;
    for (int c = 0; c < 3; ++c)
        d[c] = direction.x * m.m[0][c] + direction.y * m.m[1][c] + direction.z * m.m[2][c];
    return texture->Sample(d) * gain;
}

bool IBLInstance::RadianceSH(ESlot slot, Lumo::Objects::vec3<float> out[9]) const {
    for (int i = 0; i < 9; ++i)
        out[i] = {0, 0, 0};
    if (slot < 0 || slot >= kSlotCount || !Environment(slot))
        return false;
    std::lock_guard lock(m_shMutex);
    if (!m_shValid[slot] || m_shVersion[slot] != Version()) {
        // Projection by quadrature over the sphere; 64 x 32 directions are plenty for bands
        // that smooth anyway.
        constexpr int kPhi = 64, kTheta = 32;
        constexpr float kPi = 3.14159265358979f;
        Lumo::Objects::vec3<float> c[9];
        for (int t = 0; t < kTheta; ++t) {
            const float theta = (float(t) + 0.5f) * kPi / kTheta;
            const float dOmega = std::sin(theta) * (kPi / kTheta) * (2 * kPi / kPhi);
            for (int p = 0; p < kPhi; ++p) {
                const float phi = (float(p) + 0.5f) * 2 * kPi / kPhi;
                const float x = std::sin(theta) * std::cos(phi), y = std::cos(theta),
                            z = std::sin(theta) * std::sin(phi);
                const Lumo::Objects::vec3<float> L = Evaluate(slot, {x, y, z}) * dOmega;
                const float Y[9] = {0.282095f,
                                    0.488603f * y,
                                    0.488603f * z,
                                    0.488603f * x,
                                    1.092548f * x * y,
                                    1.092548f * y * z,
                                    0.315392f * (3 * z * z - 1),
                                    1.092548f * x * z,
                                    0.546274f * (x * x - y * y)};
                for (int i = 0; i < 9; ++i)
                    c[i] = c[i] + L * Y[i];
            }
        }
        // Lobe per band, over pi: the clamped cosine (pi, 2 pi / 3, pi / 4) for ambient light;
        // a narrower lobe for glossy and sharp light keeps more of the map's direction.
        const float cosine[3] = {1.0f, 2.0f / 3.0f, 0.25f};
        const float glossy[3] = {1.0f, 0.85f, 0.55f};
        const float* band = slot == eAmbient ? cosine : glossy;
        for (int i = 0; i < 9; ++i)
            m_sh[slot][i] = c[i] * band[i == 0 ? 0 : i < 4 ? 1 : 2];
        m_shVersion[slot] = Version();
        m_shValid[slot] = true;
    }
    for (int i = 0; i < 9; ++i)
        out[i] = m_sh[slot][i];
    return true;
}

} // namespace Lumo::Devices
