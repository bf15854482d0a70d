#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::QueryInterface;

LUMO_DEFINE_CLASS(LayeredEffectInstance, EffectInstance)

LayeredEffectInstance* LayeredEffectInstance::Make(IRenderEffect* effect) {
    if (!effect || effect->Name() != StockEffects::LayeredName())
        return nullptr;
    return new LayeredEffectInstance(effect);
}

LayeredEffectInstance* LayeredEffectInstance::Make(AVirtualDevice* device) {
    return device ? Make(device->Caches()->Effects()->Acquire(StockEffects::LayeredName())) : nullptr;
}

LayeredEffectInstance::LayeredEffectInstance(const LayeredEffectInstance& other) : EffectInstance(other) {
    for (EffectInstance* layer : other.m_layers)
        m_layers.Add(AutoPtr<EffectInstance>(layer->Clone()));
}

LayeredEffectInstance::~LayeredEffectInstance() = default;

LayeredEffectInstance* LayeredEffectInstance::Clone() const {
    return new LayeredEffectInstance(*this);
}

bool LayeredEffectInstance::Holds(const EffectInstance* instance) const {
    for (EffectInstance* layer : m_layers) {
        if (layer == instance)
            return true;
        auto* nested = QueryInterface<LayeredEffectInstance>(layer);
        if (nested && nested->Holds(instance))
            return true;
    }
    return false;
}

bool LayeredEffectInstance::AddLayer(EffectInstance* layer) {
    if (!layer || layer == this)
        return false;
    auto* nested = QueryInterface<LayeredEffectInstance>(layer);
    if (nested && nested->Holds(this))
        return false;
    return m_layers.Add(layer);
}

EffectInstance* LayeredEffectInstance::Layer(int index) const {
    return index >= 0 && index < m_layers.Count() ? m_layers[index] : nullptr;
}

bool LayeredEffectInstance::IsTransparent(ADrawContext* dc) const {
    if (EffectInstance::IsTransparent(dc))
        return true;
    for (EffectInstance* layer : m_layers)
        if (layer->IsTransparent(dc))
            return true;
    return false;
}

} // namespace Lumo::Devices
