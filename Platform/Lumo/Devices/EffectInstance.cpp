#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/StateSetter.h>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;

LUMO_DEFINE_CLASS(EffectInstance, Lumo::Objects::ARefCounted)

EffectInstance::EffectInstance(IRenderEffect* effect) : m_effect(effect) {
    if (effect)
        m_values = effect->Defaults();
    m_values.LockLayout();
}

EffectInstance::EffectInstance(const EffectInstance& other)
    : ARefCounted(other), m_effect(other.m_effect), m_values(other.m_values),
      m_states(other.m_states ? AutoPtr<StateSetter>(other.m_states->Clone()) : AutoPtr<StateSetter>()),
      m_transparent(other.m_transparent) {}

EffectInstance::~EffectInstance() = default;

EffectInstance* EffectInstance::Make(IRenderEffect* effect) {
    return effect ? new EffectInstance(effect) : nullptr;
}

EffectInstance* EffectInstance::Clone() const {
    return new EffectInstance(*this);
}

int EffectInstance::ParameterIndex(Lumo::Objects::UString* name) const {
    return m_effect ? m_effect->ParameterIndex(name) : -1;
}

StateSetter* EffectInstance::States() {
    if (!m_states)
        m_states = AutoPtr<StateSetter>(StateSetter::Make());
    return m_states;
}

void EffectInstance::OverrideState(ARasterizerState* state) {
    if (state || m_states)
        States()->Rasterizer(state);
}
void EffectInstance::OverrideState(ABlendState* state) {
    if (state || m_states)
        States()->Blend(state);
}
void EffectInstance::OverrideState(ADepthStencilState* state) {
    if (state || m_states)
        States()->DepthStencil(state);
}

bool EffectInstance::IsTransparent(ADrawContext*) const {
    return m_transparent;
}

} // namespace Lumo::Devices
