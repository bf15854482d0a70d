#include <Scene/Attributes/EffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/StateSetter.h>
#include <Scene/Attributes/EffectInstanceCache.h>

namespace Lumo::Scene {

using Lumo::Devices::ADrawContext;
using Lumo::Devices::ARasterizerState;
using Lumo::Devices::LayeredEffectInstance;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::QueryInterface;
using Lumo::Objects::Threads::MutexLocker;
using EI = Lumo::Devices::EffectInstance;

LUMO_DEFINE_CLASS(EffectAttribute, Attribute)

EffectAttribute::EffectAttribute(bool winTies, unsigned char priority) : Attribute(winTies, priority) {}
EffectAttribute::~EffectAttribute() = default;

EI* EffectAttribute::EffectInstance(ADrawContext& dc, bool fresh) {
    if (fresh)
        return CreateEffectInstance(dc, false);
    if (EI* ready = m_ready.load(std::memory_order_acquire))
        return ready;
    MutexLocker lock(m_mutex);
    if (!m_instance) {
        // Held before publishing: a shared instance already carries the cache's reference,
        // a new one has none until here.
        m_instance = CreateEffectInstance(dc, true);
        m_ready.store(m_instance.get(), std::memory_order_release);
    }
    return m_instance;
}

void EffectAttribute::EffectInstance(EI* instance) {
    MutexLocker lock(m_mutex);
    m_instance = instance;
    m_ready.store(instance, std::memory_order_release);
}

EI* EffectAttribute::CreateEffectInstance(ADrawContext&, bool) {
    return nullptr;
}

bool EffectAttribute::SameEffectKind(const Attribute* other) const {
    return Attribute::Equals(other) && other->ClassName() == ClassName();
}

EI* EffectAttribute::ShareInstance(const std::wstring& key, EI* made) {
    AutoPtr<EI> hold(made); // frees made when the cache already had an instance
    return EffectInstanceCache::Share(key, made);
}

EI* EffectAttribute::CulledClone(const EI* instance, Lumo::Devices::ECull cull) {
    if (!instance)
        return nullptr;
    EI* clone = instance->Clone();
    ARasterizerState* current = clone->StateOverrides() ? clone->StateOverrides()->Rasterizer() : nullptr;
    AutoPtr<ARasterizerState> state(current ? current->Clone() : ARasterizerState::Make());
    state->CullMode(cull);
    clone->OverrideState(state.get());
    return clone;
}

void EffectAttribute::AppendCulledLayers(LayeredEffectInstance* target, const EI* source, Lumo::Devices::ECull cull) {
    if (!target || !source)
        return;
    if (auto* layered = QueryInterface<LayeredEffectInstance>(const_cast<EI*>(source))) {
        for (int i = 0; i < layered->LayerCount(); ++i) {
            AutoPtr<EI> layer(CulledClone(layered->Layer(i), cull));
            target->AddLayer(layer);
        }
        if (layered->Transparent())
            target->Transparent(true);
        return;
    }
    AutoPtr<EI> layer(CulledClone(source, cull));
    target->AddLayer(layer);
}

Lumo::Devices::AVirtualDevice* EffectAttribute::Device(ADrawContext& dc) {
    return dc.VirtualDevice();
}

} // namespace Lumo::Scene
