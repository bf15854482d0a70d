#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/EffectCache.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/StockEffects.h>

#include <mutex>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::UString;
using Lumo::Objects::Threads::MutexLocker;

namespace {
struct FactoryRegistry {
    std::mutex mutex;
    std::unordered_map<UString*, EffectCache::Factory> factories;
};
FactoryRegistry& Registry() {
    static FactoryRegistry registry;
    return registry;
}
EffectCache::Factory FindFactory(UString* name) {
    FactoryRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.factories.find(name);
    return it == r.factories.end() ? nullptr : it->second;
}
} // namespace

EffectCache::EffectCache(AVirtualDevice* device) : m_device(device) {}
EffectCache::~EffectCache() = default;

IRenderEffect* EffectCache::Acquire(UString* name) {
    if (!name)
        return nullptr;
    MutexLocker lock(m_mutex);
    auto it = m_effects.find(name);
    if (it != m_effects.end())
        return it->second;
    AutoPtr<IRenderEffect> made(StockEffects::Make(name));
    if (!made)
        if (Factory factory = FindFactory(name))
            made = factory(name);
    // A factory's effect is filed under the name asked for, whatever it calls itself.
    if (!made)
        return nullptr;
    m_effects.emplace(name, made);
    return made;
}

IRenderEffect* EffectCache::Acquire(UString* name, AVirtualDevice* device) {
    if (!device || device == m_device)
        return Acquire(name);
    return device->Caches()->Effects()->Acquire(name);
}

bool EffectCache::Add(IRenderEffect* effect) {
    if (!effect)
        return false;
    MutexLocker lock(m_mutex);
    // Look first: a refused entry must not take and drop the caller's only reference.
    if (m_effects.count(effect->Name()))
        return false;
    m_effects.emplace(effect->Name(), AutoPtr<IRenderEffect>(effect));
    return true;
}

bool EffectCache::Contains(UString* name) const {
    MutexLocker lock(m_mutex);
    return m_effects.count(name) != 0;
}

int EffectCache::Count() const {
    MutexLocker lock(m_mutex);
    return static_cast<int>(m_effects.size());
}

void EffectCache::Clear() {
    decltype(m_effects) old;
    {
        MutexLocker lock(m_mutex);
        old.swap(m_effects);
    } // released outside the lock
}

void EffectCache::RegisterFactory(UString* name, Factory factory) {
    if (!name || !factory)
        return;
    FactoryRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.factories[name] = factory;
}

void EffectCache::UnregisterFactory(UString* name, Factory factory) {
    FactoryRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.factories.find(name);
    if (it != r.factories.end() && it->second == factory)
        r.factories.erase(it);
}

bool EffectCache::HasFactory(UString* name) {
    return FindFactory(name) != nullptr;
}

} // namespace Lumo::Devices
