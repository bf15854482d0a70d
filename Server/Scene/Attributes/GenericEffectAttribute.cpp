#include <Scene/Attributes/GenericEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/ParameterValues.h>

namespace Lumo::Scene {

using Lumo::Devices::ParameterValues;
using Lumo::Objects::UString;

LUMO_DEFINE_CLASS(GenericEffectAttribute, EffectAttribute)

GenericEffectAttribute::GenericEffectAttribute(UString* effectID, const ParameterValues* values, bool winTies,
                                               unsigned char priority)
    : EffectAttribute(winTies, priority), m_effectID(effectID),
      m_values(values ? std::make_unique<ParameterValues>(*values) : nullptr) {}

GenericEffectAttribute::~GenericEffectAttribute() = default;

GenericEffectAttribute* GenericEffectAttribute::Make(UString* effectID, const ParameterValues* values, bool winTies,
                                                     unsigned char priority) {
    return new GenericEffectAttribute(effectID, values, winTies, priority);
}

Lumo::Devices::EffectInstance* GenericEffectAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool) {
    Lumo::Devices::AVirtualDevice* device = Device(dc);
    if (!device || !m_effectID)
        return nullptr;
    Lumo::Devices::EffectInstance* instance =
        Lumo::Devices::EffectInstance::Make(device->Caches()->Effects()->Acquire(m_effectID));
    if (instance && m_values)
        instance->Values().CopyFrom(*m_values);
    return instance;
}

bool GenericEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SameEffectKind(other))
        return false;
    auto* o = static_cast<const GenericEffectAttribute*>(other);
    if (!_EqualUString(o->m_effectID, m_effectID))
        return false;
    if (!o->m_values || !m_values)
        return !o->m_values && !m_values;
    return *o->m_values == *m_values;
}

} // namespace Lumo::Scene
