#include <Scene/Attributes/EffectVariantCache.h>

#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Scene/Foundations/AddInStaticInternal.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace Lumo::Scene {

using Lumo::Devices::EffectInstance;
using Lumo::Objects::ARefCounted;
using Lumo::Objects::AutoPtr;

bool EffectVariantCache::Key::operator==(const Key& o) const {
    // Values compare by their bits: the same inputs, not merely equal numbers, share.
    return base == o.base && device == o.device && tag == o.tag && kind == o.kind && flags == o.flags &&
           std::memcmp(values, o.values, sizeof values) == 0;
}

namespace {

struct KeyHash {
    std::size_t operator()(const EffectVariantCache::Key& k) const {
        std::size_t h = std::hash<const void*>()(k.base);
        auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
        mix(std::hash<const void*>()(k.device));
        mix(std::hash<const void*>()(k.tag));
        mix(k.kind);
        mix(k.flags);
        for (float v : k.values) {
            std::uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            mix(bits);
        }
        return h;
    }
};

struct Entry {
    AutoPtr<ARefCounted> base, device; // pin the key's addresses
    AutoPtr<EffectInstance> variant;
    int baseRefsInVariant = 0; // references the variant itself holds on the base (as a layer)
    unsigned stamp = 0;        // the sweep count when last asked for
};

struct Cache {
    std::mutex mutex;
    std::unordered_map<EffectVariantCache::Key, Entry, KeyHash> entries;
    std::size_t capacity = 16384;
    unsigned sweeps = 0;
};

Cache& GetCache() {
    // Not destroyed at exit: releasing graphics objects during static destruction could outlive
    // the devices they belong to. Clear at shutdown releases them in order.
    static Brio::Scene::AddInStatic<Cache> cache;
    return *cache;
}

int LayerRefsOn(EffectInstance* variant, ARefCounted* base) {
    auto* layered = Lumo::Objects::QueryInterface<Lumo::Devices::LayeredEffectInstance>(variant);
    int refs = 0;
    for (int i = 0; layered && i < layered->LayerCount(); ++i)
        refs += static_cast<ARefCounted*>(layered->Layer(i)) == base ? 1 : 0;
    return refs;
}

bool Unused(const Entry& e, unsigned sweeps) {
    if (e.variant->RefCount() != 1)
        return false; // an item or a layer still draws with it
    const bool baseGone = e.base && e.base->RefCount() == 1 + e.baseRefsInVariant;
    return baseGone || sweeps - e.stamp > EffectVariantCache::kIdleSweeps;
}

/// Moves the unused entries into dropped, to be released after the lock.
void SweepLocked(Cache& c, std::vector<Entry>& dropped) {
    ++c.sweeps;
    for (auto it = c.entries.begin(); it != c.entries.end();) {
        if (Unused(it->second, c.sweeps)) {
            dropped.push_back(std::move(it->second));
            it = c.entries.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

AutoPtr<EffectInstance> EffectVariantCache::Find(const Key& key) {
    Cache& c = GetCache();
    std::lock_guard lock(c.mutex);
    auto it = c.entries.find(key);
    if (it == c.entries.end())
        return nullptr;
    it->second.stamp = c.sweeps;
    return it->second.variant; // counted under the lock, so no sweep can take it meanwhile
}

AutoPtr<EffectInstance> EffectVariantCache::Offer(const Key& key, EffectInstance* made) {
    AutoPtr<EffectInstance> hold(made);
    if (!made)
        return nullptr;
    Cache& c = GetCache();
    std::vector<Entry> dropped; // released after the lock, last
    std::lock_guard lock(c.mutex);
    if (auto it = c.entries.find(key); it != c.entries.end()) {
        it->second.stamp = c.sweeps;
        return it->second.variant;
    }
    if (c.entries.size() >= c.capacity) {
        SweepLocked(c, dropped);
        if (c.entries.size() >= c.capacity) {
            // Still full of entries in use: the one asked for least recently goes; whoever
            // draws with its variant keeps it, only its sharing ends.
            auto oldest = std::min_element(c.entries.begin(), c.entries.end(), [&c](const auto& a, const auto& b) {
                return c.sweeps - a.second.stamp > c.sweeps - b.second.stamp;
            });
            dropped.push_back(std::move(oldest->second));
            c.entries.erase(oldest);
        }
    }
    Entry& e = c.entries[key];
    e.base = key.base;
    e.device = key.device;
    e.variant = made;
    e.baseRefsInVariant = key.base ? LayerRefsOn(made, key.base) : 0;
    e.stamp = c.sweeps;
    return hold;
}

int EffectVariantCache::Sweep() {
    Cache& c = GetCache();
    std::vector<Entry> dropped;
    {
        std::lock_guard lock(c.mutex);
        if (c.entries.empty())
            return 0;
        SweepLocked(c, dropped);
    }
    return static_cast<int>(dropped.size());
}

void EffectVariantCache::Clear() {
    Cache& c = GetCache();
    std::unordered_map<Key, Entry, KeyHash> old;
    {
        std::lock_guard lock(c.mutex);
        old.swap(c.entries);
    }
}

int EffectVariantCache::Count() {
    Cache& c = GetCache();
    std::lock_guard lock(c.mutex);
    return static_cast<int>(c.entries.size());
}

int EffectVariantCache::Capacity() {
    Cache& c = GetCache();
    std::lock_guard lock(c.mutex);
    return static_cast<int>(c.capacity);
}

void EffectVariantCache::Capacity(int entries) {
    Cache& c = GetCache();
    std::lock_guard lock(c.mutex);
    c.capacity = static_cast<std::size_t>(std::max(entries, 1));
}

} // namespace Lumo::Scene
