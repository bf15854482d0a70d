#include <Scene/Attributes/EffectInstanceCache.h>

#include <Lumo/Devices/EffectInstance.h>
#include <Scene/Attributes/EffectVariantCache.h>

#include <memory>
#include <mutex>

namespace Lumo::Scene {

using Lumo::Devices::EffectInstance;
using Lumo::Objects::Threads::MutexLocker;

namespace {
// Guards the singleton pointer only; lookups take the cache's own mutex.
std::mutex& SingletonMutex() {
    static std::mutex m;
    return m;
}
EffectInstanceCache*& Singleton() {
    static EffectInstanceCache* cache = nullptr;
    return cache;
}
} // namespace

EffectInstanceCache::EffectInstanceCache() = default;
EffectInstanceCache::~EffectInstanceCache() = default;

EffectInstanceCache* EffectInstanceCache::Make() {
    std::lock_guard<std::mutex> lock(SingletonMutex());
    if (!Singleton())
        Singleton() = new EffectInstanceCache();
    return Singleton();
}

EffectInstanceCache* EffectInstanceCache::Instance() {
    return Make();
}

bool EffectInstanceCache::Exists() {
    std::lock_guard<std::mutex> lock(SingletonMutex());
    return Singleton() != nullptr;
}

void EffectInstanceCache::Destroy() {
    // The variants are made from these instances: they go first.
    EffectVariantCache::Clear();
    std::unique_ptr<EffectInstanceCache> old;
    {
        std::lock_guard<std::mutex> lock(SingletonMutex());
        old.reset(Singleton());
        Singleton() = nullptr;
    } // entries are released outside the lock
}

EffectInstance* EffectInstanceCache::Lookup(const std::wstring& key, EffectInstance* offered) {
    MutexLocker lock(m_mutex);
    auto it = m_instances.find(key);
    if (it != m_instances.end())
        return it->second;
    if (!offered)
        return nullptr;
    m_instances.emplace(key, Lumo::Objects::AutoPtr<EffectInstance>(offered));
    return offered;
}

EffectInstance* EffectInstanceCache::Share(const std::wstring& key, EffectInstance* offered) {
    // Held across the lookup so a concurrent Destroy cannot free the cache under us.
    std::lock_guard<std::mutex> lock(SingletonMutex());
    if (!Singleton())
        Singleton() = new EffectInstanceCache();
    return Singleton()->Lookup(key, offered);
}

int EffectInstanceCache::Count() const {
    MutexLocker lock(m_mutex);
    return static_cast<int>(m_instances.size());
}

} // namespace Lumo::Scene
