#include <Lumo/Devices/IBLInstance.h>

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/GraphicScheme.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(IBLInstance, ADeviceResource)

IBLInstance::IBLInstance() = default;
IBLInstance::~IBLInstance() = default;

IBLInstance* IBLInstance::Make() { return new IBLInstance(); }

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
    const Lumo::Objects::mat4<float> m = v.GetMatrix(f->InputIndex(GraphicScheme::TransformParameter()),
                                                     Lumo::Objects::mat4<float>::Identity());
    // Row vectors: a direction is (x, y, z, 0) times the matrix.
    Lumo::Objects::vec3<float> d;
    for (int c = 0; c < 3; ++c)
        d[c] = direction.x * m.m[0][c] + direction.y * m.m[1][c] + direction.z * m.m[2][c];
    return texture->Sample(d) * gain;
}

} // namespace Lumo::Devices
